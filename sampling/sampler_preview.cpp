// The parts of the sampler request that touch the outside world: the
// preferences, the log, the temporary folder and the download.
#include <cstdio>

#include "platform/folders.h"
#include "platform/path_style.h"
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

int FetchPreview(TextData& record, const char* path, const SamplerSettings& settings,
                 const SwatchSource& swatches, const PreviewDownload& download) {
    const char* url = SamplerUrl(record, settings, swatches);
    if (!url || !path || !*path) return 0;
    LogMessage("samplerURL: %s\r", url);
    // Whatever is under the name now (an earlier frame's picture) must not
    // pass for this frame's: a preview that cannot be taken away fails the
    // frame before anything is fetched.
    if (!DeleteFileForce(path)) {
        LogMessage("preview: cannot replace %s\r", path);
        return 0;
    }
    if (download) download(url, path);
    return FileExists(path) ? 1 : 0;
}

const char* Preview(TextData& record, const SamplerSettings& settings, const SwatchSource& swatches,
                    const PreviewDownload& download) {
    char folder[kPathBufferSize] = {};
    if (!PreviewFolder(folder, sizeof folder)) return nullptr;
    // A folder that cannot be made fails the download the same way.
    CreateFolder(folder);
    const char* path = BuildPreviewPath(record, folder, platform::kPathSeparator);
    if (!path) return nullptr;
    return FetchPreview(record, path, settings, swatches, download) ? path : nullptr;
}

}  // namespace glyphoria
