// The main window in this process, against the real window system.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/ZapnixIds.h"
#include "app/Program.h"
#include "WinTestSupport.h"

namespace zapnix {
namespace {


std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("zapnix-main-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        program_.reset();
        // Destroying the main window ends the message loop: leave no quit message for the next test.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void Start(const std::string& profile) {
        std::ofstream(folder_ / "quorb.ini", std::ios::binary) << profile;
        program_ = std::make_unique<Program>(folder_.string());
        ASSERT_TRUE(program_->Start());
        main_ = &program_->Main();
    }
    HWND Hwnd() const { return main_->Hwnd(); }

    std::filesystem::path folder_;
    std::unique_ptr<Program> program_;
    ZapnixFrm* main_ = nullptr;
};

TEST_F(MainWindow, MenuBarHoldsEveryEntry) {
    Start("");
    HMENU bar = GetMenu(Hwnd());
    ASSERT_NE(bar, nullptr);
    const char* top[] = {"File", "Settings", "Links", "View Log", "Screen Capture", "About"};
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(MenuText(bar, i), top[i]);

    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(MenuText(file, 0), "Upgrade");
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuText(file, 2), "&Close");
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr) << "Settings is an entry on the bar itself";
    HMENU links = GetSubMenu(bar, 2);
    ASSERT_EQ(GetMenuItemCount(links), 2);
    EXPECT_EQ(MenuText(links, 0), "Quorb Homepage");
    EXPECT_EQ(MenuText(links, 1), "Support Forum");
}





TEST_F(MainWindow, EndingWhileTheRuleEditorIsOpenNeverShowsTheHiddenMainWindow) {
    Start("[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n");
    // A click on the first row's text opens the editor and hides the main window.
    HWND list = GetDlgItem(Hwnd(), ids::WinList);
    RECT label{};
    label.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label)));
    NMITEMACTIVATE click{};
    click.hdr = {list, static_cast<UINT_PTR>(ids::WinList), static_cast<UINT>(NM_CLICK)};
    click.ptAction = {label.left + 2, (label.top + label.bottom) / 2};
    SendMessageA(Hwnd(), WM_NOTIFY, ids::WinList, reinterpret_cast<LPARAM>(&click));
    ASSERT_NE(main_->ExistingEditor(), nullptr);
    ASSERT_FALSE(IsWindowVisible(Hwnd()));

    static bool shown;
    shown = false;
    SetWindowSubclass(
        Hwnd(),
        [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_SHOWWINDOW && wParam) shown = true;
            return DefSubclassProc(hwnd, message, wParam, lParam);
        },
        1, 0);
    SendMessageA(Hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(Hwnd())) << "the session's end ends the program";
    EXPECT_FALSE(shown) << "the editor's closing showed the main window on the way out";
}

}  // namespace
}  // namespace zapnix
