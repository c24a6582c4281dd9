// Blocking download of an address into a file.
//
// Not the URL moniker (URLDownloadToFileA): it reports success for an HTTP
// error status and saves the error page, and it has no timeouts. The fetch
// goes through the seam's own WinINet request instead, with the caller's
// limits, into a temporary file beside the path that is renamed into place
// only when the whole body arrived with a success status.
#include <cstdio>
#include <string>

#include "platform/fs.h"
#include "platform/net.h"
#include "platform/new_file.h"
#include "platform/win32/net_async.h"

namespace glyphoria::platform {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

// The folder part of a path (either separator), "." when there is none.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Transfer(const char* address, NewFile& file, const NetLimits& limits) {
    SessionHandle session = OpenSession(nullptr);
    if (!session) return false;
    RequestHandle request = OpenAddress(session.get(), address, limits);
    if (!request) return false;
    int status = win32::StatusCodeOf(request.get());
    if (status >= 400) return false;
    std::string piece(kPiece, '\0');
    for (;;) {
        std::size_t got = 0;
        NetRead read = ReadBlocking(request.get(), piece.data(), piece.size(), &got);
        if (read == kNetFailed) return false;
        if (got > 0 && !file.Write(piece.data(), got)) return false;
        if (read == kNetEnd) return true;
    }
}

}  // namespace

bool DownloadToFile(const char* address, const char* path, const NetLimits& limits) {
    if (!address || !*address || !path || !*path) return false;
    const std::string target(path);
    char temp[1024];
    NewFile file;
    if (!file.CreateUnique(FolderOf(target).c_str(), (NameOf(target) + ".part-").c_str(), "", temp,
                           sizeof temp))
        return false;
    bool ok = Transfer(address, file, limits);
    ok = file.Close() && ok;
    // The caller's rule is "the file exists afterwards": an older file under
    // the name is replaced, as a download over it would.
    if (ok && RenameReplace(temp, path)) return true;
    RemoveFile(temp);
    return false;
}

}  // namespace glyphoria::platform
