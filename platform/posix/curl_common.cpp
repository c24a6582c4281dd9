#include "platform/posix/curl_common.h"

#include <strings.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/net_length.h"

namespace glyphoria::platform {

namespace {

std::mutex g_ca_mutex;
std::string g_ca_file;

std::string TrustedCaFile() {
    std::lock_guard<std::mutex> lock(g_ca_mutex);
    return g_ca_file;
}

// The process's cookies, shared by every request as WinINet shares its
// store: a session the shop started on one page reaches the download that
// needs it. Requests may run on several threads (tests, the web views'
// stand-ins), so the store is locked.
std::mutex g_share_locks[CURL_LOCK_DATA_LAST];

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
    g_share_locks[data].lock();
}
void UnlockShare(CURL*, curl_lock_data data, void*) {
    g_share_locks[data].unlock();
}

// Made on first use and cleaned up when the code that made it goes: the
// plug-in module may be unloaded long before the process ends, and a share
// left behind then is memory no one can reach. A share still in use by a
// request is not freed by the clean-up (libcurl refuses), never torn down.
class SharedCookies {
  public:
    SharedCookies() : share_(curl_share_init()) {
        if (!share_) return;
        if (curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, LockShare) != CURLSHE_OK ||
            curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, UnlockShare) != CURLSHE_OK ||
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) != CURLSHE_OK) {
            curl_share_cleanup(share_);
            share_ = nullptr;
        }
    }
    ~SharedCookies() {
        if (share_) curl_share_cleanup(share_);
    }
    SharedCookies(const SharedCookies&) = delete;
    SharedCookies& operator=(const SharedCookies&) = delete;

    CURLSH* get() const { return share_; }

  private:
    CURLSH* share_;
};

CURLSH* CookieShare() {
    static const SharedCookies cookies;
    return cookies.get();
}

bool HasHeader(CURL* easy, const char* name) {
    struct curl_header* h = nullptr;
    return curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &h) == CURLHE_OK;
}

}  // namespace

void SetTrustedCaFile(const char* path) {
    std::lock_guard<std::mutex> lock(g_ca_mutex);
    g_ca_file = path ? path : "";
}

namespace curl {

bool EnsureStarted() {
    static const bool started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return started;
}

bool ApplyCommonOptions(CURL* easy, const char* agent, const NetLimits& limits) {
    bool ok = true;
    auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
    // Direct access: an empty proxy also overrides the *_proxy variables.
    set(curl_easy_setopt(easy, CURLOPT_PROXY, ""));
    if (agent) set(curl_easy_setopt(easy, CURLOPT_USERAGENT, agent));
    // No signals: name lookups must not raise SIGALRM inside the host.
    set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp"));
    set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
    set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kNetMaxRedirects));
    // A redirect must never lead to a local file or another protocol.
    set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    // An empty cookie file switches the cookie engine on without reading one.
    if (CURLSH* share = CookieShare()) {
        set(curl_easy_setopt(easy, CURLOPT_SHARE, share));
        set(curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""));
    }
    std::string ca = TrustedCaFile();
    if (!ca.empty()) set(curl_easy_setopt(easy, CURLOPT_CAINFO, ca.c_str()));
    if (limits.connect_timeout_ms > 0)
        set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms));
    return ok;
}

bool IsHttp(CURL* easy) {
    char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    return scheme && strncasecmp(scheme, "http", 4) == 0;
}

ContentLength HttpContentLength(CURL* easy) {
    ContentLength unknown;
    // With chunked (or any other) transfer coding the length header is void.
    if (HasHeader(easy, "Transfer-Encoding")) return unknown;
    struct curl_header* h = nullptr;
    if (curl_easy_header(easy, "Content-Length", 0, CURLH_HEADER, -1, &h) != CURLHE_OK)
        return unknown;
    std::size_t amount = h->amount;
    std::uint64_t first = 0;
    if (!ParseContentLength(h->value, &first)) return unknown;
    for (std::size_t i = 1; i < amount; ++i) {
        std::uint64_t other = 0;
        if (curl_easy_header(easy, "Content-Length", i, CURLH_HEADER, -1, &h) != CURLHE_OK ||
            !ParseContentLength(h->value, &other) || other != first)
            return unknown;
    }
    return ContentLength{true, first};
}

// Whether the end curl reports is the content's end. A Content-Length that
// is not one plain number (or two that disagree) is no length to us, but
// curl may still act on its own reading of it ("1e3" ends the body after one
// byte) and report a clean end; such an answer is broken (RFC 9112: an
// invalid length is an unrecoverable error), not complete.
bool EndIsTrustworthy(CURL* easy) {
    if (!IsHttp(easy) || HasHeader(easy, "Transfer-Encoding")) return true;
    if (!HasHeader(easy, "Content-Length")) return true;
    return HttpContentLength(easy).known;
}

NetFailure FailureOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return NetFailure::kNone;
        case CURLE_OPERATION_TIMEDOUT:
            return NetFailure::kTimedOut;
        case CURLE_COULDNT_CONNECT:
            return NetFailure::kRefused;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return NetFailure::kNameNotFound;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return NetFailure::kCertificate;
        case CURLE_TOO_MANY_REDIRECTS:
            return NetFailure::kTooManyRedirects;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return NetFailure::kBadAddress;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_BAD_CONTENT_ENCODING:
            return NetFailure::kBroken;
        case CURLE_ABORTED_BY_CALLBACK:
            return NetFailure::kCancelled;
        default:
            return NetFailure::kOther;
    }
}

}  // namespace curl
}  // namespace glyphoria::platform
