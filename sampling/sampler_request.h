// The request to the shop's text renderer for one record, and the fetch of
// its PNG into the preview file.
//
// The URL is the base address, "?imagetype=typeit", then "&shopid=" with the
// id, "&Width=", "&Height=" and "&TextSize=" as truncated integers (the text
// size is fontsize x sampleSizeFactor in single precision), "&TextColor=" and
// "&BgColor=" with the colour strings and "&RenderText=" with the stored,
// still encoded text — in this order, nothing else between. It is built in
// the record's 2048-byte query buffer; a URL that would not fit, a base
// address over 255 bytes or an id that is not usable (shop_id.h) gives no URL
// at all.
//
// The preview file is "GL_<id>.png" in a temporary folder ("C:\TEMP" on
// Windows, created when missing; elsewhere the user's own folder in the
// temporary folder, platform/folders.h), built in the record's 512-byte
// preview-path buffer. All frames of one try share it: each fetch deletes the
// file, downloads into it and succeeds exactly when the file exists
// afterwards. A file that cannot be deleted fails the fetch at once (logged
// "preview: cannot replace <path>"), so no earlier picture is ever taken for
// this frame's.
#pragma once

#include <boost/function.hpp>
#include <string>

#include "sampling/frame_facts.h"
#include "sampling/text_data.h"

namespace glyphoria {

// The preferences the request reads (section "General").
struct SamplerSettings {
    std::string base_url;      // "mlSamplerUrl"; empty until configured
    float size_factor = 1.0f;  // "sampleSizeFactor"

    static SamplerSettings FromPrefs();
};

// Downloads url into the file at path, blocking until the transfer ends. Its
// outcome is judged by the file, not by a result.
using PreviewDownload = boost::function<void(const char* url, const char* path)>;

// The sampler URL in the record's query buffer, or null.
const char* SamplerUrl(TextData& record, const SamplerSettings& settings,
                       const SwatchSource& swatches);

// "GL_<id>.png" behind folder and sep in the record's preview-path buffer;
// null (and an empty buffer) when the id is not usable or the path does not
// fit.
const char* BuildPreviewPath(TextData& record, const char* folder, char sep);

// Logs "samplerURL: <url>\r", deletes path, downloads into it. 1 when the
// file exists afterwards, else 0 (also when there is no URL: nothing is
// deleted or fetched then; and when path cannot be deleted: nothing is
// fetched then).
int FetchPreview(TextData& record, const char* path, const SamplerSettings& settings,
                 const SwatchSource& swatches, const PreviewDownload& download);

// Builds the preview path in the platform's folder and fetches into it; the
// path, or null when the fetch failed.
const char* Preview(TextData& record, const SamplerSettings& settings, const SwatchSource& swatches,
                    const PreviewDownload& download);

}  // namespace glyphoria
