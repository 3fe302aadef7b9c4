#include "LoopbackHttpServer.h"

namespace zapnix::testing {

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    // The port may still be in TIME_WAIT from the previous test.
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
    acceptor_ = std::thread([this] {
        while (!stopping_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 50 * 1000};
            if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
            const SOCKET client = accept(listener_, nullptr, nullptr);
            const std::lock_guard lock(mutex_);
            clients_.push_back(client);
            answering_.emplace_back([this, client] { Answer(client); });
        }
    });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    if (acceptor_.joinable()) {
        stopping_ = true;
        acceptor_.join();
        {
            const std::lock_guard lock(mutex_);
            for (SOCKET client : clients_) shutdown(client, SD_BOTH);
        }
        stopped_.notify_all();
        for (std::thread& thread : answering_) thread.join();
    }
    closesocket(listener_);
    WSACleanup();
}

void LoopbackHttpServer::Serve(const std::string& path, CannedReply reply) {
    const std::lock_guard lock(mutex_);
    replies_.insert_or_assign(path, std::move(reply));
}

std::vector<std::string> LoopbackHttpServer::RequestedPaths() const {
    const std::lock_guard lock(mutex_);
    return requested_;
}

void LoopbackHttpServer::Answer(SOCKET client) {
    const DWORD timeoutMs = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs));
    std::string request;
    char piece[1024];
    for (int got; request.find("\r\n\r\n") == std::string::npos && (got = recv(client, piece, sizeof(piece), 0)) > 0;)
        request.append(piece, static_cast<std::size_t>(got));
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);

    std::unique_lock lock(mutex_);
    requested_.push_back(path);
    const auto found = replies_.find(path);
    const CannedReply reply =
        found != replies_.end() ? found->second : CannedReply(HttpAnswer("<html>?</html>", "404 Not Found"));
    lock.unlock();
    send(client, reply.bytes.data(), static_cast<int>(reply.bytes.size()), 0);
    lock.lock();
    if (reply.holdOpen) stopped_.wait(lock, [this] { return stopping_.load(); });
    std::erase(clients_, client);
    lock.unlock();
    shutdown(client, SD_SEND);
    closesocket(client);
}

}  // namespace zapnix::testing
