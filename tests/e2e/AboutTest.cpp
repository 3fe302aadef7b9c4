#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using About = ZapnixSession;

TEST_F(About, TheTrayMenusAboutShowsTheBoxAloneWhileTheMainWindowStaysHidden) {
    Start("[Settings]\r\nMinimized=1\r\n");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    // Up from no selection lands on the last entry, "About".
    ASSERT_TRUE(ChooseFromTrayMenu({VK_UP, VK_RETURN}));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about = app_->FindWindowOf("AboutFrm", nullptr)); }));
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(main_)) << "the main window stays hidden";
    EXPECT_TRUE(TrayIconPresent(main_));
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
