#include "platform/WinInetHttpClient.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "platform/TextCase.h"

namespace zapnix {
namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;

HttpFailure FailureOf(const char* description) {
    const DWORD code = GetLastError();
    return HttpFailure{description, static_cast<long>(code), code};
}

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
          INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        InternetSetOptionA(handle, option, &milliseconds, sizeof(milliseconds));
}

// A request's handles, in the order they were opened; the array closes them in the reverse order.
using HandleSet = std::array<UniqueInternet, 3>;

void CALLBACK CloseHandleSet(PTP_CALLBACK_INSTANCE, void* handles) {
    std::unique_ptr<HandleSet>(static_cast<HandleSet*>(handles)).reset();
}

// Wine's WinINet, closing a request whose body was not read to its end, first reads the rest for as long
// as more has already arrived, to use the connection again: from a fast server that can be the whole of
// a large body. Neither the answer nor the window waits for that.
void CloseInBackground(HandleSet handles) {
    if (std::ranges::none_of(handles, [](const UniqueInternet& handle) { return handle.Valid(); })) return;
    auto moved = std::make_unique<HandleSet>(std::move(handles));
    if (TrySubmitThreadpoolCallback(&CloseHandleSet, moved.get(), nullptr)) moved.release();
}

// The handles of one request, and what a stop from another thread (the user cancelled, or the request's
// time is up) does to them. Closing a handle ends a call blocked in it at once on Windows; Wine 8 lets
// such a call run on to its own time-out. The handles are closed on a stop only while this thread is
// inside one of the calls it makes through Run: that call holds them, so their values cannot pass to new
// handles before this thread is done with them, and once stopped this thread uses them no more.
class RequestHandles {
public:
    enum Level { Session, Connection, Request };

    RequestHandles() = default;
    RequestHandles(const RequestHandles&) = delete;
    RequestHandles& operator=(const RequestHandles&) = delete;
    ~RequestHandles() { CloseInBackground(std::move(handles_)); }

    // Owns `handle` from now on, in place of the one held at its level (a redirect's request).
    void Keep(Level level, HINTERNET handle) {
        const std::lock_guard lock(mutex_);
        CloseInBackground({std::exchange(handles_[level], UniqueInternet(handle))});
    }
    // From any thread.
    void Stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        if (calling_) CloseInBackground(std::move(handles_));
    }
    // Makes a call that may block, unless the request was stopped. True when the call succeeded; false
    // when it failed (its error then in `response`) or the request was stopped, before or during it.
    template <typename Call>
    bool Run(Call call, HttpResponse& response) {
        {
            const std::lock_guard lock(mutex_);
            if (stopped_) return false;
            calling_ = true;
        }
        const DWORD error = call() ? 0 : GetLastError();
        const std::lock_guard lock(mutex_);
        calling_ = false;
        if (stopped_) return false;
        response.transferError = error;
        return error == 0;
    }

private:
    std::mutex mutex_;
    HandleSet handles_;
    bool stopped_ = false;
    bool calling_ = false;
};

// What a request needs of an address.
struct HttpAddress {
    std::string host;
    INTERNET_PORT port = 0;
    std::string object;  // the path and the query, without a fragment
};

std::optional<HttpAddress> CrackHttpUrl(const std::string& url) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    // A length without a buffer asks for a pointer into `url`.
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        parts.nScheme != INTERNET_SCHEME_HTTP || !parts.lpszHostName || parts.dwHostNameLength == 0)
        return std::nullopt;
    HttpAddress address{std::string(parts.lpszHostName, parts.dwHostNameLength), parts.nPort, "/"};
    if (parts.lpszUrlPath && parts.dwUrlPathLength > 0) address.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) {
        const std::string_view extra(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        address.object += extra.substr(0, extra.find('#'));
    }
    return address;
}

// What `call(buffer, size)` writes into a buffer of `size` bytes, asked again once with the size it asked
// for when that was too small; nothing when it fails.
template <typename Call>
std::optional<std::string> GrownText(std::size_t size, Call call) {
    std::string text(size, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = static_cast<DWORD>(text.size());
        if (call(text.data(), length)) {
            text.resize(std::min<std::size_t>(length, text.size()));
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        text.assign(static_cast<std::size_t>(length) + 1, '\0');
    }
    return std::nullopt;
}

// A header's value (its `index`th occurrence), whatever its length; nothing when there is none.
std::optional<std::string> HeaderText(HINTERNET request, DWORD query, DWORD index = 0) {
    return GrownText(64, [&](char* buffer, DWORD& size) {
        DWORD at = index;
        return HttpQueryInfoA(request, query, buffer, &size, &at) != FALSE;
    });
}

// The announced length as a 64-bit number, whatever the length of its text; repeated, it must say the same
// every time. False when a length was announced but cannot be read: the body's end could not be checked.
bool ReadAnnouncedLength(HINTERNET request, std::optional<std::uint64_t>& length) {
    for (DWORD index = 0; index < 8; ++index) {
        const std::optional<std::string> text = HeaderText(request, HTTP_QUERY_CONTENT_LENGTH, index);
        if (!text) return true;
        std::uint64_t value = 0;
        const char* end = text->data() + text->size();
        const auto [stop, error] = std::from_chars(text->data(), end, value);
        if (text->empty() || error != std::errc{} || stop != end || (length && *length != value)) return false;
        length = value;
    }
    return false;
}

unsigned StatusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    return HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ? status
                                                                                                             : 0;
}

bool IsRedirect(unsigned status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool SameHost(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Where a redirect sends the request, when that is on the server that was asked: the same host (in any
// letter case), by plain HTTP on port 80. Anywhere else would let whoever answers for the maker's server
// send the program to any address on the user's network and keep what it returns. Nothing, too, for a
// location that is not plain printable text, as no address is.
std::optional<std::string> SameServerObject(HINTERNET request, const HttpAddress& from) {
    const std::optional<std::string> location = HeaderText(request, HTTP_QUERY_LOCATION);
    const auto unfit = [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) > '~';
    };
    if (!location || location->empty() || std::ranges::any_of(*location, unfit)) return std::nullopt;
    const std::string base = "http://" + from.host + from.object;
    const std::optional<std::string> url =
        GrownText(base.size() + location->size() + 16, [&](char* buffer, DWORD& size) {
            return InternetCombineUrlA(base.c_str(), location->c_str(), buffer, &size, ICU_NO_ENCODE) != FALSE;
        });
    if (!url) return std::nullopt;
    const std::optional<HttpAddress> to = CrackHttpUrl(*url);
    if (!to || to->port != INTERNET_DEFAULT_HTTP_PORT || !SameHost(to->host, from.host)) return std::nullopt;
    return to->object;
}

HttpResponse Fetch(HttpAddress address, HttpReceiver& receiver, RequestHandles& handles, DWORD timeout) {
    HttpResponse response;
    // Direct: a proxy configured for browsing must not see or answer the update check.
    const HINTERNET session = InternetOpenA("Zapnix", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session) {
        response.failure = FailureOf("The Internet functions could not be started.");
        return response;
    }
    handles.Keep(RequestHandles::Session, session);
    SetTimeouts(session, timeout);
    const HINTERNET connection = InternetConnectA(session, address.host.c_str(), INTERNET_DEFAULT_HTTP_PORT, nullptr,
                                                  nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) {
        response.transferError = GetLastError();
        return response;
    }
    handles.Keep(RequestHandles::Connection, connection);

    HINTERNET request = nullptr;
    for (int redirects = 0;; ++redirects) {
        const char* accept[] = {"*/*", nullptr};
        request =
            HttpOpenRequestA(connection, "GET", address.object.c_str(), nullptr, nullptr, accept, kRequestFlags, 0);
        if (!request) {
            response.transferError = GetLastError();
            return response;
        }
        handles.Keep(RequestHandles::Request, request);
        SetTimeouts(request, timeout);
        if (!handles.Run([&] { return HttpSendRequestA(request, nullptr, 0, nullptr, 0) != FALSE; }, response))
            return response;
        response.status = StatusOf(request);
        if (!IsRedirect(response.status)) break;
        std::optional<std::string> next =
            redirects < WinInetHttpClient::kMostRedirects ? SameServerObject(request, address) : std::nullopt;
        if (!next) {
            response.transferError = ERROR_HTTP_REDIRECT_FAILED;
            return response;
        }
        address.object = std::move(*next);
    }

    if (!ReadAnnouncedLength(request, response.announcedLength)) {
        response.transferError = ERROR_HTTP_INVALID_SERVER_RESPONSE;
        return response;
    }
    if (!receiver.Begin(response.status, response.announcedLength)) return response;
    std::vector<char> piece(16 * 1024);
    for (;;) {
        // A read waits until its whole buffer is full; asking first what has arrived lets every piece be
        // handed on as it comes.
        DWORD available = 0;
        if (!handles.Run([&] { return InternetQueryDataAvailable(request, &available, 0, 0) != FALSE; }, response))
            return response;
        DWORD got = 0;
        if (available > 0) {
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(piece.size(), available));
            if (!handles.Run([&] { return InternetReadFile(request, piece.data(), wanted, &got) != FALSE; }, response))
                return response;
        }
        if (got == 0) {
            response.endReached = true;
            return response;
        }
        if (!receiver.Take(std::string_view(piece.data(), got))) return response;
    }
}

}  // namespace

HttpResponse WinInetHttpClient::Get(const std::string& url, HttpReceiver& receiver, std::stop_token stop) {
    const std::optional<HttpAddress> address = CrackHttpUrl(url);
    if (!address) {
        HttpResponse response;
        response.failure = FailureOf("The address is not an HTTP address.");
        return response;
    }
    RequestHandles handles;
    const std::stop_callback onStop(stop, [&handles] { handles.Stop(); });
    return Fetch(*address, receiver, handles, static_cast<DWORD>(timeout_.count()));
}

}  // namespace zapnix
