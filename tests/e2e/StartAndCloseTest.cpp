#include <functional>
#include <thread>

#include "ZapnixSession.h"
#include "platform/Handles.h"

namespace zapnix::e2e {
namespace {

using StartAndClose = ZapnixSession;

const std::string kTwoRules =
    "; kept as it is\r\n"
    "[Windows]\r\n"
    "Total=2\r\n"
    "Title   1=Win a Prize\r\n"
    "Active  1=Yes\r\n"
    "Match   1=Begins\r\n"
    "Case    1=No\r\n"
    "Title   2=Free = Offer\r\n"
    "Active  2=No\r\n"
    "Match   2=Exact\r\n"
    "Case    2=Yes\r\n"
    "Title   3=left over from a longer list\r\n"
    "Active  3=Yes\r\n"
    "\r\n"
    "[Other]\r\n"
    "Something=else\r\n";

// The system asks and waits for the answer while the user answers the closing question (or, when the
// question is open already, the answer comes at once).
LRESULT QueryEndSession(HWND main, const std::function<void()>& meanwhile) {
    LRESULT answer = -1;
    std::thread shutdown([&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000, &result);
        answer = static_cast<LRESULT>(result);
    });
    meanwhile();
    shutdown.join();
    return answer;
}

TEST_F(StartAndClose, SystemShutdownAsksTooOneQuestionAtATimeAndTheViewerSavesOnTheWayOut) {
    folder_.Write("poplog.ini", "[Windows]\r\nTotal=1\r\nTitle  1=old kill\r\nDate  1=1/1/2026\r\n");
    Start();
    EXPECT_EQ(QueryEndSession(main_, [&] { AnswerCloseQuestion(IDNO); }), FALSE) << "No must veto the shutdown";
    EXPECT_FALSE(ProfileBytes().has_value());

    PostMessageA(main_, WM_CLOSE, 0, 0);
    auto box = app_->WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    // A second request and a system shutdown while the question is open: no second question, and the
    // shutdown is refused at once rather than left waiting.
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(QueryEndSession(main_, [] {}), FALSE);
    Sleep(300);
    EXPECT_EQ(app_->CountWindowsOf("#32770"), 1);
    Answer(*box, IDNO);

    // The viewer keeps "Clear Log" in memory until it closes: the end of the session must close it.
    ChooseCommand(main_, ids::MenuLog);
    HWND viewer = app_->LogWindow();
    ASSERT_NE(viewer, nullptr);
    Click(GetDlgItem(viewer, ids::log::Command2));
    ASSERT_TRUE(
        WaitUntil([&] { return SendMessageA(GetDlgItem(viewer, ids::log::LogList), LVM_GETITEMCOUNT, 0, 0) == 0; }));

    EXPECT_EQ(QueryEndSession(main_, [&] { AnswerCloseQuestion(IDYES); }), TRUE);
    EXPECT_EQ(ProfileBytes(), "[Windows]\r\nTotal=0\r\n") << "Yes saves before the session ends";
    PostMessageA(main_, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(app_->WaitForExit());
    EXPECT_EQ(folder_.Read("poplog.ini").value_or("").rfind("[Windows]\r\nTotal=0\r\n", 0), 0u)
        << "the cleared log was saved";
}

TEST_F(StartAndClose, RulesLoadInOrderNoOnEveryClosePathOrAFailedSaveChangesNothingAndYesRoundTrips) {
    Start(kTwoRules);
    const std::vector<std::vector<std::string>> expected = {
        {"Win a Prize", "Yes", "Begins", "No"},
        {"Free = Offer", "No", "Exact", "Yes"},
    };
    EXPECT_EQ(app_->ListRows(Control(ids::WinList), 4), expected);

    const auto closePaths = {
        +[](HWND main) { Click(GetDlgItem(main, ids::Command1)); },          // "Save and Exit"
        +[](HWND main) { ChooseCommand(main, ids::MenuClose); },             // File, "&Close"
        +[](HWND main) { PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0); },  // the close box
        +[](HWND main) { PostMessageA(main, WM_CLOSE, 0, 0); },
    };
    int path = 0;
    for (auto close : closePaths) {
        SCOPED_TRACE("close path " + std::to_string(path++));
        close(main_);
        AnswerCloseQuestion(IDNO);
        Sleep(200);
        EXPECT_TRUE(app_->Running());
        EXPECT_TRUE(IsWindowVisible(main_));
        EXPECT_EQ(ProfileBytes(), kTwoRules);
    }

    ZapnixProcess second(folder_);
    auto box = second.WaitForMessageBox("Message:");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text,
              "Zapnix is already running. Please locate the icon in your system tray and then click your right "
              "mouse button over it.");
    EXPECT_EQ(second.FindWindowOf("ZapnixFrm", nullptr), nullptr) << "the second copy shows no main window";
    Answer(*box, IDOK);
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_EQ(ProfileBytes(), kTwoRules) << "the second copy writes nothing";

    // A folder where the rule file should be: the save must fail, and say so.
    const std::string file = folder_.File("quorb.ini");
    ASSERT_TRUE(DeleteFileA(file.c_str()) && CreateDirectoryA(file.c_str(), nullptr));
    Click(Control(ids::Command1));
    AnswerCloseQuestion(IDYES);
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "a failed save must not pass silently";
    EXPECT_NE(error->text.find("could not be saved"), std::string::npos) << error->text;
    EXPECT_NE(error->text.find(file), std::string::npos) << error->text;
    Answer(*error, IDNO);
    Sleep(200);
    EXPECT_TRUE(app_->Running()) << "No keeps Zapnix running";
    EXPECT_TRUE(IsWindowVisible(main_));

    // Back in place with a stale first title: Yes must write the loaded rules over it and change nothing else.
    RemoveDirectoryA(file.c_str());
    folder_.Write("quorb.ini", std::string(kTwoRules).replace(kTwoRules.find("Win a Prize"), 11, "stale"));
    CloseWithYes();
    EXPECT_EQ(ProfileBytes(), kTwoRules) << "the same rules save to the same bytes";
}

// A rule file that a text editor saved as Unicode: its rules show, and closing writes them back as they
// were, still Unicode.
TEST_F(StartAndClose, AUnicodeRuleFileLoadsAndSavesBackUnchanged) {
    std::string unicode = "\xFF\xFE";
    for (const char c : kTwoRules) unicode.append({c, '\0'});
    Start(unicode);
    EXPECT_EQ(app_->ListRows(Control(ids::WinList), 1), (std::vector<std::vector<std::string>>{{"Win a Prize"}, {"Free = Offer"}}));
    CloseWithYes();
    EXPECT_EQ(ProfileBytes(), unicode);
}

// Files held open by another program (an editor, a backup, a virus scanner) while Zapnix runs: what it
// could not read, it never writes over.
HANDLE LockFile(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(StartAndClose, ARuleFileThatCannotBeReadIsReportedAndNeverOverwritten) {
    folder_.Write("quorb.ini", kTwoRules);
    UniqueHandle lock(LockFile(folder_.File("quorb.ini")));
    ASSERT_TRUE(lock);
    Start();
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "an unreadable rule file must not pass as an empty one";
    EXPECT_NE(error->text.find("could not be read from " + folder_.File("quorb.ini") +
                               ": another program is using the file."),
              std::string::npos)
        << error->text;
    Answer(*error, IDOK);
    EXPECT_EQ(SendMessageA(Control(ids::WinList), LVM_GETITEMCOUNT, 0, 0), 0);

    // Readable again by now, but what it holds was never loaded: saving would replace it with nothing.
    lock.Reset();
    Click(Control(ids::Command1));
    AnswerCloseQuestion(IDYES);
    error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->text.find("were not saved"), std::string::npos) << error->text;
    Answer(*error, IDYES);
    EXPECT_TRUE(app_->WaitForExit());
    EXPECT_EQ(ProfileBytes(), kTwoRules);
}

TEST_F(StartAndClose, KillsWhileTheLogIsLockedWaitAndTheStoredOnesStay) {
    folder_.Write("poplog.ini", "[Windows]\r\nTotal=1\r\nTitle  1=old kill\r\nDate  1=1/1/2020\r\n");
    UniqueHandle lock(LockFile(folder_.File("poplog.ini")));
    ASSERT_TRUE(lock);
    Start(
        "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\nCase    1=No\r\n"
        "[Settings]\r\nEnabled=1\r\nInterval=1\r\n");
    {
        PopupHost first({"IEFrame|shown|Win a Prize"});
        ASSERT_TRUE(WaitUntil([&] { return first.Window("IEFrame", "Win a Prize") == nullptr; }, 10s));
    }
    Sleep(300);  // the kill's log write comes up against the lock
    lock.Reset();

    PopupHost second({"IEFrame|shown|Another Prize"});
    ASSERT_TRUE(WaitUntil([&] { return second.Window("IEFrame", "Another Prize") == nullptr; }, 10s));
    // Read once Zapnix has ended: a look at the file while a kill replaces it would hold that save up.
    CloseWithYes();
    const std::string log = folder_.Read("poplog.ini").value_or("");
    EXPECT_NE(log.find("Total=3\r\n"), std::string::npos) << log;
    for (const std::string row : {"1=old kill", "2=Win a Prize", "3=Another Prize"})
        EXPECT_NE(log.find("Title  " + row + "\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace zapnix::e2e
