#include "host/app/frame_compare.h"

#include <cstdio>
#include <map>

#include "host/app/frame_lookup.h"
#include "host/sdk/strings.h"

namespace hostapp {

using hostcore::CharAttrs;
using hostcore::DocModel;
using hostcore::Node;
using hostcore::NodeKind;

namespace {

// A character's look, with names in place of UIDs.
struct Look {
    PMReal size = 0;
    std::string font;
    std::string colour;

    bool operator==(const Look& o) const {
        return size == o.size && font == o.font && colour == o.colour;
    }
};

// What is compared of one frame.
struct FrameView {
    std::string kind;
    std::string name;
    std::map<std::string, std::string> labels;
    std::string fill;
    PMRect box;
    PMReal rotation = 0, shear = 0;
    std::u16string text;  // the story, end marker included
    std::vector<Look> looks;
    int32 pixels[2] = {0, 0};
};

std::string SwatchName(const DocModel& m, UID uid) {
    if (uid == kInvalidUID) uid = m.noneSwatch;
    auto it = m.swatches.find(uid);
    return it == m.swatches.end() ? "swatch " + std::to_string(uid) : it->second.name;
}

Look LookOf(const DocModel& m, const CharAttrs& a) {
    auto family = m.fontFamilies.find(a.fontFamily);
    std::string font = family == m.fontFamilies.end() ? "(no font)" : family->second;
    if (!a.fontStyle.empty()) font += " " + a.fontStyle;
    return Look{a.pointSize, font, SwatchName(m, a.color)};
}

FrameView ViewOf(const DocModel& m, UID uid) {
    FrameView v;
    const Node* n = m.FindNode(uid);
    if (!n) return v;
    v.kind = "empty";
    v.name = n->name;
    v.labels = n->labels;
    v.fill = SwatchName(m, n->fill);
    v.box = n->box;
    v.rotation = n->rotation;
    v.shear = n->shear;
    for (UID c : n->children) {
        const Node* content = m.FindNode(c);
        if (content && content->kind == NodeKind::kTextContainer) {
            v.kind = "text";
            auto story = m.stories.find(content->story);
            if (story == m.stories.end()) break;
            v.text = story->second.text;
            for (const CharAttrs& a : story->second.attrs)
                v.looks.push_back(LookOf(m, a));
            break;
        }
        if (content && content->kind == NodeKind::kImage) {
            v.kind = "picture";
            v.pixels[0] = content->pixelWidth;
            v.pixels[1] = content->pixelHeight;
            break;
        }
    }
    return v;
}

std::string Number(PMReal value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Box(const PMRect& r) {
    return "[" + Number(r.Left()) + ", " + Number(r.Top()) + ", " + Number(r.Right()) + ", " +
           Number(r.Bottom()) + "]";
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

void CompareText(const FrameView& e, const FrameView& a, std::vector<std::string>* out) {
    if (a.text != e.text) {
        std::size_t at = 0;
        while (at < a.text.size() && at < e.text.size() && a.text[at] == e.text[at])
            ++at;
        out->push_back("text differs from character " + std::to_string(at + 1) + ": " +
                       Quoted(StringUtils::Utf16ToUtf8(a.text.substr(at, 40))) + " instead of " +
                       Quoted(StringUtils::Utf16ToUtf8(e.text.substr(at, 40))));
        return;
    }
    // The first character that differs tells enough.
    for (std::size_t i = 0; i < e.looks.size() && i < a.looks.size(); ++i) {
        const Look& x = e.looks[i];
        const Look& y = a.looks[i];
        if (x == y) continue;
        const std::string at = i + 1 == e.looks.size() ? " at the end marker"
                                                       : " at character " + std::to_string(i + 1);
        if (y.size != x.size)
            out->push_back("point size " + Number(y.size) + " instead of " + Number(x.size) + at);
        if (y.font != x.font) out->push_back("font " + y.font + " instead of " + x.font + at);
        if (y.colour != x.colour)
            out->push_back("colour " + y.colour + " instead of " + x.colour + at);
        return;
    }
}

std::vector<std::string> Differences(const FrameView& e, const FrameView& a) {
    std::vector<std::string> out;
    if (a.kind != e.kind) out.push_back(a.kind + " frame instead of " + e.kind);
    if (a.name != e.name) out.push_back("name " + Quoted(a.name) + " instead of " + Quoted(e.name));
    for (const auto& label : e.labels) {
        auto it = a.labels.find(label.first);
        if (it == a.labels.end())
            out.push_back("no label " + Quoted(label.first));
        else if (it->second != label.second)
            out.push_back("label " + Quoted(label.first) + " is " + Quoted(it->second));
    }
    for (const auto& label : a.labels)
        if (!e.labels.count(label.first)) out.push_back("a label " + Quoted(label.first) + " more");
    if (a.fill != e.fill) out.push_back("fill " + a.fill + " instead of " + e.fill);
    if (a.box != e.box) out.push_back("box " + Box(a.box) + " instead of " + Box(e.box));
    if (a.rotation != e.rotation)
        out.push_back("rotation " + Number(a.rotation) + " instead of " + Number(e.rotation));
    if (a.shear != e.shear)
        out.push_back("shear " + Number(a.shear) + " instead of " + Number(e.shear));
    if (a.kind == e.kind && e.kind == "text") CompareText(e, a, &out);
    if (a.kind == e.kind && e.kind == "picture" &&
        (a.pixels[0] != e.pixels[0] || a.pixels[1] != e.pixels[1]))
        out.push_back("a picture of another size");
    return out;
}

}  // namespace

std::vector<std::string> FrameDifferences(const DocModel& expected, UID expected_frame,
                                          const DocModel& actual, UID actual_frame) {
    if (!actual.FindNode(actual_frame)) return {"no frame"};
    return Differences(ViewOf(expected, expected_frame), ViewOf(actual, actual_frame));
}

std::vector<std::string> DocumentFrameDifferences(const DocModel& expected,
                                                  const DocModel& actual) {
    const std::vector<UID> wanted = FramesInLayoutOrder(expected);
    const std::vector<UID> found = FramesInLayoutOrder(actual);
    std::vector<FrameView> views;
    for (UID uid : found)
        views.push_back(ViewOf(actual, uid));
    std::vector<bool> taken(found.size(), false);
    std::vector<std::string> out;
    std::vector<std::pair<UID, FrameView>> unmatched;
    for (UID uid : wanted) {
        FrameView want = ViewOf(expected, uid);
        bool matched = false;
        for (std::size_t i = 0; i < found.size() && !matched; ++i) {
            if (taken[i] || !Differences(want, views[i]).empty()) continue;
            taken[i] = matched = true;
        }
        if (!matched) unmatched.emplace_back(uid, std::move(want));
    }
    for (const auto& [uid, want] : unmatched) {
        const std::string name = DescribeFrame(expected, uid);
        std::size_t like = found.size();
        for (std::size_t i = 0; i < found.size() && like == found.size(); ++i) {
            const bool same =
                want.name.empty() ? views[i].box == want.box : views[i].name == want.name;
            if (!taken[i] && same) like = i;
        }
        if (like == found.size()) {
            out.push_back(name + ": missing");
            continue;
        }
        taken[like] = true;
        for (const std::string& d : Differences(want, views[like]))
            out.push_back(name + ": " + d);
    }
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!taken[i]) out.push_back(DescribeFrame(actual, found[i]) + ": one frame more");
    return out;
}

}  // namespace hostapp
