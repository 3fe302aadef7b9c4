#pragma once
// One HTTP request on a thread of its own, reporting to a window by posted messages, so that the window
// waits for it in the message loop. A request is abandoned by destroying this object (the window closed,
// or the user cancelled): its thread finishes on its own within the time-out and its answer is dropped.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/HttpClient.h"

namespace zapnix {

class BackgroundRequest {
public:
    // Posted to the window: progress (at most one waits in the queue at a time), and the end.
    static constexpr UINT kProgressMessage = WM_APP + 71;
    static constexpr UINT kDoneMessage = WM_APP + 72;

    struct Progress {
        std::uint64_t received = 0;
        std::optional<std::uint64_t> total;
    };

    // Starts the request; throws std::system_error when no thread can be started.
    BackgroundRequest(std::shared_ptr<HttpClient> http, std::string url, std::uint64_t maxBytes, HWND window);
    ~BackgroundRequest();
    BackgroundRequest(const BackgroundRequest&) = delete;
    BackgroundRequest& operator=(const BackgroundRequest&) = delete;

    // The latest progress; the next piece of the body posts a progress message again.
    Progress LatestProgress();
    // The answer once the request has ended (the done message has been posted); nothing before.
    std::optional<HttpResponse> TakeResponse();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace zapnix
