#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using Tray = ZapnixSession;

const std::string kStartHidden = "[Settings]\r\nMinimized=1\r\n";

// Gives Zapnix time to handle what was posted to it before looking at the outcome.
void Settle() {
    Sleep(300);
}

TEST_F(Tray, TheIconsMenuDoubleClickAndHideZapnixMoveBetweenTheWindowAndTheIconAndCloseAsksWhileHidden) {
    Start(kStartHidden);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); })) << "no tray icon";
    EXPECT_FALSE(IsWindowVisible(main_));
    // Up from no selection lands on the last entry, "About".
    ASSERT_TRUE(OpenTrayMenu({VK_UP, VK_RETURN}));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about = app_->FindWindowOf("AboutFrm", nullptr)); }));
    Settle();
    EXPECT_FALSE(IsWindowVisible(main_)) << "About shows alone";
    PostMessageA(about, WM_CLOSE, 0, 0);

    ASSERT_TRUE(OpenTrayMenu({VK_DOWN, VK_RETURN}));  // "Open Zapnix", the first entry
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) << "Open Zapnix shows the window";
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconPresent(main_); })) << "the icon goes when the window comes back";
    // Tray notifications share their code with mouse moves: while the window shows they mean nothing.
    SendTrayEvent(main_, WM_RBUTTONDOWN);
    SendTrayEvent(main_, WM_RBUTTONUP);
    Settle();
    EXPECT_EQ(OpenPopupMenu(app_->Id()), nullptr);

    Click(Control(ids::Command2));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); })) << "Hide Zapnix hides the window";
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); }));
    SimulateShellRestart(main_);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main_); })) << "the icon must come back with the taskbar";
    EXPECT_FALSE(IsWindowVisible(main_));

    SendTrayEvent(main_, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) << "a double-click shows the window";
    SimulateShellRestart(main_);
    Settle();
    EXPECT_FALSE(TrayIconPresent(main_)) << "no icon is added while the window shows";

    Click(Control(ids::Command2));
    ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main_) && !IsWindowVisible(main_); }));
    const auto chooseClose = [&] { ASSERT_TRUE(OpenTrayMenu({VK_DOWN, VK_DOWN, VK_RETURN})); };
    chooseClose();
    AnswerCloseQuestion(IDNO);
    Settle();
    EXPECT_TRUE(app_->Running());
    EXPECT_FALSE(IsWindowVisible(main_)) << "No leaves the window hidden";
    EXPECT_TRUE(TrayIconPresent(main_)) << "and the icon in place";
    EXPECT_EQ(ProfileBytes(), kStartHidden);

    chooseClose();
    AnswerCloseQuestion(IDYES);
    ASSERT_TRUE(app_->WaitForExit());
    EXPECT_FALSE(TrayIconPresent(main_));
    EXPECT_EQ(ProfileBytes(), kStartHidden + "[Windows]\r\nTotal=0\r\n");
}

}  // namespace
}  // namespace zapnix::e2e
