#pragma once
// An HTTP server on 127.0.0.1 port 80 for the update tests and benchmarks: it answers each path with what
// the test asked for (others with nothing), counts the requests, and can misbehave the ways a real server
// might: hold the connection open, wait before answering, trickle bytes, or send a large made-up body.

#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
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

// What the server does for one path, in this order.
struct HttpReply {
    std::chrono::milliseconds delay{0};  // waits before answering
    std::string bytes{};                 // sent as they are: status line, headers and (part of) a body
    std::uint64_t madeUpBody = 0;        // then this many body bytes, made on the way (a large body held nowhere)
    std::string trickle{};               // then sent again and again, one every `every`, while the client takes it
    std::chrono::milliseconds every{0};
    bool holdOpen = false;  // then keeps the connection until the client closes it
};

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
                for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
                    const std::lock_guard lock(mutex_);
                    if (stopping_) {
                        closesocket(client);
                        break;
                    }
                    clients_.push_back(client);
                    answering_.emplace_back([this, client] { Answer(client); });
                }
            });
    }
    ~LoopbackHttpServer() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            // Ends the waits, sends and receives under way, whatever the client does.
            for (const SOCKET client : clients_) shutdown(client, SD_BOTH);
        }
        wake_.notify_all();
        closesocket(listener_);  // ends the accept under way
        if (acceptor_.joinable()) acceptor_.join();
        for (std::thread& answering : answering_) answering.join();
        for (const SOCKET client : clients_) closesocket(client);
        WSACleanup();
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, HttpReply reply) {
        const std::lock_guard lock(mutex_);
        replies_.insert_or_assign(path, std::move(reply));
    }
    void Serve(const std::string& path, std::string bytes, bool holdOpen = false) {
        Serve(path, HttpReply{.bytes = std::move(bytes), .holdOpen = holdOpen});
    }
    // Requests received for `path` so far.
    int Requests(const std::string& path) {
        const std::lock_guard lock(mutex_);
        return requests_[path];
    }
    // Connections whose answer is over: sent, and the client gone where the reply waits for it.
    int Ended() const { return ended_; }

private:
    // Waits up to `time`; false when the server is stopping.
    bool Wait(std::chrono::milliseconds time) {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, time, [this] { return stopping_; });
    }
    static bool SendAll(SOCKET client, const char* bytes, std::size_t size) {
        while (size > 0) {
            const int sent = send(client, bytes, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
            if (sent <= 0) return false;
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    void Answer(SOCKET client) {
        std::string request;
        char piece[1024];
        for (int got;
             request.find("\r\n\r\n") == std::string::npos && (got = recv(client, piece, sizeof(piece), 0)) > 0;)
            request.append(piece, static_cast<std::size_t>(got));
        const std::size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        std::unique_lock lock(mutex_);
        ++requests_[path];
        const HttpReply reply = replies_[path];
        lock.unlock();

        bool going = Wait(reply.delay) && SendAll(client, reply.bytes.data(), reply.bytes.size());
        const std::string block(64 * 1024, 'z');
        for (std::uint64_t left = reply.madeUpBody; going && left > 0;
             left -= std::min<std::uint64_t>(left, block.size()))
            going = SendAll(client, block.data(), std::min<std::uint64_t>(left, block.size()));
        while (going && !reply.trickle.empty())
            going = Wait(reply.every) && SendAll(client, reply.trickle.data(), reply.trickle.size());
        if (going && reply.holdOpen) recv(client, piece, sizeof(piece), 0);  // until the client gives up or asks again
        shutdown(client, SD_SEND);
        ++ended_;
    }

    SOCKET listener_ = INVALID_SOCKET;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<std::string, HttpReply> replies_;
    std::map<std::string, int> requests_;
    std::atomic<int> ended_{0};
    std::thread acceptor_;
    std::vector<SOCKET> clients_;         // closed when the server goes, so that no answer can outlive it
    std::vector<std::thread> answering_;  // only the acceptor adds to it
};

}  // namespace zapnix::testing
