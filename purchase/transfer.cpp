// The transfer: open the address, then let the progress window's timer pull
// the content in pieces of at most 20000 bytes.
#include "purchase/transfer.h"

#include <cstdlib>
#include <cstring>

#include "platform/net.h"
#include "platform/progress.h"
#include "purchase/fetch_limits.h"
#include "support/limits.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

using platform::ProgressWindow;

// One per call, alive for the call.
struct TransferRecord {
    int scheme_kind = kSchemeOther;
    char* data = nullptr;      // capacity + kTransferSlack bytes, zero past the content
    std::size_t capacity = 0;  // room for content
    std::size_t size = 0;      // announced size (size_known)
    std::size_t received = 0;
    bool size_known = false;
    const char* title_key = "";
    platform::InternetRequest* request = nullptr;
    bool started = false;
    // Why a procedure ended the window with a failure; none when the user
    // ended it.
    platform::NetError failure;
};

void EndFailed(TransferRecord& r, ProgressWindow& window, platform::NetFailure why) {
    r.failure = platform::NetError{why, 0};
    window.End(platform::kProgressFailed);
}

constexpr std::size_t kFirstUnknownCapacity = 64 * 1024;

// Makes room for need bytes of content, keeping the zero slack behind it.
bool Reserve(TransferRecord& r, std::size_t need) {
    if (need <= r.capacity) return true;
    if (need > kMaxTransferSize) return false;
    std::size_t grown = r.capacity * 2;
    if (grown < kFirstUnknownCapacity) grown = kFirstUnknownCapacity;
    if (grown < need) grown = need;
    if (grown > kMaxTransferSize) grown = kMaxTransferSize;
    auto* data = static_cast<char*>(std::realloc(r.data, grown + kTransferSlack));
    if (!data) return false;
    std::memset(data + r.received, 0, grown + kTransferSlack - r.received);
    r.data = data;
    r.capacity = grown;
    return true;
}

// Returns the spare room of a buffer grown for an unknown length.
void ShrinkToContent(TransferRecord& r) {
    if (r.size_known || r.capacity == r.received) return;
    if (auto* data = static_cast<char*>(std::realloc(r.data, r.received + kTransferSlack))) {
        r.data = data;
        r.capacity = r.received;
    }
}

bool AllocateForLength(TransferRecord& r) {
    platform::ContentLength length;
    if (r.scheme_kind != kSchemeOther) length = platform::QueryContentLength(r.request);
    if (!length.known) return Reserve(r, kTransferChunk);
    if (length.bytes > kMaxTransferSize) return false;
    r.size_known = true;
    r.size = static_cast<std::size_t>(length.bytes);
    r.data = static_cast<char*>(std::calloc(r.size + kTransferSlack, 1));
    r.capacity = r.size;
    return r.data != nullptr;
}

// Without a length, the end shows only in the read after the last bytes; asking
// at once (for no bytes) saves the tick a known length does not need.
bool StreamEnded(TransferRecord& r) {
    std::size_t none = 0;
    return platform::ReadAvailable(r.request, nullptr, 0, &none) == platform::kNetEnd;
}

void StartStep(TransferRecord& r, ProgressWindow& window) {
    r.started = true;
    if (!AllocateForLength(r)) {
        EndFailed(r, window, platform::NetFailure::kTooLarge);
        return;
    }
    char title[kValueBufferSize];
    GetLocalizedText(r.title_key, title, sizeof title);
    window.SetTitle(title);
    window.SetRange(r.size_known ? r.size : 0);
    if (r.size_known && r.size == 0) {
        window.End(platform::kProgressDone);  // an empty document: nothing to read
        return;
    }
    window.StartTimer(kTransferTickMs);
}

void TickStep(TransferRecord& r, ProgressWindow& window) {
    std::size_t want = kTransferChunk;
    if (r.size_known) {
        if (r.size - r.received < want) want = r.size - r.received;
    } else if (!Reserve(r, r.received + want)) {
        EndFailed(r, window, platform::NetFailure::kTooLarge);
        return;
    }
    std::size_t got = 0;
    switch (platform::ReadAvailable(r.request, r.data + r.received, want, &got)) {
        case platform::kNetData:
            r.received += got;
            window.SetPosition(r.received);
            if (r.size_known ? r.received >= r.size : StreamEnded(r))
                window.End(platform::kProgressDone);
            break;
        case platform::kNetPending:
            break;  // nothing yet; the next tick asks again (the seam keeps the stall limit)
        case platform::kNetEnd:
            // The stream ended: complete when no length was announced, cut
            // short (and so failed) when one was.
            if (r.size_known)
                EndFailed(r, window, platform::NetFailure::kBroken);
            else
                window.End(platform::kProgressDone);
            break;
        case platform::kNetFailed:
            r.failure = platform::ReadFailure(r.request);
            if (r.failure.failure == platform::NetFailure::kNone)
                r.failure.failure = platform::NetFailure::kBroken;
            window.End(platform::kProgressFailed);
            break;
    }
}

}  // namespace

int SchemeKindOf(const char* address) {
    if (!address) return kSchemeOther;
    if (std::strncmp(address, "ftp://", 6) == 0) return kSchemeFtp;
    if (std::strncmp(address, "http://", 7) == 0 || std::strncmp(address, "https://", 8) == 0)
        return kSchemeHttp;
    return kSchemeOther;
}

platform::RequestHandle OpenForContent(platform::InternetSession* session, const char* address,
                                       const platform::NetLimits& limits,
                                       platform::NetError* error) {
    platform::RequestHandle request = platform::OpenAddress(session, address, limits, error);
    if (!request) return request;
    const int status = platform::QueryStatusCode(request.get());
    if (status != 0 && !platform::IsSuccessStatus(status)) {
        if (error) *error = platform::NetError{platform::NetFailure::kHttpStatus, status};
        request.reset();
    }
    return request;
}

char* DownloadUrl(const char* address, std::size_t* size, const char* title_key,
                  platform::NetError* error) {
    platform::NetError ignored;
    if (!error) error = &ignored;
    *error = platform::NetError{platform::NetFailure::kOther, 0};
    platform::SessionHandle session = platform::OpenSession(nullptr);
    if (!session) return nullptr;
    platform::RequestHandle request =
        OpenForContent(session.get(), address, WindowedFetchLimits(), error);
    if (!request) return nullptr;

    TransferRecord r;
    r.scheme_kind = SchemeKindOf(address);
    r.title_key = title_key ? title_key : "";
    r.request = request.get();
    int result = platform::RunProgress([&r](ProgressWindow& w) { StartStep(r, w); },
                                       [&r](ProgressWindow& w) { TickStep(r, w); });
    if (result != platform::kProgressDone || !r.data) {
        std::free(r.data);
        // Ended by nothing of ours once it was up: the user closed it.
        *error = r.failure.failure != platform::NetFailure::kNone
                     ? r.failure
                     : platform::NetError{r.started ? platform::NetFailure::kCancelled
                                                    : platform::NetFailure::kOther,
                                          0};
        return nullptr;
    }
    *error = platform::NetError{};
    ShrinkToContent(r);
    if (size) *size = r.size_known ? r.size : r.received;
    return r.data;
}

}  // namespace glyphoria
