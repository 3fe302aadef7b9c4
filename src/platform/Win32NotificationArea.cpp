#include "platform/Win32NotificationArea.h"

#include "platform/Trace.h"

namespace zapnix {

bool Win32NotificationArea::Notify(DWORD message, const NOTIFYICONDATAA& record) {
    // The call takes a writable record but does not write to it: hand it a copy all the same.
    NOTIFYICONDATAA copy = record;
    return Shell_NotifyIconA(message, &copy) != FALSE;
}

UINT Win32NotificationArea::ListenForRestart(HWND window) {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    // The system keeps the broadcast of the shell, which runs with the user's ordinary rights, from the
    // windows of a program started as administrator unless they let it through: the tray icon of a hidden
    // Zapnix would then stay lost after the shell restarted, and the main window out of reach.
    if (message != 0 && !ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr))
        TraceFailure("the taskbar's restart message cannot reach the main window");
    return message;
}

}  // namespace zapnix
