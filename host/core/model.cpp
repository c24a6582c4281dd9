// Plain operations on the document model; no undo or notification here (the
// commands that call them take care of that).
#include "host/core/model.h"

#include <algorithm>

namespace hostcore {

bool Node::operator==(const Node& o) const {
    return kind == o.kind && parent == o.parent && children == o.children && name == o.name &&
           box == o.box && rotation == o.rotation && shear == o.shear && labels == o.labels &&
           fill == o.fill && story == o.story && link == o.link && pixelWidth == o.pixelWidth &&
           pixelHeight == o.pixelHeight;
}

bool DocModel::operator==(const DocModel& o) const {
    return name == o.name && nextUID == o.nextUID && spreads == o.spreads && nodes == o.nodes &&
           stories == o.stories && swatches == o.swatches && fontFamilies == o.fontFamilies &&
           links == o.links && noneSwatch == o.noneSwatch && paperSwatch == o.paperSwatch &&
           blackSwatch == o.blackSwatch;
}

Node* DocModel::FindNode(UID uid) {
    auto it = nodes.find(uid);
    return it == nodes.end() ? nullptr : &it->second;
}

const Node* DocModel::FindNode(UID uid) const {
    auto it = nodes.find(uid);
    return it == nodes.end() ? nullptr : &it->second;
}

bool DocModel::Exists(UID uid) const {
    return uid == kRootUID || uid == kWorkspaceUID || nodes.count(uid) || stories.count(uid) ||
           swatches.count(uid) || fontFamilies.count(uid) || links.count(uid);
}

PMRect DocModel::InnerBox(const Node& n) {
    PMReal w = n.box.Width() / 2, h = n.box.Height() / 2;
    return PMRect(-w, -h, w, h);
}

PMMatrix DocModel::InnerToPasteboard(const Node& n) {
    PMPoint c = n.box.GetCenter();
    return PMMatrix::Translation(c.X(), c.Y())
        .Concat(PMMatrix::Rotation(n.rotation))
        .Concat(PMMatrix::Shear(n.shear));
}

PMRect DocModel::PasteboardBounds(const Node& n) {
    return InnerToPasteboard(n).TransformBounds(InnerBox(n));
}

void DocModel::DeleteSubtree(UID uid) {
    Node* n = FindNode(uid);
    if (!n) return;
    if (Node* parent = FindNode(n->parent)) {
        auto& c = parent->children;
        c.erase(std::remove(c.begin(), c.end(), uid), c.end());
    }
    std::vector<UID> pending{uid};
    while (!pending.empty()) {
        UID u = pending.back();
        pending.pop_back();
        auto it = nodes.find(u);
        if (it == nodes.end()) continue;
        for (UID c : it->second.children)
            pending.push_back(c);
        // A story goes with the container that owns it.
        if (it->second.kind == NodeKind::kTextContainer) stories.erase(it->second.story);
        if (it->second.link != kInvalidUID) links.erase(it->second.link);
        nodes.erase(it);
    }
    spreads.erase(std::remove(spreads.begin(), spreads.end(), uid), spreads.end());
}

UID DocModel::LayerOf(UID uid) const {
    const Node* n = FindNode(uid);
    while (n) {
        if (n->kind == NodeKind::kLayer) return uid;
        uid = n->parent;
        n = FindNode(uid);
    }
    return kInvalidUID;
}

std::vector<UID> DocModel::LayoutOrder() const {
    std::vector<UID> out;
    std::vector<UID> stack(spreads.rbegin(), spreads.rend());
    while (!stack.empty()) {
        UID u = stack.back();
        stack.pop_back();
        const Node* n = FindNode(u);
        if (!n) continue;
        out.push_back(u);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.push_back(*it);
    }
    return out;
}

DocModel MakeEmptyModel(const std::string& name) {
    DocModel m;
    m.name = name;
    m.noneSwatch = m.NewUID();
    m.swatches[m.noneSwatch] = Swatch{"None", SwatchKind::kNone, 0, {}};
    m.paperSwatch = m.NewUID();
    m.swatches[m.paperSwatch] = Swatch{"Paper", SwatchKind::kPaper, kPMCsCalRGB, {1, 1, 1}};
    m.blackSwatch = m.NewUID();
    m.swatches[m.blackSwatch] = Swatch{"Black", SwatchKind::kBlack, kPMCsCalCMYK, {0, 0, 0, 1}};
    return m;
}

UID AddSpreadWithLayer(DocModel* m, const PMRect& box, const std::string& layerName) {
    UID spread = m->NewUID();
    Node s;
    s.kind = NodeKind::kSpread;
    s.box = box;
    s.name = "Spread " + std::to_string(m->spreads.size() + 1);
    UID layer = m->NewUID();
    Node l;
    l.kind = NodeKind::kLayer;
    l.parent = spread;
    l.name = layerName;
    l.box = box;
    s.children.push_back(layer);
    m->nodes[spread] = s;
    m->nodes[layer] = l;
    m->spreads.push_back(spread);
    return layer;
}

UID AttachEmptyStory(DocModel* m, UID frame, const CharAttrs& attrs) {
    Node* f = m->FindNode(frame);
    if (!f) return kInvalidUID;
    UID container = m->NewUID(), column = m->NewUID(), story = m->NewUID();
    Node c;
    c.kind = NodeKind::kTextContainer;
    c.parent = frame;
    c.story = story;
    c.children.push_back(column);
    Node col;
    col.kind = NodeKind::kTextColumn;
    col.parent = container;
    col.story = story;
    f->children.insert(f->children.begin(), container);
    m->nodes[container] = c;
    m->nodes[column] = col;
    Story s;
    s.text = u"\r";
    s.attrs.push_back(attrs);
    s.frames.push_back(column);
    m->stories[story] = s;
    return story;
}

}  // namespace hostcore
