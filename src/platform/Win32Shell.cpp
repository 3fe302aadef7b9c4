#include "platform/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace zapnix {

void Win32Shell::Open(const std::string& url) {
    // With no browser to start the user simply sees nothing happen; there is nothing to tell them.
    ShellExecuteA(nullptr, "open", url.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace zapnix
