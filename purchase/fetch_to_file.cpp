#include "purchase/fetch_to_file.h"

#include "platform/net.h"
#include "purchase/fetch_limits.h"
#include "purchase/net_failure_text.h"
#include "support/file_utils.h"

namespace glyphoria {

int FetchToFile(const char* address, const char* path) {
    if (!path || !*path) return 0;
    // The old file must not pass for the new one when the fetch fails.
    if (FileExists(path) && !DeleteFileForce(path)) return 0;
    platform::NetError error;
    if (!platform::DownloadToFile(address, path, BlockingFetchLimits(), &error))
        LogNetFailure("fetch", error);
    return FileExists(path) ? 1 : 0;
}

}  // namespace glyphoria
