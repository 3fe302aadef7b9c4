#pragma once
// An HTTP server on 127.0.0.1 port 80 for the update tests: it answers each path with canned bytes
// (404 for others), may then hold the connection open until it stops, and keeps the paths asked for.

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zapnix::testing {

struct CannedReply {
    CannedReply(std::string bytes, bool holdOpen = false) : bytes(std::move(bytes)), holdOpen(holdOpen) {}
    std::string bytes;  // sent as they are: status line, headers and (part of) a body, or nothing
    bool holdOpen = false;
};

// A whole answer with its Content-Length.
inline std::string HttpAnswer(const std::string& body, const std::string& status = "200 OK") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    bool Listening() const { return listener_ != INVALID_SOCKET; }
    void Serve(const std::string& path, CannedReply reply);
    std::vector<std::string> RequestedPaths() const;

private:
    void Answer(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::atomic<bool> stopping_{false};
    std::map<std::string, CannedReply> replies_;
    std::vector<std::string> requested_;
    std::vector<SOCKET> clients_;
    std::vector<std::thread> answering_;
    std::thread acceptor_;
};

}  // namespace zapnix::testing
