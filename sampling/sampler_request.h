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
// The preview file is "GL_<id>_<uid>_<doc>.png" in a temporary folder
// ("C:\TEMP" on Windows, created when missing; elsewhere the user's own
// folder in the temporary folder, platform/folders.h), built in the record's
// 512-byte preview-path buffer: <uid> is the UID of the frame tried and <doc>
// eight hexadecimal digits made from the document (its database and its
// name) and the session, which tell apart the documents open together, a
// document opened where a closed one was, and (almost surely) sessions. So every frame's picture
// has a file of its own and no two placed pictures share a link. A fetch deletes the file,
// downloads into it and succeeds exactly when the file exists afterwards. A file that cannot be
// deleted fails the fetch at once (logged "preview: cannot replace <path>"), so no earlier picture
// is ever taken for this frame's.
//
// What removes previews: the try, the file of a frame whose picture it did
// not place (nothing links it), and the file under a frame's name when that
// same frame is tried again with the same font (its earlier picture is no
// longer in the document: the frame being tried is the text frame or the
// picture that replaced it). Nothing else, so no file a document may still
// link is ever removed or overwritten; the temporary folder's own clean-up
// takes the rest.
#pragma once

#include <boost/function.hpp>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/net.h"
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

// "GL_<id>_<uid>_<doc>.png" (the record's frame; document_name: the name of
// its document) behind folder and sep in the record's preview-path buffer;
// null (and an empty buffer) when the id is not usable or the path does not
// fit.
const char* BuildPreviewPath(TextData& record, const char* folder, char sep,
                             const std::string& document_name = std::string());

// Logs "samplerURL: <url>\r", deletes path, downloads into it. 1 when the
// file exists afterwards, else 0 (also when there is no URL: nothing is
// deleted or fetched then; and when path cannot be deleted: nothing is
// fetched then).
int FetchPreview(TextData& record, const char* path, const SamplerSettings& settings,
                 const SwatchSource& swatches, const PreviewDownload& download);

// The previews of a try are fetched together, then placed one by one in
// selection order. A fetcher gets every frame's address and file and returns
// when it is done with them; the try then takes the frames in turn: it logs
// the address, calls the job's at_turn (when the fetcher set one) and judges
// the preview by whether its file exists. A fetcher that has something to
// say about a frame (a log line) says it in at_turn, so the log keeps the
// frames in selection order whatever order the previews arrived in.
struct PreviewJob {
    std::string url;
    std::string path;
    boost::function<void()> at_turn;
};
using PreviewFetcher = boost::function<void(std::vector<PreviewJob>& jobs)>;

// How many previews the plug-in's fetcher asks the renderer for at once.
constexpr std::size_t kPreviewsAtOnce = 10;

// A fetcher that runs download for each frame at its turn, one frame after
// the other.
PreviewFetcher OneAtATime(const PreviewDownload& download);

// What a concurrent fetcher says at a frame's turn about its download: the
// file, and why it is not there (kNone when it is).
using PreviewOutcome =
    boost::function<void(const std::string& path, const platform::NetError& error)>;

// The plug-in's fetcher: every preview downloaded into its file, up to
// kPreviewsAtOnce at the same time (platform::DownloadAllToFiles, with the
// blocking fetch limits). At each frame's turn the outcome speaks; without
// one, a failed download logs "fetch failed: <reason>".
PreviewFetcher ConcurrentPreviews(const PreviewOutcome& outcome = PreviewOutcome());

// The part of a fetch that happens before the download: the URL (logged at
// the frame's turn), the path and whether what was under it could be
// deleted. False (nothing deleted) when there is no URL or no path.
struct PreparedPreview {
    std::string url;
    std::string path;
    bool replaceable = false;
};
bool PreparePreview(TextData& record, const char* path, const SamplerSettings& settings,
                    const SwatchSource& swatches, PreparedPreview* prepared);

// The frame's turn: logs "samplerURL: <url>\r" (and the refusal when the old
// file stayed), runs the job's at_turn, and returns 1 when the file exists.
int FinishPreview(const PreparedPreview& prepared, const PreviewJob* job);

// The folder previews go to, created when missing; false when there is none.
bool PreparePreviewFolder(char* buf, std::size_t cap);

// Builds the preview path in the platform's folder and fetches into it; the
// path, or null when the fetch failed.
const char* Preview(TextData& record, const SamplerSettings& settings, const SwatchSource& swatches,
                    const PreviewDownload& download);

}  // namespace glyphoria
