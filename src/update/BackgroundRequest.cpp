#include "update/BackgroundRequest.h"

#include <wininet.h>

#include <atomic>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>

namespace zapnix {

// Lives as long as the longest of the window's interest, the thread and the deadline's timer. It stands
// between the request and the window's receiver, so that nothing reaches the receiver once the answer is
// in or nobody wants it.
struct BackgroundRequest::Shared final : HttpReceiver {
    static constexpr std::uint64_t kNoTotal = UINT64_MAX;

    std::mutex mutex;                  // held while the receiver takes a piece
    HttpReceiver* receiver = nullptr;  // null once the answer is in or abandoned
    HWND window = nullptr;             // null once abandoned: nothing is posted any more
    std::optional<HttpResponse> response;
    std::stop_source stop;
    std::atomic<std::uint64_t> received{0};
    std::atomic<std::uint64_t> total{kNoTotal};
    std::atomic<bool> progressPosted{false};

    bool Begin(unsigned status, std::optional<std::uint64_t> announcedLength) override {
        const std::lock_guard lock(mutex);
        if (announcedLength) total = *announcedLength;
        return receiver && receiver->Begin(status, announcedLength);
    }
    bool Take(std::string_view piece) override {
        const std::lock_guard lock(mutex);
        if (!receiver || !receiver->Take(piece)) return false;
        received += piece.size();
        if (!progressPosted.exchange(true)) Post(kProgressMessage);
        return true;
    }
    // The first answer counts: the request's own, or the deadline's.
    void Finish(HttpResponse answer) {
        const std::lock_guard lock(mutex);
        if (!receiver) return;
        receiver = nullptr;
        response = std::move(answer);
        Post(kDoneMessage);
    }
    void Post(UINT message) {
        if (window && !PostMessageA(window, message, 0, 0)) window = nullptr;
    }

    static void CALLBACK DeadlinePassed(PTP_CALLBACK_INSTANCE, void* context, PTP_TIMER) {
        auto& shared = *static_cast<Shared*>(context);
        HttpResponse timedOut;
        timedOut.transferError = ERROR_INTERNET_TIMEOUT;
        shared.Finish(std::move(timedOut));
        shared.stop.request_stop();
    }
};

BackgroundRequest::BackgroundRequest(std::shared_ptr<HttpClient> http, std::string url, HttpReceiver& receiver,
                                     std::chrono::milliseconds deadline, HWND window)
    : shared_(std::make_shared<Shared>()) {
    shared_->receiver = &receiver;
    shared_->window = window;
    deadline_.Reset(CreateThreadpoolTimer(&Shared::DeadlinePassed, shared_.get(), nullptr));
    if (!deadline_) throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
    std::thread([shared = shared_, http = std::move(http), url = std::move(url)] {
        shared->Finish(http->Get(url, *shared, shared->stop.get_token()));
    }).detach();
    // In units of 100 ns, negative: from now.
    ULARGE_INTEGER due;
    due.QuadPart =
        static_cast<ULONGLONG>(-std::chrono::duration_cast<std::chrono::nanoseconds>(deadline).count() / 100);
    FILETIME dueTime{due.LowPart, due.HighPart};
    SetThreadpoolTimer(deadline_.Get(), &dueTime, 0, 0);
}

BackgroundRequest::~BackgroundRequest() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->receiver = nullptr;
        shared_->window = nullptr;
    }
    shared_->stop.request_stop();
}

BackgroundRequest::Progress BackgroundRequest::LatestProgress() {
    shared_->progressPosted = false;
    const std::uint64_t total = shared_->total;
    return {shared_->received, total == Shared::kNoTotal ? std::nullopt : std::optional(total)};
}

std::optional<HttpResponse> BackgroundRequest::TakeResponse() {
    const std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->response, std::nullopt);
}

}  // namespace zapnix
