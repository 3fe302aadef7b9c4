#pragma once
// Control and menu command identifiers of the main window. Each window numbers its controls in a range
// of its own (main window 1001, menus 2001 and 2101, kill-log viewer 3001, rule editor 4001, picker
// 5001, settings 6001, update window 7001, capture window 8001, About box 9001), so that an id names
// one control of the program wherever it is seen.

namespace zapnix::ids {

enum : int {
    // Controls of ZapnixFrm
    Frame1 = 1001,
    Label1,
    WinTxt,
    PicClick,
    Label3,
    Label5,
    Command5,
    Command4,
    WinList,
    Label2,
    Command3,
    Command2,
    Command1,

    // Menu bar
    MenuUpgrade = 2001,
    MenuClose,
    MenuSettings,
    MenuHome,
    MenuForum,
    MenuLog,
    MenuCapture,
    MenuAbout,

    // Tray menu
    TrayOpen = 2101,
    TrayClose,
    TraySettings,
    TrayAbout,
};

// The timers of the main window: the check pass, and asking again for a missing tray icon.
inline constexpr unsigned kCheckTimerId = 1;
inline constexpr unsigned kTrayRetryTimerId = 2;

}  // namespace zapnix::ids
