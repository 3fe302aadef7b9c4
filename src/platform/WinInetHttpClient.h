#pragma once
// HTTP through WinINet: a direct connection (no proxy) to port 80 whatever the address says, with one
// time-out for connecting, sending and each wait for data.

#include <chrono>

#include "platform/HttpClient.h"

namespace zapnix {

class WinInetHttpClient : public HttpClient {
public:
    explicit WinInetHttpClient(std::chrono::milliseconds timeout = std::chrono::seconds(30)) : timeout_(timeout) {}
    HttpResponse Get(const std::string& url, std::uint64_t maxBytes, const HttpProgress& progress) override;

private:
    std::chrono::milliseconds timeout_;
};

}  // namespace zapnix
