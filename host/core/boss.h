// HostBoss: the host's object. It carries a set of interface implementations
// that share its reference count, and destroys them (last added first) when
// the count drops to zero. Stored objects of a document are instantiated on
// demand and make their host interfaces lazily through a factory; framework
// objects (session, selections, plug-in components) are built once and held
// by the host.
#pragma once

#include <functional>
#include <vector>

#include "host/sdk/unknown.h"

namespace hostcore {

class Document;

class HostBoss final : public IPMUnknown {
  public:
    // Adds the host implementation of an interface to the object (AddOwned);
    // false when the object has none.
    typedef std::function<bool(HostBoss*, PMIID)> Factory;
    typedef std::function<void(IPMUnknown*)> Destroyer;

    HostBoss(Document* doc, UID uid, ClassID cls);
    // New object with one reference.
    static HostBoss* Create(Document* doc, UID uid, ClassID cls) {
        HostBoss* b = new HostBoss(doc, uid, cls);
        b->AddRef();
        return b;
    }

    IPMUnknown* QueryInterface(PMIID iid) const override;
    void AddRef() const override { ++fRefs; }
    void Release() const override;

    // Adds an implementation the boss owns and destroys with destroy.
    void AddInterface(PMIID iid, IPMUnknown* impl, Destroyer destroy);
    // Adds a host implementation made with new.
    template <class T>
    void AddOwned(PMIID iid, T* impl) {
        AddInterface(iid, impl, [](IPMUnknown* p) { delete static_cast<T*>(p); });
    }
    void SetFactory(Factory factory) { fFactory = std::move(factory); }
    // The implementation without a reference, created if needed; nil if none.
    IPMUnknown* Find(PMIID iid) const;
    bool Has(PMIID iid) const { return Find(iid) != nullptr; }

    Document* GetDocument() const { return fDoc; }
    UID GetUID() const { return fUID; }
    ClassID GetClass() const { return fClass; }
    int RefCount() const { return fRefs; }

  private:
    ~HostBoss();
    struct Entry {
        PMIID iid;
        IPMUnknown* impl;
        Destroyer destroy;
    };
    Document* fDoc;
    UID fUID;
    ClassID fClass;
    mutable int fRefs = 0;
    mutable std::vector<Entry> fEntries;
    Factory fFactory;
};

// The HostBoss behind any interface of a host object (nil for others).
HostBoss* BossOf(const IPMUnknown* iface);

}  // namespace hostcore
