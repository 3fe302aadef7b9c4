#pragma once
// A small HTTP server on 127.0.0.1 port 80 for the tests of the update check and download: it answers
// each path with a canned reply, can hold a connection open without answering, can cut a body short,
// and keeps the paths it was asked for. It stops, and frees the port, when the object goes.

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zapnix::testing {

struct CannedReply {
    explicit CannedReply(std::string body = "", std::string status = "200 OK")
        : status(std::move(status)), body(std::move(body)) {}
    static CannedReply Silent() {
        CannedReply reply;
        reply.silent = true;
        return reply;
    }
    // No Content-Length: the end of the body is the end of the connection.
    CannedReply& WithoutLength() {
        announce = false;
        return *this;
    }
    // Announces the whole body but sends only its first `bytes`.
    CannedReply& SendingOnly(std::size_t bytes) {
        bodyBytesSent = bytes;
        return *this;
    }
    // Keeps the connection open after what was sent, until the server stops.
    CannedReply& HeldOpen() {
        holdOpen = true;
        return *this;
    }

    std::string status;
    std::string body;
    bool announce = true;
    std::size_t bodyBytesSent = std::string::npos;
    bool holdOpen = false;
    bool silent = false;  // reads the request, never answers
};

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Listening() const { return listener_ != INVALID_SOCKET; }
    // Paths not given a reply get 404 with a small HTML page.
    void Serve(const std::string& path, CannedReply reply);
    std::vector<std::string> RequestedPaths() const;

private:
    void AcceptLoop();
    void Answer(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::atomic<bool> stopping_{false};
    std::map<std::string, CannedReply> replies_;
    std::vector<std::string> requested_;
    std::vector<SOCKET> clients_;
    std::vector<std::thread> handlers_;
    std::thread acceptor_;
};

}  // namespace zapnix::testing
