#pragma once
// The one HTTP request the program makes: a GET of a whole address, run to its end on the calling thread
// (any thread), with progress reports that can cancel it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zapnix {

// A failure of the request machinery itself (no session, an address that is no address), as opposed to
// a transfer that went wrong on the way.
struct HttpFailure {
    std::string description;
    long number = 0;
    std::uint32_t lastSystemError = 0;
};

struct HttpResponse {
    std::optional<HttpFailure> failure;
    std::uint32_t transferError = 0;  // 0 when the transfer went through, otherwise the system's code
    unsigned status = 0;              // the server's status, 0 when no answer arrived
    std::optional<std::uint64_t> announcedLength;
    std::string body;         // at most the bytes asked for
    bool endReached = false;  // the server said the body was over (not merely that enough had arrived)
    bool cancelled = false;
};

// Called after every piece of the body with the bytes received so far and the announced total; answering
// false cancels the request.
using HttpProgress = std::function<bool(std::uint64_t received, std::optional<std::uint64_t> total)>;

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Stops reading once `maxBytes` bytes are kept.
    virtual HttpResponse Get(const std::string& url, std::uint64_t maxBytes, const HttpProgress& progress) = 0;
};

}  // namespace zapnix
