// "Check" and "Download" in the real program, against an HTTP server on the loopback address: the copy
// of Zapnix built to ask 127.0.0.1 instead of the maker's server.

#include <cstdlib>

#include "LoopbackHttpServer.h"
#include "ZapnixSession.h"
#include "update/UpgradeIds.h"

namespace zapnix::e2e {
namespace {

using namespace ids::upgrade;
using Upgrade = ZapnixSession;

std::string StatusText(HWND upgrade) {
    char text[4096] = {};  // asked by message: another process's edit control
    SendMessageA(GetDlgItem(upgrade, Text1), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// First a server that redirects the check to itself again and again, then one that answers.
TEST_F(Upgrade, CheckFindsTheNewerVersionAndDownloadSavesItsPackage) {
    testing::LoopbackHttpServer server;
    const std::string package = "PK\x03\x04 the package of 1.2";
    server.Serve(
        "/zapnix/updates.txt",
        "HTTP/1.1 302 Found\r\nLocation: /zapnix/updates.txt\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    server.Serve("/zapnix/Zapnix-1.2.zip", testing::HttpAnswer(package));
    // Started under the name of the real program, in its scratch folder; Wine finds a Unix path on drive Z:.
    const char* loopbackExe = std::getenv("ZAPNIX_LOOPBACK_EXE");
    ASSERT_TRUE(loopbackExe && CopyFileA(loopbackExe, folder_.File("Zapnix.exe").c_str(), FALSE))
        << "no ZAPNIX_LOOPBACK_EXE to copy";
    Start();
    ChooseCommand(main_, ids::MenuUpgrade);
    HWND upgrade = nullptr;
    // Found once shown: the window exists hidden for a moment while it is being filled.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(upgrade = app_->FindWindowOf("UpgradeFrm", nullptr)); }));
    Click(GetDlgItem(upgrade, Command2));
    EXPECT_TRUE(WaitUntil([&] { return StatusText(upgrade).ends_with("server (12156). Quitting."); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(upgrade, Command2)); }));
    EXPECT_EQ(server.Requests("/zapnix/updates.txt"), 6) << "the first and five redirects";

    server.Serve("/zapnix/updates.txt", testing::HttpAnswer("1.20\r\nsee www.quorb.com"));
    Click(GetDlgItem(upgrade, Command2));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(upgrade, Command1)); }));

    // The system's save dialog proposes the program's folder and the package's name: Save takes them.
    Click(GetDlgItem(upgrade, Command1));
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (save = app_->FindWindowOf("#32770", nullptr)) && IsWindowVisible(save); }));
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return folder_.Read("Zapnix-1.2.zip") == package; }));
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
