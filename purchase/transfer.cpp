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
};

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

void StartStep(TransferRecord& r, ProgressWindow& window) {
    if (!AllocateForLength(r)) {
        window.End(platform::kProgressFailed);
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
        window.End(platform::kProgressFailed);  // too large to hold
        return;
    }
    std::size_t got = 0;
    switch (platform::ReadAvailable(r.request, r.data + r.received, want, &got)) {
        case platform::kNetData:
            r.received += got;
            window.SetPosition(r.received);
            if (r.size_known && r.received >= r.size) window.End(platform::kProgressDone);
            break;
        case platform::kNetPending:
            break;  // nothing yet; the next tick asks again
        case platform::kNetEnd:
            // The stream ended: complete when no length was announced, cut
            // short (and so failed) when one was.
            window.End(r.size_known ? platform::kProgressFailed : platform::kProgressDone);
            break;
        case platform::kNetFailed:
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

char* DownloadUrl(const char* address, std::size_t* size, const char* title_key) {
    platform::SessionHandle session = platform::OpenSession(nullptr);
    if (!session) return nullptr;
    platform::RequestHandle request =
        platform::OpenAddress(session.get(), address, WindowedFetchLimits());
    if (!request) return nullptr;

    TransferRecord r;
    r.scheme_kind = SchemeKindOf(address);
    r.title_key = title_key ? title_key : "";
    r.request = request.get();
    int result = platform::RunProgress([&r](ProgressWindow& w) { StartStep(r, w); },
                                       [&r](ProgressWindow& w) { TickStep(r, w); });
    if (result != platform::kProgressDone || !r.data) {
        std::free(r.data);
        return nullptr;
    }
    ShrinkToContent(r);
    if (size) *size = r.size_known ? r.size : r.received;
    return r.data;
}

}  // namespace glyphoria
