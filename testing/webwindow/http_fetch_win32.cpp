// Whole-document GET for the web-window library on Windows, over WinINet
// directly (cpp-httplib has no build for the cross compiler; the library
// stays apart from the plug-in's own Internet code, as an outside component
// would be).
//
// WinINet follows redirects itself. Without ca_file an HTTPS certificate is
// not checked; with one, the system's trust decides (WinINet takes no trust
// file of its own).
#include <windows.h>
#include <wininet.h>

#include <vector>

#include "testing/webwindow/http_fetch.h"

namespace glyphoria::testing::webwindow {

namespace {

struct Handle {
    HINTERNET h = nullptr;
    explicit Handle(HINTERNET handle) : h(handle) {}
    ~Handle() {
        if (h) InternetCloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

std::string ErrorText(const char* what) {
    return std::string(what) + " failed (" + std::to_string(GetLastError()) + ")";
}

std::string Header(HINTERNET request, DWORD level) {
    std::vector<char> buf(512);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(buf.size());
        if (HttpQueryInfoA(request, level, buf.data(), &size, nullptr))
            return std::string(buf.data(), size);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::string();
        buf.resize(size + 1);
    }
    return std::string();
}

}  // namespace

FetchResult Fetch(const std::string& url, const std::string& ca_file) {
    FetchResult result;
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    char host[256] = {}, path[4096] = {}, extra[4096] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) {
        result.error = "not an address";
        return result;
    }
    const bool https = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && !https) {
        result.error = "unsupported scheme";
        return result;
    }
    std::string object = std::string(path[0] ? path : "/") + extra;
    object = object.substr(0, object.find('#'));

    Handle session(InternetOpenA("Glyphoria web window", INTERNET_OPEN_TYPE_DIRECT, nullptr,
                                 nullptr, 0));
    if (!session.h) {
        result.error = ErrorText("InternetOpen");
        return result;
    }
    DWORD connect_ms = 5000, read_ms = 15000;
    InternetSetOptionA(session.h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect_ms, sizeof connect_ms);
    InternetSetOptionA(session.h, INTERNET_OPTION_RECEIVE_TIMEOUT, &read_ms, sizeof read_ms);
    Handle connection(InternetConnectA(session.h, host, parts.nPort, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.h) {
        result.error = ErrorText("InternetConnect");
        return result;
    }
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_NO_COOKIES | (https ? INTERNET_FLAG_SECURE : 0);
    Handle request(
        HttpOpenRequestA(connection.h, "GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request.h) {
        result.error = ErrorText("HttpOpenRequest");
        return result;
    }
    if (https && ca_file.empty()) {
        DWORD security = 0;
        DWORD size = sizeof security;
        InternetQueryOptionA(request.h, INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                    SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_REVOCATION;
        InternetSetOptionA(request.h, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);
    }
    if (!HttpSendRequestA(request.h, nullptr, 0, nullptr, 0)) {
        result.error = ErrorText("HttpSendRequest");
        return result;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoA(request.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                   nullptr);
    char buf[16384];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.h, buf, sizeof buf, &got)) {
            result.error = ErrorText("InternetReadFile");
            return result;
        }
        if (got == 0) break;
        result.body.append(buf, got);
    }
    result.ok = true;
    result.status = static_cast<int>(status);
    result.content_type = Header(request.h, HTTP_QUERY_CONTENT_TYPE);
    result.disposition = Header(request.h, HTTP_QUERY_CONTENT_DISPOSITION);
    return result;
}

}  // namespace glyphoria::testing::webwindow
