#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

using PopupKiller = ZapnixSession;

std::string Today() {
    char buffer[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof(buffer));
    return buffer;
}

struct Entry {
    std::string title;
    std::string date;
    friend bool operator==(const Entry&, const Entry&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Entry& e) { return out << e.title << " @ " << e.date; }
};

// The kill log as the system's own profile functions read it.
std::vector<Entry> KillLogFile(const ScratchFolder& folder) {
    const std::string path = folder.File("poplog.ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    const auto read = [&](const std::string& key) {
        char value[260] = {};
        GetPrivateProfileStringA("Windows", key.c_str(), "", value, sizeof(value), path.c_str());
        return std::string(value);
    };
    std::vector<Entry> entries;
    const int total = static_cast<int>(GetPrivateProfileIntA("Windows", "Total", 0, path.c_str()));
    for (int i = 1; i <= total; ++i)
        entries.push_back({read("Title  " + std::to_string(i)), read("Date  " + std::to_string(i))});
    return entries;
}

std::string Rule(int i, const std::string& title, const std::string& active, const std::string& match,
                 const std::string& caseSensitive) {
    const std::string n = std::to_string(i);
    return "Title   " + n + "=" + title + "\r\nActive  " + n + "=" + active + "\r\nMatch   " + n + "=" + match +
           "\r\nCase    " + n + "=" + caseSensitive + "\r\n";
}

const std::string kCheckEverySecond = "[Settings]\r\nEnabled=1\r\nInterval=1\r\n";

TEST_F(PopupKiller, ClosesExactlyTheMatchingBrowserWindowsAndLogsEveryKill) {
    folder_.Write("poplog.ini",
                  "[Windows]\r\nTotal=3\r\nTitle  1=old one\r\nDate  1=1/1/2020\r\nTitle  2=old two\r\n"
                  "Date  2=1/2/2020\r\nTitle  3=old three\r\nDate  3=1/3/2020\r\n");
    PopupHost host({
        "IEFrame|shown|Win a Prize",
        "mozillaWINDOWclass|hidden|Big Lottery - Mozilla Firefox",
        "mozillaWINDOWclass|minimized|LOTTERY results",
        "IEFrame|shown|Daily Deal",
        "Notepad|shown|Win a Prize",
        "MozillaDialogClass|shown|Lottery",
        "IEFrame|stubborn|Stubborn pop-up",
    });
    const std::vector<std::string> killed = {"Win a Prize", "Big Lottery - Mozilla Firefox", "LOTTERY results",
                                             "Stubborn pop-up"};
    // The first pass meets the windows in the order the system enumerates them.
    std::vector<Entry> expected = {{"old one", "1/1/2020"}, {"old two", "1/2/2020"}, {"old three", "1/3/2020"}};
    for (const auto& [className, title] : host.WindowsInEnumerationOrder())
        if (lstrcmpiA(className.c_str(), "Notepad") != 0 && lstrcmpiA(className.c_str(), "MozillaDialogClass") != 0 &&
            std::find(killed.begin(), killed.end(), title) != killed.end())
            expected.push_back({title, Today()});
    ASSERT_EQ(expected.size(), 7u);

    Start("[Windows]\r\nTotal=4\r\n" + Rule(1, "win a prize", "Yes", "Exact", "No") +
          Rule(2, "Lottery", "Yes", "Contains", "No") + Rule(3, "Daily Deal", "No", "Exact", "No") +
          Rule(4, "Stubborn", "Yes", "Begins", "Yes") + kCheckEverySecond);

    // The stubborn window is met and logged again on every tick.
    ASSERT_TRUE(WaitUntil([&] { return KillLogFile(folder_).size() >= 8; }, 20s)) << KillLogFile(folder_).size();
    EXPECT_EQ(host.Window("IEFrame", "Win a Prize"), nullptr);
    EXPECT_EQ(host.Window("mozillaWINDOWclass", "Big Lottery - Mozilla Firefox"), nullptr);
    EXPECT_EQ(host.Window("mozillaWINDOWclass", "LOTTERY results"), nullptr);
    EXPECT_NE(host.Window("IEFrame", "Daily Deal"), nullptr) << "an inactive rule kills nothing";
    EXPECT_NE(host.Window("Notepad", "Win a Prize"), nullptr) << "other classes are never touched";
    EXPECT_NE(host.Window("MozillaDialogClass", "Lottery"), nullptr);
    EXPECT_NE(host.Window("IEFrame", "Stubborn pop-up"), nullptr);

    HWND viewer = app_->LogWindow();
    ASSERT_NE(viewer, nullptr) << "the first kill creates the viewer";
    EXPECT_FALSE(IsWindowVisible(viewer)) << "without showing it";

    CloseWithYes();
    const std::vector<Entry> log = KillLogFile(folder_);
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(std::vector<Entry>(log.begin(), log.begin() + 7), expected);
    for (std::size_t i = 7; i < log.size(); ++i) EXPECT_EQ(log[i], (Entry{"Stubborn pop-up", Today()})) << i;
    EXPECT_EQ(ProfileBytes()->find("Date"), std::string::npos) << "kills never touch the rule file";
}

TEST_F(PopupKiller, TheOpenViewerShowsAKillAtOnce) {
    Start("[Windows]\r\nTotal=1\r\n" + Rule(1, "Pop", "Yes", "Begins", "No") + kCheckEverySecond);
    ChooseCommand(main_, ids::MenuLog);
    HWND viewer = app_->LogWindow();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(viewer) != FALSE; }));
    HWND list = GetDlgItem(viewer, ids::log::LogList);
    EXPECT_TRUE(app_->ListRows(list, 2).empty());

    PopupHost host({"IEFrame|shown|pop-up advert"});
    const std::vector<std::vector<std::string>> expected = {{"pop-up advert", Today()}};
    EXPECT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2) == expected; }, 10s));
    EXPECT_TRUE(IsWindowVisible(viewer));

    Click(GetDlgItem(viewer, ids::log::Command1));  // "Close"
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
    EXPECT_EQ(KillLogFile(folder_), (std::vector<Entry>{{"pop-up advert", Today()}}));
    CloseWithYes();
}

TEST_F(PopupKiller, TheViewerClearsTickedEntriesAndTheWholeLog) {
    std::string file = "[Windows]\r\nTotal=5\r\n";
    for (int i = 1; i <= 5; ++i)
        file +=
            "Title  " + std::to_string(i) + "=pop " + std::to_string(i) + "\r\nDate  " + std::to_string(i) + "=d\r\n";
    folder_.Write("poplog.ini", file);
    Start();

    const auto openViewer = [&] {
        ChooseCommand(main_, ids::MenuLog);
        HWND viewer = nullptr;
        WaitUntil([&] { return (viewer = app_->LogWindow()) && IsWindowVisible(viewer); });
        return viewer;
    };
    HWND viewer = openViewer();
    ASSERT_NE(viewer, nullptr);
    HWND list = GetDlgItem(viewer, ids::log::LogList);
    HWND clearSelected = GetDlgItem(viewer, ids::log::Command3);
    ASSERT_EQ(app_->ListRows(list, 2).size(), 5u);

    Click(clearSelected);
    auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Please select at least one log entry to remove!");
    Answer(*box, IDOK);

    app_->ClickListRow(list, 1, true);
    app_->ClickListRow(list, 2, true);
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRowTicked(list, 1) && app_->ListRowTicked(list, 2); }));
    app_->ClickListRow(list, 4, false);  // a click on the text ticks nothing
    Sleep(200);
    EXPECT_FALSE(app_->ListRowTicked(list, 4));
    Click(clearSelected);
    const std::vector<std::vector<std::string>> remaining = {{"pop 1", "d"}, {"pop 4", "d"}, {"pop 5", "d"}};
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2) == remaining; }));
    EXPECT_FALSE(app_->WaitForMessageBox("Message:", 500ms).has_value()) << "no message after removing";

    PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box saves too
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(viewer); }));
    EXPECT_EQ(KillLogFile(folder_), (std::vector<Entry>{{"pop 1", "d"}, {"pop 4", "d"}, {"pop 5", "d"}}));

    viewer = openViewer();
    ASSERT_NE(viewer, nullptr);
    list = GetDlgItem(viewer, ids::log::LogList);
    EXPECT_EQ(app_->ListRows(list, 2), remaining) << "a new viewer loads the saved log";
    Click(GetDlgItem(viewer, ids::log::Command2));  // "Clear Log"
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(list, 2).empty(); }));
    Click(GetDlgItem(viewer, ids::log::Command3));
    box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "There are currently no log entries to delete!");
    Answer(*box, IDOK);

    CloseWithYes();  // ending the program closes the viewer, which saves the empty log
    EXPECT_TRUE(KillLogFile(folder_).empty());
    const auto bytes = folder_.Read("poplog.ini");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_NE(bytes->find("Total=0\r\n"), std::string::npos);
    EXPECT_NE(bytes->find("Title  5=pop 5\r\n"), std::string::npos) << "keys above Total stay";
}

}  // namespace
}  // namespace zapnix::e2e
