#include <functional>
#include <thread>

#include "ZapnixSession.h"
#include "platform/Handles.h"

namespace zapnix::e2e {
namespace {

using StartAndClose = ZapnixSession;

const std::string kTwoRules =
    "; kept as it is\r\n[Windows]\r\nTotal=2\r\n" + Rule(1, "Win a Prize", "Begins") +
    "Title   2=Free = Offer\r\nActive  2=No\r\nMatch   2=Exact\r\nCase    2=Yes\r\n"
    "Title   3=left over from a longer list\r\nActive  3=Yes\r\n\r\n[Other]\r\nSomething=else\r\n";

// As a text editor saves a file in Unicode.
std::string Utf16(const std::string& text) {
    std::string unicode = "\xFF\xFE";
    for (const char c : text) unicode.append({c, '\0'});
    return unicode;
}

// The system asks and waits for the answer while the user answers the closing question (or, when the
// question is open already, the answer comes at once).
LRESULT QueryEndSession(HWND main, const std::function<void()>& meanwhile) {
    DWORD_PTR answer = 0;
    std::thread shutdown([&] { SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000, &answer); });
    meanwhile();
    shutdown.join();
    return static_cast<LRESULT>(answer);
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
    HWND viewer = app_->WaitForShown("LogFrm");
    ASSERT_NE(viewer, nullptr);
    Click(GetDlgItem(viewer, ids::log::Command2));
    ASSERT_TRUE(WaitUntil([&] { return app_->ListRows(GetDlgItem(viewer, ids::log::LogList), 1).empty(); }));

    EXPECT_EQ(QueryEndSession(main_, [&] { AnswerCloseQuestion(IDYES); }), TRUE);
    EXPECT_EQ(ProfileBytes(), "[Windows]\r\nTotal=0\r\n") << "Yes saves before the session ends";
    PostMessageA(main_, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(app_->WaitForExit());
    EXPECT_TRUE(folder_.Read("poplog.ini").value_or("").starts_with("[Windows]\r\nTotal=0\r\n"))
        << "the cleared log was saved";
}

// The rule file here is one that a text editor saved as Unicode: its rules show, and it stays Unicode.
TEST_F(StartAndClose, RulesLoadInOrderNoOnEveryClosePathOrAFailedSaveChangesNothingAndYesRoundTripsInUnicode) {
    const std::string unicode = Utf16(kTwoRules);
    Start(unicode);
    EXPECT_EQ(app_->ListRows(Control(ids::WinList), 4),
              (Rows{{"Win a Prize", "Yes", "Begins", "No"}, {"Free = Offer", "No", "Exact", "Yes"}}));

    // "Save and Exit", File "&Close", the close box and a plain request to close.
    const struct {
        HWND to;
        UINT message;
        WPARAM wParam;
    } closePaths[] = {{Control(ids::Command1), BM_CLICK, 0},
                      {main_, WM_COMMAND, ids::MenuClose},
                      {main_, WM_SYSCOMMAND, SC_CLOSE},
                      {main_, WM_CLOSE, 0}};
    for (const auto& close : closePaths) {
        SCOPED_TRACE(close.message);
        PostMessageA(close.to, close.message, close.wParam, 0);
        AnswerCloseQuestion(IDNO);
        Sleep(200);
        EXPECT_TRUE(app_->Running() && IsWindowVisible(main_));
        EXPECT_EQ(ProfileBytes(), unicode);
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
    EXPECT_EQ(ProfileBytes(), unicode) << "the second copy writes nothing";

    // A folder where the rule file should be: the save must fail, and say so.
    const std::string file = folder_.File("quorb.ini");
    ASSERT_TRUE(DeleteFileA(file.c_str()) && CreateDirectoryA(file.c_str(), nullptr));
    Click(Control(ids::Command1));
    AnswerCloseQuestion(IDYES);
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "a failed save must not pass silently";
    EXPECT_NE(error->text.find("could not be saved to " + file), std::string::npos) << error->text;
    Answer(*error, IDNO);
    Sleep(200);
    EXPECT_TRUE(app_->Running() && IsWindowVisible(main_)) << "No keeps Zapnix running";

    // Back in place with a stale first title: Yes must write the loaded rules over it and change nothing else.
    RemoveDirectoryA(file.c_str());
    folder_.Write("quorb.ini", Utf16(std::string(kTwoRules).replace(kTwoRules.find("Win a Prize"), 11, "stale")));
    CloseWithYes();
    EXPECT_EQ(ProfileBytes(), unicode) << "the same rules save to the same bytes";
}

// Held open by another program (an editor, a backup, a virus scanner) at start-up: what Zapnix could not
// read, it never writes over.
TEST_F(StartAndClose, ARuleFileThatCannotBeReadIsReportedAndNeverOverwritten) {
    folder_.Write("quorb.ini", kTwoRules);
    UniqueHandle lock(CreateFileA(folder_.File("quorb.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    Start();
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "an unreadable rule file must not pass as an empty one";
    EXPECT_NE(error->text.find("could not be read from " + folder_.File("quorb.ini") +
                               ": another program is using the file."),
              std::string::npos)
        << error->text;
    Answer(*error, IDOK);
    EXPECT_EQ(app_->ListRows(Control(ids::WinList), 1), Rows{});

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

}  // namespace
}  // namespace zapnix::e2e
