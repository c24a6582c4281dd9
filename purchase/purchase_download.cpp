// The probe decides, the transfer fetches, the download folder keeps.
#include "purchase/purchase_download.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/folders.h"
#include "platform/net.h"
#include "purchase/fetch_limits.h"
#include "purchase/transfer.h"
#include "support/file_utils.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/prefs_store.h"

namespace glyphoria {

namespace {

constexpr std::size_t kHeaderBufferSize = 1024;
constexpr const char* kAgentName = "Kwen";
constexpr const char* kFilenameMarker = "filename=\"";
// How much of the first response is asked for at a time.
constexpr std::size_t kFirstResponseStep = 64 * 1024;

// A type with parameters ("application/zip; charset=...") is not an archive.
bool IsArchiveType(const char* type) {
    return std::strcmp(type, "application/octet-stream") == 0 ||
           std::strcmp(type, "application/zip") == 0;
}

// The first response as it came, kept in the download folder for support.
// Without a usable length it is an empty file. The copy is read in steps
// and its buffer grows only with what has arrived: the announced length is
// the server's word, and a server that announces gigabytes and sends a few
// bytes must not make the plug-in reserve gigabytes. Without memory for
// what did arrive there is no copy.
void SaveFirstResponseCopy(platform::InternetRequest* request) {
    platform::ContentLength length = platform::QueryContentLength(request);
    std::size_t want = 0;
    if (length.known) {
        if (length.bytes > kMaxTransferSize) return;
        want = static_cast<std::size_t>(length.bytes);
    }
    char* bytes = nullptr;
    std::size_t capacity = 0;
    std::size_t got = 0;
    while (got < want) {
        const std::size_t step = std::min(kFirstResponseStep, want - got);
        if (capacity - got < step) {
            const std::size_t grown = std::min(want, std::max(2 * capacity, got + step));
            char* larger = static_cast<char*>(std::realloc(bytes, grown));
            if (!larger) {
                std::free(bytes);
                return;
            }
            bytes = larger;
            capacity = grown;
        }
        std::size_t n = 0;
        const platform::NetRead read = platform::ReadBlocking(request, bytes + got, step, &n);
        got += n;
        if (read != platform::kNetData) break;
    }
    SaveToDownloadFolder(bytes ? bytes : "", got, kFirstResponseCopyName);
    std::free(bytes);
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

}  // namespace

bool IsPlainFileName(const char* name) {
    if (!name || !*name) return false;
    if (std::strstr(name, "..")) return false;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        // Separators of both platforms; ':' makes a drive or a stream.
        if (c == '/' || c == '\\' || c == ':' || c < 0x20 || c == 0x7F) return false;
    }
    return std::strcmp(name, ".") != 0;
}

bool ExtractQuotedFileName(const char* disposition, char* out, std::size_t cap) {
    if (!disposition || !out || cap == 0) return false;
    const char* start = std::strstr(disposition, kFilenameMarker);
    if (!start) return false;
    start += std::strlen(kFilenameMarker);
    const char* end = std::strchr(start, '"');
    if (!end) return false;
    std::size_t len = static_cast<std::size_t>(end - start);
    if (len >= cap || len >= kValueBufferSize) return false;
    std::memcpy(out, start, len);
    out[len] = '\0';
    return true;
}

bool SaveToDownloadFolder(const void* bytes, std::size_t length, const char* file_name) {
    if (!IsPlainFileName(file_name)) return false;
    char path[kPathBufferSize];
    if (!DownloadFolder(path, sizeof path) || !AppendPathComponent(path, file_name)) return false;
    return WriteWholeFileAtomic(path, bytes, length);
}

int ProbePurchase(const char* address, char* file_name, std::size_t cap) {
    if (!address || !file_name || !std::strstr(address, "download")) return 0;
    platform::SessionHandle session = platform::OpenSession(kAgentName);
    if (!session) return 0;
    platform::RequestHandle request =
        platform::OpenAddress(session.get(), address, BlockingFetchLimits());
    if (!request) return 0;

    char header[kHeaderBufferSize] = {};
    bool have_type = platform::QueryContentType(request.get(), header, sizeof header);
    SaveFirstResponseCopy(request.get());
    if (!have_type || !IsArchiveType(header)) return 0;

    std::memset(header, 0, sizeof header);
    if (!platform::QueryHeader(request.get(), "Content-Disposition", header, sizeof header))
        return 0;
    char name[kValueBufferSize];
    if (!ExtractQuotedFileName(header, name, sizeof name) || !IsPlainFileName(name) ||
        std::strlen(name) >= cap)
        return 0;
    std::memcpy(file_name, name, std::strlen(name) + 1);
    return 1;
}

int DoBuy(const char* address) {
    LogMessage("doBuy: %s\r", address ? address : "");
    char file_name[kValueBufferSize] = {};
    if (ProbePurchase(address, file_name, sizeof file_name) != 1) return 0;
    std::size_t size = 0;
    char* data = DownloadUrl(address, &size, "downloading");
    bool saved = data && size > 0 && SaveToDownloadFolder(data, size, file_name);
    std::free(data);
    // The user paid for these fonts: a lost archive must not go unnoticed.
    if (!saved) ShowMessage("zipDownloadErr", file_name);
    return 1;
}

}  // namespace glyphoria
