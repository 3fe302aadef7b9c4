#pragma once
// The one HTTP request the program makes: a GET of a whole address, run on the calling thread (any
// thread), handing the body to a receiver piece by piece as it arrives, and stoppable from another thread.

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

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
    // The body ended by itself, without an error, a stop request or the receiver stopping it. Where no
    // length was announced, nothing tells a body cut short from a whole one: a connection closed early
    // looks the same, and so (under Wine) does a chunked body that stops before its last chunk.
    bool endReached = false;
};

// Where a response's body goes, on the thread that runs the request.
class HttpReceiver {
public:
    virtual ~HttpReceiver() = default;
    // The status and the announced length, before any of the body; false: the body is not read.
    virtual bool Begin(unsigned status, std::optional<std::uint64_t> announcedLength) = 0;
    // The next piece of the body; false: no more is read (enough has come, or it must not go on).
    virtual bool Take(std::string_view piece) = 0;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Runs until the body has ended, the transfer failed, the receiver stopped it, or `stop` was requested.
    // A stop ends the request as soon as the system lets it, and no further request follows it.
    virtual HttpResponse Get(const std::string& url, HttpReceiver& receiver, std::stop_token stop) = 0;
};

}  // namespace zapnix
