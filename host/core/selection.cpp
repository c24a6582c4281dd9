// The selection state of the front document and the selection objects.
// Divisions:
//   1. state
//   2. host interfaces of the selection objects
//   3. the objects and their extensions' notifications
//   4. changing the selection
#include "host/core/selection.h"

#include <algorithm>
#include <memory>

#include "host/core/boss.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/sdk/selection.h"
#include "host/sdk/text.h"

namespace hostcore {

namespace {

// ---- 1. state --------------------------------------------------------------------

struct State {
    SelectionKind kind = SelectionKind::kNone;
    std::vector<UID> items;  // as selected; reordered when asked for
    UID story = kInvalidUID;
    TextIndex start = 0, end = 0;
    HostBoss* abstract = nullptr;
    HostBoss* layout = nullptr;
    HostBoss* text = nullptr;
};

State& S() {
    static State state;
    return state;
}

void ForEachExtension(const std::function<void(ISelectionExtension*, HostBoss*)>& fn) {
    // The extensions hear of every change from the first one on, so the
    // concrete selections exist by then.
    LayoutSelection();
    TextSelection();
    for (HostBoss* b : {S().layout, S().text}) {
        if (!b) continue;
        auto* ext = static_cast<ISelectionExtension*>(b->Find(IID_ISELECTIONEXTENSION));
        if (ext) fn(ext, b);
    }
}

// ---- 2. host interfaces ----------------------------------------------------------

class SelectionManagerImpl : public CPMUnknown<ISelectionManager> {
  public:
    using CPMUnknown<ISelectionManager>::CPMUnknown;
    void DeselectAll() override { ClearSelection(); }
    IDataBase* GetDataBase() const override { return FrontDocument(); }
};

class IntegratorTargetImpl : public CPMUnknown<IIntegratorTarget> {
  public:
    using CPMUnknown<IIntegratorTarget>::CPMUnknown;
    std::unique_ptr<TargetSuiteCollection> GetTarget(PMIID iid) const override {
        auto out = std::make_unique<TargetSuiteCollection>();
        // The layout selection stands for an empty selection too.
        HostBoss* concrete = S().kind == SelectionKind::kText ? TextSelection() : LayoutSelection();
        if (concrete) {
            if (IPMUnknown* suite = concrete->Find(iid)) out->push_back(suite);
        }
        return out;
    }
};

class LayoutSelectionSuiteImpl : public CPMUnknown<ILayoutSelectionSuite> {
  public:
    using CPMUnknown<ILayoutSelectionSuite>::CPMUnknown;
    void SelectPageItems(const UIDList& items, int32 action, int32) override {
        if (Document::From(items.GetDataBase()) != FrontDocument()) return;
        if (action == kAddTo) {
            AddToSelection(items.UIDs());
        } else if (action == kRemoveFrom) {
            std::vector<UID> keep;
            for (UID u : SelectedItems())
                if (!items.Contains(u)) keep.push_back(u);
            SelectItems(keep);
        } else {
            SelectItems(items.UIDs());
        }
    }
    void DeselectAllPageItems() override { ClearSelection(); }
};

class LayoutTargetImpl : public CPMUnknown<ILayoutTarget> {
  public:
    using CPMUnknown<ILayoutTarget>::CPMUnknown;
    UIDList GetUIDList(int32, int32) const override {
        UIDList list(FrontDocument());
        if (S().kind == SelectionKind::kLayout)
            for (UID u : SelectedItems())
                list.Append(u);
        return list;
    }
};

class TextTargetImpl : public CPMUnknown<ITextTarget> {
  public:
    using CPMUnknown<ITextTarget>::CPMUnknown;
    ITextModel* QueryTextModel() const override {
        UID story = SelectedStory();
        return story == kInvalidUID ? nullptr
                                    : static_cast<ITextModel*>(InstantiateInterface(
                                          FrontDocument(), story, IID_ITEXTMODEL));
    }
    TextIndex GetRangeStart() const override { return S().start; }
    TextIndex GetRangeEnd() const override { return S().end; }
};

bool AddAddIn(HostBoss* b, PMIID iid, const char* target) {
    for (const AddIn& a : AddInsFor(target))
        if (a.iid == iid) return AddPlugInImplementation(b, iid, a.impl);
    return false;
}

// ---- 3. the objects ----------------------------------------------------------------

template <class T>
bool Add(HostBoss* b, PMIID iid) {
    b->AddOwned(iid, new T(b));
    return true;
}

HostBoss* MakeConcrete(PMIID targetIID, bool (*addTarget)(HostBoss*, PMIID), const char* name) {
    HostBoss* b = HostBoss::Create(nullptr, kInvalidUID, 0);
    b->SetFactory([targetIID, addTarget, name](HostBoss* boss, PMIID iid) {
        if (iid == targetIID) return addTarget(boss, iid);
        return AddAddIn(boss, iid, name);
    });
    if (auto* ext = static_cast<ISelectionExtension*>(b->Find(IID_ISELECTIONEXTENSION))) {
        std::unique_ptr<ISelectionExtension::ProtocolCollection> protocols(
            ext->CreateObserverProtocolCollection());
        ext->Startup();
    }
    return b;
}

}  // namespace

HostBoss* AbstractSelection() {
    if (!FrontDocument()) return nullptr;
    if (!S().abstract) {
        HostBoss* b = HostBoss::Create(nullptr, kInvalidUID, 0);
        b->SetFactory([](HostBoss* boss, PMIID iid) {
            switch (iid) {
                case IID_ISELECTIONMANAGER:
                    return Add<SelectionManagerImpl>(boss, iid);
                case IID_IINTEGRATORTARGET:
                    return Add<IntegratorTargetImpl>(boss, iid);
                case IID_ILAYOUTSELECTIONSUITE:
                    return Add<LayoutSelectionSuiteImpl>(boss, iid);
                default:
                    return AddAddIn(boss, iid, "abstract-selection");
            }
        });
        S().abstract = b;
    }
    return S().abstract;
}

HostBoss* LayoutSelection() {
    if (!FrontDocument()) return nullptr;
    if (!S().layout)
        S().layout = MakeConcrete(IID_ILAYOUTTARGET, Add<LayoutTargetImpl>, "layout-selection");
    return S().layout;
}

HostBoss* TextSelection() {
    if (!FrontDocument()) return nullptr;
    if (!S().text) S().text = MakeConcrete(IID_ITEXTTARGET, Add<TextTargetImpl>, "text-selection");
    return S().text;
}

ISelectionManager* ActiveSelectionManager() {
    HostBoss* b = AbstractSelection();
    return b ? static_cast<ISelectionManager*>(b->Find(IID_ISELECTIONMANAGER)) : nullptr;
}

void DestroySelectionObjects() {
    for (HostBoss* b : {S().layout, S().text}) {
        if (!b) continue;
        if (auto* ext = static_cast<ISelectionExtension*>(b->Find(IID_ISELECTIONEXTENSION)))
            ext->Shutdown();
    }
    for (HostBoss** slot : {&S().abstract, &S().layout, &S().text}) {
        if (*slot) (*slot)->Release();
        *slot = nullptr;
    }
}

void NotifyDocumentChanged(Document* doc) {
    if (doc != FrontDocument()) return;
    UIDList items(doc);
    for (UID u : SelectedItems())
        items.Append(u);
    ForEachExtension([&](ISelectionExtension* ext, HostBoss* b) {
        ext->SelectionAttributeChanged(0, 0, doc, &items, 0, b);
    });
}

// ---- 4. changing the selection -------------------------------------------------------

namespace {

void Changed(SelectionKind before, int32 kind) {
    NoteViewChange();
    if (before != S().kind && before != SelectionKind::kNone) {
        ForEachExtension([](ISelectionExtension* ext, HostBoss*) {
            ext->HandleIntegratorSuiteMessage(nullptr, 0, IID_IINTEGRATORTARGET);
        });
    }
    ForEachExtension([kind](ISelectionExtension* ext, HostBoss*) {
        ext->SelectionChanged(kind, IID_ILAYOUTTARGET, nullptr);
    });
}

std::vector<UID> Existing(const std::vector<UID>& items) {
    std::vector<UID> out;
    Document* doc = FrontDocument();
    if (!doc) return out;
    for (UID u : items) {
        const Node* n = doc->Model().FindNode(u);
        if (n && n->kind != NodeKind::kSpread && n->kind != NodeKind::kLayer &&
            std::find(out.begin(), out.end(), u) == out.end())
            out.push_back(u);
    }
    return out;
}

}  // namespace

void SelectItems(const std::vector<UID>& items) {
    SelectionKind before = S().kind;
    S().items = Existing(items);
    S().kind = SelectionKind::kLayout;
    S().story = kInvalidUID;
    Changed(before, 1);
}

void AddToSelection(const std::vector<UID>& items) {
    std::vector<UID> all = S().kind == SelectionKind::kLayout ? S().items : std::vector<UID>();
    all.insert(all.end(), items.begin(), items.end());
    SelectItems(all);
}

void SelectText(UID story, TextIndex start, TextIndex end) {
    Document* doc = FrontDocument();
    if (!doc || !doc->Model().stories.count(story)) return;
    SelectionKind before = S().kind;
    S().kind = SelectionKind::kText;
    S().items.clear();
    S().story = story;
    S().start = std::min(start, end);
    S().end = std::max(start, end);
    Changed(before, 1);
}

void ClearSelection() {
    SelectionKind before = S().kind;
    S().items.clear();
    S().story = kInvalidUID;
    S().kind = SelectionKind::kNone;
    if (before != SelectionKind::kNone) Changed(before, 2);
}

SelectionKind ActiveSelectionKind() {
    return S().kind;
}

std::vector<UID> SelectedItems() {
    Document* doc = FrontDocument();
    std::vector<UID> out;
    if (!doc || S().kind != SelectionKind::kLayout) return out;
    // The layout's order, not the order of selecting; undone items drop out.
    for (UID u : doc->Model().LayoutOrder())
        if (std::find(S().items.begin(), S().items.end(), u) != S().items.end()) out.push_back(u);
    return out;
}

UID SelectedStory() {
    Document* doc = FrontDocument();
    if (!doc || S().kind != SelectionKind::kText || !doc->Model().stories.count(S().story))
        return kInvalidUID;
    return S().story;
}

void ResetSelection() {
    S().items.clear();
    S().story = kInvalidUID;
    S().kind = SelectionKind::kNone;
    NoteViewChange();
}

}  // namespace hostcore
