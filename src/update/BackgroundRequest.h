#pragma once
// One HTTP request on a thread of its own, reporting to a window by posted messages, so that the window
// waits for it in the message loop. Every request has a deadline: once it passes, the window hears of a
// time-out however slowly the server answers. A request is abandoned by destroying this object (the
// window closed, or the user cancelled): its internet handles are closed at once, its receiver hears
// nothing more, and its thread ends as soon as the system lets the call under way return, unawaited.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Handles.h"
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

    // Starts the request. `receiver` takes the body on the request's thread until the answer is in or this
    // object is gone, and must outlive this object. Throws std::system_error when no thread or timer can
    // be started.
    BackgroundRequest(std::shared_ptr<HttpClient> http, std::string url, HttpReceiver& receiver,
                      std::chrono::milliseconds deadline, HWND window);
    // Waits at most for the receiver to finish the piece it is taking; never for the request.
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
    UniqueThreadpoolTimer deadline_;  // after shared_: it goes first, and its callback uses shared_
};

}  // namespace zapnix
