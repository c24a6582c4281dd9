// The batch download on Windows: one job after the other. WinINet's
// asynchronous requests could run them side by side; until that is built,
// the try waits for its previews one by one as it always did.
#include "platform/net.h"

namespace glyphoria::platform {

void DownloadAllToFiles(std::vector<FileDownload>& jobs, std::size_t, const NetLimits& limits) {
    for (FileDownload& job : jobs)
        job.ok = DownloadToFile(job.address.c_str(), job.path.c_str(), limits, &job.error);
}

}  // namespace glyphoria::platform
