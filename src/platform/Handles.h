#pragma once
// One home for the ownership of system handles: move-only owners that free what they hold exactly once,
// and guards that undo a temporary change (a borrowed device context, an object selected into one).

#include <windows.h>
#include <bcrypt.h>
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

// Handles for which null means none, freed by one function that reports success.
template <typename T, bool (*FreeFunction)(T) noexcept>
struct FreedBy {
    using Type = T;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static bool Free(Type h) noexcept { return FreeFunction(h); }
};

inline bool CloseKey(HKEY key) noexcept { return ::RegCloseKey(key) == ERROR_SUCCESS; }
inline bool CloseInternet(HINTERNET h) noexcept { return ::InternetCloseHandle(h) != FALSE; }
template <typename T>
bool DeleteGdiObject(T object) noexcept { return ::DeleteObject(object) != FALSE; }
inline bool DeleteMemoryDc(HDC dc) noexcept { return ::DeleteDC(dc) != FALSE; }
inline bool DestroyMenuHandle(HMENU menu) noexcept { return ::DestroyMenu(menu) != FALSE; }
inline bool DestroyCursorHandle(HCURSOR cursor) noexcept { return ::DestroyCursor(cursor) != FALSE; }
inline bool DestroyOwnedWindow(HWND window) noexcept { return ::IsWindow(window) && ::DestroyWindow(window) != FALSE; }
inline bool Unhook(HWINEVENTHOOK hook) noexcept { return ::UnhookWinEvent(hook) != FALSE; }
inline bool CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) noexcept { return ::BCryptCloseAlgorithmProvider(algorithm, 0) >= 0; }
inline bool DestroyHash(BCRYPT_HASH_HANDLE hash) noexcept { return ::BCryptDestroyHash(hash) >= 0; }
inline bool DestroyCryptKey(BCRYPT_KEY_HANDLE key) noexcept { return ::BCryptDestroyKey(key) >= 0; }
// Stopped first, and closed once no callback of it runs any more: whatever the callback uses may go next.
inline bool CloseThreadpoolTimerWhenIdle(PTP_TIMER timer) noexcept {
    ::SetThreadpoolTimer(timer, nullptr, 0, 0);
    ::WaitForThreadpoolTimerCallbacks(timer, TRUE);
    ::CloseThreadpoolTimer(timer);
    return true;
}

// Kernel objects (files, mutexes, processes, threads, events): null and INVALID_HANDLE_VALUE both mean none.
struct Kernel {
    using Type = HANDLE;
    static constexpr Type kEmpty = nullptr;
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Free(Type h) noexcept { return ::CloseHandle(h) != FALSE; }
};

}  // namespace handle_traits

using UniqueHandle = UniqueOwner<handle_traits::Kernel>;
using UniqueKey = UniqueOwner<handle_traits::FreedBy<HKEY, handle_traits::CloseKey>>;
using UniqueInternet = UniqueOwner<handle_traits::FreedBy<HINTERNET, handle_traits::CloseInternet>>;
using UniqueThreadpoolTimer =
    UniqueOwner<handle_traits::FreedBy<PTP_TIMER, handle_traits::CloseThreadpoolTimerWhenIdle>>;
// GDI objects: bitmaps, palettes, fonts, brushes, pens.
template <typename T>
using UniqueGdi = UniqueOwner<handle_traits::FreedBy<T, handle_traits::DeleteGdiObject<T>>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniquePalette = UniqueGdi<HPALETTE>;
using UniqueFont = UniqueGdi<HFONT>;
// A memory device context made by CreateCompatibleDC (a borrowed one is given back with WindowDc).
using UniqueMemoryDc = UniqueOwner<handle_traits::FreedBy<HDC, handle_traits::DeleteMemoryDc>>;
using UniqueMenu = UniqueOwner<handle_traits::FreedBy<HMENU, handle_traits::DestroyMenuHandle>>;
using UniqueCursor = UniqueOwner<handle_traits::FreedBy<HCURSOR, handle_traits::DestroyCursorHandle>>;
using UniqueWinEventHook = UniqueOwner<handle_traits::FreedBy<HWINEVENTHOOK, handle_traits::Unhook>>;
// CNG (BCrypt): algorithm providers, hashes and keys.
using UniqueAlgorithm = UniqueOwner<handle_traits::FreedBy<BCRYPT_ALG_HANDLE, handle_traits::CloseAlgorithm>>;
using UniqueHash = UniqueOwner<handle_traits::FreedBy<BCRYPT_HASH_HANDLE, handle_traits::DestroyHash>>;
using UniqueCryptKey = UniqueOwner<handle_traits::FreedBy<BCRYPT_KEY_HANDLE, handle_traits::DestroyCryptKey>>;
// A window that is not a BaseWindow of its own, such as the hidden owner of the program's windows.
using UniqueWindow = UniqueOwner<handle_traits::FreedBy<HWND, handle_traits::DestroyOwnedWindow>>;

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
