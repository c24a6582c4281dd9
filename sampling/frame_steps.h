// The per-frame steps behind the actions of frame_actions.h, for the actions
// themselves and for tests that hand in their own preview download. A try of
// a frame is three steps that share nothing but the sample: make it from the
// frame (nothing is changed), fetch its preview (nothing is changed), place
// it (one undo step). A try makes every frame's sample, fetches all their
// previews together, then places the frames one by one in selection order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/sdk/document.h"
#include "host/sdk/uidref.h"
#include "sampling/frame_copy.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"

namespace glyphoria {

// The name of each try and restore step, as the host's undo shows it.
constexpr const char* kSequenceName = "Glyphoria";

// TryFont with the preview fetched by download.
void TryFontWith(const char* try_argument, const PreviewDownload& download);
// The same with the renderer's settings given: the Mac keeps them in its own
// preferences, not in the store TryFont reads.
void TryFontWith(const char* try_argument, const SamplerSettings& settings,
                 const PreviewDownload& download);
// The same with the previews fetched together by fetcher (TryFont's is
// ConcurrentPreviews).
void TryFontFetching(const char* try_argument, const SamplerSettings& settings,
                     const PreviewFetcher& fetcher);

// What a try takes from one frame before anything changes: the record (the
// renderer's request and the "Glyphoria" label), the encoded whole frame (the
// kFrameCopyKey label; a re-try's is the first try's, as stored, and a
// picture that has none keeps none) and the place the picture takes: the
// frame's box, rotation, shear, name and other labels.
struct FrameSample {
    TextData record;
    std::string frame_copy;
    FrameCopy place;
};

enum class SampleResult {
    kReady,
    kNothingToTry,  // no usable id, no text, not a frame
    kTooLong,       // its whole copy would be larger than kFrameCopyMaxBytes
};

// Makes the sample of the frame at index of the selected frames, the record
// made from the try argument first.
SampleResult MakeFrameSample(const char* try_argument, const UIDList& frames, int32 index,
                             FrameSample* sample);

// Replaces the sample's frame by the picture at preview_path, in the frame's
// place and with its labels, as one undo step. 1 when the frame was replaced;
// 0, with the document as it was and no undo step, when the placement or a
// label fails.
int PlaceFrameSample(IDocument* document, FrameSample& sample, const char* preview_path);

// Tries the samples: their previews fetched together by fetcher, then each
// frame in the samples' order logged, judged and placed (one undo step per
// frame); a preview that failed, stalled or cannot replace the old file
// leaves only its own frame as it was. How many frames were replaced.
int TryFrames(IDocument* document, std::vector<std::unique_ptr<FrameSample>>& samples,
              const SamplerSettings& settings, const PreviewFetcher& fetcher);

// Turns a labelled frame back into its text frame as one undo step. 1 when
// the frame has no label or was restored; 0 when it could not be restored,
// the frame then being left exactly as it was, labels included.
int RestoreFrameIfLabelled(IDataBase* db, UID frame);

}  // namespace glyphoria
