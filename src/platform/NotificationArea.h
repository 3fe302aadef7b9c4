#pragma once
// The notification area (the tray) as the shell offers it: one call that adds, changes or removes an
// icon described by a record, and the message with which the shell says that its icons are gone.

#include <windows.h>
#include <shellapi.h>

namespace zapnix {

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // `message` is NIM_ADD, NIM_MODIFY or NIM_DELETE; true when the shell did it.
    virtual bool Notify(DWORD message, const NOTIFYICONDATAA& record) = 0;
    // The message that the shell broadcasts when its taskbar has been re-created without the icons it
    // had, let through to `window` even while this program runs with higher rights than the shell;
    // 0 when there is no such message.
    virtual UINT ListenForRestart(HWND window) = 0;
};

}  // namespace zapnix
