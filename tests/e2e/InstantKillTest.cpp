// Pop-ups closed the moment they appear, long before the next check: the check delay here is the longest
// the timer takes, as a delay too long for it reads (modulo 2^32 as other numbers are, it would be 1 second).
// (Under Wine only the creation of another program's window is reported to Zapnix; the showing and the
// renaming are tested in-process, with the events that Windows would send. That a killer switched off
// listens to no event is part of the settings' scene.)

#include "ZapnixSession.h"
#include "settings/SettingsIds.h"

namespace zapnix::e2e {
namespace {

using InstantKill = ZapnixSession;

TEST_F(InstantKill, AMatchingPopupGoesAtOnceAndIsLoggedOnceWhileTheCheckWaitsAsLongAsTheTimerCan) {
    PopupHost before({"IEFrame|shown|Prize before"});  // only a check can close it, not its appearing
    Start("[Windows]\r\nTotal=1\r\n" + Rule(1, "Prize", "Contains") +
          "[Settings]\r\nEnabled=1\r\nInterval=4294967297\r\n");
    ChooseCommand(main_, ids::MenuSettings);
    HWND settings = app_->WaitForShown("SettingsFrm");
    EXPECT_EQ(WindowText(GetDlgItem(settings, ids::settings::Text1)), "2147483");
    PostMessageA(settings, WM_CLOSE, 0, 0);

    PopupHost host({"IEFrame|shown|Win a Prize", "MozillaWindowClass|hidden|Prize draw", "#32770|shown|Win a Prize",
                    "IEFrame|shown|Daily news"});
    EXPECT_TRUE(WaitUntil([&] {
        return !host.Window("IEFrame", "Win a Prize") && !host.Window("MozillaWindowClass", "Prize draw");
    })) << "shown or hidden, a matching browser window goes without waiting for the check";
    EXPECT_NE(host.Window("#32770", "Win a Prize"), nullptr) << "no browser's window";
    EXPECT_NE(host.Window("IEFrame", "Daily news"), nullptr) << "a title that matches nothing";
    Sleep(2500);
    EXPECT_NE(before.Window("IEFrame", "Prize before"), nullptr) << "checked within seconds";
    EXPECT_EQ(KillLogRows().size(), 2u) << "each logged once";
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
