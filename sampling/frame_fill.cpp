#include "sampling/frame_fill.h"

#include <cstring>
#include <string>

#include "sampling/percent_codec.h"
#include "sampling/shop_id.h"
#include "sampling/utf8_text.h"
#include "support/limits.h"

namespace glyphoria {

namespace {

// A re-try: the label holds what the first try recorded of the text frame;
// only the newly chosen font's id replaces the old one.
int FillFromLabel(TextData& record, const std::string& label) {
    // A cut label would restore a cut text, a wrong size or a wrong font.
    if (label.size() > kFrameLabelMaxLength) return 0;
    const std::string id = record.GetString(kKeyId, "");
    record.Parse(label.c_str());
    record.SetString(kKeyId, id.c_str());
    return 1;
}

int FillFromText(TextData& record, const FrameSource& frame) {
    int result = 0;
    StoryFacts story;
    StoryAccess access = frame.ReadStory(&story);
    if (access != StoryAccess::kNoStory) {
        if (access == StoryAccess::kRead) result = RecordStory(record, story);
        record.SetInt(kKeyFillSwatch, frame.FillSwatch());
    }
    FrameSize size = frame.Bounds();
    record.SetReal(kKeyWidth, size.width);
    record.SetReal(kKeyHeight, size.height);
    return result;
}

// The label is the only copy of the text once the frame is replaced, so the
// record must come back whole from it: not too long, and no key or value
// holding "&" or "?" (a font name, a key the page added) that would split
// or shift the pairs when the label is read.
bool SurvivesAsLabel(TextData& record) {
    const char* label = record.BuildLabel();
    if (!label) return false;
    TextData copy(label);
    if (copy.PairCount() != record.PairCount()) return false;
    for (std::size_t i = 0; i < record.PairCount(); ++i) {
        if (std::strcmp(copy.KeyAt(i), record.KeyAt(i)) != 0 ||
            std::strcmp(copy.ValueAt(i), record.ValueAt(i)) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

int RecordStory(TextData& record, const StoryFacts& story) {
    if (story.length <= 1) return 0;
    // The renderer and other installations get the story's beginning; a
    // longer story is kept whole beside the record, not here.
    std::string sample = StorySampleUtf8(story.text.data(), story.text.size(), story.length);
    record.SetFontSize(story.point_size);
    record.SetInt(kKeyTextSwatch, story.colour_swatch);
    record.SetString(kKeyPostScriptName,
                     Utf8Prefix(story.postscript_name, kValueMaxLength).c_str());
    record.SetString(kKeyText, PercentEncode(sample.data(), sample.size()).c_str());
    return 1;
}

int FillFromFrame(TextData& record, const FrameSource& frame) {
    // Without a usable id there is no request and no preview file to make;
    // checked first so that such a try changes nothing.
    if (!IsUsableShopId(record.GetString(kKeyId))) return 0;
    record.set_frame(frame.Ref());
    const std::string label = frame.Label();
    int result = label.empty() ? FillFromText(record, frame) : FillFromLabel(record, label);
    return result && SurvivesAsLabel(record) ? 1 : 0;
}

}  // namespace glyphoria
