// The loop from a release to the users' update check: the folder that scripts/release.sh lays out for the
// update server (here version 1.18, built to ask the loopback address; see CMakeLists.txt) is served on
// 127.0.0.1. A Zapnix of this build (1.17) is offered the release and downloads its package whole; the
// program inside that package knows it is the latest.

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "LoopbackHttpServer.h"
#include "ZapnixSession.h"
#include "update/UpgradeIds.h"

namespace zapnix::e2e {
namespace {

using namespace ids::upgrade;

// The version record of an executable: its "ProductVersion" text and its FILEVERSION as "a.b.c.d".
using VersionRecord = std::pair<std::string, std::string>;
VersionRecord VersionRecordOf(const std::string& exe) {
    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeA(exe.c_str(), &ignored), '\0');
    void* text = nullptr;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion", &text, &size) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &size))
        return {};
    const auto halves = [](DWORD v) { return std::to_string(HIWORD(v)) + "." + std::to_string(LOWORD(v)); };
    return {static_cast<const char*>(text), halves(fixed->dwFileVersionMS) + "." + halves(fixed->dwFileVersionLS)};
}

class ReleaseLoop : public ZapnixSession {
protected:
    ReleaseLoop() : ZapnixSession("zapnix-release") {}

    void SetUp() override {
        const std::string release = PathFromEnvironment("ZAPNIX_RELEASE");
        ASSERT_FALSE(release.empty()) << "no ZAPNIX_RELEASE: the release is made by the test release_build_twice_alike";
        release_.emplace(release);
        manifest_ = ReleaseBytes("zapnix\\updates.txt");
        package_ = ReleaseBytes("zapnix\\Zapnix-1.18.zip");
        ASSERT_EQ(manifest_, "1.18\r\n");
        ASSERT_GT(package_.size(), 100000u) << "no program in the package";
        const std::string signature = ReleaseBytes("zapnix\\Zapnix-1.18.zip.sig");
        ASSERT_EQ(signature.size(), 64u) << "the release is signed (with the tests' key)";
        server_.Serve("/zapnix/updates.txt", testing::HttpAnswer(manifest_));
        server_.Serve("/zapnix/Zapnix-1.18.zip", testing::HttpAnswer(package_));
        server_.Serve("/zapnix/Zapnix-1.18.zip.sig", testing::HttpAnswer(signature));
    }

    std::string ReleaseBytes(const std::string& relative) const {
        std::ifstream file(*release_ + "\\" + relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    // Starts the program at `exe` in the scratch folder, as Zapnix.exe, and opens its update window.
    void StartAndOpenUpdates(const std::string& exe) {
        ASSERT_TRUE(CopyFileA(exe.c_str(), folder_.File("Zapnix.exe").c_str(), FALSE)) << "cannot copy " << exe;
        Start();
        ChooseCommand(main_, ids::MenuUpgrade);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(upgrade_ = app_->FindWindowOf("UpgradeFrm", nullptr)); }));
    }

    // "Check", and the status box's last line once the answer has been read.
    std::string Check() const {
        Click(GetDlgItem(upgrade_, Command2));
        std::string status;
        WaitUntil([&] {
            status = WindowText(GetDlgItem(upgrade_, Text1));
            return status.find("Verifying version information...") != std::string::npos ||
                   status.find("Invalid response") != std::string::npos;
        });
        return status.substr(status.rfind("\r\n") + 2);
    }

    std::optional<std::string> release_;
    std::string manifest_, package_;
    testing::LoopbackHttpServer server_;
    HWND upgrade_ = nullptr;
};

TEST_F(ReleaseLoop, AZapnixOfThisBuildIsOfferedTheReleaseAndItsDownloadIsThePackageByteForByte) {
    const std::string exe = PathFromEnvironment("ZAPNIX_LOOPBACK_EXE");
    ASSERT_EQ(VersionRecordOf(exe), VersionRecord("1.17", "1.170.0.0"))
        << "this build must be older than the release";
    StartAndOpenUpdates(exe);
    EXPECT_EQ(WindowText(GetDlgItem(upgrade_, Label2)), "Installed version: 1.17");

    EXPECT_EQ(Check(), "An update is available. Please click the download button to continue!");
    EXPECT_EQ(WindowText(GetDlgItem(upgrade_, Label3)), "1.18");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(upgrade_, Command1)) != FALSE; }));
    // The save dialog proposes the program's folder and the package's name: Save takes them.
    Click(GetDlgItem(upgrade_, Command1));
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (save = app_->FindWindowOf("#32770", nullptr)) && IsWindowVisible(save); }));
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return folder_.Read("Zapnix-1.18.zip") == package_; }, 20s))
        << "the saved file is not the package served";
    CloseWithYes();
}

TEST_F(ReleaseLoop, TheProgramInThePackageIsTheReleasesVersionAndFindsItselfTheLatest) {
    const std::string exe = *release_ + "\\unpacked\\Zapnix.exe";
    EXPECT_EQ(VersionRecordOf(exe), VersionRecord("1.18", "1.180.0.0"));
    StartAndOpenUpdates(exe);
    EXPECT_EQ(WindowText(GetDlgItem(upgrade_, Label2)), "Installed version: 1.18");

    EXPECT_EQ(Check(), "You are using the latest version of Zapnix!");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(upgrade_, Command1))) << "nothing to download";
    CloseWithYes();
}

}  // namespace
}  // namespace zapnix::e2e
