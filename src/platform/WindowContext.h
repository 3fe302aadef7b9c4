#pragma once
// What every window of the program is handed when it is made: the program's folder, the hidden owner
// that keeps the windows off the taskbar, the program icon, and the ports to the window system and the shell.

#include <windows.h>

#include <memory>
#include <string>

#include "platform/HttpClient.h"
#include "platform/RunKeyRegistry.h"
#include "platform/NotificationArea.h"
#include "platform/Shell.h"
#include "platform/TextCase.h"
#include "platform/WindowSystem.h"

namespace zapnix {

// The title of the program, and the caption that every one of its windows carries.
inline constexpr char kProgramTitle[] = "Zapnix";
inline constexpr char kFormCaption[] = "Zapnix Popup Killer";

struct WindowContext {
    std::string folder;  // the executable's folder, without a trailing separator
    HWND owner = nullptr;
    HICON icon = nullptr;
    WindowSystem& windows;
    const TextCase& textCase;
    // Shared with the requests that may still run after their window has gone.
    std::shared_ptr<HttpClient> http;
    RunKeyRegistry& runKey;
    Shell& shell;
    NotificationArea& notificationArea;
};

}  // namespace zapnix
