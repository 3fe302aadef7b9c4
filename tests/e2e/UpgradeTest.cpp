// "Check" and "Download" in the real program, against an HTTP server on the loopback address: the copy
// of Zapnix built to ask 127.0.0.1 instead of the maker's server.

#include "LoopbackHttpServer.h"
#include "ZapnixSession.h"
#include "update/UpgradeIds.h"

namespace zapnix::e2e {
namespace {

using namespace ids::upgrade;
using testing::HttpAnswer;

std::string LoopbackExePath() {
    char buffer[MAX_PATH * 4] = {};
    if (GetEnvironmentVariableA("ZAPNIX_LOOPBACK_EXE", buffer, sizeof(buffer)) == 0) return {};
    std::string path = buffer;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}

class Upgrade : public ZapnixSession {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Listening()) << "cannot listen on 127.0.0.1:80";
        // Started under the name of the real program, in its scratch folder.
        ASSERT_TRUE(CopyFileA(LoopbackExePath().c_str(), folder_.File("Zapnix.exe").c_str(), FALSE))
            << "no ZapnixLoopback.exe at " << LoopbackExePath();
        Start();
        ChooseCommand(main_, ids::MenuUpgrade);
        // Found once shown: the window exists hidden for a moment while it is being filled.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(upgrade_ = app_->FindWindowOf("UpgradeFrm", nullptr)); }));
    }
    std::string Status() const { return WindowText(GetDlgItem(upgrade_, Text1)); }
    bool StatusEndsWith(const std::string& line) const { return Status().ends_with("\r\n" + line); }

    testing::LoopbackHttpServer server_;
    HWND upgrade_ = nullptr;
};

TEST_F(Upgrade, CheckFindsTheNewerVersionAndDownloadSavesItsPackage) {
    const std::string package = "PK\x03\x04 the package of 1.2";
    server_.Serve("/zapnix/updates.txt", {HttpAnswer("1.20\r\nsee www.quorb.com")});
    server_.Serve("/zapnix/Zapnix-1.2.zip", {HttpAnswer(package)});
    EXPECT_TRUE(IsWindowVisible(upgrade_));
    EXPECT_EQ(WindowText(upgrade_), "Zapnix Popup Killer");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(upgrade_, Command1)));

    Click(GetDlgItem(upgrade_, Command2));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(upgrade_, Command1)); }));
    EXPECT_EQ(Status(),
              "Waiting for user action...\r\nConnecting to download server....\r\nResponse received from download "
              "server...\r\nVerifying version information...\r\nAn update is available. Please click the download "
              "button to continue!");
    EXPECT_EQ(WindowText(GetDlgItem(upgrade_, Label3)), "1.2");

    // The system's save dialog proposes the program's folder and the package's name: Save takes them.
    Click(GetDlgItem(upgrade_, Command1));
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        save = app_->FindWindowOf("#32770", nullptr);
        return save && IsWindowVisible(save);
    }));
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return StatusEndsWith("Download success!"); })) << Status();
    EXPECT_EQ(folder_.Read("Zapnix-1.2.zip"), package);
    EXPECT_EQ(server_.RequestedPaths().back(), "/zapnix/Zapnix-1.2.zip");

    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
