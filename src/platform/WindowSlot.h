#pragma once
// A window that exists at most once: created on first use, destroyed when closed, created afresh the
// next time. The object of a closed window is released lazily, never from inside its own handler.

#include <windows.h>

#include <memory>

namespace zapnix {

template <typename Window>
class WindowSlot {
public:
    // The window if it exists (shown or hidden).
    Window* Get() {
        Reap();
        return window_.get();
    }

    // The existing window, or one made by `create` (which returns a unique_ptr, null on failure).
    template <typename Create>
    Window* Obtain(Create create) {
        Reap();
        if (!window_) window_ = create();
        return window_.get();
    }

    // Closes the window as its own close command would.
    void Close() {
        if (Window* window = Get()) SendMessageA(window->Hwnd(), WM_CLOSE, 0, 0);
        Reap();
    }

private:
    void Reap() {
        if (window_ && !window_->Hwnd()) window_.reset();
    }

    std::unique_ptr<Window> window_;
};

}  // namespace zapnix
