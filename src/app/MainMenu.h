#pragma once
// The main window's menu bar and the tray menu.

#include <windows.h>

#include "platform/Handles.h"

namespace zapnix {

// The menu bar; the window that takes it destroys it.
HMENU CreateMainMenuBar();

// The tray menu ("SysTray"), shown only as a pop-up menu. Owns its menu handle.
class TrayMenu {
public:
    TrayMenu();

    // Shows the menu at the pointer, left-aligned, chosen with the left button; the chosen command or 0.
    int Track(HWND owner) const;

private:
    UniqueMenu bar_;         // holds "SysTray" so that the menu is a top-level menu of its own; destroys
    HMENU popup_ = nullptr;  // the entries, with it
};

}  // namespace zapnix
