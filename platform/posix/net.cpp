// Sessions, requests, response headers and body reads over libcurl.
//
// Each request has its own multi handle. The body arrives through the write
// callback into a pending buffer, from which the reads take it; the network is
// only polled (curl_multi_perform), never waited on, except in OpenAddress and
// ReadBlocking. When more than kPendingLimit bytes wait unread, the transfer
// is paused, so a slow reader holds a bounded amount of memory and no byte is
// dropped. The stall limit counts from the last byte that arrived while
// nothing waited unread: a paused transfer is the reader's doing, not the
// server's.
#include <strings.h>

#include <chrono>
#include <cstring>
#include <string>

#include "platform/net.h"
#include "platform/posix/curl_common.h"

namespace glyphoria::platform {

struct InternetSession {
    std::string agent;
    bool has_agent = false;
};

using Clock = std::chrono::steady_clock;

struct InternetRequest {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    long stall_ms = 0;
    Clock::time_point last_progress = Clock::now();
    NetError failure;     // why the reads fail, once they do
    std::string pending;  // arrived, not yet read: pending[pending_off..]
    std::size_t pending_off = 0;
    bool paused = false;
    bool saw_location = false;  // in the header block being received
    bool headers_done = false;  // the final response's headers are in
    bool body_started = false;
    bool done = false;
    CURLcode result = CURLE_OK;

    ~InternetRequest() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
    }
    std::size_t available() const { return pending.size() - pending_off; }
};

void SessionCloser::operator()(InternetSession* session) const {
    delete session;
}
void RequestCloser::operator()(InternetRequest* request) const {
    delete request;
}

namespace {

constexpr std::size_t kPendingLimit = 1 << 20;
constexpr long kReceiveBufferSize = 64 * 1024;
constexpr int kPollSliceMs = 100;

bool IsBlankLine(const char* data, std::size_t len) {
    return (len == 2 && data[0] == '\r' && data[1] == '\n') || (len == 1 && data[0] == '\n');
}

// Sees every header line of every response, redirects and interim answers
// included; marks the end of the final response's header block.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* r = static_cast<InternetRequest*>(user);
    std::size_t len = size * count;
    if (len >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
        r->saw_location = false;
    } else if (len >= 9 && strncasecmp(data, "location:", 9) == 0) {
        r->saw_location = true;
    } else if (IsBlankLine(data, len)) {
        long code = 0;
        curl_easy_getinfo(r->easy, CURLINFO_RESPONSE_CODE, &code);
        bool interim = code >= 100 && code < 200;
        bool followed = code >= 300 && code < 400 && r->saw_location;
        if (!interim && !followed) r->headers_done = true;
    }
    return len;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* r = static_cast<InternetRequest*>(user);
    std::size_t len = size * count;
    r->body_started = true;
    if (r->available() >= kPendingLimit) {
        r->paused = true;
        return CURL_WRITEFUNC_PAUSE;  // curl keeps the bytes and offers them again
    }
    r->pending.append(data, len);
    if (len > 0) r->last_progress = Clock::now();
    return len;
}

void CollectDone(InternetRequest* r) {
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(r->multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == r->easy) {
            r->done = true;
            r->result = msg->data.result;
        }
    }
}

// One non-blocking turn of the transfer.
void Pump(InternetRequest* r) {
    if (r->done) return;
    if (r->paused && r->available() < kPendingLimit / 2) {
        r->paused = false;
        r->last_progress = Clock::now();
        curl_easy_pause(r->easy, CURLPAUSE_CONT);
    }
    int running = 0;
    curl_multi_perform(r->multi, &running);
    CollectDone(r);
}

void Wait(InternetRequest* r, int ms) {
    curl_multi_poll(r->multi, nullptr, 0, ms, nullptr);
}

std::size_t Take(InternetRequest* r, void* buf, std::size_t max) {
    std::size_t n = r->available() < max ? r->available() : max;
    if (n == 0) return 0;
    std::memcpy(buf, r->pending.data() + r->pending_off, n);
    r->pending_off += n;
    if (r->pending_off == r->pending.size()) {
        r->pending.clear();
        r->pending_off = 0;
    } else if (r->pending_off >= kPendingLimit / 4) {
        r->pending.erase(0, r->pending_off);
        r->pending_off = 0;
    }
    return n;
}

NetRead Fail(InternetRequest* request, NetFailure why) {
    if (request->failure.failure == NetFailure::kNone) request->failure.failure = why;
    return kNetFailed;
}

NetRead EndOf(InternetRequest* request) {
    if (request->result != CURLE_OK) return Fail(request, curl::FailureOf(request->result));
    return curl::EndIsTrustworthy(request->easy) ? kNetEnd : Fail(request, NetFailure::kBroken);
}

// Nothing unread, nothing arriving, for the stall limit: the server went quiet.
bool Stalled(const InternetRequest* r) {
    if (r->stall_ms <= 0 || r->done || r->paused || r->available() > 0) return false;
    return Clock::now() - r->last_progress >= std::chrono::milliseconds(r->stall_ms);
}

void SetError(NetError* error, NetFailure why) {
    if (error) *error = NetError{why, 0};
}

}  // namespace

SessionHandle OpenSession(const char* agent) {
    if (!curl::EnsureStarted()) return SessionHandle();
    SessionHandle session(new InternetSession);
    if (agent) {
        session->agent = agent;
        session->has_agent = true;
    }
    return session;
}

RequestHandle OpenAddress(InternetSession* session, const char* address, const NetLimits& limits,
                          NetError* error) {
    SetError(error, NetFailure::kOther);
    if (!address || !*address) SetError(error, NetFailure::kBadAddress);
    if (!session || !address || !*address) return RequestHandle();
    RequestHandle r(new InternetRequest);
    r->stall_ms = limits.stall_timeout_ms;
    r->easy = curl_easy_init();
    r->multi = curl_multi_init();
    if (!r->easy || !r->multi) return RequestHandle();
    CURL* easy = r->easy;
    if (!curl::ApplyCommonOptions(easy, session->has_agent ? session->agent.c_str() : nullptr,
                                  limits) ||
        curl_easy_setopt(easy, CURLOPT_URL, address) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, r.get()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, r.get()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize) != CURLE_OK ||
        curl_multi_add_handle(r->multi, easy) != CURLM_OK)
        return RequestHandle();

    const bool bounded = limits.response_timeout_ms > 0;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(limits.response_timeout_ms);
    for (;;) {
        Pump(r.get());
        if (r->headers_done || r->body_started || r->done) break;
        int slice = kPollSliceMs;
        if (bounded) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            if (left <= 0) {
                SetError(error, NetFailure::kTimedOut);
                return RequestHandle();
            }
            if (left < slice) slice = static_cast<int>(left);
        }
        Wait(r.get(), slice);
    }
    // A failure before any response (refused, name, certificate, redirect
    // rules) is a failure to open; one after the headers shows in the reads.
    if (r->done && r->result != CURLE_OK && !r->headers_done && !r->body_started) {
        SetError(error, curl::FailureOf(r->result));
        return RequestHandle();
    }
    SetError(error, NetFailure::kNone);
    r->last_progress = Clock::now();
    return r;
}

int QueryStatusCode(InternetRequest* request) {
    if (!request || !curl::IsHttp(request->easy)) return 0;
    long code = 0;
    curl_easy_getinfo(request->easy, CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}

NetError ReadFailure(InternetRequest* request) {
    return request ? request->failure : NetError{NetFailure::kOther, 0};
}

bool QueryContentType(InternetRequest* request, char* buf, std::size_t cap) {
    return QueryHeader(request, "Content-Type", buf, cap);
}

ContentLength QueryContentLength(InternetRequest* request) {
    if (!request) return ContentLength{};
    if (curl::IsHttp(request->easy)) return curl::HttpContentLength(request->easy);
    curl_off_t length = -1;
    if (curl_easy_getinfo(request->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length < 0)
        return ContentLength{};
    return ContentLength{true, static_cast<std::uint64_t>(length)};
}

bool QueryHeader(InternetRequest* request, const char* name, char* buf, std::size_t cap) {
    if (!request || !name || !buf || cap == 0) return false;
    struct curl_header* h = nullptr;
    if (curl_easy_header(request->easy, name, 0, CURLH_HEADER, -1, &h) != CURLHE_OK) return false;
    std::size_t len = std::strlen(h->value);
    if (len >= cap) return false;
    std::memcpy(buf, h->value, len + 1);
    return true;
}

NetRead ReadAvailable(InternetRequest* request, void* buf, std::size_t max, std::size_t* got) {
    if (got) *got = 0;
    if (!request || !got || (!buf && max > 0)) return kNetFailed;
    if (request->failure.failure != NetFailure::kNone) return kNetFailed;
    if (max == 0) {
        Pump(request);
        if (Stalled(request)) return Fail(request, NetFailure::kTimedOut);
        if (request->available() > 0 || !request->done) return kNetPending;
        return EndOf(request);
    }
    // A few turns: one turn may stop at curl's receive buffer size.
    for (int turn = 0; turn < 4 && request->available() < max && !request->done; ++turn) {
        std::size_t before = request->available();
        Pump(request);
        if (request->available() == before) break;
    }
    *got = Take(request, buf, max);
    if (*got > 0) return kNetData;
    if (request->done) return EndOf(request);
    if (Stalled(request)) return Fail(request, NetFailure::kTimedOut);
    return kNetPending;
}

NetRead ReadBlocking(InternetRequest* request, void* buf, std::size_t max, std::size_t* got) {
    if (got) *got = 0;
    if (!request || !got || (!buf && max > 0)) return kNetFailed;
    std::size_t total = 0;
    while (total < max) {
        std::size_t n = 0;
        NetRead read = ReadAvailable(request, static_cast<char*>(buf) + total, max - total, &n);
        total += n;
        if (read == kNetEnd) break;
        if (read == kNetFailed) {
            *got = total;
            return kNetFailed;
        }
        if (read == kNetPending) Wait(request, kPollSliceMs);
    }
    *got = total;
    return total == max ? kNetData : kNetEnd;
}

}  // namespace glyphoria::platform
