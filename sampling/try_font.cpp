// Trying a font: every selected frame becomes a picture of its own text set
// in the shop's font, in the frame's place, one undo step per frame. The
// picture keeps the record for the renderer and other installations and the
// whole frame for the restore.
#include <memory>
#include <string>
#include <vector>

#include "host/sdk/commands.h"
#include "host/sdk/utils.h"
#include "platform/path_style.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "sampling/host_frame_copy.h"
#include "sampling/host_frame_source.h"
#include "sampling/page_items.h"
#include "sampling/place_preview.h"
#include "sampling/selection_suite.h"
#include "sampling/shop_id.h"
#include "support/file_utils.h"
#include "support/limits.h"
#include "support/log.h"

namespace glyphoria {

SampleResult MakeFrameSample(const char* try_argument, const UIDList& frames, int32 index,
                             FrameSample* sample) {
    TextData& record = sample->record;
    record.Parse(try_argument);
    if (!FillFromSelection(record, frames, index)) return SampleResult::kNothingToTry;
    const UIDRef frame = FrameOf(record);
    if (!ReadFramePlace(frame, &sample->place)) return SampleResult::kNothingToTry;
    // A re-try: the picture's copy still describes the text frame of the
    // first try.
    if (!FrameLabel(frame, kFrameLabelKey).empty()) {
        sample->frame_copy = FrameLabel(frame, kFrameCopyKey);
        return SampleResult::kReady;
    }
    FrameCopy copy;
    if (!ReadFrameCopy(frame, &copy)) return SampleResult::kNothingToTry;
    sample->frame_copy = EncodeFrameCopy(copy);
    // Tried without its whole copy, the frame would lose what the record
    // cannot hold; it keeps its text instead.
    if (sample->frame_copy.size() > kFrameCopyMaxBytes) return SampleResult::kTooLong;
    return SampleResult::kReady;
}

int PlaceFrameSample(IDocument* document, FrameSample& sample, const char* preview_path) {
    if (!preview_path) return 0;
    // The URL took the query buffer; the label is built again, before
    // anything changes, so a label that cannot be written changes nothing.
    const char* built = sample.record.BuildLabel();
    if (!built) return 0;
    const std::string label = built;

    ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
    if (!sequence) return 0;
    sequence->SetName(PMString(kSequenceName));
    UIDRef placed = PlacePreview(document, FrameOf(sample.record), preview_path);
    bool ok = placed.IsValid();
    ok = ok && ApplyFrameBounds(placed, sample.place) == kSuccess;
    ok = ok && ApplyFrameLook(placed, sample.place) == kSuccess;
    ok = ok && (sample.frame_copy.empty() ||
                WriteFrameLabel(placed, kFrameCopyKey, sample.frame_copy.c_str()) == kSuccess);
    // A picture without its label would be text nobody can restore.
    ok = ok && WriteFrameLabel(placed, kFrameLabelKey, label.c_str()) == kSuccess;
    if (!ok) {
        CmdUtils::AbortCommandSequence(sequence);
        return 0;
    }
    LogMessage("setTag: %s", label.c_str());
    CmdUtils::EndCommandSequence(sequence);
    return 1;
}

namespace {

// One frame of a try between its sample and its placement.
struct FrameTurn {
    PreparedPreview preview;
    bool has_preview = false;  // a URL and a path: the frame is fetched
    std::size_t job = 0;       // its job, when the old file could be taken away
};

}  // namespace

int TryFrames(IDocument* document, std::vector<std::unique_ptr<FrameSample>>& samples,
              const SamplerSettings& settings, const PreviewFetcher& fetcher) {
    char folder[kPathBufferSize] = {};
    const bool has_folder = PreparePreviewFolder(folder, sizeof folder);
    const std::string document_name =
        document ? document->GetDocumentName().GetUTF8String() : std::string();
    std::vector<FrameTurn> turns(samples.size());
    std::vector<PreviewJob> jobs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        FrameTurn& turn = turns[i];
        TextData& record = samples[i]->record;
        const char* path =
            has_folder ? BuildPreviewPath(record, folder, platform::kPathSeparator, document_name)
                       : nullptr;
        HostSwatchSource swatches(static_cast<IDataBase*>(record.frame().database));
        turn.has_preview = PreparePreview(record, path, settings, swatches, &turn.preview);
        if (!turn.has_preview || !turn.preview.replaceable) continue;
        turn.job = jobs.size();
        jobs.push_back(PreviewJob{turn.preview.url, turn.preview.path, {}});
    }
    // The fetches are the only wait; everything else happens frame by frame
    // in selection order, as if each frame had been fetched at its turn.
    if (!jobs.empty() && fetcher) fetcher(jobs);
    int tried = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        FrameTurn& turn = turns[i];
        if (!turn.has_preview) continue;
        const PreviewJob* job = turn.preview.replaceable ? &jobs[turn.job] : nullptr;
        const bool fetched = FinishPreview(turn.preview, job) == 1;
        const int placed =
            PlaceFrameSample(document, *samples[i], fetched ? turn.preview.path.c_str() : nullptr);
        // No document links a picture that was not placed.
        if (fetched && !placed) DeleteFileForce(turn.preview.path.c_str());
        tried += placed;
    }
    return tried;
}

void TryFontWith(const char* try_argument, const PreviewDownload& download) {
    TryFontFetching(try_argument, SamplerSettings::FromPrefs(), OneAtATime(download));
}

void TryFontWith(const char* try_argument, const SamplerSettings& settings,
                 const PreviewDownload& download) {
    TryFontFetching(try_argument, settings, OneAtATime(download));
}

void TryFontFetching(const char* try_argument, const SamplerSettings& settings,
                     const PreviewFetcher& fetcher) {
    // The sampler page handed over something that names no font: there is
    // nothing the user could do about it, so it is only logged.
    const TextData argument(try_argument);
    if (!IsUsableShopId(argument.GetString(kKeyId))) {
        LogMessage("try refused, no usable id: \"%s\"\r", try_argument ? try_argument : "");
        return;
    }
    IDocument* document = Utils<ILayoutUtils>()->GetFrontDocument();
    if (!document) {
        ActionMessages()("noselection");
        return;
    }
    UIDList frames = QuerySelectedFrames();
    LogMessage("selectedFrames: %d\r", static_cast<int>(frames.Length()));
    std::vector<std::unique_ptr<FrameSample>> samples;
    int too_long = 0;
    for (int32 i = 0; i < frames.Length(); ++i) {
        auto sample = std::make_unique<FrameSample>();
        const SampleResult made = MakeFrameSample(try_argument, frames, i, sample.get());
        if (made == SampleResult::kTooLong) ++too_long;
        if (made == SampleResult::kReady) samples.push_back(std::move(sample));
    }
    const int tried = TryFrames(document, samples, settings, fetcher);
    // Frames left alone for their long text are named as such: asking the
    // user to select text frames would only puzzle.
    if (too_long > 0)
        ActionMessages()("textTooLong", too_long);
    else if (tried == 0)
        ActionMessages()("noselection");
}

void TryFont(const char* try_argument) {
    TryFontFetching(try_argument, SamplerSettings::FromPrefs(), ConcurrentPreviews());
}

}  // namespace glyphoria
