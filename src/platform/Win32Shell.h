#pragma once
// The shell ports on shell32.

#include "platform/NotificationArea.h"
#include "platform/Shell.h"

namespace zapnix {

// ShellExecuteA with the "open" verb, shown normally.
class Win32Shell final : public Shell {
public:
    void Open(const std::string& url) override;
};

// Shell_NotifyIconA, and the shell's "TaskbarCreated" message.
class Win32NotificationArea final : public NotificationArea {
public:
    bool Notify(DWORD message, const NOTIFYICONDATAA& record) override;
    UINT ListenForRestart(HWND window) override;
};

}  // namespace zapnix
