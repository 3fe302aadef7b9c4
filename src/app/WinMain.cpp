// Zapnix Popup Killer: start-up.

#include <windows.h>
#include <commctrl.h>

#include "app/Program.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/SingleInstance.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The program lives in a folder its user can write to: load system libraries from System32 only.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    zapnix::SingleInstance instance("Local\\Quorb.Zapnix.PopupKiller");
    if (instance.AnotherIsRunning()) {
        zapnix::ShowInformation(nullptr,
                                "Zapnix is already running. Please locate the icon in your system tray and then "
                                "click your right mouse button over it.");
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    zapnix::Program program(zapnix::ExecutableFolder());
    if (!program.Start()) return 1;
    return zapnix::RunMessageLoop();
}
