// The update window in this process, against WinINet and a real HTTP server on the loopback address.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "LoopbackHttpServer.h"
#include "WinTestSupport.h"
#include "platform/WinInetHttpClient.h"
#include "update/UpgradeFrm.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;
using testing::CannedReply;
using testing::HttpAnswer;
using testing::TextOf;

constexpr char kManifest[] = "/zapnix/updates.txt";
constexpr char kPackage[] = "/zapnix/Zapnix-1.2.zip";
const std::string kStart = "Waiting for user action...\r\nConnecting to download server....";
const std::string kReceived = "\r\nResponse received from download server...\r\nVerifying version information...";
const std::string kLatest = kReceived + "\r\nYou are using the latest version of Zapnix!";
const std::string kNewer = kReceived + "\r\nAn update is available. Please click the download button to continue!";
const std::string kWrongData =
    "\r\nInvalid response received from download server.\r\nA connection was made but the wrong data was returned.";
const std::string kSuccess = "\r\nDownload success!";
const std::string kFailure = "\r\nDownload failed or was cancelled.";

std::string Failed(int code) {
    return "\r\nInvalid response received from download server (" + std::to_string(code) + "). Quitting.";
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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
        auto ask = [this](const SaveFileRequest& request) {
            asked_ = request;
            return saveAs_;
        };
        frm_ = UpgradeFrm::Create(context_, UpgradeServices{std::move(http), "http://127.0.0.1", ask});
        ASSERT_NE(frm_, nullptr);
        frm_->Show();
    }
    HWND Item(int id) const { return GetDlgItem(frm_->Hwnd(), id); }
    std::string Status() const { return TextOf(Item(Text1)); }
    int Bar() const { return static_cast<int>(SendMessageA(Item(ProgressBar1), PBM_GETPOS, 0, 0)); }
    void Click(int id) const { SendMessageA(frm_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Handles messages until the request under way has ended.
    void AwaitRequest() const {
        testing::Pump(15000, [&] { return IsWindowEnabled(Item(Command2)); });
        ASSERT_TRUE(IsWindowEnabled(Item(Command2))) << "the request did not end";
    }
    void Press(int id) const {
        ASSERT_TRUE(IsWindowEnabled(Item(id)));
        Click(id);
        AwaitRequest();
    }
    void CheckFindingVersion12(testing::LoopbackHttpServer& server) {
        server.Serve(kManifest, {HttpAnswer("1.20\r\n")});
        Press(Command2);
        ASSERT_EQ(TextOf(Item(Label3)), "1.2");
    }

    std::filesystem::path folder_;
    testing::TestWindowContext adapters_;
    WindowContext& context_ = adapters_.context;
    std::optional<std::string> saveAs_;
    std::optional<SaveFileRequest> asked_;
    std::unique_ptr<UpgradeFrm> frm_;
};

TEST_F(Upgrade, EachAnswerGivesItsLinesAndOffer) {
    {
        Open();  // nothing listens: refused
        Press(Command2);
        EXPECT_EQ(Status(), kStart + Failed(12029));
    }
    testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening()) << "cannot listen on 127.0.0.1:80";
    const struct {
        std::string answer, lines, offered;
    } cases[] = {
        {HttpAnswer("1.17"), kLatest, ""},
        {HttpAnswer("1.17\r\n"), kLatest, ""},
        {HttpAnswer("1.20"), kNewer, "1.2"},
        {HttpAnswer("2"), kNewer, "2"},
        {HttpAnswer("1.100"), kLatest, ""},
        {HttpAnswer("1.1799"), kNewer, "1.179"},
        {HttpAnswer("1.18 and more"), kNewer, "1.18"},
        {HttpAnswer("<html><body>Moved</body></html>"), kWrongData, ""},
        {HttpAnswer("v1.2"), kWrongData, ""},
        {HttpAnswer(""), kWrongData, ""},
        {HttpAnswer("1.20", "404 Not Found"), kWrongData, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        server.Serve(kManifest, {c.answer});
        Open();
        EXPECT_FALSE(IsWindowEnabled(Item(Command1)));
        Press(Command2);
        EXPECT_EQ(Status(), kStart + c.lines);
        EXPECT_EQ(TextOf(Item(Label3)), c.offered);
        EXPECT_EQ(IsWindowEnabled(Item(Command1)) != FALSE, !c.offered.empty());
        EXPECT_EQ(Bar(), 100);
    }
    EXPECT_EQ(server.RequestedPaths().front(), kManifest);

    // A server that never answers ends at the time-out. Windows reports it as 12002, Wine as 12030.
    server.Serve(kManifest, {"", true});
    Open(std::make_shared<WinInetHttpClient>(std::chrono::milliseconds(1000)));
    Press(Command2);
    EXPECT_TRUE(Status() == kStart + Failed(12002) || Status() == kStart + Failed(12030)) << Status();
}

TEST_F(Upgrade, ALaterCheckAppendsBelowAndKeepsTheOffer) {
    testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    Open();
    CheckFindingVersion12(server);
    server.Serve(kManifest, {HttpAnswer("1.17")});
    Click(Command2);
    EXPECT_EQ(Bar(), 100) << "a second check starts where the first left the bar";
    Click(Command2);  // refused while the first runs
    AwaitRequest();
    EXPECT_EQ(Status(), kStart + kNewer + "\r\nConnecting to download server...." + kLatest);
    EXPECT_EQ(TextOf(Item(Label3)), "1.2");
    EXPECT_TRUE(IsWindowEnabled(Item(Command1)));
}

TEST_F(Upgrade, WaitingForASilentServerSpendsNoProcessorTimeAndRefusesASecondRequest) {
    testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.Serve(kManifest, {"", true});
    Open();
    const auto cpuMs = [] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        const auto ticks = [](FILETIME t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
        return (ticks(kernel) + ticks(user)) / 10000;
    };
    Click(Command2);
    EXPECT_FALSE(IsWindowEnabled(Item(Command2)));
    EXPECT_FALSE(IsWindowEnabled(Item(Command1)));
    const ULONGLONG before = cpuMs();
    testing::Pump(10000, [] { return false; });
    const ULONGLONG spent = cpuMs() - before;
    std::printf("processor time during a 10 s wait for a silent server: %llu ms\n", spent);
    EXPECT_LT(spent, 1000u);
    EXPECT_GT(Bar(), 0) << "the bar shows that the check is under way";
    EXPECT_EQ(server.RequestedPaths().size(), 1u);
}

TEST_F(Upgrade, OnlyAWholePackageReplacesTheFile) {
    testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    const std::string package(200000, 'z');
    const std::string whole = HttpAnswer(package);
    const struct {
        const char* name;
        std::string answer;
        const char* saveAs;
        bool saved;
    } cases[] = {
        {"whole", whole, "Zapnix-1.2.zip", true},
        {"no length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + package, "Zapnix-1.2.zip", true},
        {"elsewhere", whole, "other/pkg.zip", true},
        {"not found", HttpAnswer("<html>gone</html>", "404 Not Found"), "Zapnix-1.2.zip", false},
        {"cut short", whole.substr(0, whole.size() - 1000), "Zapnix-1.2.zip", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path target = folder_ / c.saveAs;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << "earlier";
        saveAs_ = target.string();
        server.Serve(kPackage, {c.answer});
        Open();
        CheckFindingVersion12(server);
        Press(Command1);
        ASSERT_TRUE(asked_);
        EXPECT_EQ(asked_->folder, folder_.string());
        EXPECT_EQ(asked_->fileName, "Zapnix-1.2.zip");
        EXPECT_EQ(server.RequestedPaths().back(), kPackage);
        EXPECT_EQ(Slurp(target), c.saved ? package : "earlier");
        EXPECT_EQ(Status(), kStart + kNewer + (c.saved ? kSuccess : kFailure));
        EXPECT_EQ(Bar(), 0);
        for (const auto& entry : std::filesystem::directory_iterator(target.parent_path()))
            EXPECT_TRUE(entry.is_directory() || entry.path() == target) << entry.path() << " left behind";
    }
}

TEST_F(Upgrade, CancellingLeavesNoFileAndTheWindowReady) {
    testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    const std::string whole = HttpAnswer(std::string(1000, 'z'));
    server.Serve(kPackage, {whole.substr(0, whole.size() - 990), true});
    Open();
    CheckFindingVersion12(server);
    Press(Command1);  // the save dialog cancelled: nothing is fetched
    EXPECT_EQ(server.RequestedPaths().back(), kManifest);

    saveAs_ = (folder_ / "Zapnix-1.2.zip").string();
    Click(Command1);
    ASSERT_NE(frm_->Download(), nullptr);
    HWND progress = frm_->Download()->Hwnd();
    EXPECT_EQ(TextOf(progress), "Zapnix Upgrade Download");
    testing::Pump(10000, [&] { return TextOf(GetDlgItem(progress, DownloadText)) == "Received 10 of 1000 bytes"; });
    EXPECT_EQ(TextOf(GetDlgItem(progress, DownloadText)), "Received 10 of 1000 bytes");
    EXPECT_FALSE(IsWindowEnabled(Item(Command1)));

    PostMessageA(progress, WM_COMMAND, DownloadCancel, 0);
    testing::Pump(5000, [&] { return IsWindowEnabled(Item(Command1)); });
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(Status(), kStart + kNewer + kFailure + kFailure);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Zapnix-1.2.zip"));
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

TEST_F(Upgrade, AFailedCheckIsReportedAndTheWindowGoesOn) {
    Open(std::make_shared<FailingHttp>());
    std::string text;
    bool icon = true;
    std::thread answer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, Sleep(20)) box = FindWindowA("#32770", "Zapnix");
        icon = false;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = icon || (IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0));
            else if (TextOf(child).size() > text.size())
                text = TextOf(child);
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Press(Command2);
    answer.join();
    EXPECT_EQ(text, "An error occured: \r\nThe Internet functions could not be started.\r\n12004\r\n87");
    EXPECT_FALSE(icon);
    EXPECT_TRUE(IsWindowEnabled(Item(Command2))) << "the window stays usable";
}

}  // namespace
}  // namespace zapnix
