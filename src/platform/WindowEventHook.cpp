#include "platform/WindowEventHook.h"

#include <algorithm>
#include <utility>

#include "platform/Trace.h"

namespace zapnix {

WindowEventHook* WindowEventHook::listening_ = nullptr;

bool WindowEventHook::Listen(Sink sink) {
    Stop();
    for (std::size_t i = 0; i < hooks_.size(); ++i) {
        hooks_[i].Reset(SetWinEventHook(kEvents[i], kEvents[i], nullptr, &WindowEventHook::Receive, 0, 0,
                                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
        if (!hooks_[i]) {
            TraceFailure("the window events could not be listened to");
            Stop();
            return false;
        }
    }
    sink_ = std::move(sink);
    listening_ = this;
    return true;
}

void WindowEventHook::Stop() {
    for (UniqueWinEventHook& hook : hooks_) hook.Reset();
    if (listening_ == this) listening_ = nullptr;
    sink_ = nullptr;
}

void WindowEventHook::OnEvent(DWORD event, HWND window, LONG objectId, LONG childId) {
    if (std::ranges::find(kEvents, event) == std::end(kEvents)) return;
    if (objectId != OBJID_WINDOW || childId != CHILDID_SELF || !window || !sink_) return;
    // A top-level window's parent is the desktop; a message-only window's is not.
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
    DWORD process = 0;
    if (!GetWindowThreadProcessId(window, &process) || process == GetCurrentProcessId()) return;
    sink_(reinterpret_cast<WindowHandle>(window));
}

void CALLBACK WindowEventHook::Receive(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD,
                                       DWORD) {
    try {
        if (listening_) listening_->OnEvent(event, window, objectId, childId);
    } catch (...) {
        // Nothing may unwind into the system's caller; the next event still counts.
        TraceFailure("a window event could not be handled");
    }
}

}  // namespace zapnix
