// Pop-ups closed the moment they appear, long before the next check: the check delay here is a minute.
// (Under Wine only the creation of another program's window is reported to Zapnix; the showing and the
// renaming are tested in-process, with the events that Windows would send.)

#include "ZapnixSession.h"
#include "settings/SettingsIds.h"

namespace zapnix::e2e {
namespace {

using InstantKill = ZapnixSession;

const std::string kRules =
    "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\nCase    1=No\r\n";

int LoggedKills(const ScratchFolder& folder) {
    const std::string path = folder.File("poplog.ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    return static_cast<int>(GetPrivateProfileIntA("Windows", "Total", 0, path.c_str()));
}

TEST_F(InstantKill, AMatchingPopupGoesAtOnceWhileTheKillerIsOnAndNoneOnceItIsOff) {
    Start(kRules + "[Settings]\r\nEnabled=1\r\nInterval=60\r\n");
    {
        PopupHost host({"IEFrame|shown|Win a Prize", "MozillaWindowClass|hidden|Prize draw",
                        "#32770|shown|Win a Prize", "IEFrame|shown|Daily news"});
        EXPECT_TRUE(WaitUntil([&] {
            return !host.Window("IEFrame", "Win a Prize") && !host.Window("MozillaWindowClass", "Prize draw");
        })) << "shown or hidden, a matching browser window goes without waiting for the check";
        EXPECT_NE(host.Window("#32770", "Win a Prize"), nullptr) << "no browser's window";
        EXPECT_NE(host.Window("IEFrame", "Daily news"), nullptr) << "a title that matches nothing";
        EXPECT_EQ(LoggedKills(folder_), 2) << "each logged once";
    }

    // "Apply" with the killer unticked: nothing listens any more.
    ChooseCommand(main_, ids::MenuSettings);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = app_->FindWindowOf("SettingsFrm", nullptr)) && IsWindowVisible(dialog); }));
    SendDlgItemMessageA(dialog, ids::settings::Check3, BM_SETCHECK, BST_UNCHECKED, 0);
    Click(GetDlgItem(dialog, ids::settings::Command3));
    const auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    Answer(*box, IDOK);
    PopupHost later({"IEFrame|shown|Another Prize"});
    Sleep(1500);
    EXPECT_NE(later.Window("IEFrame", "Another Prize"), nullptr) << "switched off by Apply";
    CloseWithYes();

    // Off from the start.
    Start(kRules + "[Settings]\r\nEnabled=0\r\nInterval=60\r\n");
    PopupHost unwatched({"IEFrame|shown|Win a Prize"});
    Sleep(1500);
    EXPECT_NE(unwatched.Window("IEFrame", "Win a Prize"), nullptr) << "switched off at start-up";
    EXPECT_EQ(LoggedKills(folder_), 2);
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
