#pragma once
// The system's word that a window of another program has just appeared or been renamed: a window
// created, shown, or its name changed, each handed on as the top-level window it is about. Nothing else
// is listened to (not location or focus changes, which come in storms). The hook is out of context: no
// code of Zapnix runs inside other programs; the system queues the events to the thread that listens,
// which handles them in its message loop.

#include <windows.h>

#include <array>
#include <iterator>
#include <functional>

#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace zapnix {

class WindowEventHook {
public:
    using Sink = std::function<void(WindowHandle window)>;

    WindowEventHook() = default;
    WindowEventHook(const WindowEventHook&) = delete;
    WindowEventHook& operator=(const WindowEventHook&) = delete;
    ~WindowEventHook() { Stop(); }

    // Starts listening, handing each window to `sink`; one hook listens at a time. False when the system
    // refuses, and nothing listens then.
    bool Listen(Sink sink);
    void Stop();
    bool Listening() const { return hooks_[0].Valid(); }

    // One event as the system reports it: handed on only when it is about a top-level window itself (not
    // a part of it or a child window), of another process.
    void OnEvent(DWORD event, HWND window, LONG objectId, LONG childId);

private:
    static void CALLBACK Receive(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD, DWORD);
    // The system's callback carries no context: the one hook that listens.
    static WindowEventHook* listening_;
    // One hook per event: a range would also bring the events between them (destroy, hide, focus, ...).
    static constexpr DWORD kEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE};

    std::array<UniqueWinEventHook, std::size(kEvents)> hooks_;
    Sink sink_;
};

}  // namespace zapnix
