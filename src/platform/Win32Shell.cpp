#include "platform/Win32Shell.h"

namespace zapnix {

void Win32Shell::Open(const std::string& url) {
    // With no browser to start the user simply sees nothing happen; there is nothing to tell them.
    ShellExecuteA(nullptr, "open", url.c_str(), "", "", SW_SHOWNORMAL);
}

bool Win32NotificationArea::Notify(DWORD message, const NOTIFYICONDATAA& record) {
    // The call takes a writable record but does not write to it: hand it a copy all the same.
    NOTIFYICONDATAA copy = record;
    return Shell_NotifyIconA(message, &copy) != FALSE;
}

}  // namespace zapnix
