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

using Rows = std::vector<std::vector<std::string>>;

// The kill log as the system's own profile functions read it.
Rows KillLogFile(const ScratchFolder& folder) {
    const std::string path = folder.File("poplog.ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    const auto read = [&](const std::string& key) {
        char value[260] = {};
        GetPrivateProfileStringA("Windows", key.c_str(), "", value, sizeof(value), path.c_str());
        return std::string(value);
    };
    Rows entries;
    const int total = static_cast<int>(GetPrivateProfileIntA("Windows", "Total", 0, path.c_str()));
    for (int i = 1; i <= total; ++i)
        entries.push_back({read("Title  " + std::to_string(i)), read("Date  " + std::to_string(i))});
    return entries;
}

// An active rule that ignores letter case.
std::string Rule(int i, const std::string& title, const std::string& match) {
    const std::string n = std::to_string(i);
    return "Title   " + n + "=" + title + "\r\nActive  " + n + "=Yes\r\nMatch   " + n + "=" + match + "\r\nCase    " +
           n + "=No\r\n";
}

const std::string kCheckEverySecond = "[Settings]\r\nEnabled=1\r\nInterval=1\r\n";

TEST_F(PopupKiller, ClosesMatchingBrowserWindowsShownOrNotAndLogsEveryKill) {
    PopupHost host({"IEFrame|shown|Win a Prize", "mozillaWINDOWclass|hidden|Big Lottery - Mozilla Firefox",
                    "IEFrame|shown|Daily Deal"});
    Start("[Windows]\r\nTotal=2\r\n" + Rule(1, "win a prize", "Exact") + Rule(2, "Lottery", "Contains") +
          kCheckEverySecond);

    ASSERT_TRUE(WaitUntil([&] { return KillLogFile(folder_).size() >= 2; }, 20s)) << "each kill is saved at once";
    EXPECT_EQ(host.Window("IEFrame", "Win a Prize"), nullptr);
    EXPECT_EQ(host.Window("mozillaWINDOWclass", "Big Lottery - Mozilla Firefox"), nullptr);
    EXPECT_NE(host.Window("IEFrame", "Daily Deal"), nullptr);
    EXPECT_EQ(app_->CountWindowsOf("LogFrm"), 0) << "a kill shows no viewer";

    CloseWithYes();
    Rows log = KillLogFile(folder_);
    std::sort(log.begin(), log.end());  // the order within a pass is the engine's business (unit tests)
    EXPECT_EQ(log, (Rows{{"Big Lottery - Mozilla Firefox", Today()}, {"Win a Prize", Today()}}));
    EXPECT_EQ(ProfileBytes()->find("Date"), std::string::npos) << "kills never touch the rule file";
}

// Chrome's window class is also that of chat clients and editors built on its engine: only the processes
// of the browsers named in the user's list, which replaces the built-in one, are browsers.
TEST_F(PopupKiller, ClosesWindowsOfChromesClassOnlyInTheProcessesOfTheBrowsersTheUserNames) {
    const std::string kClass = "Chrome_WidgetWin_1";
    PopupHost thorium({kClass + "|shown|Win a Prize - Thorium", kClass + "|hidden|Win a Prize again"},
                      PopupHost::CopiedAs(folder_, "thorium.exe"));
    PopupHost brave({kClass + "|shown|Win a Prize - Brave"}, PopupHost::CopiedAs(folder_, "brave.exe"));
    PopupHost slack({kClass + "|shown|Win a Prize - Slack"}, PopupHost::CopiedAs(folder_, "slack.exe"));
    Start("[Windows]\r\nTotal=1\r\n" + Rule(1, "win a prize", "Begins") + kCheckEverySecond +
          "Browsers = Thorium.EXE , opera.exe\r\n");

    ASSERT_TRUE(WaitUntil([&] { return KillLogFile(folder_).size() >= 2; }, 20s));
    EXPECT_EQ(thorium.Window(kClass, "Win a Prize - Thorium"), nullptr);
    EXPECT_EQ(thorium.Window(kClass, "Win a Prize again"), nullptr);
    Sleep(1500);  // a pass more
    EXPECT_NE(brave.Window(kClass, "Win a Prize - Brave"), nullptr) << "a browser of the built-in list only";
    EXPECT_NE(slack.Window(kClass, "Win a Prize - Slack"), nullptr);

    CloseWithYes();
    Rows log = KillLogFile(folder_);
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (Rows{{"Win a Prize - Thorium", Today()}, {"Win a Prize again", Today()}}));
    EXPECT_NE(ProfileBytes()->find("Browsers = Thorium.EXE , opera.exe\r\n"), std::string::npos)
        << "the list is the user's: never rewritten";
}

TEST_F(PopupKiller, TheViewerShowsKillsAtOnceClearsTickedEntriesAndSavesWhenItGoes) {
    folder_.Write("poplog.ini",
                  "[Windows]\r\nTotal=3\r\nTitle  1=pop 1\r\nDate  1=d\r\nTitle  2=pop 2\r\nDate  2=d\r\n"
                  "Title  3=pop 3\r\nDate  3=d\r\n");
    Start("[Windows]\r\nTotal=1\r\n" + Rule(1, "advert", "Ends") + kCheckEverySecond);
    const auto openViewer = [&] {
        ChooseCommand(main_, ids::MenuLog);
        HWND viewer = nullptr;
        WaitUntil([&] { return (viewer = app_->LogWindow()) && IsWindowVisible(viewer); });
        return viewer;
    };
    const auto expectMessage = [&](HWND button, const std::string& text) {
        Click(button);
        auto box = app_->WaitForMessageBox("Message:");
        ASSERT_TRUE(box.has_value()) << "no message for: " << text;
        EXPECT_EQ(box->text, text);
        Answer(*box, IDOK);
    };
    HWND viewer = openViewer();
    ASSERT_NE(viewer, nullptr);
    HWND list = GetDlgItem(viewer, ids::log::LogList);
    ASSERT_EQ(app_->ListRows(list, 2).size(), 3u);
    expectMessage(GetDlgItem(viewer, ids::log::Command3), "Please select at least one log entry to remove!");

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
    EXPECT_EQ(KillLogFile(folder_), remaining);

    viewer = openViewer();
    ASSERT_NE(viewer, nullptr);
    list = GetDlgItem(viewer, ids::log::LogList);
    EXPECT_EQ(app_->ListRows(list, 2), remaining) << "a new viewer loads the saved log";
    Click(GetDlgItem(viewer, ids::log::Command2));  // "Clear Log"
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2).empty(); }));
    expectMessage(GetDlgItem(viewer, ids::log::Command3), "There are currently no log entries to delete!");

    CloseWithYes();  // ending the program closes the viewer, which saves the empty log
    EXPECT_TRUE(KillLogFile(folder_).empty());
    EXPECT_NE(folder_.Read("poplog.ini")->find("Total=0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace zapnix::e2e
