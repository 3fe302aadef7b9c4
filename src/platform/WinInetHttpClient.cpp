#include "platform/WinInetHttpClient.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/Handles.h"

namespace zapnix {
namespace {

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

std::optional<std::string> HeaderText(HINTERNET request, DWORD query) {
    char text[64] = {};
    DWORD size = sizeof(text) - 1;
    if (!HttpQueryInfoA(request, query, text, &size, nullptr)) return std::nullopt;
    return std::string(text, std::min<DWORD>(size, sizeof(text) - 1));
}

template <typename Number>
std::optional<Number> HeaderNumber(HINTERNET request, DWORD query) {
    const std::optional<std::string> text = HeaderText(request, query);
    if (!text) return std::nullopt;
    Number value{};
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc{} || end != text->data() + text->size()) return std::nullopt;
    return value;
}

}  // namespace

HttpResponse WinInetHttpClient::Get(const std::string& url, std::uint64_t maxBytes, const HttpProgress& progress) {
    HttpResponse response;

    char host[256] = {};
    std::vector<char> path(url.size() + 1, '\0');
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        parts.nScheme != INTERNET_SCHEME_HTTP) {
        response.failure = FailureOf("The address is not an HTTP address.");
        return response;
    }

    // Direct: a proxy configured for browsing must not see or answer the update check.
    UniqueInternet session(InternetOpenA("Zapnix", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) {
        response.failure = FailureOf("The Internet functions could not be started.");
        return response;
    }
    SetTimeouts(session.Get(), static_cast<DWORD>(timeout_.count()));
    UniqueInternet connection(InternetConnectA(session.Get(), host, 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        response.transferError = GetLastError();
        return response;
    }
    const char* accept[] = {"*/*", nullptr};
    UniqueInternet request(
        HttpOpenRequestA(connection.Get(), "GET", path[0] ? path.data() : "/", nullptr, nullptr, accept,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                             INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES,
                         0));
    if (!request) {
        response.transferError = GetLastError();
        return response;
    }
    SetTimeouts(request.Get(), static_cast<DWORD>(timeout_.count()));
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) {
        response.transferError = GetLastError();
        return response;
    }
    response.status = HeaderNumber<unsigned>(request.Get(), HTTP_QUERY_STATUS_CODE).value_or(0);
    response.announcedLength = HeaderNumber<std::uint64_t>(request.Get(), HTTP_QUERY_CONTENT_LENGTH);

    std::vector<char> piece(16 * 1024);
    while (response.body.size() < maxBytes) {
        // A read waits until its whole buffer is full; asking first what has arrived lets every piece be
        // reported as it comes.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request.Get(), &available, 0, 0)) {
            response.transferError = GetLastError();
            return response;
        }
        if (available == 0) {
            response.endReached = true;
            break;
        }
        const auto wanted =
            static_cast<DWORD>(std::min<std::uint64_t>({piece.size(), available, maxBytes - response.body.size()}));
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), piece.data(), wanted, &got)) {
            response.transferError = GetLastError();
            return response;
        }
        if (got == 0) {
            response.endReached = true;
            break;
        }
        response.body.append(piece.data(), got);
        if (progress && !progress(response.body.size(), response.announcedLength)) {
            response.cancelled = true;
            return response;
        }
    }
    return response;
}

}  // namespace zapnix
