// The update window in this process, against WinINet and a real HTTP server on the loopback address.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <thread>

#include "../unit/TempFolder.h"
#include "LoopbackHttpServer.h"
#include "WinTestSupport.h"
#include "platform/WinInetHttpClient.h"
#include "update/UpgradeFrm.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;
using testing::HttpAnswer;

const std::string kReceived = "\r\nResponse received from download server...\r\nVerifying version information...";
const std::string kNewer = kReceived + "\r\nAn update is available. Please click the download button to continue!";
const std::string kFailure = "\r\nDownload failed or was cancelled.";

class Upgrade : public TempFolderTest {
protected:
    void Open(std::shared_ptr<HttpClient> http = std::make_shared<WinInetHttpClient>(std::chrono::seconds(2))) {
        adapters_.context.folder = folder_.string();
        auto ask = [this](const SaveFileRequest& request) {  // a save dialog that saves when opened in our folder
            return request.folder == folder_.string() ? saveAs_ : std::nullopt;
        };
        frm_ = UpgradeFrm::Create(adapters_.context, UpgradeServices{std::move(http), "http://127.0.0.1", ask});
        ASSERT_NE(frm_, nullptr);
    }
    HWND Item(int id) const { return GetDlgItem(frm_->Hwnd(), id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::string Status() const {  // grows beyond what TextOf reads
        std::string text(GetWindowTextLengthA(Item(Text1)) + 1, '\0');
        text.resize(GetWindowTextA(Item(Text1), text.data(), static_cast<int>(text.size())));
        return text;
    }
    int Bar() const { return static_cast<int>(SendMessageA(Item(ProgressBar1), PBM_GETPOS, 0, 0)); }
    void Click(int id) const { SendMessageA(frm_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Sees both buttons refused while the request runs, and handles messages until it has ended.
    void AwaitRequest() const {
        EXPECT_FALSE(Enabled(Command1) || Enabled(Command2)) << "a second request while one runs";
        testing::Pump(15000, [&] { return Enabled(Command2); });
    }

    testing::TestWindowContext adapters_;
    std::optional<std::string> saveAs_;
    std::unique_ptr<UpgradeFrm> frm_;
    std::optional<testing::LoopbackHttpServer> server_{std::in_place};
};

// One window checks again and again, each check appending its lines and an offer staying; then it downloads.
TEST_F(Upgrade, ChecksAppendTheirLinesAndOnlyAWholePackageReplacesTheFile) {
    const struct {
        std::string answer, offered, lines;
    } checks[] = {
        // A server that never answers: the time-out's code (as Wine gives it; see below).
        {"", "", "\r\nInvalid response received from download server (12030). Quitting."},
        {HttpAnswer("1.20", "404 Not Found"), "",
         "\r\nInvalid response received from download server.\r\nA connection was made but the wrong data was "
         "returned."},
        {HttpAnswer("1.20"), "1.2", kNewer},
        {HttpAnswer("1.17"), "1.2", kReceived + "\r\nYou are using the latest version of Zapnix!"},
        {"refused", "1.2", "\r\nInvalid response received from download server (12029). Quitting."},
    };
    Open();
    std::string status = "Waiting for user action...";
    for (const auto& c : checks) {
        if (c.answer == "refused") server_.reset();  // nothing listens
        if (server_) server_->Serve("/zapnix/updates.txt", c.answer, c.answer.empty());
        Click(Command2);
        Click(Command2);         // refused while the first runs
        if (c.answer.empty()) {  // meanwhile the bar shows that the check is under way
            testing::Pump(1000, [] { return false; });
            EXPECT_GT(Bar(), 0);
        }
        AwaitRequest();
        std::string shown = Status();
        // Windows reports the time-out as 12002, Wine as 12030: both mean the server never answered.
        if (const auto at = shown.find("(12002)"); at != std::string::npos) shown.replace(at + 1, 5, "12030");
        EXPECT_EQ(shown, status += "\r\nConnecting to download server...." + c.lines);
        EXPECT_EQ(testing::TextOf(Item(Label3)), c.offered);
        EXPECT_EQ(Enabled(Command1), !c.offered.empty());
        EXPECT_EQ(Bar(), 100);
    }

    server_.emplace();
    const std::string package(200000, 'z');
    const std::string whole = HttpAnswer(package);
    const struct {
        std::string answer;
        const char* saveAs;
        bool saved, cancel = false;
    } downloads[] = {
        {whole, "Zapnix-1.2.zip", true},
        {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + package, "Zapnix-1.2.zip", true},  // no length
        {whole, "other/pkg.zip", true},
        {HttpAnswer("<html>gone</html>", "404 Not Found"), "Zapnix-1.2.zip", false},
        {whole.substr(0, whole.size() - 1000), "Zapnix-1.2.zip", false},                       // cut short
        {whole.substr(0, whole.size() - package.size() + 10), "Zapnix-1.2.zip", false, true},  // cancelled on the way
    };
    Click(Command1);  // the save dialog cancelled: nothing is fetched
    status += kFailure;
    for (const auto& c : downloads) {
        SCOPED_TRACE(c.answer.substr(0, 40) + c.saveAs);
        const std::filesystem::path target = folder_ / c.saveAs;
        std::filesystem::create_directories(target.parent_path());
        Store(target.string(), "earlier");
        server_->Serve("/zapnix/Zapnix-1.2.zip", c.answer, c.cancel);
        saveAs_ = target.string();
        Click(Command1);
        if (c.cancel) {
            HWND progress = frm_->Download() ? frm_->Download()->Hwnd() : nullptr;
            const auto shown = [&] { return testing::TextOf(GetDlgItem(progress, DownloadText)); };
            testing::Pump(10000, [&] { return shown() == "Received 10 of 200000 bytes"; });
            EXPECT_EQ(shown(), "Received 10 of 200000 bytes");
            PostMessageA(progress, WM_COMMAND, DownloadCancel, 0);
        }
        AwaitRequest();
        EXPECT_EQ(frm_->Download(), nullptr) << "the progress window is gone";
        EXPECT_EQ(Load(target.string()), c.saved ? package : "earlier");
        EXPECT_EQ(Status(), status += c.saved ? "\r\nDownload success!" : kFailure);
        EXPECT_EQ(Bar(), 0);
    }
}

// A request machinery that fails before any transfer, as a broken system would.
struct FailingHttp : HttpClient {
    HttpResponse Get(const std::string&, std::uint64_t, const HttpProgress&) override {
        HttpResponse response;
        response.failure = HttpFailure{"The Internet functions could not be started.", 12004, 87};
        return response;
    }
};

TEST_F(Upgrade, AFailedCheckIsReportedAndTheWindowGoesOn) {
    Open(std::make_shared<FailingHttp>());
    std::string text;
    std::thread answer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, Sleep(20)) box = FindWindowA("#32770", "Zapnix");
        text = testing::TextOf(GetDlgItem(box, 0xFFFF));  // the box's message
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Click(Command2);
    AwaitRequest();
    answer.join();
    EXPECT_EQ(text, "An error occured: \r\nThe Internet functions could not be started.\r\n12004\r\n87");
    EXPECT_EQ(Status(), "Waiting for user action...\r\nConnecting to download server....") << "nothing more";
}

}  // namespace
}  // namespace zapnix
