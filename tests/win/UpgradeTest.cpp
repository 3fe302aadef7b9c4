// The update window in this process, against WinINet and a real HTTP server on the loopback address.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "LoopbackHttpServer.h"
#include "WinTestSupport.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"
#include "platform/WinInetHttpClient.h"
#include "update/UpgradeFrm.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;
using testing::CannedReply;
using testing::LoopbackHttpServer;
using testing::Pump;
using testing::TextOf;

constexpr char kManifest[] = "/zapnix/updates.txt";
constexpr char kPackage[] = "/zapnix/Zapnix-1.2.zip";
const std::string kWaiting = "Waiting for user action...";
const std::string kConnecting = "\r\nConnecting to download server....";
const std::string kReceived = "\r\nResponse received from download server...\r\nVerifying version information...";
const std::string kLatest = kReceived + "\r\nYou are using the latest version of Zapnix!";
const std::string kNewer = kReceived + "\r\nAn update is available. Please click the download button to continue!";
const std::string kWrongData =
    "\r\nInvalid response received from download server.\r\nA connection was made but the wrong data was returned.";

std::string Failed(int code) {
    return "\r\nInvalid response received from download server (" + std::to_string(code) + "). Quitting.";
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A request machinery that fails before any transfer, as a broken system would.
class FailingHttp : public HttpClient {
public:
    HttpResponse Get(const std::string&, std::uint64_t, const HttpProgress&) override {
        HttpResponse response;
        response.failure = HttpFailure{"The Internet functions could not be started.", 12004, 87};
        return response;
    }
};

class Upgrade : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("zapnix-upgrade-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        context_.folder = folder_.string();
    }
    void TearDown() override {
        frm_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Open(std::shared_ptr<HttpClient> http = std::make_shared<WinInetHttpClient>()) {
        frm_ = UpgradeFrm::Create(
            context_, UpgradeServices{std::move(http), "http://127.0.0.1", [this](const SaveFileRequest& request) {
                                          asked_ = request;
                                          return saveAs_;
                                      }});
        ASSERT_NE(frm_, nullptr);
        frm_->Show();
    }
    HWND Item(int id) const { return GetDlgItem(frm_->Hwnd(), id); }
    std::string Status() const { return TextOf(Item(Text1)); }
    int Bar() const { return static_cast<int>(SendMessageA(Item(ProgressBar1), PBM_GETPOS, 0, 0)); }

    void Click(int id) const {
        SendMessageA(frm_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    // Handles messages until the request under way has ended.
    void AwaitRequest() const {
        Pump(15000, [&] { return IsWindowEnabled(Item(Command2)); });
        ASSERT_TRUE(IsWindowEnabled(Item(Command2))) << "the request did not end";
    }
    void Press(int id) const {
        ASSERT_TRUE(IsWindowEnabled(Item(id)));
        Click(id);
        AwaitRequest();
    }
    // A check that finds version 1.2 on offer.
    void CheckFindingNewerVersion(LoopbackHttpServer& server) {
        server.Serve(kManifest, CannedReply("1.20\r\n"));
        Press(Command2);
        ASSERT_EQ(TextOf(Item(Label3)), "1.2");
    }

    std::filesystem::path folder_;
    Win32WindowSystem windows_;
    Win32TextCase textCase_;
    WindowContext context_{"", nullptr, nullptr, windows_, textCase_, nullptr};
    std::optional<std::string> saveAs_;
    std::optional<SaveFileRequest> asked_;
    std::unique_ptr<UpgradeFrm> frm_;
};

TEST_F(Upgrade, EachManifestGivesItsLinesAndOffer) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening()) << "cannot listen on 127.0.0.1:80";
    const struct {
        CannedReply reply;
        std::string lines;
        std::string offered;
    } cases[] = {
        {CannedReply("1.17"), kLatest, ""},
        {CannedReply("1.17\r\n"), kLatest, ""},
        {CannedReply("1.20"), kNewer, "1.2"},
        {CannedReply("2"), kNewer, "2"},
        {CannedReply("1.100"), kLatest, ""},
        {CannedReply("1.1799"), kNewer, "1.179"},
        {CannedReply("1.18 and more"), kNewer, "1.18"},
        {CannedReply("<html><body>Moved</body></html>"), kWrongData, ""},
        {CannedReply("v1.2"), kWrongData, ""},
        {CannedReply(""), kWrongData, ""},
        {CannedReply("1.20", "404 Not Found"), kWrongData, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.status + " " + c.reply.body);
        server.Serve(kManifest, c.reply);
        Open();
        EXPECT_EQ(Status(), kWaiting);
        EXPECT_FALSE(IsWindowEnabled(Item(Command1)));
        Press(Command2);
        EXPECT_EQ(Status(), kWaiting + kConnecting + c.lines);
        EXPECT_EQ(TextOf(Item(Label3)), c.offered);
        EXPECT_EQ(IsWindowEnabled(Item(Command1)) != FALSE, !c.offered.empty());
        EXPECT_EQ(Bar(), 100);
    }
    EXPECT_EQ(server.RequestedPaths().size(), std::size(cases));
    EXPECT_EQ(server.RequestedPaths().front(), kManifest);
}

TEST_F(Upgrade, FailedTransfersGiveTheirCode) {
    {
        // Refused: nothing listens.
        Open();
        Press(Command2);
        EXPECT_EQ(Status(), kWaiting + kConnecting + Failed(12029));
    }
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.Serve(kManifest, CannedReply::Silent());
    Open(std::make_shared<WinInetHttpClient>(std::chrono::milliseconds(1000)));
    const DWORD start = GetTickCount();
    Press(Command2);
    EXPECT_LT(GetTickCount() - start, 5000u) << "a server that never answers ends at the time-out";
    // Windows reports the time-out as 12002; Wine as a dropped connection, 12030.
    EXPECT_TRUE(Status() == kWaiting + kConnecting + Failed(12002) ||
                Status() == kWaiting + kConnecting + Failed(12030))
        << Status();
}

TEST_F(Upgrade, ALaterCheckAppendsBelowAndKeepsTheOffer) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    Open();
    CheckFindingNewerVersion(server);
    server.Serve(kManifest, CannedReply("1.17"));
    Click(Command2);
    EXPECT_EQ(Bar(), 100) << "a second check starts where the first left the bar";
    Click(Command2);  // refused while the first runs
    AwaitRequest();
    EXPECT_EQ(Status(), kWaiting + kConnecting + kNewer + kConnecting + kLatest);
    EXPECT_EQ(TextOf(Item(Label3)), "1.2");
    EXPECT_TRUE(IsWindowEnabled(Item(Command1)));
}

TEST_F(Upgrade, WaitingForASilentServerSpendsNoProcessorTimeAndRefusesASecondRequest) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.Serve(kManifest, CannedReply::Silent());
    Open();
    const auto cpu = [] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        const auto ticks = [](FILETIME t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
        return (ticks(kernel) + ticks(user)) / 10000;  // milliseconds
    };
    Click(Command2);
    EXPECT_FALSE(IsWindowEnabled(Item(Command2)));
    EXPECT_FALSE(IsWindowEnabled(Item(Command1)));
    const ULONGLONG before = cpu();
    Pump(10000, [] { return false; });
    const ULONGLONG spent = cpu() - before;
    std::printf("processor time during a 10 s wait for a silent server: %llu ms\n", spent);
    EXPECT_LT(spent, 1000u);
    EXPECT_GT(Bar(), 0) << "the bar shows that the check is under way";
    EXPECT_LT(Bar(), 100);
    EXPECT_EQ(server.RequestedPaths().size(), 1u);
    // Closing the window meanwhile drops the request; its thread ends when the server goes.
}

TEST_F(Upgrade, OnlyAWholePackageReplacesTheFile) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    const std::string package(200000, 'z');
    const struct {
        const char* name;
        CannedReply reply;
        bool otherFolder;
        bool saved;
    } cases[] = {
        {"whole", CannedReply(package), false, true},
        {"whole, no length announced", CannedReply(package).WithoutLength(), false, true},
        {"into another folder", CannedReply(package), true, true},
        {"not found", CannedReply("<html>gone</html>", "404 Not Found"), false, false},
        {"cut short", CannedReply(package).SendingOnly(1000), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path target = c.otherFolder ? folder_ / "other" / "pkg.zip" : folder_ / "Zapnix-1.2.zip";
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << "earlier";
        saveAs_ = target.string();
        server.Serve(kPackage, c.reply);
        Open();
        CheckFindingNewerVersion(server);
        Press(Command1);
        ASSERT_TRUE(asked_);
        EXPECT_EQ(asked_->folder, folder_.string());
        EXPECT_EQ(asked_->fileName, "Zapnix-1.2.zip");
        EXPECT_EQ(server.RequestedPaths().back(), kPackage);
        EXPECT_EQ(Slurp(target), c.saved ? package : "earlier");
        EXPECT_EQ(Status(), kWaiting + kConnecting + kNewer + "\r\n" +
                                (c.saved ? "Download success!" : "Download failed or was cancelled."));
        EXPECT_EQ(Bar(), 0);
        EXPECT_EQ(frm_->Download(), nullptr);
        for (const auto& entry : std::filesystem::directory_iterator(target.parent_path()))
            EXPECT_TRUE(entry.is_directory() || entry.path() == target) << entry.path() << " left beside the package";
    }
}

TEST_F(Upgrade, CancellingLeavesNoFileAndTheWindowReady) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.Serve(kPackage, CannedReply(std::string(1000, 'z')).SendingOnly(10).HeldOpen());
    Open();
    CheckFindingNewerVersion(server);

    saveAs_.reset();  // the save dialog cancelled: nothing is asked of the server
    Press(Command1);
    EXPECT_EQ(server.RequestedPaths().back(), kManifest);
    EXPECT_TRUE(Status().ends_with("\r\nDownload failed or was cancelled."));

    saveAs_ = (folder_ / "Zapnix-1.2.zip").string();
    Click(Command1);
    ASSERT_NE(frm_->Download(), nullptr);
    HWND progress = frm_->Download()->Hwnd();
    EXPECT_EQ(TextOf(progress), "Zapnix Upgrade Download");
    Pump(10000, [&] { return TextOf(GetDlgItem(progress, DownloadText)) == "Received 10 of 1000 bytes"; });
    EXPECT_EQ(TextOf(GetDlgItem(progress, DownloadText)), "Received 10 of 1000 bytes");
    EXPECT_FALSE(IsWindowEnabled(Item(Command1)));

    PostMessageA(progress, WM_COMMAND, MAKEWPARAM(DownloadCancel, BN_CLICKED), 0);
    Pump(5000, [&] { return IsWindowEnabled(Item(Command1)); });
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_TRUE(IsWindowEnabled(Item(Command2)));
    EXPECT_EQ(Status(), kWaiting + kConnecting + kNewer + "\r\nDownload failed or was cancelled." +
                            "\r\nDownload failed or was cancelled.");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Zapnix-1.2.zip"));
}

TEST_F(Upgrade, AFailedCheckIsReportedAndTheWindowGoesOn) {
    Open(std::make_shared<FailingHttp>());
    std::string boxText;
    bool boxHasIcon = true;
    std::thread answer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, Sleep(20)) box = FindWindowA("#32770", "Zapnix");
        if (!box) return;
        boxHasIcon = false;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const bool isIcon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            if (isIcon && IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0)) boxHasIcon = true;
            if (!isIcon && TextOf(child).size() > boxText.size()) boxText = TextOf(child);
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Press(Command2);
    answer.join();
    EXPECT_EQ(boxText, "An error occured: \r\nThe Internet functions could not be started.\r\n12004\r\n87");
    EXPECT_FALSE(boxHasIcon);
    EXPECT_TRUE(IsWindow(frm_->Hwnd()));
    EXPECT_TRUE(IsWindowEnabled(Item(Command2))) << "the window stays usable";
}

}  // namespace
}  // namespace zapnix
