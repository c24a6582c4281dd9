#include "tools/glyphoria/demo/page_facts.h"

#include <cmath>

#include "host/sdk/strings.h"

namespace glyphoria::demo {

namespace {

// Boxes of frames found again allow for rounding in the picture's fit.
constexpr double kBoxTolerance = 0.01;

std::string SwatchName(const hostcore::DocModel& model, UID uid) {
    if (uid == kInvalidUID || uid == model.noneSwatch) return "None";
    auto it = model.swatches.find(uid);
    return it == model.swatches.end() ? "swatch " + std::to_string(uid) : it->second.name;
}

std::string FontName(const hostcore::DocModel& model, const hostcore::CharAttrs& attrs) {
    auto it = model.fontFamilies.find(attrs.fontFamily);
    std::string family = it == model.fontFamilies.end() ? "(no font)" : it->second;
    return attrs.fontStyle.empty() ? family : family + " " + attrs.fontStyle;
}

void AddStory(const hostcore::DocModel& model, UID story_uid, FrameFacts* facts) {
    auto story = model.stories.find(story_uid);
    if (story == model.stories.end()) return;
    const std::u16string& text = story->second.text;
    const std::size_t length = text.empty() ? 0 : text.size() - 1;  // the end marker
    facts->text = StringUtils::Utf16ToUtf8(text.substr(0, length));
    for (std::size_t i = 0; i < length && i < story->second.attrs.size(); ++i) {
        const hostcore::CharAttrs& a = story->second.attrs[i];
        facts->characters.push_back(
            CharacterLook{a.pointSize, FontName(model, a), SwatchName(model, a.color)});
    }
}

}  // namespace

std::vector<FrameFacts> FramesOf(const hostcore::DocModel& model) {
    std::vector<FrameFacts> frames;
    for (UID uid : model.LayoutOrder()) {
        const hostcore::Node* node = model.FindNode(uid);
        if (!node || node->kind != hostcore::NodeKind::kFrame) continue;
        FrameFacts f;
        f.uid = uid;
        f.name = node->name;
        f.fill = SwatchName(model, node->fill);
        const PMRect box = hostcore::DocModel::PasteboardBounds(*node);
        f.left = box.Left();
        f.top = box.Top();
        f.width = box.Width();
        f.height = box.Height();
        f.rotation = node->rotation;
        f.shear = node->shear;
        auto label = node->labels.find("Glyphoria");
        if (label != node->labels.end()) f.label = label->second;
        auto copy = node->labels.find("Glyphoria.frame");
        if (copy != node->labels.end()) f.frame_copy = copy->second;
        const hostcore::Node* content =
            node->children.empty() ? nullptr : model.FindNode(node->children.front());
        if (content && content->kind == hostcore::NodeKind::kTextContainer) {
            f.is_text = true;
            AddStory(model, content->story, &f);
        } else if (content && content->kind == hostcore::NodeKind::kImage) {
            f.is_picture = true;
            f.picture_width = content->pixelWidth;
            f.picture_height = content->pixelHeight;
        }
        frames.push_back(std::move(f));
    }
    return frames;
}

const FrameFacts* FrameAt(const std::vector<FrameFacts>& frames, const FrameFacts& like) {
    for (const FrameFacts& f : frames)
        if (std::fabs(f.left - like.left) < kBoxTolerance &&
            std::fabs(f.top - like.top) < kBoxTolerance)
            return &f;
    return nullptr;
}

std::string LabelValue(const std::string& label, const std::string& key) {
    std::size_t start = 0;
    while (start <= label.size()) {
        std::size_t end = label.find('&', start);
        if (end == std::string::npos) end = label.size();
        const std::string piece = label.substr(start, end - start);
        if (piece.compare(0, key.size() + 1, key + "=") == 0) return piece.substr(key.size() + 1);
        start = end + 1;
    }
    return {};
}

}  // namespace glyphoria::demo
