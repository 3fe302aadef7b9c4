// The main window in this process: the links, the About box and the tray icon's retries against a stand-in
// shell, and the end of the session against the real window system.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ZapnixVersion.h"
#include "app/AboutFrm.h"
#include "app/AboutIds.h"
#include "app/AboutLettering.h"
#include "app/Program.h"
#include "app/ZapnixFrm.h"
#include "app/ZapnixIds.h"
#include "WinTestSupport.h"

namespace zapnix {
namespace {

using testing::Pump;

// Destroying the main window ends the message loop: leave no quit message for the next test.
void DropQuitMessage() {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
    }
}

struct StandInShell final : Shell, NotificationArea {
    void Open(const std::string& url) override { opened.push_back(url); }
    // No notification area until `ready`; then an add is done but answered as failed while `lostAnswers`
    // lasts, as by a shell too busy to answer in time.
    bool Notify(DWORD message, const NOTIFYICONDATAA&) override {
        adds += message == NIM_ADD;
        if (!ready) return false;
        if (message == NIM_MODIFY) return icon;
        if (message == NIM_DELETE) return std::exchange(icon, false);
        return !std::exchange(icon, true) && lostAnswers-- <= 0;
    }
    UINT ListenForRestart(HWND window) override {
        listener = window;
        return kRestart;
    }
    static constexpr UINT kRestart = WM_APP + 40;
    std::vector<std::string> opened;
    bool ready = true, icon = false;
    int lostAnswers = 0, adds = 0;
    HWND listener = nullptr;
};

class AboutAndTray : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(main_.Create({})); }
    void TearDown() override {
        DestroyWindow(main_.Hwnd());
        DropQuitMessage();
    }
    void Command(int id) { SendMessageA(main_.Hwnd(), WM_COMMAND, id, 0); }

    // A folder that does not exist: no rules, no settings, and nothing is written there.
    const std::string folder_ = (std::filesystem::temp_directory_path() / "zapnix-about-none").string();
    testing::TestWindowContext adapters_;
    StandInShell shell_;
    WindowContext context_{folder_,          nullptr, nullptr, adapters_.windows, adapters_.textCase, nullptr,
                           adapters_.runKey, shell_,  shell_};
    RuleStore rules_{folder_ + "\\quorb.ini"};
    KillLogStore killLog_{folder_ + "\\poplog.ini", [] { return std::string("today"); }};
    Win32WindowOwners owners_;
    BrowserFrames browserFrames_{adapters_.windows, owners_, adapters_.textCase};
    KillerSwitch killer_;
    ZapnixFrm main_{context_, rules_, browserFrames_, killer_, others_};
    OtherWindows others_{context_, main_, killer_, rules_, killLog_, browserFrames_};
};

TEST_F(AboutAndTray, TheLinksGoToTheShellAndAboutTwiceIsOneDarkGreyBoxWithThePictureLetteredWithThisBuildsVersion) {
    Command(ids::MenuHome);
    Command(ids::MenuForum);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"http://127.0.0.1/", "http://127.0.0.1/perl/forum/gforum.cgi"}));
    Command(ids::MenuAbout);
    Command(ids::MenuAbout);
    HWND about = FindWindowExA(nullptr, nullptr, "AboutFrm", nullptr);
    ASSERT_TRUE(about && IsWindowVisible(about));
    EXPECT_EQ(FindWindowExA(nullptr, about, "AboutFrm", nullptr), nullptr) << "one About box";
    const DpiScale scale = DpiScale::ForWindow(about);
    RECT client{}, pic{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, scale(312));
    EXPECT_EQ(client.bottom, scale(213));
    GetWindowRect(GetDlgItem(about, ids::about::AboutPic), &pic);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&pic), 2);

    UpdateWindow(about);
    const WindowDc screen(about);
    for (const POINT at : {POINT{3, 3}, POINT{pic.right - 3, pic.top + 5}, POINT{pic.left + 5, pic.bottom - 2}})
        EXPECT_EQ(GetPixel(screen.Get(), at.x, at.y), RGB(64, 64, 64)) << at.x << "," << at.y;

    // At 96 dots per inch the picture is shown one for one, the name and this build's version lettered on
    // it cell by cell.
    if (scale.Dpi() != 96) return;
    const auto lines = AboutFrm::Lettering();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, std::string("Version ") + ZAPNIX_VERSION_TEXT);
    int cells = 0, lettered = 0;
    for (const auto& line : lines)
        for (const LetterCell& cell : LetterCells(line.text, line.top)) {
            const int half = kLetterCellSize / 2;
            lettered += GetPixel(screen.Get(), pic.left + cell.left + half, pic.top + cell.top + half) == line.colour;
            ++cells;
        }
    EXPECT_GT(cells, 50);
    EXPECT_EQ(lettered, cells);
}

TEST_F(AboutAndTray, AMissingIconIsAskedForAgainUntilTheShellHasIt) {
    shell_.ready = false;
    main_.HideToTray();
    Pump(3 * TrayIcon::kRetryMs, [&] { return shell_.adds >= 2; });
    ASSERT_GE(shell_.adds, 2) << "asked again while the notification area is not there";

    shell_.ready = true;
    shell_.lostAnswers = 1;
    Pump(2 * TrayIcon::kRetryMs, [&] { return main_.Tray().Present(); });
    EXPECT_TRUE(main_.Tray().Present()) << "an icon added without the answer saying so is there";
    const int adds = shell_.adds;
    Pump(TrayIcon::kRetryMs + 500, [] { return false; });
    EXPECT_EQ(shell_.adds, adds) << "nothing more is asked once the icon is there";
}

// The shell's message is let through to the main window (by the real notification area below), which
// then asks for its icon again.
TEST_F(AboutAndTray, TheMainWindowListensForTheShellsRestartAndThenAsksForItsIconAgain) {
    EXPECT_EQ(shell_.listener, main_.Hwnd());
    main_.HideToTray();
    ASSERT_TRUE(shell_.icon);
    shell_.icon = false;  // a restarted shell has none
    SendMessageA(main_.Hwnd(), StandInShell::kRestart, 0, 0);
    EXPECT_TRUE(shell_.icon);
}

// On Windows the message filter remembers what a window lets through: a second call finds it allowed.
// Wine's ChangeWindowMessageFilterEx does nothing and reports nothing: there, only the message is checked.
TEST(NotificationArea, LetsTheTaskbarsRestartMessageThroughToTheWindow) {
    Win32NotificationArea area;
    const UniqueWindow window(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    const UINT message = area.ListenForRestart(window.Get());
    EXPECT_EQ(message, RegisterWindowMessageA("TaskbarCreated"));
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return;
    CHANGEFILTERSTRUCT filter{sizeof filter, MSGFLTINFO_NONE};
    ASSERT_TRUE(ChangeWindowMessageFilterEx(window.Get(), message, MSGFLT_ALLOW, &filter));
    EXPECT_EQ(filter.ExtStatus, static_cast<DWORD>(MSGFLTINFO_ALREADYALLOWED_FORWND));
}

TEST(MainWindow, EndingWhileTheRuleEditorIsOpenNeverShowsTheHiddenMainWindow) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zapnix-main-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "quorb.ini", std::ios::binary)
        << "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n";
    Program program(folder.string());
    ASSERT_TRUE(program.Start());
    const HWND window = program.Main().Hwnd();
    // A click on the first row's text opens the editor and hides the main window.
    HWND list = GetDlgItem(window, ids::WinList);
    RECT label{};
    label.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label)));
    NMITEMACTIVATE click{};
    click.hdr = {list, static_cast<UINT_PTR>(ids::WinList), static_cast<UINT>(NM_CLICK)};
    click.ptAction = {label.left + 2, (label.top + label.bottom) / 2};
    SendMessageA(window, WM_NOTIFY, ids::WinList, reinterpret_cast<LPARAM>(&click));
    ASSERT_NE(program.Others().Editor(), nullptr);
    ASSERT_FALSE(IsWindowVisible(window));

    static bool shown;
    shown = false;
    SetWindowSubclass(
        window,
        [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_SHOWWINDOW && wParam) shown = true;
            return DefSubclassProc(hwnd, message, wParam, lParam);
        },
        1, 0);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(window)) << "the session's end ends the program";
    EXPECT_FALSE(shown) << "the editor's closing showed the main window on the way out";
    DropQuitMessage();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace zapnix
