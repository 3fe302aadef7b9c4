#pragma once
// The notification-area port on shell32: Shell_NotifyIconA, and the shell's "TaskbarCreated" message.

#include "platform/NotificationArea.h"

namespace zapnix {

class Win32NotificationArea final : public NotificationArea {
public:
    bool Notify(DWORD message, const NOTIFYICONDATAA& record) override;
    UINT ListenForRestart(HWND window) override;
};

}  // namespace zapnix
