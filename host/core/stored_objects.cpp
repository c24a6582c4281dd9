// Host interfaces of stored objects. Divisions:
//   1. common base (finds the object's current state)
//   2. page items: hierarchy, geometry, labels, name, transform, fill, text
//      content, layer
//   3. document root and workspace: document, link manager, font list
//   4. stories, swatches, font families, links
//   5. the factory
#include "host/core/stored_objects.h"

#include <iterator>

#include "host/core/boss.h"
#include "host/core/document.h"
#include "host/core/edits.h"
#include "host/core/font_catalog.h"
#include "host/core/text_objects.h"
#include "host/sdk/document.h"
#include "host/sdk/fonts.h"
#include "host/sdk/page_items.h"
#include "host/sdk/swatches.h"

namespace hostcore {

namespace {

// ---- 1. common base ----------------------------------------------------------

template <class T>
class Stored : public CPMUnknown<T> {
  public:
    explicit Stored(HostBoss* boss) : CPMUnknown<T>(boss), fOwner(boss) {}

  protected:
    Document* Doc() const { return fOwner->GetDocument(); }
    UID Uid() const { return fOwner->GetUID(); }
    const DocModel& M() const { return Doc()->Model(); }
    const Node* N() const { return M().FindNode(Uid()); }

    HostBoss* fOwner;
};

// ---- 2. page items -------------------------------------------------------------

class HierarchyImpl : public Stored<IHierarchy> {
  public:
    using Stored::Stored;
    UID GetLayerUID() const override { return M().LayerOf(Uid()); }
    UID GetParentUID() const override {
        const Node* n = N();
        return n ? n->parent : kInvalidUID;
    }
    int32 GetChildCount() const override {
        const Node* n = N();
        return n ? static_cast<int32>(n->children.size()) : 0;
    }
    UID GetChildUID(int32 i) const override {
        const Node* n = N();
        if (!n || i < 0 || i >= static_cast<int32>(n->children.size())) return kInvalidUID;
        return n->children[static_cast<size_t>(i)];
    }
    IHierarchy* QueryParent() const override {
        return static_cast<IHierarchy*>(
            InstantiateInterface(Doc(), GetParentUID(), IID_IHIERARCHY));
    }
    IHierarchy* QueryChild(int32 i) const override {
        return static_cast<IHierarchy*>(
            InstantiateInterface(Doc(), GetChildUID(i), IID_IHIERARCHY));
    }
};

class GeometryImpl : public Stored<IGeometry> {
  public:
    using Stored::Stored;
    PMRect GetPathBoundingBox() const override {
        const Node* n = N();
        return n ? DocModel::InnerBox(*n) : PMRect();
    }
    PMRect GetBoundingBox(const PMMatrix& m) const override {
        const Node* n = N();
        return n ? m.TransformBounds(DocModel::InnerBox(*n)) : PMRect();
    }
    PMMatrix GetInnerToPasteboardMatrix() const override {
        const Node* n = N();
        return n ? DocModel::InnerToPasteboard(*n) : PMMatrix();
    }
};

class LabelDataImpl : public Stored<ILabelData> {
  public:
    using Stored::Stored;
    PMString GetLabel(const PMString& key) const override {
        const Node* n = N();
        if (!n) return PMString();
        auto it = n->labels.find(key.GetUTF8String());
        return it == n->labels.end() ? PMString() : PMString(it->second);
    }
    ErrorCode SetLabel(const PMString& key, const PMString& value) override {
        return hostcore::SetLabel(Doc(), Uid(), key.GetUTF8String(), value.GetUTF8String());
    }
    int32 GetLabelCount() const override {
        const Node* n = N();
        return n ? static_cast<int32>(n->labels.size()) : 0;
    }
    PMString GetNthLabelKey(int32 index) const override {
        const Node* n = N();
        if (!n || index < 0 || index >= static_cast<int32>(n->labels.size())) return PMString();
        return PMString(std::next(n->labels.begin(), index)->first);
    }
};

class PageItemNameImpl : public Stored<IPageItemName> {
  public:
    using Stored::Stored;
    PMString GetName() const override {
        const Node* n = N();
        return n ? PMString(n->name) : PMString();
    }
    ErrorCode SetName(const PMString& name) override {
        return hostcore::SetName(Doc(), Uid(), name.GetUTF8String());
    }
};

class TransformImpl : public Stored<ITransform> {
  public:
    using Stored::Stored;
    PMRect GetUntransformedBounds() const override {
        const Node* n = N();
        return n ? n->box : PMRect();
    }
    PMReal GetRotationAngle() const override {
        const Node* n = N();
        return n ? n->rotation : 0;
    }
    PMReal GetShearAngle() const override {
        const Node* n = N();
        return n ? n->shear : 0;
    }
    ErrorCode SetRotationAndShear(PMReal rotation, PMReal shear) override {
        return hostcore::SetTransform(Doc(), Uid(), rotation, shear);
    }
};

class GraphicAttributesImpl : public Stored<IGraphicAttributes> {
  public:
    using Stored::Stored;
    UID GetFillSwatchUID() const override {
        const Node* n = N();
        if (!n) return kInvalidUID;
        return n->fill != kInvalidUID ? n->fill : M().noneSwatch;
    }
};

class TextContentImpl : public Stored<ITextContent> {
  public:
    using Stored::Stored;
    UID GetTextContentUID() const override {
        const Node* n = N();
        if (!n) return kInvalidUID;
        for (UID c : n->children) {
            const Node* cn = M().FindNode(c);
            if (cn && cn->kind == NodeKind::kTextContainer) return c;
        }
        return kInvalidUID;
    }
};

class StoryRefImpl : public Stored<IStoryRef> {
  public:
    using Stored::Stored;
    UID GetStoryUID() const override {
        const Node* n = N();
        return n && M().stories.count(n->story) ? n->story : kInvalidUID;
    }
};

class LayerImpl : public Stored<ILayer> {
  public:
    using Stored::Stored;
    PMString GetName() const override {
        const Node* n = N();
        return n ? PMString(n->name) : PMString();
    }
};

// ---- 3. document root and workspace -------------------------------------------

class DocumentImpl : public Stored<IDocument> {
  public:
    using Stored::Stored;
    IDataBase* GetDocumentDataBase() const override { return Doc(); }
    PMString GetDocumentName() const override { return M().name; }
    UIDRef GetDocWorkSpace() const override { return UIDRef(Doc(), kWorkspaceUID); }
    int32 GetSpreadCount() const override { return static_cast<int32>(M().spreads.size()); }
    UID GetSpreadUID(int32 i) const override {
        if (i < 0 || i >= GetSpreadCount()) return kInvalidUID;
        return M().spreads[static_cast<size_t>(i)];
    }
    bool16 CanUndo() const override { return !Doc()->UndoSteps().empty(); }
    bool16 CanRedo() const override { return !Doc()->RedoSteps().empty(); }
    PMString GetUndoName() const override {
        return CanUndo() ? PMString(Doc()->UndoSteps().back().name) : PMString();
    }
    PMString GetRedoName() const override {
        return CanRedo() ? PMString(Doc()->RedoSteps().back().name) : PMString();
    }
    ErrorCode Undo() override { return Doc()->Undo(); }
    ErrorCode Redo() override { return Doc()->Redo(); }
};

class UndoManagerImpl : public Stored<IUndoManager> {
  public:
    using Stored::Stored;
    bool16 CanUndo() const override { return !Doc()->UndoSteps().empty(); }
    ErrorCode UndoLastStep() override { return Doc()->Undo(); }
    ErrorCode RedoLastStep() override { return Doc()->Redo(); }
};

class LinkManagerImpl : public Stored<ILinkManager> {
  public:
    using Stored::Stored;
    void QueryLinksByObjectUID(UID object, UIDList& links) const override {
        links = UIDList(Doc());
        for (const auto& l : M().links)
            if (l.second.object == object) links.Append(l.first);
    }
    int32 GetLinkCount() const override { return static_cast<int32>(M().links.size()); }
};

class DocFontListImpl : public Stored<IDocFontList> {
  public:
    using Stored::Stored;
    UID GetFontFamilyUID(const IPMFont* font, bool16 create) override {
        return font ? GetFontFamilyUIDByName(font->GetFamilyName(), create) : kInvalidUID;
    }
    UID GetFontFamilyUIDByName(const PMString& family, bool16 create) override {
        UID out = kInvalidUID;
        if (FindOrAddFontFamily(Doc(), family.GetUTF8String(), create != kFalse, &out) != kSuccess)
            return kInvalidUID;
        return out;
    }
};

// ---- 4. stories, swatches, font families, links -------------------------------

class SwatchImpl : public Stored<ISwatch> {
  public:
    using Stored::Stored;
    PMString GetSwatchName() const override {
        auto it = M().swatches.find(Uid());
        return it == M().swatches.end() ? PMString() : PMString(it->second.name);
    }
};

class ColorDataImpl : public Stored<IColorData> {
  public:
    using Stored::Stored;
    int32 GetColorSpace() const override {
        auto it = M().swatches.find(Uid());
        return it == M().swatches.end() ? 0 : it->second.space;
    }
    ColorArray GetColorData() const override {
        auto it = M().swatches.find(Uid());
        return it == M().swatches.end() ? ColorArray() : it->second.components;
    }
};

class FontFamilyImpl : public Stored<IFontFamily> {
  public:
    using Stored::Stored;
    PMString GetFamilyName() const override {
        auto it = M().fontFamilies.find(Uid());
        return it == M().fontFamilies.end() ? PMString() : PMString(it->second);
    }
    PMString GetPostScriptName(const PMString& face) const override {
        const InstalledFont* f =
            FindFontByFamilyStyle(GetFamilyName().GetUTF8String(), face.GetUTF8String());
        return f ? PMString(f->postscript) : PMString();
    }
};

class LinkImpl : public Stored<ILink> {
  public:
    using Stored::Stored;
    URI GetURI() const override {
        auto it = M().links.find(Uid());
        return it == M().links.end() ? URI() : URI(it->second.uri);
    }
    bool16 IsEmbedded() const override {
        auto it = M().links.find(Uid());
        return it != M().links.end() && it->second.embedded;
    }
    UID GetLinkedObjectUID() const override {
        auto it = M().links.find(Uid());
        return it == M().links.end() ? kInvalidUID : it->second.object;
    }
};

// ---- 5. the factory --------------------------------------------------------------

template <class T>
bool Add(HostBoss* boss, PMIID iid) {
    boss->AddOwned(iid, new T(boss));
    return true;
}

bool AddPageItemInterface(HostBoss* boss, PMIID iid, const Node& n) {
    switch (iid) {
        case IID_IHIERARCHY:
            return Add<HierarchyImpl>(boss, iid);
        case IID_IGEOMETRY:
            return n.kind != NodeKind::kTextContainer && n.kind != NodeKind::kTextColumn &&
                   Add<GeometryImpl>(boss, iid);
        case IID_ILABELDATA:
            // Labels go with what a document file keeps them for.
            return (n.kind == NodeKind::kFrame || n.kind == NodeKind::kImage ||
                    n.kind == NodeKind::kLayer) &&
                   Add<LabelDataImpl>(boss, iid);
        case IID_IGRAPHICATTRIBUTES:
            return n.kind == NodeKind::kFrame && Add<GraphicAttributesImpl>(boss, iid);
        case IID_IPAGEITEMNAME:
            return n.kind == NodeKind::kFrame && Add<PageItemNameImpl>(boss, iid);
        case IID_ITRANSFORM:
            return n.kind == NodeKind::kFrame && Add<TransformImpl>(boss, iid);
        case IID_ITEXTCONTENT:
            return n.kind == NodeKind::kFrame && Add<TextContentImpl>(boss, iid);
        case IID_ISTORYREF:
            return (n.kind == NodeKind::kTextContainer || n.kind == NodeKind::kTextColumn) &&
                   Add<StoryRefImpl>(boss, iid);
        case IID_ILAYER:
            return n.kind == NodeKind::kLayer && Add<LayerImpl>(boss, iid);
        default:
            return false;
    }
}

}  // namespace

bool AddStoredInterface(HostBoss* boss, PMIID iid) {
    Document* doc = boss->GetDocument();
    if (!doc) return false;
    const DocModel& m = doc->Model();
    UID uid = boss->GetUID();
    if (uid == kRootUID) {
        if (iid == IID_IDOCUMENT) return Add<DocumentImpl>(boss, iid);
        if (iid == IID_ILINKMANAGER) return Add<LinkManagerImpl>(boss, iid);
        if (iid == IID_IUNDOMANAGER) return Add<UndoManagerImpl>(boss, iid);
        return false;
    }
    if (uid == kWorkspaceUID) return iid == IID_IDOCFONTLIST && Add<DocFontListImpl>(boss, iid);
    if (const Node* n = m.FindNode(uid)) return AddPageItemInterface(boss, iid, *n);
    if (m.stories.count(uid)) return AddStoryInterface(boss, iid);
    if (auto it = m.swatches.find(uid); it != m.swatches.end()) {
        if (iid == IID_ISWATCH) return Add<SwatchImpl>(boss, iid);
        if (iid == IID_ICOLORDATA && it->second.kind != SwatchKind::kNone)
            return Add<ColorDataImpl>(boss, iid);
        return false;
    }
    if (m.fontFamilies.count(uid)) return iid == IID_IFONTFAMILY && Add<FontFamilyImpl>(boss, iid);
    if (m.links.count(uid)) return iid == IID_ILINK && Add<LinkImpl>(boss, iid);
    return false;
}

}  // namespace hostcore

PMMatrix InnerToPasteboardMatrix(const IGeometry* geometry) {
    return geometry ? geometry->GetInnerToPasteboardMatrix() : PMMatrix();
}
