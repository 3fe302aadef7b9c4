#pragma once
// One base for every window of the program: binds the C++ object to its HWND at WM_NCCREATE and
// forwards messages to the derived class's noexcept HandleMessage. The object owns its window.

#include <windows.h>

namespace zapnix {

template <typename Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    virtual ~BaseWindow() {
        if (hwnd_ && IsWindow(hwnd_)) {
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }

    HWND Hwnd() const { return hwnd_; }

protected:
    static bool RegisterClassOnce(const char* className, HICON icon, HBRUSH background) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc)) return true;
        wc.lpfnWndProc = &BaseWindow::Procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = background;
        return RegisterClassExA(&wc) != 0;
    }

    HWND CreateThisWindow(const char* className, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND owner, HMENU menu) {
        return CreateWindowExA(exStyle, className, caption, style, x, y, width, height, owner, menu,
                               GetModuleHandleA(nullptr), static_cast<Derived*>(this));
    }

    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

    // Called after WM_NCDESTROY: the window is gone and the handle is no longer valid.
    virtual void OnWindowGone() noexcept {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnWindowGone();
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace zapnix
