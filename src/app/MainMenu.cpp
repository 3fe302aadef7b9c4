#include "app/MainMenu.h"

#include "app/ZapnixIds.h"

namespace zapnix {

HMENU CreateMainMenuBar() {
    HMENU bar = CreateMenu();

    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, ids::MenuUpgrade, "Upgrade");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, ids::MenuClose, "&Close");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");

    AppendMenuA(bar, MF_STRING, ids::MenuSettings, "Settings");

    HMENU links = CreatePopupMenu();
    AppendMenuA(links, MF_STRING, ids::MenuHome, "Quorb Homepage");
    AppendMenuA(links, MF_STRING, ids::MenuForum, "Support Forum");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(links), "Links");

    AppendMenuA(bar, MF_STRING, ids::MenuLog, "View Log");
    AppendMenuA(bar, MF_STRING, ids::MenuCapture, "Screen Capture");
    AppendMenuA(bar, MF_STRING, ids::MenuAbout, "About");
    return bar;
}

TrayMenu::TrayMenu() {
    bar_.Reset(CreateMenu());
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING, ids::TrayOpen, "Open Zapnix");
    AppendMenuA(popup_, MF_STRING, ids::TrayClose, "Close Zapnix");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING, ids::TraySettings, "Settings");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING, ids::TrayAbout, "About");
    AppendMenuA(bar_.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup_), "SysTray");
}

int TrayMenu::Track(HWND owner) const {
    POINT at{};
    GetCursorPos(&at);
    const int chosen = static_cast<int>(
        TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

}  // namespace zapnix
