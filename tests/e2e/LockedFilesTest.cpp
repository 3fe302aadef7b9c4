// Files held open by another program (an editor, a backup, a virus scanner) while Zapnix runs: what it
// could not read, it never writes over.

#include "ZapnixSession.h"

namespace zapnix::e2e {
namespace {

// Holds the file open without sharing it, as a program that locks it would.
class Lock {
public:
    explicit Lock(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~Lock() { Release(); }
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

using LockedFiles = ZapnixSession;

TEST_F(LockedFiles, ARuleFileThatCannotBeReadIsReportedAndNeverOverwritten) {
    const std::string rules =
        "[Windows]\r\nTotal=1\r\nTitle   1=Win a Prize\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n";
    folder_.Write("quorb.ini", rules);
    Lock lock(folder_.File("quorb.ini"));
    ASSERT_TRUE(lock.Held());
    Start();
    auto error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value()) << "an unreadable rule file must not pass as an empty one";
    EXPECT_NE(error->text.find("could not be read"), std::string::npos) << error->text;
    Answer(*error, IDOK);
    EXPECT_EQ(SendMessageA(Control(ids::WinList), LVM_GETITEMCOUNT, 0, 0), 0);

    // Readable again by now, but what it holds was never loaded: saving would replace it with nothing.
    lock.Release();
    Click(Control(ids::Command1));
    AnswerCloseQuestion(IDYES);
    error = app_->WaitForMessageBox("Error:");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->text.find("were not saved"), std::string::npos) << error->text;
    Answer(*error, IDYES);
    EXPECT_TRUE(app_->WaitForExit());
    EXPECT_EQ(ProfileBytes(), rules);
}

TEST_F(LockedFiles, KillsWhileTheLogIsLockedWaitAndTheStoredOnesStay) {
    folder_.Write("poplog.ini", "[Windows]\r\nTotal=1\r\nTitle  1=old kill\r\nDate  1=1/1/2020\r\n");
    Lock lock(folder_.File("poplog.ini"));
    ASSERT_TRUE(lock.Held());
    Start("[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\nCase    1=No\r\n"
          "[Settings]\r\nEnabled=1\r\nInterval=1\r\n");
    {
        PopupHost first({"IEFrame|shown|Win a Prize"});
        ASSERT_TRUE(WaitUntil([&] { return first.Window("IEFrame", "Win a Prize") == nullptr; }, 10s));
    }
    Sleep(300);
    lock.Release();
    EXPECT_EQ(folder_.Read("poplog.ini"), "[Windows]\r\nTotal=1\r\nTitle  1=old kill\r\nDate  1=1/1/2020\r\n");

    PopupHost second({"IEFrame|shown|Another Prize"});
    ASSERT_TRUE(WaitUntil([&] { return folder_.Read("poplog.ini").value_or("").find("Total=3") != std::string::npos; },
                          10s))
        << folder_.Read("poplog.ini").value_or("");
    const std::string log = folder_.Read("poplog.ini").value_or("");
    EXPECT_NE(log.find("Title  1=old kill\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Title  2=Win a Prize\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Title  3=Another Prize\r\n"), std::string::npos) << log;
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
