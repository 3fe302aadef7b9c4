#include "update/BackgroundRequest.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

namespace zapnix {

// Lives as long as the longer of the window's interest and the thread.
struct BackgroundRequest::Shared {
    std::mutex mutex;
    HWND window = nullptr;  // null once abandoned: nothing is posted any more
    std::atomic<bool> abandoned{false};
    bool progressPosted = false;
    Progress progress;
    std::optional<HttpResponse> response;

    void Post(UINT message) {
        if (window && !PostMessageA(window, message, 0, 0)) window = nullptr;
    }
};

BackgroundRequest::BackgroundRequest(std::shared_ptr<HttpClient> http, std::string url, std::uint64_t maxBytes,
                                     HWND window)
    : shared_(std::make_shared<Shared>()) {
    shared_->window = window;
    std::thread([shared = shared_, http = std::move(http), url = std::move(url), maxBytes] {
        const HttpProgress progress = [&shared](std::uint64_t received, std::optional<std::uint64_t> total) {
            if (shared->abandoned) return false;
            const std::lock_guard lock(shared->mutex);
            shared->progress = {received, total};
            if (!shared->progressPosted) {
                shared->progressPosted = true;
                shared->Post(kProgressMessage);
            }
            return true;
        };
        HttpResponse response = http->Get(url, maxBytes, progress);
        const std::lock_guard lock(shared->mutex);
        shared->response = std::move(response);
        shared->Post(kDoneMessage);
    }).detach();
}

BackgroundRequest::~BackgroundRequest() {
    shared_->abandoned = true;
    const std::lock_guard lock(shared_->mutex);
    shared_->window = nullptr;
}

BackgroundRequest::Progress BackgroundRequest::LatestProgress() {
    const std::lock_guard lock(shared_->mutex);
    shared_->progressPosted = false;
    return shared_->progress;
}

std::optional<HttpResponse> BackgroundRequest::TakeResponse() {
    const std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->response, std::nullopt);
}

}  // namespace zapnix
