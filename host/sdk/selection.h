// Selection architecture. The active selection (ISelectionManager, from
// ISelectionUtils) is the abstract selection object: plug-ins add their
// abstract suites to it, and it answers IIntegratorTarget, which hands out
// the concrete suites of one interface that the current concrete selections
// carry. There are two concrete selections: the layout selection (page items,
// ILayoutTarget) and the text selection (a story, ITextTarget); at most one
// of them is active. Plug-ins add concrete suites and ISelectionExtension
// implementations to them through their resource description.
#pragma once

#include <memory>
#include <vector>

#include "host/sdk/ids.h"
#include "host/sdk/uidref.h"

class ITextModel;

class ISelectionManager : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISELECTIONMANAGER };
    virtual void DeselectAll() = 0;
    virtual IDataBase* GetDataBase() const = 0;
};

class IIntegratorTarget : public IPMUnknown {
  public:
    // The suites are borrowed from the selection objects: valid while the
    // selection exists, not referenced by the collection.
    typedef std::vector<IPMUnknown*> TargetSuiteCollection;
    enum { kDefaultIID = IID_IINTEGRATORTARGET };
    // The concrete suites implementing iid, layout before text; empty when
    // no active concrete selection carries it.
    virtual std::unique_ptr<TargetSuiteCollection> GetTarget(PMIID iid) const = 0;
};

class ILayoutTarget : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILAYOUTTARGET };
    // The selected page items in the layout's order (spreads, layers, then
    // stacking order from back to front), whatever order they were selected
    // in. The options are the host's (which items to resolve to); the
    // stand-in returns the selected items as they are.
    virtual UIDList GetUIDList(int32 option1, int32 option2) const = 0;
};

class ITextTarget : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ITEXTTARGET };
    virtual ITextModel* QueryTextModel() const = 0;
    virtual TextIndex GetRangeStart() const = 0;
    virtual TextIndex GetRangeEnd() const = 0;
};

// Selection operations of the layout view.
class ILayoutSelectionSuite : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ILAYOUTSELECTIONSUITE };
    enum SelectionAction { kReplace = 1, kAddTo = 2, kRemoveFrom = 3 };
    // Makes the layout selection active. Items that do not exist are skipped.
    virtual void SelectPageItems(const UIDList& items, int32 action, int32 scrollOption) = 0;
    virtual void DeselectAllPageItems() = 0;
};

// Notifications a plug-in receives about a concrete selection. The host
// calls them on the extension that the plug-in added to a concrete
// selection object.
class ISelectionExtension : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_ISELECTIONEXTENSION };
    typedef std::vector<PMIID> ProtocolCollection;
    // The selection changed (kind: 1 items added or replaced, 2 removed).
    virtual void SelectionChanged(int32 kind, PMIID suite, void* message) = 0;
    // The integrator forwarded a message of another suite.
    virtual void HandleIntegratorSuiteMessage(void* changedBy, ClassID theChange,
                                              PMIID protocol) = 0;
    // The document changed under the selection; concreteSelection is the
    // selection object the extension belongs to.
    virtual void SelectionAttributeChanged(ClassID theChange, PMIID protocol, void* changedBy,
                                           const UIDList* items, int32 flags,
                                           IPMUnknown* concreteSelection) = 0;
    // The model protocols the extension wants to hear about; the host owns
    // and deletes the returned collection.
    virtual ProtocolCollection* CreateObserverProtocolCollection() = 0;
    virtual void Startup() = 0;
    virtual void Shutdown() = 0;
};

// The adapter that turns a concrete suite into the selection extension of its
// selection object. Suite is the concrete suite class; it must derive from an
// interface with kDefaultIID (its suite interface) and offer the hooks
//
//     void Startup();  void Shutdown();
//     void SelectionChanged(int32, PMIID, void*);
//     void HandleIntegratorSuiteMessage(void*, ClassID, PMIID);
//     void SelectionAttributeChanged(ClassID, PMIID, void*, const UIDList*, int32);
//     ISelectionExtension::ProtocolCollection* CreateObserverProtocolCollection();
//
// Each call finds the suite on the adapter's own object, except
// SelectionAttributeChanged, which finds it on the concrete selection passed
// in. A call whose suite is missing is skipped (the collection is then nil).
template <class Suite>
class SelectionExt : public CPMUnknown<ISelectionExtension> {
  public:
    explicit SelectionExt(IPMUnknown* boss) : CPMUnknown<ISelectionExtension>(boss) {}

    void SelectionChanged(int32 kind, PMIID suite, void* message) override {
        if (Suite* s = Find(fBoss)) s->SelectionChanged(kind, suite, message);
    }
    void HandleIntegratorSuiteMessage(void* changedBy, ClassID theChange, PMIID protocol) override {
        if (Suite* s = Find(fBoss)) s->HandleIntegratorSuiteMessage(changedBy, theChange, protocol);
    }
    void SelectionAttributeChanged(ClassID theChange, PMIID protocol, void* changedBy,
                                   const UIDList* items, int32 flags,
                                   IPMUnknown* concreteSelection) override {
        if (Suite* s = Find(concreteSelection))
            s->SelectionAttributeChanged(theChange, protocol, changedBy, items, flags);
    }
    ProtocolCollection* CreateObserverProtocolCollection() override {
        Suite* s = Find(fBoss);
        return s ? s->CreateObserverProtocolCollection() : nullptr;
    }
    void Startup() override {
        if (Suite* s = Find(fBoss)) s->Startup();
    }
    void Shutdown() override {
        if (Suite* s = Find(fBoss)) s->Shutdown();
    }

  private:
    // Borrowed: the object that carries the suite keeps it alive.
    static Suite* Find(const IPMUnknown* object) {
        if (!object) return nullptr;
        IPMUnknown* iface = object->QueryInterface(Suite::kDefaultIID);
        if (!iface) return nullptr;
        Suite* suite = dynamic_cast<Suite*>(iface);
        iface->Release();
        return suite;
    }
};
