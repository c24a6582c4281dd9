// The probe decides, the transfer fetches, the download folder keeps.
#include "purchase/purchase_download.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/folders.h"
#include "purchase/fetch_limits.h"
#include "purchase/net_failure_text.h"
#include "purchase/transfer.h"
#include "support/content_disposition.h"
#include "support/download_name.h"
#include "support/file_utils.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/string_table.h"

namespace glyphoria {

namespace {

using platform::NetError;
using platform::NetFailure;

constexpr std::size_t kHeaderBufferSize = 1024;
constexpr const char* kAgentName = "Kwen";
// How much of the first response is asked for at a time.
constexpr std::size_t kFirstResponseStep = 64 * 1024;

// A type with parameters ("application/zip; charset=...") is not an archive.
bool IsArchiveType(const char* type) {
    return std::strcmp(type, "application/octet-stream") == 0 ||
           std::strcmp(type, "application/zip") == 0;
}

// The first response as it came (as far as it came), kept in the download
// folder for support. Without a usable length it is an empty file. The copy is read in steps and
// its buffer grows only with what has arrived: the announced length is the server's word, and a
// server that announces gigabytes and sends a few bytes must not make the plug-in reserve
// gigabytes. Without memory for what did arrive there is no copy. Returns why the response could
// not be read whole (kNone when it was).
NetError SaveFirstResponseCopy(platform::InternetRequest* request) {
    platform::ContentLength length = platform::QueryContentLength(request);
    std::size_t want = 0;
    if (length.known) {
        if (length.bytes > kMaxTransferSize) return NetError{NetFailure::kTooLarge, 0};
        want = static_cast<std::size_t>(length.bytes);
    }
    char* bytes = nullptr;
    std::size_t capacity = 0;
    std::size_t got = 0;
    NetError failure;
    while (got < want) {
        const std::size_t step = std::min(kFirstResponseStep, want - got);
        if (capacity - got < step) {
            const std::size_t grown = std::min(want, std::max(2 * capacity, got + step));
            char* larger = static_cast<char*>(std::realloc(bytes, grown));
            if (!larger) {
                std::free(bytes);
                return NetError{NetFailure::kTooLarge, 0};
            }
            bytes = larger;
            capacity = grown;
        }
        std::size_t n = 0;
        const platform::NetRead read = platform::ReadBlocking(request, bytes + got, step, &n);
        got += n;
        if (read == platform::kNetData) continue;
        if (read == platform::kNetFailed) failure = platform::ReadFailure(request);
        if (read == platform::kNetEnd)
            failure.failure = NetFailure::kBroken;  // short of its length
        break;
    }
    SaveToDownloadFolder(bytes ? bytes : "", got, kFirstResponseCopyName);
    std::free(bytes);
    return failure;
}

bool DownloadFolder(char* path, std::size_t cap) {
    path[0] = '\0';
    const std::size_t room = cap < kValueBufferSize ? cap : kValueBufferSize;
    const int length = Prefs().GetString(kGeneralSection, "downloadFolder", path, room);
    // A chosen folder that does not fit is refused, not cut: its beginning
    // may name another folder, and the archive would land there unseen.
    if (length > 0 && static_cast<std::size_t>(length) >= room) {
        path[0] = '\0';
        return false;
    }
    if (path[0]) return true;
    // No folder chosen: the user's downloads folder, never a drive's root.
    if (!platform::GetShellFolder(platform::kFolderDownloads, path, cap)) return false;
    CreateFolder(path);
    return true;
}

// The archive beside whatever the folder holds; the path used, or empty.
std::string SaveArchive(const char* data, std::size_t size, const char* file_name) {
    char folder[kPathBufferSize];
    std::string saved;
    if (size == 0 || !DownloadFolder(folder, sizeof folder) ||
        !SaveUnderFreeName(folder, file_name, data, size, kPathBufferSize, &saved))
        return {};
    return saved;
}

// Only the name, for the box: the folder is the user's own choice.
std::string NameOfPath(const std::string& path) {
    char name[kValueBufferSize];
    FileNameOfPath(path.c_str(), name, sizeof name, true);
    return name;
}

}  // namespace

bool SaveToDownloadFolder(const void* bytes, std::size_t length, const char* file_name) {
    if (!IsSafeDownloadName(file_name)) return false;
    char path[kPathBufferSize];
    if (!DownloadFolder(path, sizeof path) || !AppendPathComponent(path, file_name)) return false;
    return WriteWholeFileAtomic(path, bytes, length);
}

int ProbePurchase(const char* address, char* file_name, std::size_t cap, NetError* error) {
    NetError ignored;
    if (!error) error = &ignored;
    *error = NetError{};
    if (!address || !file_name || !std::strstr(address, "download")) return 0;
    platform::SessionHandle session = platform::OpenSession(kAgentName);
    if (!session) return 0;
    platform::RequestHandle request =
        OpenForContent(session.get(), address, BlockingFetchLimits(), error);
    if (!request) return 0;

    char header[kHeaderBufferSize] = {};
    bool have_type = platform::QueryContentType(request.get(), header, sizeof header);
    *error = SaveFirstResponseCopy(request.get());
    if (!have_type || !IsArchiveType(header)) return 0;

    std::memset(header, 0, sizeof header);
    if (!platform::QueryHeader(request.get(), "Content-Disposition", header, sizeof header))
        return 0;
    std::string name;
    if (!DispositionFileName(header, &name) || !IsSafeDownloadName(name.c_str()) ||
        name.size() >= kValueBufferSize || name.size() >= cap) {
        LogMessage("doBuy: no safe file name in: %s\r", header);
        return 0;
    }
    std::memcpy(file_name, name.c_str(), name.size() + 1);
    return 1;
}

int DoBuy(const char* address, BuyOutcome* outcome) {
    BuyOutcome ignored;
    if (!outcome) outcome = &ignored;
    *outcome = BuyOutcome{};
    LogMessage("doBuy: %s\r", address ? address : "");
    char file_name[kValueBufferSize] = {};
    if (ProbePurchase(address, file_name, sizeof file_name, &outcome->error) != 1) {
        if (outcome->error.failure != NetFailure::kNone) LogNetFailure("doBuy", outcome->error);
        return 0;
    }
    // A server that went quiet for the whole stall limit would only keep the
    // user waiting that long again; a connection that broke may not break twice.
    std::size_t size = 0;
    char* data = nullptr;
    if (outcome->error.failure != NetFailure::kTimedOut)
        data = DownloadUrl(address, &size, "downloading", &outcome->error);
    const bool fetched = data != nullptr;
    if (fetched) outcome->saved_path = SaveArchive(data, size, file_name);
    std::free(data);
    if (!outcome->saved_path.empty()) {
        LogMessage("doBuy saved: %s\r", outcome->saved_path.c_str());
        const std::string used = NameOfPath(outcome->saved_path);
        if (used != file_name) ShowMessage("savedAs", file_name, used.c_str());
        return 1;
    }
    // Fetched but not written (an empty archive, no free name, a full disk)
    // has no network reason.
    const char* reason_key = fetched ? "saveFailed" : NetFailureKey(outcome->error);
    if (fetched) outcome->error = NetError{NetFailure::kOther, 0};
    char reason[kMessageBufferSize];
    FormatLocalizedUtf8(reason, sizeof reason, reason_key, outcome->error.status);
    LogMessage("doBuy failed: %s\r", reason);
    // The user paid for these fonts: a lost archive must not go unnoticed,
    // unless the user stopped it.
    if (outcome->error.failure != NetFailure::kCancelled) {
        SetMessageDetail(reason_key, outcome->error.status);
        ShowMessage("zipDownloadErr", file_name);
    }
    return 1;
}

}  // namespace glyphoria
