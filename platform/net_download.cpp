// Blocking download of an address into a file, the URL moniker's role, made
// of the seam's own requests on every platform.
//
// Not the URL moniker (URLDownloadToFileA) on Windows: it reports success for
// an HTTP error status and saves the error page, and it has no timeouts. The
// body goes into a part file beside the path (part_file.h) that is renamed
// into place only when the whole of it arrived with a 2xx status.
#include <string>

#include "platform/net.h"
#include "platform/part_file.h"

namespace glyphoria::platform {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

bool Transfer(const char* address, PartFile& file, const NetLimits& limits, NetError* error) {
    SessionHandle session = OpenSession(nullptr);
    if (!session) return false;
    RequestHandle request = OpenAddress(session.get(), address, limits, error);
    if (!request) return false;
    const int status = QueryStatusCode(request.get());
    if (status != 0 && !IsSuccessStatus(status)) {
        *error = NetError{NetFailure::kHttpStatus, status};
        return false;
    }
    std::string piece(kPiece, '\0');
    for (;;) {
        std::size_t got = 0;
        NetRead read = ReadBlocking(request.get(), &piece[0], piece.size(), &got);
        if (read == kNetFailed) {
            *error = ReadFailure(request.get());
            return false;
        }
        if (got > 0 && !file.Write(piece.data(), got)) return false;
        if (read == kNetEnd) return true;
    }
}

}  // namespace

bool DownloadToFile(const char* address, const char* path, const NetLimits& limits,
                    NetError* error) {
    NetError why{NetFailure::kOther, 0};
    if (!address || !*address) why.failure = NetFailure::kBadAddress;
    bool ok = false;
    PartFile file;
    if (address && *address && file.Open(path)) {
        ok = Transfer(address, file, limits, &why);
        // The caller's rule is "the file exists afterwards": an older file
        // under the name is replaced, as a download over it would.
        ok = file.Finish(ok);
    }
    // A file that could not be written or put in place: no network reason.
    if (!ok && why.failure == NetFailure::kNone) why.failure = NetFailure::kOther;
    if (error) *error = ok ? NetError{} : why;
    return ok;
}

}  // namespace glyphoria::platform
