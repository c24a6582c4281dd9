#include "host/window/page_hits.h"

#include <cmath>

namespace hostwindow {

using hostcore::DocModel;
using hostcore::Node;

namespace {

// The point in the item's own (inner) coordinates; false when the item is
// squashed flat and has no inside.
bool ToInner(const Node& n, const PMPoint& p, PMPoint* inner) {
    const PMMatrix t = DocModel::InnerToPasteboard(n);
    const PMReal det = t.A() * t.D() - t.B() * t.C();
    if (std::fabs(det) < 1e-12) return false;
    const PMReal x = p.X() - t.Tx(), y = p.Y() - t.Ty();
    *inner = PMPoint((t.D() * x - t.C() * y) / det, (-t.B() * x + t.A() * y) / det);
    return true;
}

}  // namespace

std::vector<UID> SelectableItems(const DocModel& m, int spread) {
    std::vector<UID> items;
    if (spread < 0 || spread >= static_cast<int>(m.spreads.size())) return items;
    const Node* s = m.FindNode(m.spreads[static_cast<size_t>(spread)]);
    if (!s) return items;
    for (UID layer : s->children)
        if (const Node* l = m.FindNode(layer))
            for (UID item : l->children)
                if (m.FindNode(item)) items.push_back(item);
    return items;
}

UID ItemAt(const DocModel& m, int spread, const PMPoint& point) {
    const std::vector<UID> items = SelectableItems(m, spread);
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const Node& n = *m.FindNode(*it);
        PMPoint inner;
        const PMRect box = DocModel::InnerBox(n);
        if (ToInner(n, point, &inner) && inner.X() >= box.Left() && inner.X() <= box.Right() &&
            inner.Y() >= box.Top() && inner.Y() <= box.Bottom())
            return *it;
    }
    return kInvalidUID;
}

std::vector<UID> ItemsTouching(const DocModel& m, int spread, const PMRect& rect) {
    std::vector<UID> out;
    for (UID u : SelectableItems(m, spread)) {
        const PMRect b = DocModel::PasteboardBounds(*m.FindNode(u));
        if (b.Left() <= rect.Right() && rect.Left() <= b.Right() && b.Top() <= rect.Bottom() &&
            rect.Top() <= b.Bottom())
            out.push_back(u);
    }
    return out;
}

}  // namespace hostwindow
