// The per-frame steps behind the actions of frame_actions.h, for the actions
// themselves and for tests that hand in their own preview download.
#pragma once

#include "host/sdk/document.h"
#include "host/sdk/uidref.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"

namespace glyphoria {

// The name of each try and restore step, as the host's undo shows it.
constexpr const char* kSequenceName = "Glyphoria";

// TryFont with the preview fetched by download.
void TryFontWith(const char* try_argument, const PreviewDownload& download);

// Replaces the record's frame by its preview, labelled with the record, as
// one undo step. 1 when the frame was replaced; 0, with the document as it
// was and no undo step, when the preview, the placement or the label fails.
int TryOneFrame(IDocument* document, TextData& record, const SamplerSettings& settings,
                const PreviewDownload& download);

// Turns a labelled frame back into its text frame as one undo step. 1 when
// the frame has no label or was restored; 0 when it could not be restored,
// the frame then being left exactly as it was, label included.
int RestoreFrameIfLabelled(IDataBase* db, UID frame);

}  // namespace glyphoria
