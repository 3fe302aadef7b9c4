// The update window in this process, against WinINet and a real HTTP server on the loopback address.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <thread>

#include "../unit/TempFolder.h"
#include "LoopbackHttpServer.h"
#include "TestSigning.h"
#include "WinTestSupport.h"
#include "app/Publisher.h"
#include "platform/WinInetHttpClient.h"
#include "update/UpgradeFrm.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;
using namespace std::chrono_literals;
using testing::HttpAnswer;
using testing::HttpReply;

const std::string kReceived = "\r\nResponse received from download server...\r\nVerifying version information...";
const std::string kNewer = kReceived + "\r\nAn update is available. Please click the download button to continue!";
const std::string kLatest = kReceived + "\r\nYou are using the latest version of Zapnix!";
const std::string kWrongData =
    "\r\nInvalid response received from download server.\r\nA connection was made but the wrong data was returned.";
const std::string kFailure = "\r\nDownload failed or was cancelled.";
const std::string kUnverified = "\r\nDownload could not be verified and was discarded.";
constexpr char kManifest[] = "/zapnix/updates.txt";
constexpr char kPackage[] = "/zapnix/Zapnix-1.2.zip";
constexpr char kSignature[] = "/zapnix/Zapnix-1.2.zip.sig";

std::string TransferError(int code) {
    return "\r\nInvalid response received from download server (" + std::to_string(code) + "). Quitting.";
}
// A redirect, and the length of the body that the server will send with it.
std::string Redirect(const std::string& location, std::uint64_t length = 0) {
    return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}
// A 200 answer's head that announces this length (or none).
std::string Head(std::optional<std::string> length) {
    return "HTTP/1.1 200 OK\r\n" + (length ? "Content-Length: " + *length + "\r\n" : "") + "Connection: close\r\n\r\n";
}
std::string Head(std::uint64_t length) {
    return Head(std::to_string(length));
}
std::string Chunked(const std::string& body) {
    char size[16];
    std::snprintf(size, sizeof(size), "%zx", body.size());
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + std::string(size) + "\r\n" +
           body;
}
// All but the last `n` bytes: an answer cut short.
std::string Cut(const std::string& bytes, std::size_t n) {
    return bytes.substr(0, bytes.size() - n);
}

class Upgrade : public TempFolderTest {
protected:
    void Open(std::shared_ptr<HttpClient> http = std::make_shared<WinInetHttpClient>(2s), UpdateLimits limits = {}) {
        adapters_.context.folder = folder_.string();
        auto ask = [this](const SaveFileRequest& request) {  // a save dialog that saves when opened in our folder
            return request.folder == folder_.string() ? saveAs_ : std::nullopt;
        };
        // The tests' key: this program is built to trust it.
        frm_ = UpgradeFrm::Create(
            adapters_.context, UpgradeServices{std::move(http), "http://127.0.0.1", ReleasePublicKey(), ask, limits});
        ASSERT_NE(frm_, nullptr);
    }
    // Opens the window and checks once against a server that offers 1.2; the status box's text then.
    std::string OpenWithOffer(std::shared_ptr<HttpClient> http = std::make_shared<WinInetHttpClient>(2s),
                              UpdateLimits limits = {}) {
        Open(std::move(http), limits);
        server_->Serve(kManifest, HttpAnswer("1.20"));
        Click(Command2);
        AwaitRequest();
        saveAs_ = PathOf("Zapnix-1.2.zip");
        return Status();
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
        EXPECT_TRUE(Enabled(Command2)) << "the request has not ended";
    }
    void CancelWhenShown(const std::string& progress) const {
        HWND window = frm_->Download() ? frm_->Download()->Hwnd() : nullptr;
        const auto shown = [&] { return testing::TextOf(GetDlgItem(window, DownloadText)); };
        testing::Pump(10000, [&] { return shown() == progress; });
        EXPECT_EQ(shown(), progress);
        PostMessageA(window, WM_COMMAND, DownloadCancel, 0);
    }
    // The new files that a download writes beside its target, left behind.
    std::set<std::string> Leftovers() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_))
            if (entry.path().filename().string().starts_with("~zx")) names.insert(entry.path().string());
        return names;
    }

    testing::TestWindowContext adapters_;
    std::optional<std::string> saveAs_;
    std::unique_ptr<UpgradeFrm> frm_;
    std::optional<testing::LoopbackHttpServer> server_{std::in_place};
};

// One window checks again and again, each check appending its lines and an offer staying; then it downloads.
TEST_F(Upgrade, ChecksAppendTheirLinesAndOnlyAWholePackageReplacesTheFile) {
    const struct {
        HttpReply reply;
        std::string offered, lines;
        int requests = 1;
    } checks[] = {
        // A server that never answers, or trickles its answer, each piece well within the time-out of a
        // single wait: the time-out's code (as Wine gives it; see below).
        {{.holdOpen = true}, "", TransferError(12030)},
        {{.bytes = "HTTP/1.1 200 OK\r\n", .trickle = "X-Wait: 1\r\n", .every = 200ms}, "", TransferError(12030)},
        {{.bytes = HttpAnswer("1.20", "404 Not Found")}, "", kWrongData},
        // Only 200 delivers a manifest: not a partial answer, nor one that says it has no body.
        {{.bytes = HttpAnswer("1.99", "206 Partial Content")}, "", kWrongData},
        {{.bytes = HttpAnswer("1.99", "204 No Content")}, "", kWrongData},
        // Shorter than five bytes, a manifest counts only as long as it announced (WinINet under Wine tells
        // a chunked body cut short from a whole one no more than a closed connection does).
        {{.bytes = Cut(HttpAnswer("1.99"), 3)}, "", TransferError(12030)},
        {{.bytes = Cut(Chunked("1.99"), 3)}, "", TransferError(12030)},
        {{.bytes = Chunked("1.2") + "\r\n0\r\n\r\n"}, "", TransferError(12030)},
        {{.bytes = HttpAnswer("1.1")}, "", kLatest},
        // A length of any number of digits is read; one that is no number is no answer.
        {{.bytes = Head("12x") + "1.99"}, "", TransferError(12152)},
        {{.bytes = Head(std::string(70, '0') + "4") + "1.20"}, "1.2", kNewer},
        // Five bytes are all it takes, however much follows (and however fast).
        {{.bytes = Head(4000000000) + "1.20\r\n", .madeUpBody = 4000000000 - 6}, "1.2", kNewer},
        {{.bytes = HttpAnswer("1.17")}, "1.2", kLatest},
        // Redirects: on the same server, at most five of them; never to another host.
        {{.bytes = Redirect(kManifest)}, "1.2", TransferError(12156), 6},
        {{.bytes = Redirect("http://127.0.0.2/zapnix/updates.txt")}, "1.2", TransferError(12156)},
        {{.bytes = Redirect("/zapnix/moved.txt")}, "1.2", kLatest},
        {{.bytes = Redirect("/zapnix/moved.txt", 4000000000), .madeUpBody = 4000000000}, "1.2", kLatest},
        {{}, "1.2", TransferError(12029)},  // nothing listens
    };
    UpdateLimits limits;
    limits.checkTime = 1500ms;  // past a single wait's time-out of 1 s when the server trickles
    Open(std::make_shared<WinInetHttpClient>(1s), limits);
    std::string status = "Waiting for user action...";
    for (const auto& c : checks) {
        SCOPED_TRACE(c.reply.bytes.substr(0, 60));
        if (&c == &std::end(checks)[-1]) server_.reset();
        if (server_) {
            server_.emplace();  // fresh counts
            server_->Serve(kManifest, c.reply);
            server_->Serve("/zapnix/moved.txt", HttpAnswer("1.17"));
        }
        Click(Command2);
        Click(Command2);         // refused while the first runs
        if (c.reply.holdOpen) {  // meanwhile the bar shows that the check is under way
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
        if (server_) {
            EXPECT_EQ(server_->Requests(kManifest), c.requests);
        }
    }
}

// Downloads of a package exactly as large as the largest allowed.
TEST_F(Upgrade, OnlyAWholePackageOfAnnouncedLengthReplacesTheFile) {
    const std::string package(200000, 'z');
    const std::string whole = HttpAnswer(package), head = Head(package.size());
    const struct {
        HttpReply reply;
        bool saved = false;
        std::string saveAs = "Zapnix-1.2.zip";
        int requests = 1;
        std::string cancelAt = {};  // the progress shown when the user cancels
    } downloads[] = {
        {{.bytes = whole}, true},
        {{.bytes = whole}, true, "other/pkg.zip"},
        {{.bytes = HttpAnswer("<html>gone</html>", "404 Not Found")}},
        {{.bytes = Cut(whole, 1000)}},
        // No length, or one that cannot be read: nothing would tell a package cut short from a whole one.
        {{.bytes = Head(std::nullopt) + package}},
        {{.bytes = Chunked(package).substr(0, 70000)}},
        {{.bytes = Head(std::string(70, '0') + "1000") + package.substr(0, 10)}},
        {{.bytes = HttpAnswer(package + "z")}},                   // larger than allowed
        {{.bytes = Head(4000000000), .madeUpBody = 4000000000}},  // not even begun
        {{.bytes = Redirect(kPackage)}, false, "Zapnix-1.2.zip", 6},
        {{.bytes = head, .trickle = "z", .every = 100ms}},  // past its deadline
        {{.bytes = head + "0123456789", .holdOpen = true}, false, "Zapnix-1.2.zip", 1, "Received 10 of 200000 bytes"},
        {{.bytes = whole}, false, "", 0},  // the target is a folder: nothing is fetched
    };
    UpdateLimits limits;
    limits.largestPackage = package.size();
    limits.downloadTime = 3s;
    std::string status = OpenWithOffer(std::make_shared<WinInetHttpClient>(2s), limits);
    saveAs_.reset();
    Click(Command1);  // the save dialog cancelled: nothing is fetched
    EXPECT_EQ(Status(), status += kFailure);
    for (const auto& c : downloads) {
        SCOPED_TRACE(c.reply.bytes.substr(0, 40) + c.saveAs);
        const std::filesystem::path target = folder_ / c.saveAs;
        std::filesystem::create_directories(target.parent_path());
        if (!std::filesystem::is_directory(target)) Store(target.string(), "earlier");
        server_.emplace();  // fresh counts
        server_->Serve(kPackage, c.reply);
        server_->Serve(kSignature, HttpAnswer(testing::SignatureOf("Zapnix-1.2.zip", package)));
        saveAs_ = target.string();
        Click(Command1);
        if (!c.cancelAt.empty()) CancelWhenShown(c.cancelAt);
        if (c.requests > 0) AwaitRequest();
        EXPECT_EQ(frm_->Download(), nullptr) << "the progress window is gone";
        if (!std::filesystem::is_directory(target)) {
            EXPECT_EQ(Load(target.string()), c.saved ? package : "earlier");
        }
        EXPECT_EQ(Leftovers(), std::set<std::string>{});
        EXPECT_EQ(Status(), status += c.saved ? "\r\nDownload success!" : kFailure);
        EXPECT_EQ(Bar(), 0);
        EXPECT_EQ(server_->Requests(kPackage), c.requests);
    }
}

// Only a package that the publisher's signature vouches for is kept: a changed byte, another key's
// signature, an older package's signature served under this one's name, a signature cut short, too long or
// changed and none at all each leave no file (an earlier one as it was) and say so in a line of their own.
TEST_F(Upgrade, OnlyAPackageItsSignatureVouchesForIsKept) {
    const std::string package = "PK\x03\x04 the package of 1.2";
    std::string changed = package;
    changed.back() ^= 1;
    const std::string signature = testing::SignatureOf("Zapnix-1.2.zip", package);
    const struct {
        std::string served;
        std::optional<std::string> signature;  // none: not on the server
        bool saved;
    } downloads[] = {
        {package, signature, true},
        {changed, signature, false},
        {package, testing::SignatureOf("Zapnix-1.2.zip", package, "other-private-key.hex"), false},
        {package, testing::SignatureOf("Zapnix-1.16.zip", package), false},
        {package, signature.substr(0, kSignatureBytes - 1), false},
        {package, signature + '\0', false},
        {package, std::string(signature).replace(40, 1, 1, static_cast<char>(signature[40] ^ 0x80)), false},
        {package, std::nullopt, false},
    };
    std::string status = OpenWithOffer();
    for (const auto& c : downloads) {
        SCOPED_TRACE(c.signature ? std::to_string(c.signature->size()) + " bytes" : "no signature");
        Store(*saveAs_, "earlier");
        server_.emplace();
        server_->Serve(kPackage, HttpAnswer(c.served));
        server_->Serve(kSignature, c.signature ? HttpAnswer(*c.signature) : HttpAnswer("", "404 Not Found"));
        Click(Command1);
        AwaitRequest();
        EXPECT_EQ(Load(*saveAs_), c.saved ? package : "earlier");
        EXPECT_EQ(Leftovers(), std::set<std::string>{});
        EXPECT_EQ(Status(), status += c.saved ? "\r\nDownload success!" : kUnverified);
        EXPECT_EQ(server_->Requests(kPackage), c.signature && c.signature->size() == kSignatureBytes ? 1 : 0)
            << "without a signature the package is not fetched";
    }
    // No answer at all for the signature is a failed download as any other.
    server_.reset();
    Click(Command1);
    AwaitRequest();
    EXPECT_EQ(Status(), status += kFailure);
}

// A redirect loop with a pause before each answer, stopped on the way. (On Windows, closing the request's
// handles ends the wait for the answer under way at once; Wine lets it run to the answer. Either way no
// request follows it.)
TEST_F(Upgrade, ClosingTheWindowOrCancellingEndsTheRequest) {
    OpenWithOffer();
    Store(*saveAs_, "earlier");
    server_->Serve(kSignature, HttpAnswer(std::string(kSignatureBytes, 's')));
    server_->Serve(kPackage, HttpReply{.delay = 200ms, .bytes = Redirect(kPackage)});
    Click(Command1);
    testing::Pump(10000, [&] { return server_->Requests(kPackage) >= 2; });
    PostMessageA(frm_->Download()->Hwnd(), WM_COMMAND, DownloadCancel, 0);
    AwaitRequest();
    const int cancelledAt = server_->Requests(kPackage);
    EXPECT_EQ(Leftovers(), std::set<std::string>{});

    server_->Serve(kManifest, HttpReply{.delay = 200ms, .bytes = Redirect(kManifest)});
    Click(Command2);
    testing::Pump(10000, [&] { return server_->Requests(kManifest) >= 3; });
    frm_.reset();
    const int closedAt = server_->Requests(kManifest);
    testing::Pump(2000, [] { return false; });  // ten redirects' time
    EXPECT_EQ(server_->Requests(kPackage), cancelledAt);
    EXPECT_EQ(server_->Requests(kManifest), closedAt);
    EXPECT_EQ(Load(*saveAs_), "earlier");
}

// The request machinery on its own: a stop that comes between two calls (before the first, or from the
// receiver between two pieces of the body) lets no further call go out.
TEST(WinInetHttpClientTest, NothingIsAskedOrReadAfterAStop) {
    testing::LoopbackHttpServer server;
    server.Serve(kPackage, HttpReply{.bytes = Head(20) + "0123456789", .trickle = "abcdefghij", .every = 200ms});
    struct StoppingReceiver : HttpReceiver {
        std::stop_source stop;
        std::string body;
        bool Begin(unsigned, std::optional<std::uint64_t>) override { return true; }
        bool Take(std::string_view piece) override {
            body += piece;
            stop.request_stop();
            return true;
        }
    } receiver;
    WinInetHttpClient http(30s);
    const std::string url = "http://127.0.0.1" + std::string(kPackage);
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_FALSE(http.Get(url, receiver, stopped.get_token()).endReached);
    EXPECT_EQ(server.Requests(kPackage), 0);
    EXPECT_FALSE(http.Get(url, receiver, receiver.stop.get_token()).endReached);
    EXPECT_EQ(receiver.body, "0123456789");
}

// A request machinery that fails before any transfer, as a broken system would.
struct FailingHttp : HttpClient {
    HttpResponse Get(const std::string&, HttpReceiver&, std::stop_token) override {
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
