#pragma once
// HTTP through WinINet: a direct connection (no proxy) to port 80 whatever the address says, with one
// time-out for connecting, sending and each wait for data. Redirects are followed only on the same server,
// and at most kMostRedirects of them.

#include <chrono>

#include "platform/HttpClient.h"

namespace zapnix {

class WinInetHttpClient : public HttpClient {
public:
    // Enough for a server that moved its files around once or twice; a loop ends here (browsers' limits
    // are higher, but they serve people who can see what is happening).
    static constexpr int kMostRedirects = 5;

    explicit WinInetHttpClient(std::chrono::milliseconds timeout = std::chrono::seconds(30)) : timeout_(timeout) {}
    HttpResponse Get(const std::string& url, HttpReceiver& receiver, std::stop_token stop) override;

private:
    std::chrono::milliseconds timeout_;
};

}  // namespace zapnix
