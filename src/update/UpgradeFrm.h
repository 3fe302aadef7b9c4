#pragma once
// The update window: asks the maker's server whether a newer version exists ("Check") and downloads its
// package ("Download"). Requests run in the background; the window waits for them in the message loop
// with both buttons disabled, and reports every step as a line of its status box.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/BaseWindow.h"
#include "platform/HttpClient.h"
#include "platform/SaveFileDialog.h"
#include "update/BackgroundRequest.h"
#include "update/DownloadFrm.h"
#include "update/PackageSignature.h"
#include "update/PackageVerifier.h"
#include "update/UpdateCheck.h"
#include "update/UpdateReceivers.h"

namespace zapnix {

inline constexpr char kUpgradeClassName[] = "UpgradeFrm";

struct UpgradeServices {
    std::shared_ptr<HttpClient> http;
    std::string serverBase;  // scheme and host, no trailing slash
    PublicKey releaseKey;    // a package is kept only when its signature is this key's
    std::function<std::optional<std::string>(const SaveFileRequest&)> askSaveFileName = AskSaveFileName;
    UpdateLimits limits{};
};

class UpgradeFrm : public BaseWindow<UpgradeFrm> {
public:
    static constexpr int kClientWidth = 440;
    static constexpr int kClientHeight = 284;

    // Creates the window hidden, with its fresh content.
    static std::unique_ptr<UpgradeFrm> Create(const WindowContext& context, UpgradeServices services);
    void Show();
    // The download progress window while a download runs.
    DownloadFrm* Download() const { return download_.get(); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum class Activity { Idle, Checking, FetchingSignature, Downloading };

    UpgradeFrm(const WindowContext& context, UpgradeServices services)
        : context_(context), services_(std::move(services)) {}
    void AppendStatus(const std::string& message);
    void Check();
    void CheckEnded(const HttpResponse& response);
    void DownloadPackage();
    void SignatureEnded(const HttpResponse& response);
    void DownloadEnded(const HttpResponse& response);
    // Ends a download, however far it got: its progress window, receivers and hash go, the buttons come
    // back, and `line` (if any) is told.
    void EndDownload(const char* line);
    void CancelDownload();
    bool StartRequest(const std::string& path, HttpReceiver& receiver, std::chrono::milliseconds deadline,
                      Activity activity);
    void RequestEnded();
    void ShowUnexpectedFailure(const HttpFailure& failure);

    const WindowContext& context_;
    UpgradeServices services_;
    Activity activity_ = Activity::Idle;
    // Where the running request's body goes; declared before the request, which must go first.
    std::optional<ManifestReceiver> manifest_;
    std::optional<SignatureReceiver> signature_;
    std::optional<Sha256> packageHash_;  // of the package's bytes as they arrive
    std::optional<PackageReceiver> package_;
    std::unique_ptr<BackgroundRequest> request_;
    std::unique_ptr<DownloadFrm> download_;
    std::string packagePath_;
    std::string version_;  // of the package under way
    bool updateOffered_ = false;
};

}  // namespace zapnix
