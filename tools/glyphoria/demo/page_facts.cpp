#include "tools/glyphoria/demo/page_facts.h"

#include <cmath>
#include <cstdio>

namespace glyphoria::demo {

namespace {

// Box comparisons allow for the label's three decimals and single precision.
constexpr double kBoxTolerance = 0.01;

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

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

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void AddStory(const hostcore::DocModel& model, UID story_uid, FrameFacts* facts) {
    auto story = model.stories.find(story_uid);
    if (story == model.stories.end()) return;
    const std::u16string& text = story->second.text;
    const std::size_t length = text.empty() ? 0 : text.size() - 1;  // the end marker
    facts->text = Utf8(text.substr(0, length));
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
        auto label = node->labels.find("Glyphoria");
        if (label != node->labels.end()) f.label = label->second;
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

std::vector<std::string> DifferencesAfterRestore(const FrameFacts& original,
                                                 const FrameFacts& restored) {
    std::vector<std::string> differences;
    if (!restored.is_text) differences.push_back("not a text frame");
    if (restored.text != original.text) differences.push_back("text \"" + restored.text + "\"");
    if (restored.characters.size() == original.characters.size()) {
        // The first character that differs tells enough.
        for (std::size_t i = 0; i < original.characters.size(); ++i) {
            const CharacterLook& o = original.characters[i];
            const CharacterLook& r = restored.characters[i];
            if (o == r) continue;
            const std::string at = " at character " + std::to_string(i + 1);
            if (r.point_size != o.point_size)
                differences.push_back("point size " + Number(r.point_size) + " instead of " +
                                      Number(o.point_size) + at);
            if (r.font != o.font)
                differences.push_back("font " + r.font + " instead of " + o.font + at);
            if (r.colour != o.colour)
                differences.push_back("colour " + r.colour + " instead of " + o.colour + at);
            break;
        }
    }
    if (restored.fill != original.fill)
        differences.push_back("fill " + restored.fill + " instead of " + original.fill);
    if (std::fabs(restored.width - original.width) > kBoxTolerance ||
        std::fabs(restored.height - original.height) > kBoxTolerance)
        differences.push_back("size " + Number(restored.width) + " x " + Number(restored.height) +
                              " instead of " + Number(original.width) + " x " +
                              Number(original.height));
    if (std::fabs(restored.left - original.left) > kBoxTolerance ||
        std::fabs(restored.top - original.top) > kBoxTolerance)
        differences.push_back("moved");
    if (!restored.label.empty()) differences.push_back("label left on the frame");
    return differences;
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
