#include "LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace zapnix::testing {

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    // A port left in TIME_WAIT by the previous test must not stop this one from listening.
    const BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(80);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener_, 8) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    {
        const std::lock_guard lock(mutex_);
        for (SOCKET client : clients_) shutdown(client, SD_BOTH);
    }
    stopped_.notify_all();
    if (acceptor_.joinable()) acceptor_.join();
    for (std::thread& handler : handlers_) handler.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
}

void LoopbackHttpServer::Serve(const std::string& path, CannedReply reply) {
    const std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

std::vector<std::string> LoopbackHttpServer::RequestedPaths() const {
    const std::lock_guard lock(mutex_);
    return requested_;
}

void LoopbackHttpServer::AcceptLoop() {
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{0, 50 * 1000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        const std::lock_guard lock(mutex_);
        clients_.push_back(client);
        handlers_.emplace_back([this, client] { Answer(client); });
    }
}

void LoopbackHttpServer::Answer(SOCKET client) {
    const DWORD timeoutMs = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs));
    std::string request;
    char piece[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 64 * 1024) {
        const int got = recv(client, piece, sizeof(piece), 0);
        if (got <= 0) break;
        request.append(piece, static_cast<std::size_t>(got));
    }
    const std::size_t pathStart = request.find(' ') + 1;
    const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);

    CannedReply reply("<html><body>Not Found</body></html>", "404 Not Found");
    {
        const std::lock_guard lock(mutex_);
        requested_.push_back(path);
        if (auto found = replies_.find(path); found != replies_.end()) reply = found->second;
    }
    if (!reply.silent) {
        std::string head = "HTTP/1.1 " + reply.status + "\r\nContent-Type: application/octet-stream\r\n";
        if (reply.announce) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        const std::string bytes = head + reply.body.substr(0, reply.bodyBytesSent);
        send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
    }
    if (reply.silent || reply.holdOpen) {
        std::unique_lock lock(mutex_);
        stopped_.wait(lock, [this] { return stopping_.load(); });
    }
    {
        const std::lock_guard lock(mutex_);
        std::erase(clients_, client);
    }
    shutdown(client, SD_SEND);
    closesocket(client);
}

}  // namespace zapnix::testing
