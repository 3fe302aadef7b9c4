#pragma once
// Control and menu command identifiers of the main window.

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

// The check timer's identifier on the main window.
inline constexpr unsigned kCheckTimerId = 1;

}  // namespace zapnix::ids
