// The parts of the sampler request that touch the outside world: the
// preferences, the log, the temporary folder and the download.
#include <cstdio>
#include <memory>

#include "platform/folders.h"
#include "platform/net.h"
#include "platform/path_style.h"
#include "purchase/fetch_limits.h"
#include "purchase/net_failure_text.h"
#include "sampling/sampler_request.h"
#include "support/file_utils.h"
#include "support/limits.h"
#include "support/log.h"
#include "support/prefs_store.h"

namespace glyphoria {

namespace {

// Where preview files go. Windows keeps the fixed folder that the placed
// images of older documents were linked from. Elsewhere a folder of the
// user's own in the shared temporary folder: in the shared folder itself,
// anyone could put a picture under the predictable name of a preview.
bool PreviewFolder(char* buf, std::size_t cap) {
#ifdef _WIN32
    std::snprintf(buf, cap, "%s", "C:\\TEMP");
    return true;
#else
    return platform::GetShellFolder(platform::kFolderUserTemp, buf, cap);
#endif
}

}  // namespace

SamplerSettings SamplerSettings::FromPrefs() {
    SamplerSettings settings;
    // One byte more than a base may have, so that an over-long one is seen
    // (and refused by SamplerUrl) instead of being cut.
    char base[kValueBufferSize + 1] = {};
    if (Prefs().GetString(kGeneralSection, "mlSamplerUrl", base, sizeof base) > 0) {
        settings.base_url = base;
    }
    settings.size_factor =
        static_cast<float>(Prefs().GetFloat(kGeneralSection, "sampleSizeFactor", 1.0));
    return settings;
}

bool PreparePreview(TextData& record, const char* path, const SamplerSettings& settings,
                    const SwatchSource& swatches, PreparedPreview* prepared) {
    const char* url = SamplerUrl(record, settings, swatches);
    if (!url || !path || !*path || !prepared) return false;
    prepared->url = url;
    prepared->path = path;
    // Whatever is under the name now must not pass for this frame's picture:
    // a preview that cannot be taken away fails the frame before anything is
    // fetched.
    prepared->replaceable = DeleteFileForce(path);
    return true;
}

int FinishPreview(const PreparedPreview& prepared, const PreviewJob* job) {
    LogMessage("samplerURL: %s\r", prepared.url.c_str());
    if (!prepared.replaceable) {
        LogMessage("preview: cannot replace %s\r", prepared.path.c_str());
        return 0;
    }
    if (job && job->at_turn) job->at_turn();
    return FileExists(prepared.path.c_str()) ? 1 : 0;
}

int FetchPreview(TextData& record, const char* path, const SamplerSettings& settings,
                 const SwatchSource& swatches, const PreviewDownload& download) {
    PreparedPreview prepared;
    if (!PreparePreview(record, path, settings, swatches, &prepared)) return 0;
    std::vector<PreviewJob> jobs{PreviewJob{prepared.url, prepared.path, {}}};
    if (prepared.replaceable) OneAtATime(download)(jobs);
    return FinishPreview(prepared, &jobs[0]);
}

bool PreparePreviewFolder(char* buf, std::size_t cap) {
    if (!PreviewFolder(buf, cap)) return false;
    // A folder that cannot be made fails the download the same way.
    CreateFolder(buf);
    return true;
}

const char* Preview(TextData& record, const SamplerSettings& settings, const SwatchSource& swatches,
                    const PreviewDownload& download) {
    char folder[kPathBufferSize] = {};
    if (!PreparePreviewFolder(folder, sizeof folder)) return nullptr;
    const char* path = BuildPreviewPath(record, folder, platform::kPathSeparator);
    if (!path) return nullptr;
    return FetchPreview(record, path, settings, swatches, download) ? path : nullptr;
}

PreviewFetcher OneAtATime(const PreviewDownload& download) {
    return [download](std::vector<PreviewJob>& jobs) {
        for (PreviewJob& job : jobs) {
            const std::string url = job.url;
            const std::string path = job.path;
            job.at_turn = [download, url, path] {
                if (download) download(url.c_str(), path.c_str());
            };
        }
    };
}

PreviewFetcher ConcurrentPreviews(const PreviewOutcome& outcome) {
    return [outcome](std::vector<PreviewJob>& jobs) {
        std::vector<platform::FileDownload> downloads(jobs.size());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            downloads[i].address = jobs[i].url;
            downloads[i].path = jobs[i].path;
        }
        platform::DownloadAllToFiles(downloads, kPreviewsAtOnce, BlockingFetchLimits());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const platform::NetError error =
                downloads[i].ok ? platform::NetError{} : downloads[i].error;
            const std::string path = jobs[i].path;
            if (outcome)
                jobs[i].at_turn = [outcome, path, error] { outcome(path, error); };
            else if (!downloads[i].ok)
                jobs[i].at_turn = [error] { LogNetFailure("fetch", error); };
        }
    };
}

}  // namespace glyphoria
