#pragma once
// One home for the ownership of system handles: move-only owners that free what they hold exactly once,
// and guards that undo a temporary change (a borrowed device context, an object selected into one).

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace zapnix {

template <typename Traits>
class UniqueOwner {
public:
    using Type = typename Traits::Type;

    UniqueOwner() noexcept = default;
    explicit UniqueOwner(Type value) noexcept : value_(value) {}
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : value_(other.Release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueOwner() { Reset(); }

    Type Get() const noexcept { return value_; }
    bool Valid() const noexcept { return Traits::IsValid(value_); }
    explicit operator bool() const noexcept { return Valid(); }

    // Hands the value over; the owner then holds nothing.
    Type Release() noexcept { return std::exchange(value_, Traits::kEmpty); }
    void Reset(Type value = Traits::kEmpty) noexcept {
        const Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Free(old);
    }
    // Frees now and reports whether the system agreed (closing a written file can fail).
    bool Close() noexcept {
        const Type old = Release();
        return Traits::IsValid(old) && Traits::Free(old);
    }
    // For the functions that hand a new handle back through a pointer.
    Type* Receive() noexcept {
        Reset();
        return &value_;
    }

private:
    Type value_ = Traits::kEmpty;
};

namespace handle_traits {

// Kernel objects: files, mutexes, processes, threads, events. Both null and INVALID_HANDLE_VALUE mean none.
struct Kernel {
    using Type = HANDLE;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Free(Type h) noexcept { return ::CloseHandle(h) != FALSE; }
};

struct RegistryKey {
    using Type = HKEY;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

struct Internet {
    using Type = HINTERNET;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::InternetCloseHandle(h) != FALSE; }
};

template <typename T>
struct GdiObject {
    using Type = T;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::DeleteObject(h) != FALSE; }
};

// A memory device context made by CreateCompatibleDC (a borrowed one is released with WindowDc).
struct MemoryDc {
    using Type = HDC;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::DeleteDC(h) != FALSE; }
};

struct Menu {
    using Type = HMENU;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::DestroyMenu(h) != FALSE; }
};

struct Cursor {
    using Type = HCURSOR;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::DestroyCursor(h) != FALSE; }
};

// A window that is not a BaseWindow of its own, such as the hidden owner of the program's windows.
struct Window {
    using Type = HWND;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return ::IsWindow(h) && ::DestroyWindow(h) != FALSE; }
};

}  // namespace handle_traits

using UniqueHandle = UniqueOwner<handle_traits::Kernel>;
using UniqueKey = UniqueOwner<handle_traits::RegistryKey>;
using UniqueInternet = UniqueOwner<handle_traits::Internet>;
template <typename T>
using UniqueGdi = UniqueOwner<handle_traits::GdiObject<T>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniquePalette = UniqueGdi<HPALETTE>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueMemoryDc = UniqueOwner<handle_traits::MemoryDc>;
using UniqueMenu = UniqueOwner<handle_traits::Menu>;
using UniqueCursor = UniqueOwner<handle_traits::Cursor>;
using UniqueWindow = UniqueOwner<handle_traits::Window>;

// A window's device context, borrowed with GetDC (client area) or GetWindowDC (whole window) and given
// back with ReleaseDC to the same window.
class WindowDc {
public:
    enum class Area { Client, WholeWindow };
    explicit WindowDc(HWND window, Area area = Area::Client) noexcept
        : window_(window), dc_(area == Area::Client ? ::GetDC(window) : ::GetWindowDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context and puts the earlier one back when it goes, so that the
// selected object is free to be deleted or handed on afterwards.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The same for a palette, which SelectObject does not take.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette) noexcept
        : dc_(dc), previous_(dc && palette ? ::SelectPalette(dc, palette, FALSE) : nullptr) {}
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;
    ~PaletteSelection() {
        if (previous_) ::SelectPalette(dc_, previous_, FALSE);
    }

private:
    HDC dc_;
    HPALETTE previous_;
};

}  // namespace zapnix
