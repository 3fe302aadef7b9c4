#pragma once
// One base for every window of the program: binds the C++ object to its HWND at WM_NCCREATE and
// forwards messages to the derived class's HandleMessage; no exception gets past it into the system.
// The object owns its window.

#include <windows.h>

#include <memory>
#include <span>

#include "platform/Controls.h"
#include "platform/MessagePump.h"
#include "platform/Trace.h"
#include "platform/WindowContext.h"

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
    // True while one of the window's own handlers runs (a message box it shows keeps it running): the
    // object must not be freed then, even when its window is already gone.
    bool Busy() const { return depth_ > 0; }

    // Shows the window, hidden or not, in front of the others.
    void Bring() {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
    }

protected:
    // Every form of the program: a fixed dialog frame with a close box, no minimise or maximise box.
    // No WS_CLIPCHILDREN: a frame (group box) leaves its inside for the parent to paint.
    static constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    static constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

    // Creates the form hidden, captioned like every window of the program, with the controls of `layout`
    // in the program's font, its client area exactly the given size (pixels at 96 dots per inch, scaled
    // for the display), taking part in the dialog keys of the message loop. A form closes by being
    // destroyed: WM_CLOSE reaches DefWindowProc unless the form handles it itself.
    bool CreateForm(const char* className, HICON icon, HWND owner, int clientWidth, int clientHeight,
                    std::span<const ControlSpec> layout, HMENU menu = nullptr) {
        if (!RegisterClassOnce(className, icon, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
        const DpiScale scale = DpiScale::ForWindow(nullptr);
        const SIZE outer =
            OuterSizeForClient(clientWidth, clientHeight, kFormStyle, kFormExStyle, menu != nullptr, scale);
        if (!CreateThisWindow(className, kFormCaption, kFormStyle, kFormExStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                              outer.cy, owner, menu))
            return false;
        font_ = CreateUiFont(scale);
        CreateControls(hwnd_, layout, scale, font_.Get());
        FitClientArea(hwnd_, scale(clientWidth), scale(clientHeight));
        RegisterDialogWindow(hwnd_);
        return true;
    }

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
        LRESULT result = 0;
        ++self->depth_;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // Nothing may unwind into the system's dispatcher; the message counts as handled.
            TraceFailure("a window's message handler failed");
        }
        --self->depth_;
        if (message == WM_NCDESTROY) {
            UnregisterDialogWindow(hwnd);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnWindowGone();
        }
        return result;
    }

    HWND hwnd_ = nullptr;
    int depth_ = 0;
    UniqueFont font_;
};

}  // namespace zapnix
