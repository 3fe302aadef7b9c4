#pragma once
// A window that exists at most once: created on first use, destroyed when closed, created afresh the
// next time. The object of a closed window is freed only once none of its handlers runs any more, so
// that closing a window from outside while it shows a message box never frees it under its own code.

#include <windows.h>

#include <memory>
#include <vector>

namespace zapnix {

template <typename Window>
class WindowSlot {
public:
    WindowSlot() = default;
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    // The window goes while its object is whole, so that its destroy handling (a save) still runs.
    ~WindowSlot() {
        if (window_ && window_->Hwnd()) DestroyWindow(window_->Hwnd());
    }

    // The window if it exists (shown or hidden).
    Window* Get() {
        Reap();
        return window_ && window_->Hwnd() ? window_.get() : nullptr;
    }

    // The existing window, or one made by `create` (which returns a unique_ptr, null on failure).
    template <typename Create>
    Window* Obtain(Create create) {
        if (Window* window = Get()) return window;
        // A closed window whose handler still runs waits beside the new one until that handler returns.
        if (window_) parked_.push_back(std::move(window_));
        window_ = create();
        return window_.get();
    }

    // Closes the window as its own close command would.
    void Close() {
        if (Window* window = Get()) SendMessageA(window->Hwnd(), WM_CLOSE, 0, 0);
        Reap();
    }

private:
    void Reap() {
        if (window_ && !window_->Hwnd() && !window_->Busy()) window_.reset();
        std::erase_if(parked_, [](const std::unique_ptr<Window>& window) { return !window->Busy(); });
    }

    std::unique_ptr<Window> window_;
    std::vector<std::unique_ptr<Window>> parked_;  // closed windows whose handlers had not yet returned
};

}  // namespace zapnix
