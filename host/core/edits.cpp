// Document-changing operations. Each validates first and changes second, so
// a refused command never leaves half its work behind (RunCommand would
// undo it anyway, this keeps the model tidy for the error paths too).
#include "host/core/edits.h"

#include <algorithm>
#include <cmath>

#include "host/core/document.h"
#include "host/core/file_uri.h"
#include "host/core/sequences.h"
#include "host/sdk/strings.h"

namespace hostcore {

namespace {

bool IsPageItem(const Node* n) {
    return n && n->kind != NodeKind::kSpread && n->kind != NodeKind::kLayer;
}

// A text column goes only with its container: alone it would leave a story
// whose frame list names nothing.
bool IsDeletable(const Node* n) {
    return IsPageItem(n) && n->kind != NodeKind::kTextColumn;
}

// Labels are text; bytes that are not UTF-8 become U+FFFD here, so every
// label can be saved and read back as it is stored.
std::string ValidUtf8(const std::string& bytes) {
    return StringUtils::Utf16ToUtf8(StringUtils::Utf8ToUtf16(bytes));
}

void MoveSubtree(DocModel* m, UID uid, PMReal dx, PMReal dy) {
    Node* n = m->FindNode(uid);
    if (!n) return;
    n->box =
        PMRect(n->box.Left() + dx, n->box.Top() + dy, n->box.Right() + dx, n->box.Bottom() + dy);
    for (UID c : n->children)
        MoveSubtree(m, c, dx, dy);
}

const Node* FirstImage(const DocModel& m, const Node& frame) {
    for (UID c : frame.children) {
        const Node* n = m.FindNode(c);
        if (n && n->kind == NodeKind::kImage) return n;
    }
    return nullptr;
}

}  // namespace

CharAttrs DefaultCharAttrs(const DocModel& model) {
    CharAttrs a;
    a.pointSize = 12;
    a.color = model.blackSwatch;
    if (!model.fontFamilies.empty()) a.fontFamily = model.fontFamilies.begin()->first;
    return a;
}

ErrorCode DeleteItems(Document* doc, const std::vector<UID>& items) {
    return RunCommand("Delete", [&]() -> ErrorCode {
        if (!doc || items.empty()) return kInvalidParameterError;
        for (UID u : items)
            if (!IsDeletable(doc->Model().FindNode(u))) return kInvalidParameterError;
        DocModel& m = doc->Edit();
        for (UID u : items)
            m.DeleteSubtree(u);
        return kSuccess;
    });
}

ErrorCode ImportAndPlace(Document* doc, UID parent, const PMPointList& corners,
                         const std::string& uri, UID* newFrame) {
    return RunCommand("Place", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        const Node* p = doc->Model().FindNode(parent);
        if (!p || (p->kind != NodeKind::kLayer && p->kind != NodeKind::kFrame))
            return kInvalidParameterError;
        std::string path, bytes;
        if (!FileURIToPath(uri, &path)) return kInvalidParameterError;
        if (!ReadWholeFile(path, &bytes)) return kFileNotFoundError;
        int32 w = 0, h = 0;
        if (!ReadPngSize(bytes, &w, &h)) return kUnsupportedFileError;

        PMRect frameBox;
        if (corners.size() >= 2) {
            frameBox = PMRect(corners[0], corners[1]);
        } else {
            PMReal l = p->box.Left(), t = p->box.Top();
            frameBox = PMRect(l, t, l + w, t + h);
        }
        DocModel& m = doc->Edit();
        UID frameUID = m.NewUID(), imageUID = m.NewUID(), linkUID = m.NewUID();
        Node frame;
        frame.kind = NodeKind::kFrame;
        frame.parent = parent;
        frame.box = frameBox;
        frame.fill = m.noneSwatch;
        frame.children.push_back(imageUID);
        Node image;
        image.kind = NodeKind::kImage;
        image.parent = frameUID;
        image.box =
            PMRect(frameBox.Left(), frameBox.Top(), frameBox.Left() + w, frameBox.Top() + h);
        image.link = linkUID;
        image.pixelWidth = w;
        image.pixelHeight = h;
        m.nodes[frameUID] = frame;
        m.nodes[imageUID] = image;
        m.links[linkUID] = Link{uri, imageUID, false, {}};
        m.FindNode(parent)->children.push_back(frameUID);
        if (newFrame) *newFrame = frameUID;
        return kSuccess;
    });
}

ErrorCode FitFrameToContent(Document* doc, const std::vector<UID>& frames) {
    return RunCommand("Fit Frame to Content", [&]() -> ErrorCode {
        if (!doc || frames.empty()) return kInvalidParameterError;
        for (UID u : frames) {
            const Node* n = doc->Model().FindNode(u);
            if (!n || n->kind != NodeKind::kFrame || !FirstImage(doc->Model(), *n)) return kFailure;
        }
        DocModel& m = doc->Edit();
        for (UID u : frames) {
            Node* f = m.FindNode(u);
            const Node* img = FirstImage(m, *f);
            PMReal l = f->box.Left(), t = f->box.Top();
            f->box = PMRect(l, t, l + img->pixelWidth, t + img->pixelHeight);
            for (UID c : f->children) {
                Node* cn = m.FindNode(c);
                if (cn && cn->kind == NodeKind::kImage)
                    cn->box = PMRect(l, t, l + cn->pixelWidth, t + cn->pixelHeight);
            }
        }
        return kSuccess;
    });
}

ErrorCode SetBounds(Document* doc, const std::vector<UID>& items, const PMRectCollection& boxes) {
    return RunCommand("Set Bounds", [&]() -> ErrorCode {
        if (!doc || items.empty() || items.size() != boxes.size()) return kInvalidParameterError;
        for (UID u : items)
            if (!IsPageItem(doc->Model().FindNode(u))) return kInvalidParameterError;
        for (const PMRect& box : boxes)
            if (!IsWithinPageLimits(box)) return kInvalidParameterError;
        DocModel& m = doc->Edit();
        for (size_t i = 0; i < items.size(); ++i) {
            Node* n = m.FindNode(items[i]);
            PMReal dx = boxes[i].Left() - n->box.Left(), dy = boxes[i].Top() - n->box.Top();
            for (UID c : n->children)
                MoveSubtree(&m, c, dx, dy);
            n->box = boxes[i];
            n->rotation = 0;
            n->shear = 0;
        }
        return kSuccess;
    });
}

ErrorCode SetTransform(Document* doc, UID frame, PMReal rotation, PMReal shear) {
    return RunCommand("Transform", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        const Node* n = doc->Model().FindNode(frame);
        if (!n || n->kind != NodeKind::kFrame) return kInvalidParameterError;
        if (!std::isfinite(rotation) || std::fabs(rotation) > 360 || !std::isfinite(shear) ||
            std::fabs(shear) >= 89)
            return kInvalidParameterError;
        if (n->rotation == rotation && n->shear == shear) return kSuccess;
        Node* e = doc->Edit().FindNode(frame);
        e->rotation = rotation;
        e->shear = shear;
        return kSuccess;
    });
}

ErrorCode SetName(Document* doc, UID frame, const std::string& rawName) {
    const std::string name = ValidUtf8(rawName);
    return RunCommand("Name", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        const Node* n = doc->Model().FindNode(frame);
        if (!n || n->kind != NodeKind::kFrame) return kInvalidParameterError;
        if (n->name != name) doc->Edit().FindNode(frame)->name = name;
        return kSuccess;
    });
}

ErrorCode ApplyFill(Document* doc, const std::vector<UID>& frames, UID swatch) {
    return RunCommand("Apply Fill", [&]() -> ErrorCode {
        if (!doc || frames.empty()) return kInvalidParameterError;
        if (!doc->Model().swatches.count(swatch)) return kInvalidParameterError;
        for (UID u : frames) {
            const Node* n = doc->Model().FindNode(u);
            if (!n || n->kind != NodeKind::kFrame) return kInvalidParameterError;
        }
        DocModel& m = doc->Edit();
        for (UID u : frames)
            m.FindNode(u)->fill = swatch;
        return kSuccess;
    });
}

ErrorCode MakeTextFrame(Document* doc, UID frame) {
    return RunCommand("Make Text Frame", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        const Node* n = doc->Model().FindNode(frame);
        if (!n || n->kind != NodeKind::kFrame || !n->children.empty()) return kFailure;
        CharAttrs attrs = DefaultCharAttrs(doc->Model());
        AttachEmptyStory(&doc->Edit(), frame, attrs);
        return kSuccess;
    });
}

ErrorCode InsertText(Document* doc, UID story, TextIndex at, const std::u16string& text) {
    return RunCommand("Typing", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        auto it = doc->Model().stories.find(story);
        if (it == doc->Model().stories.end()) return kInvalidParameterError;
        if (at < 0 || at >= static_cast<TextIndex>(it->second.text.size()))
            return kInvalidParameterError;
        if (text.empty()) return kSuccess;
        Story& s = doc->Edit().stories[story];
        CharAttrs attrs = s.attrs[static_cast<size_t>(at)];
        s.text.insert(static_cast<size_t>(at), text);
        s.attrs.insert(s.attrs.begin() + at, text.size(), attrs);
        return kSuccess;
    });
}

ErrorCode DeleteText(Document* doc, UID story, TextIndex at, int32 length) {
    return RunCommand("Delete Text", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        auto it = doc->Model().stories.find(story);
        if (it == doc->Model().stories.end()) return kInvalidParameterError;
        TextIndex last = static_cast<TextIndex>(it->second.text.size()) - 1;  // end marker
        if (at < 0 || length < 0 || at > last || length > last - at) return kInvalidParameterError;
        if (length == 0) return kSuccess;
        Story& s = doc->Edit().stories[story];
        s.text.erase(static_cast<size_t>(at), static_cast<size_t>(length));
        s.attrs.erase(s.attrs.begin() + at, s.attrs.begin() + at + length);
        return kSuccess;
    });
}

ErrorCode ApplyCharAttrs(Document* doc, UID story, TextIndex at, int32 length,
                         const AttrChange& change) {
    return RunCommand("Apply Character Attributes", [&]() -> ErrorCode {
        if (!doc) return kInvalidParameterError;
        const DocModel& cm = doc->Model();
        auto it = cm.stories.find(story);
        if (it == cm.stories.end() || at < 0 || length < 0) return kInvalidParameterError;
        if (change.hasFamily && change.value.fontFamily != kInvalidUID &&
            !cm.fontFamilies.count(change.value.fontFamily))
            return kInvalidParameterError;
        if (change.hasColor && !cm.swatches.count(change.value.color))
            return kInvalidParameterError;
        if (change.hasSize && !(change.value.pointSize > 0)) return kInvalidParameterError;
        // A range that reaches the end marker sets its attributes too (they
        // are the last paragraph's); nothing beyond the story.
        const TextIndex total = static_cast<TextIndex>(it->second.text.size());
        TextIndex end = length > total - at ? total : at + length;
        if (at >= end) return kSuccess;
        Story& s = doc->Edit().stories[story];
        for (TextIndex i = at; i < end; ++i) {
            CharAttrs& a = s.attrs[static_cast<size_t>(i)];
            if (change.hasSize) a.pointSize = change.value.pointSize;
            if (change.hasFamily) a.fontFamily = change.value.fontFamily;
            if (change.hasStyle) a.fontStyle = change.value.fontStyle;
            if (change.hasColor) a.color = change.value.color;
        }
        return kSuccess;
    });
}

ErrorCode SetLabel(Document* doc, UID item, const std::string& rawKey,
                   const std::string& rawValue) {
    const std::string key = ValidUtf8(rawKey), value = ValidUtf8(rawValue);
    return RunCommand("Set Label", [&]() -> ErrorCode {
        if (!doc || key.empty()) return kInvalidParameterError;
        const Node* n = doc->Model().FindNode(item);
        if (!n) return kInvalidParameterError;
        auto it = n->labels.find(key);
        bool same =
            value.empty() ? it == n->labels.end() : (it != n->labels.end() && it->second == value);
        if (same) return kSuccess;
        Node* e = doc->Edit().FindNode(item);
        if (value.empty())
            e->labels.erase(key);
        else
            e->labels[key] = value;
        return kSuccess;
    });
}

ErrorCode UpdateLinks(Document* doc, const std::vector<UID>& links) {
    ErrorCode worst = kSuccess;
    ErrorCode err = RunCommand("Update Links", [&]() -> ErrorCode {
        if (!doc || links.empty()) return kInvalidParameterError;
        for (UID u : links)
            if (!doc->Model().links.count(u)) return kInvalidParameterError;
        for (UID u : links) {
            std::string path, bytes;
            const Link& l = doc->Model().links.at(u);
            int32 w = 0, h = 0;
            if (!FileURIToPath(l.uri, &path) || !ReadWholeFile(path, &bytes) ||
                !ReadPngSize(bytes, &w, &h)) {
                worst = kFailure;
                continue;
            }
            Link& e = doc->Edit().links[u];
            e.bytes = std::move(bytes);
            e.embedded = true;
        }
        return kSuccess;
    });
    return err != kSuccess ? err : worst;
}

ErrorCode FindOrAddFontFamily(Document* doc, const std::string& family, bool create, UID* out) {
    if (!doc || family.empty()) return kInvalidParameterError;
    for (const auto& f : doc->Model().fontFamilies) {
        if (f.second == family) {
            *out = f.first;
            return kSuccess;
        }
    }
    if (!create) return kFailure;
    return RunCommand("Add Font Family", [&]() -> ErrorCode {
        DocModel& m = doc->Edit();
        UID uid = m.NewUID();
        m.fontFamilies[uid] = family;
        *out = uid;
        return kSuccess;
    });
}

}  // namespace hostcore
