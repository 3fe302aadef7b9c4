#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using About = ZapnixSession;

TEST_F(About, TheTrayMenusAboutShowsTheBoxAloneWhileTheMainWindowStaysHidden) {
    Start("[Settings]\r\nMinimized=1\r\n");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    SendTrayEvent(main_, WM_RBUTTONDOWN);
    SendTrayEvent(main_, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = OpenPopupMenu(app_->Id())) != nullptr; })) << "no tray menu";
    // Up from no selection lands on the last entry, "About".
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);

    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        about = app_->FindWindowOf("AboutFrm", "Zapnix Popup Killer");
        return about && IsWindowVisible(about);
    })) << "no About box";
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(main_)) << "the main window stays hidden";
    EXPECT_TRUE(TrayIconPresent(main_));

    // Its close box closes it for good; the program goes on in the tray.
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(app_->Running());
    EXPECT_FALSE(IsWindowVisible(main_));
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
