#pragma once
// The one place where the program is put together: the Win32 adapters, the hidden owner window, the
// stores of the rules and the kill log, which windows are browsers, the pop-up killer that records into
// the kill log and its switch, the main window and the other windows. Everything else is handed what it needs.

#include <windows.h>

#include <string>

#include "app/KillerSwitch.h"
#include "app/OtherWindows.h"
#include "app/ZapnixFrm.h"
#include "engine/BrowserFrames.h"
#include "engine/PopupKiller.h"
#include "killlog/KillLogStore.h"
#include "platform/Handles.h"
#include "platform/Win32NotificationArea.h"
#include "platform/Win32RunKeyRegistry.h"
#include "platform/Win32Shell.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowOwners.h"
#include "platform/Win32WindowSystem.h"
#include "platform/WindowContext.h"
#include "rules/RuleStore.h"

namespace zapnix {

class Program {
public:
    // `folder`: where the program keeps its files (the executable's folder).
    explicit Program(std::string folder);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the rules and settings and makes the main window; false when the window could not be made.
    bool Start();
    ZapnixFrm& Main() { return main_; }
    OtherWindows& Others() { return others_; }

private:
    Win32WindowSystem windowSystem_;
    Win32TextCase textCase_;
    Win32WindowOwners windowOwners_;
    Win32RunKeyRegistry runKey_;
    Win32Shell shell_;
    Win32NotificationArea notificationArea_;
    // An owned window has no taskbar button: this hidden owner keeps every window of the program off
    // the task list while they keep ordinary captions.
    UniqueWindow owner_;
    WindowContext context_;
    RuleStore rules_;
    KillLogStore killLog_;
    // The one answer to "is this a browser frame?" for the killer, the drag target and the picker.
    BrowserFrames browserFrames_;
    PopupKiller killer_;
    KillerSwitch killerSwitch_;
    ZapnixFrm main_;
    OtherWindows others_;
};

}  // namespace zapnix
