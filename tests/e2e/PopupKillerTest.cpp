#include <algorithm>

#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using PopupKiller = ZapnixSession;

std::string Today() {
    char buffer[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof(buffer));
    return buffer;
}

const std::string kCheckEverySecond = "[Settings]\r\nEnabled=1\r\nInterval=1\r\n";

// The pop-ups are there before Zapnix starts: the check closes them, shown or not. Chrome's window class is
// also that of chat clients and editors built on its engine: only the processes of the browsers named in
// the user's list, which replaces the built-in one, are browsers. The order within a pass is the engine's
// business (unit tests).
TEST_F(PopupKiller, ClosesMatchingBrowserWindowsShownOrNotButChromesClassOnlyInTheBrowsersTheUserNames) {
    const std::string kClass = "Chrome_WidgetWin_1";
    PopupHost thorium({kClass + "|shown|Win a Prize - Thorium", kClass + "|hidden|Win a Prize again"},
                      PopupHost::CopiedAs(folder_, "thorium.exe"));
    PopupHost brave({kClass + "|shown|Win a Prize - Brave"}, PopupHost::CopiedAs(folder_, "brave.exe"));
    PopupHost slack({kClass + "|shown|Win a Prize - Slack", "IEFrame|shown|Daily Deal",
                     "mozillaWINDOWclass|hidden|Big Lottery - Mozilla Firefox"},
                    PopupHost::CopiedAs(folder_, "slack.exe"));
    Start("[Windows]\r\nTotal=2\r\n" + Rule(1, "win a prize", "Begins") + Rule(2, "Lottery", "Contains") +
          kCheckEverySecond + "Browsers = Thorium.EXE , opera.exe\r\n");

    ASSERT_TRUE(WaitUntil([&] { return KillLogRows().size() >= 3; }, 20s)) << "each kill is saved at once";
    EXPECT_EQ(thorium.Window(kClass, "Win a Prize - Thorium"), nullptr);
    EXPECT_EQ(thorium.Window(kClass, "Win a Prize again"), nullptr);
    EXPECT_EQ(slack.Window("mozillaWINDOWclass", "Big Lottery - Mozilla Firefox"), nullptr) << "in any process";
    Sleep(1500);  // a pass more
    EXPECT_NE(brave.Window(kClass, "Win a Prize - Brave"), nullptr) << "a browser of the built-in list only";
    EXPECT_NE(slack.Window(kClass, "Win a Prize - Slack"), nullptr);
    EXPECT_NE(slack.Window("IEFrame", "Daily Deal"), nullptr);
    EXPECT_EQ(app_->CountWindowsOf("LogFrm"), 0) << "a kill shows no viewer";

    CloseWithYes();
    Rows log = KillLogRows();
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (Rows{{"Big Lottery - Mozilla Firefox", Today()},
                         {"Win a Prize - Thorium", Today()},
                         {"Win a Prize again", Today()}}));
    EXPECT_EQ(ProfileBytes()->find("Date"), std::string::npos) << "kills never touch the rule file";
    EXPECT_NE(ProfileBytes()->find("Browsers = Thorium.EXE , opera.exe\r\n"), std::string::npos)
        << "the list is the user's: never rewritten";
}

TEST_F(PopupKiller, TheViewerShowsKillsAtOnceClearsTickedEntriesAndSavesWhenItGoes) {
    folder_.Write("poplog.ini",
                  "[Windows]\r\nTotal=3\r\nTitle  1=pop 1\r\nDate  1=d\r\nTitle  2=pop 2\r\nDate  2=d\r\n"
                  "Title  3=pop 3\r\nDate  3=d\r\n");
    Start("[Windows]\r\nTotal=1\r\n" + Rule(1, "advert", "Ends") + kCheckEverySecond);
    ChooseCommand(main_, ids::MenuLog);
    HWND viewer = app_->WaitForShown("LogFrm");
    ASSERT_NE(viewer, nullptr);
    HWND list = GetDlgItem(viewer, ids::log::LogList);
    ASSERT_EQ(app_->ListRows(list, 2).size(), 3u);
    ExpectMessage(GetDlgItem(viewer, ids::log::Command3), "Please select at least one log entry to remove!");

    PopupHost host({"IEFrame|shown|pop-up advert"});
    const Rows withKill = {{"pop 1", "d"}, {"pop 2", "d"}, {"pop 3", "d"}, {"pop-up advert", Today()}};
    EXPECT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2) == withKill; }, 10s)) << "the open viewer shows a kill";

    app_->ClickListRow(list, 1, true);
    app_->ClickListRow(list, 3, true);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(list, 1) && app_->ListRowTicked(list, 3); }));
    app_->ClickListRow(list, 2, false);  // a click on the text ticks nothing
    Sleep(200);
    EXPECT_FALSE(app_->ListRowTicked(list, 2));
    Click(GetDlgItem(viewer, ids::log::Command3));
    const Rows remaining = {{"pop 1", "d"}, {"pop 3", "d"}};
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2) == remaining; }));
    EXPECT_FALSE(app_->WaitForMessageBox("Message:", 500ms).has_value()) << "no message after removing";

    Click(GetDlgItem(viewer, ids::log::Command1));  // "Close" saves
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
    EXPECT_EQ(KillLogRows(), remaining);

    ChooseCommand(main_, ids::MenuLog);
    ASSERT_NE(viewer = app_->WaitForShown("LogFrm"), nullptr);
    list = GetDlgItem(viewer, ids::log::LogList);
    EXPECT_EQ(app_->ListRows(list, 2), remaining) << "a new viewer loads the saved log";
    Click(GetDlgItem(viewer, ids::log::Command2));  // "Clear Log"
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2).empty(); }));
    ExpectMessage(GetDlgItem(viewer, ids::log::Command3), "There are currently no log entries to delete!");

    CloseWithYes();  // ending the program closes the viewer, which saves the empty log
    EXPECT_EQ(folder_.Read("poplog.ini"), "[Windows]\r\nTotal=0\r\n") << "no entry stays unseen beyond the total";
}

}  // namespace
}  // namespace zapnix::e2e
