#pragma once
// The window-system operations the program performs on other programs' windows, as a port: the
// engine and the picking code are written against it, the Win32 adapter is the only code that calls
// user32 for them, and tests drive the logic with a fake desktop.

#include <cstdint>
#include <functional>
#include <string>

namespace zapnix {

// An opaque window handle; 0 names no window.
using WindowHandle = std::uintptr_t;

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class WindowSystem {
public:
    // Window texts come through a buffer of 260 characters: at most 259 are kept.
    static constexpr std::size_t kMaxText = 259;

    virtual ~WindowSystem() = default;

    // Calls `visit` once for every top-level window, visible or not, before returning.
    virtual void ForEachTopLevelWindow(const std::function<void(WindowHandle)>& visit) = 0;
    // "" when the name or title cannot be read.
    virtual std::string ClassName(WindowHandle window) = 0;
    virtual std::string Title(WindowHandle window) = 0;
    // Asks the window to close (WM_CLOSE) without waiting for it. False when the request was not
    // delivered: the window is gone, or belongs to a program with higher rights, which refuses ours.
    virtual bool PostClose(WindowHandle window) = 0;
    // Whether the window is still there.
    virtual bool Exists(WindowHandle window) = 0;
};

}  // namespace zapnix
