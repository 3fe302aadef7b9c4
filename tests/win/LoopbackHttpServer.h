#pragma once
// An HTTP server on 127.0.0.1 port 80 for the update tests: it answers each path with canned bytes (others
// with none) and may then hold the connection open until the client closes it.

#include <winsock2.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zapnix::testing {

// A whole answer with its Content-Length.
inline std::string HttpAnswer(const std::string& body, const std::string& status = "200 OK") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

class LoopbackHttpServer {
public:
    LoopbackHttpServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        const BOOL reuse = TRUE;  // the port may still be in TIME_WAIT from the previous test
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
        sockaddr_in address{AF_INET, htons(80), {}, {}};
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(listener_, 8) == 0)
            acceptor_ = std::thread([this] {
                for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;)
                    answering_.emplace_back([this, client] { Answer(client); });
            });
    }
    ~LoopbackHttpServer() {
        closesocket(listener_);  // ends the accept under way
        if (acceptor_.joinable()) acceptor_.join();
        for (std::thread& answering : answering_) answering.join();
        WSACleanup();
    }
    // `bytes` are sent as they are: status line, headers and (part of) a body, or nothing.
    void Serve(const std::string& path, std::string bytes, bool holdOpen = false) {
        const std::lock_guard lock(mutex_);
        replies_.insert_or_assign(path, std::pair(std::move(bytes), holdOpen));
    }

private:
    void Answer(SOCKET client) {
        std::string request;
        char piece[1024];
        for (int got;
             request.find("\r\n\r\n") == std::string::npos && (got = recv(client, piece, sizeof(piece), 0)) > 0;)
            request.append(piece, static_cast<std::size_t>(got));
        const std::size_t start = request.find(' ') + 1;
        std::unique_lock lock(mutex_);
        const auto [bytes, holdOpen] = replies_[request.substr(start, request.find(' ', start) - start)];
        lock.unlock();
        send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (holdOpen) recv(client, piece, sizeof(piece), 0);  // until the client gives up or asks again
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    SOCKET listener_ = INVALID_SOCKET;
    std::mutex mutex_;
    std::map<std::string, std::pair<std::string, bool>> replies_;
    std::thread acceptor_;
    std::vector<std::thread> answering_;  // only the acceptor adds to it
};

}  // namespace zapnix::testing
