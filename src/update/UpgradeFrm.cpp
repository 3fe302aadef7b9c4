#include "update/UpgradeFrm.h"

#include <commctrl.h>

#include <system_error>

#include "platform/Trace.h"
#include "update/ProgressBar.h"
#include "update/UpdateCheck.h"
#include "update/UpgradeIds.h"

namespace zapnix {
namespace {

using namespace ids::upgrade;

constexpr ControlSpec kLayout[] = {
    {Frame1, "Frame1", ControlKind::GroupBox, "Download Updates", 8, 8, 424, 57},
    {Label1, "Label1", ControlKind::Label,
     "By pressing the \"Check\" button below you will be able to upgrade Zapnix if any updates are available.", 16, 24,
     408, 33},
    {Frame2, "Frame2", ControlKind::GroupBox, "Update Status", 8, 72, 424, 161},
    {Text1, "Text1", ControlKind::TextBox, kWaitingStatus, 16, 112, 408, 113,
     ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL},
    {Label2, "Label2", ControlKind::Label, "", 8, 240, 137, 17},
    {Label3, "Label3", ControlKind::Label, "", 8, 260, 49, 17},
    {Command2, "Command2", ControlKind::Button, "Check", 151, 248, 89, 25},
    {Command1, "Command1", ControlKind::Button, "Download", 247, 248, 89, 25, WS_DISABLED},
    {Command3, "Command3", ControlKind::Button, "Close", 343, 248, 89, 25},
};

constexpr int kBarMaximum = 100;
// The bar only shows that something is happening: one step per tick reaches its end at about the
// request's time-out.
constexpr UINT_PTR kBarTimer = 1;
constexpr UINT kBarTickMs = 300;

}  // namespace

std::unique_ptr<UpgradeFrm> UpgradeFrm::Create(const WindowContext& context, UpgradeServices services) {
    std::unique_ptr<UpgradeFrm> frm(new UpgradeFrm(context, std::move(services)));
    if (!frm->CreateForm(kUpgradeClassName, context.icon, context.owner, kClientWidth, kClientHeight, kLayout))
        return nullptr;
    CreateProgressBar(frm->Hwnd(), ProgressBar1, 16, 88, 408, 17, kBarMaximum);
    SetDlgItemTextA(frm->Hwnd(), Label2, ("Installed version: " + VersionText(kInstalledVersion)).c_str());
    return frm;
}

void UpgradeFrm::Show() {
    if (!IsWindowVisible(Hwnd())) CentreOnScreen(Hwnd());
    Bring();
}

void UpgradeFrm::AppendStatus(const std::string& message) {
    HWND box = GetDlgItem(Hwnd(), Text1);
    SetWindowTextA(box, (ControlText(box) + "\r\n" + message).c_str());
    // The newest line in view.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthA(box));
    SendMessageA(box, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
}

bool UpgradeFrm::StartRequest(const std::string& path, HttpReceiver& receiver, std::chrono::milliseconds deadline,
                              Activity activity) {
    try {
        request_ = std::make_unique<BackgroundRequest>(services_.http, services_.serverBase + path, receiver, deadline,
                                                       Hwnd());
    } catch (const std::system_error& error) {
        ShowUnexpectedFailure(HttpFailure{error.what(), error.code().value(), GetLastError()});
        return false;
    }
    // One request at a time: a second one would only race the first for the same status box.
    activity_ = activity;
    EnableWindow(GetDlgItem(Hwnd(), Command2), FALSE);
    EnableWindow(GetDlgItem(Hwnd(), Command1), FALSE);
    return true;
}

void UpgradeFrm::RequestEnded() {
    request_.reset();
    activity_ = Activity::Idle;
    EnableWindow(GetDlgItem(Hwnd(), Command2), TRUE);
    EnableWindow(GetDlgItem(Hwnd(), Command1), updateOffered_ ? TRUE : FALSE);
}

void UpgradeFrm::Check() {
    if (activity_ != Activity::Idle) return;
    AppendStatus(kConnectingStatus);
    manifest_.emplace();
    if (!StartRequest(kManifestPath, *manifest_, services_.limits.checkTime, Activity::Checking)) return;
    SetTimer(Hwnd(), kBarTimer, kBarTickMs, nullptr);
}

void UpgradeFrm::CheckEnded(const HttpResponse& response) {
    KillTimer(Hwnd(), kBarTimer);
    SendDlgItemMessageA(Hwnd(), ProgressBar1, PBM_SETPOS, kBarMaximum, 0);
    RequestEnded();
    if (response.failure) {
        ShowUnexpectedFailure(*response.failure);
        return;
    }
    const CheckVerdict verdict = JudgeManifest(response, manifest_->FirstBytes());
    manifest_.reset();
    for (const std::string& line : verdict.lines) AppendStatus(line);
    if (verdict.offeredVersion) {
        SetDlgItemTextA(Hwnd(), Label3, verdict.offeredVersion->c_str());
        updateOffered_ = true;
        EnableWindow(GetDlgItem(Hwnd(), Command1), TRUE);
    }
}

void UpgradeFrm::DownloadPackage() {
    if (activity_ != Activity::Idle || !updateOffered_) return;
    SendDlgItemMessageA(Hwnd(), ProgressBar1, PBM_SETPOS, 0, 0);
    const std::string version = ControlText(Hwnd(), Label3);
    SaveFileRequest ask;
    ask.owner = Hwnd();
    ask.folder = context_.folder;
    ask.fileName = PackageFileName(version);
    ask.filter = "Zip archives (*.zip)|*.zip|All files (*.*)|*.*|";
    ask.defaultExtension = "zip";
    const std::optional<std::string> target = services_.askSaveFileName(ask);
    if (!target) {
        AppendStatus(kDownloadFailure);
        return;
    }
    packagePath_ = *target;
    version_ = version;
    // A target that cannot be written gets nothing fetched.
    packageHash_.emplace();
    package_.emplace(packagePath_, services_.limits.largestPackage,
                     [this](std::string_view piece) { packageHash_->Add(piece); });
    if (!package_->Started()) {
        TraceFailure("the package could not be saved to " + packagePath_);
        return EndDownload(kDownloadFailure);
    }
    // The signature first: a package that none can vouch for is not worth its download.
    signature_.emplace();
    if (!StartRequest(PackagePath(version) + kSignatureSuffix, *signature_, services_.limits.checkTime,
                      Activity::FetchingSignature))
        return EndDownload(nullptr);
    download_ = DownloadFrm::Create(Hwnd(), context_.icon);
}

void UpgradeFrm::SignatureEnded(const HttpResponse& response) {
    request_.reset();  // over: the package's request is never made beside it
    const SignatureReceiver::Outcome outcome = signature_->Judge(response);
    if (outcome == SignatureReceiver::Outcome::Failed) return EndDownload(kDownloadFailure);
    if (outcome == SignatureReceiver::Outcome::Unusable) return EndDownload(kDownloadUnverified);
    if (!StartRequest(PackagePath(version_), *package_, services_.limits.downloadTime, Activity::Downloading))
        EndDownload(nullptr);
}

void UpgradeFrm::EndDownload(const char* line) {
    download_.reset();
    RequestEnded();
    package_.reset();
    packageHash_.reset();
    signature_.reset();
    if (line) AppendStatus(line);
}

void UpgradeFrm::DownloadEnded(const HttpResponse& response) {
    // Only a whole package that its signature vouches for replaces the file, in one step: anything else
    // leaves an earlier file as it was, and the new bytes go with the receiver.
    const bool complete = package_->Complete(response);
    Sha256Digest digest{};
    const bool verified = complete && packageHash_->Finish(digest) &&
                          SignatureValid(services_.releaseKey, SignedMessage(PackageFileName(version_), digest),
                                         signature_->Signature());
    const bool saved = verified && package_->Commit();
    if (verified && !saved) TraceFailure("the package could not be saved to " + packagePath_);
    EndDownload(saved ? kDownloadSuccess : complete && !verified ? kDownloadUnverified : kDownloadFailure);
}

void UpgradeFrm::CancelDownload() {
    if (activity_ != Activity::Downloading && activity_ != Activity::FetchingSignature) return;
    EndDownload(kDownloadFailure);
}

void UpgradeFrm::ShowUnexpectedFailure(const HttpFailure& failure) {
    // Reported, then the window carries on: ending the program here would lose the rules changed since
    // it started.
    MessageBoxA(Hwnd(), UnexpectedFailureText(failure.description, failure.number, failure.lastSystemError).c_str(),
                kProgramTitle, MB_OK);
}

LRESULT UpgradeFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case Command2:
                    Check();
                    return 0;
                case Command1:
                    DownloadPackage();
                    return 0;
                case Command3:
                    SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_TIMER:
            if (wParam == kBarTimer) {
                if (SendDlgItemMessageA(Hwnd(), ProgressBar1, PBM_GETPOS, 0, 0) < kBarMaximum)
                    SendDlgItemMessageA(Hwnd(), ProgressBar1, PBM_DELTAPOS, 1, 0);
                return 0;
            }
            break;
        case BackgroundRequest::kProgressMessage:
            if (request_ && download_) {
                const BackgroundRequest::Progress progress = request_->LatestProgress();
                download_->ShowProgress(progress.received, progress.total);
            }
            return 0;
        case BackgroundRequest::kDoneMessage:
            if (request_) {
                if (std::optional<HttpResponse> response = request_->TakeResponse()) {
                    if (activity_ == Activity::Checking)
                        CheckEnded(*response);
                    else if (activity_ == Activity::FetchingSignature)
                        SignatureEnded(*response);
                    else
                        DownloadEnded(*response);
                }
            }
            return 0;
        case DownloadFrm::kCancelMessage:
            CancelDownload();
            return 0;
        case WM_DESTROY:
            KillTimer(Hwnd(), kBarTimer);
            download_.reset();
            request_.reset();
            package_.reset();
            packageHash_.reset();
            signature_.reset();
            manifest_.reset();
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace zapnix
