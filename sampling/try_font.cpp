// Trying a font: every selected frame becomes a picture of its own text set
// in the shop's font, one undo step per frame.
#include <string>

#include "host/sdk/commands.h"
#include "host/sdk/utils.h"
#include "purchase/fetch_to_file.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "sampling/host_frame_source.h"
#include "sampling/page_items.h"
#include "sampling/place_preview.h"
#include "sampling/selection_suite.h"
#include "support/log.h"
#include "support/messages.h"

namespace glyphoria {

int TryOneFrame(IDocument* document, TextData& record, const SamplerSettings& settings,
                const PreviewDownload& download) {
    IDataBase* db = static_cast<IDataBase*>(record.frame().database);
    HostSwatchSource swatches(db);
    const char* preview = Preview(record, settings, swatches, download);
    if (!preview) return 0;
    // The URL took the query buffer; the label is built again, before
    // anything changes, so a label that cannot be written changes nothing.
    const char* built = record.BuildLabel();
    if (!built) return 0;
    const std::string label = built;

    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return 0;
    sequence->SetName(PMString(kSequenceName));
    UIDRef placed = PlacePreview(document, FrameOf(record), preview);
    // A picture without its label would be text nobody can restore.
    if (!placed.IsValid() || WriteFrameLabel(placed, kFrameLabelKey, label.c_str()) != kSuccess) {
        CmdUtils::AbortCommandSequence(sequence);
        return 0;
    }
    LogMessage("setTag: %s", label.c_str());
    CmdUtils::EndCommandSequence(sequence);
    return 1;
}

void TryFontWith(const char* try_argument, const PreviewDownload& download) {
    TryFontWith(try_argument, SamplerSettings::FromPrefs(), download);
}

void TryFontWith(const char* try_argument, const SamplerSettings& settings,
                 const PreviewDownload& download) {
    IDocument* document = Utils<ILayoutUtils>()->GetFrontDocument();
    if (!document) {
        ShowMessage("noselection");
        return;
    }
    UIDList frames = QuerySelectedFrames();
    LogMessage("selectedFrames: %d\r", static_cast<int>(frames.Length()));
    int tried = 0;
    int too_long = 0;
    for (int32 i = 0; i < frames.Length(); ++i) {
        TextData record(try_argument);
        bool text_too_long = false;
        if (!FillFromSelection(record, frames, i, &text_too_long)) {
            too_long += text_too_long ? 1 : 0;
            continue;
        }
        tried += TryOneFrame(document, record, settings, download);
    }
    // Frames left alone for their long text are named as such: asking the
    // user to select text frames would only puzzle.
    if (too_long > 0)
        ShowMessage("textTooLong", too_long);
    else if (tried == 0)
        ShowMessage("noselection");
}

void TryFont(const char* try_argument) {
    TryFontWith(try_argument, [](const char* url, const char* path) { FetchToFile(url, path); });
}

}  // namespace glyphoria
