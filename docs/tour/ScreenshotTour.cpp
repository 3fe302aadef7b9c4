// Opens the windows that README's guide shows, one after the other, in a real Zapnix with a few rules and
// kills: scripts/screenshots.sh photographs each. For each window it writes a line "name left top right
// bottom" (the window's place on the screen) and waits for a line back before it goes on.

#include <iostream>
#include <string>

#include "Driver.h"
#include "app/ZapnixIds.h"

namespace zapnix::e2e {
namespace {

const char kRules[] =
    "[Windows]\r\nTotal=4\r\n"
    "Title   1=Win a Prize!\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n"
    "Title   2=Casino\r\nActive  2=Yes\r\nMatch   2=Contains\r\nCase    2=No\r\n"
    "Title   3=Special Offer\r\nActive  3=Yes\r\nMatch   3=Begins\r\nCase    3=No\r\n"
    "Title   4=- Sponsored\r\nActive  4=No\r\nMatch   4=Ends\r\nCase    4=Yes\r\n"
    "[Settings]\r\nEnabled=1\r\nInterval=3\r\nMinimized=0\r\nStartup=1\r\n";
const char kKills[] =
    "[Windows]\r\nTotal=4\r\n"
    "Title  1=Win a Prize!\r\nDate  1=3/2/2024\r\n"
    "Title  2=Lucky Casino - Mozilla Firefox\r\nDate  2=3/2/2024\r\n"
    "Title  3=Special Offer Today - Internet Explorer\r\nDate  3=3/5/2024\r\n"
    "Title  4=Win a Prize!\r\nDate  4=3/9/2024\r\n";

// Hands the window over to be photographed once it shows, and waits until that is done.
bool Photograph(const char* name, HWND window) {
    if (!window || !WaitUntil([&] { return IsWindowVisible(window) != FALSE; })) {
        std::cerr << "tour: no " << name << " to photograph\n";
        return false;
    }
    Sleep(500);  // painted
    RECT place{};
    GetWindowRect(window, &place);
    std::cout << name << ' ' << place.left << ' ' << place.top << ' ' << place.right << ' ' << place.bottom
              << std::endl;
    std::string done;
    return static_cast<bool>(std::getline(std::cin, done));
}

bool Tour() {
    ScratchFolder folder("zapnix-tour");
    folder.Write("quorb.ini", kRules);
    folder.Write("poplog.ini", kKills);
    ZapnixProcess app(folder);
    HWND main = app.MainWindow();
    if (!Photograph("main-window", main)) return false;

    ChooseCommand(main, ids::MenuLog);
    HWND log = app.WaitForShown("LogFrm");
    if (!Photograph("kill-log", log)) return false;
    PostMessageA(log, WM_CLOSE, 0, 0);

    ChooseCommand(main, ids::MenuSettings);
    HWND settings = app.WaitForShown("SettingsFrm");
    if (!Photograph("settings", settings)) return false;
    PostMessageA(settings, WM_CLOSE, 0, 0);

    // Hidden to the notification area; the menu opens where the pointer is, as after a right click.
    Click(GetDlgItem(main, ids::Command2));
    if (!WaitUntil([&] { return TrayIconPresent(main); })) return false;
    SetCursorPos(400, 300);
    SendTrayEvent(main, WM_RBUTTONDOWN);
    SendTrayEvent(main, WM_RBUTTONUP);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = OpenPopupMenu(app.Id())) != nullptr; });
    if (!Photograph("tray-menu", menu)) return false;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
}

}  // namespace
}  // namespace zapnix::e2e

int main() {
    try {
        return zapnix::e2e::Tour() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "tour: " << error.what() << '\n';
        return 1;
    }
}
