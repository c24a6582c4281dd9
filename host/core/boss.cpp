#include "host/core/boss.h"

#include <algorithm>

#include "host/core/document.h"
#include "host/sdk/page_items.h"

namespace hostcore {

namespace {

class PersistUIDData : public CPMUnknown<IPersistUIDData> {
  public:
    explicit PersistUIDData(HostBoss* boss) : CPMUnknown<IPersistUIDData>(boss), fOwner(boss) {}
    IDataBase* GetDataBase() const override;
    UID GetUID() const override { return fOwner->GetUID(); }

  private:
    HostBoss* fOwner;
};

IDataBase* PersistUIDData::GetDataBase() const {
    return fOwner->GetDocument();
}

}  // namespace

HostBoss::HostBoss(Document* doc, UID uid, ClassID cls) : fDoc(doc), fUID(uid), fClass(cls) {}

HostBoss::~HostBoss() {
    // Last added first: plug-in parts may still use host parts added before.
    while (!fEntries.empty()) {
        Entry e = fEntries.back();
        fEntries.pop_back();
        if (e.destroy) {
            e.destroy(e.impl);
        }
    }
}

void HostBoss::Release() const {
    if (--fRefs == 0) delete this;
}

void HostBoss::AddInterface(PMIID iid, IPMUnknown* impl, Destroyer destroy) {
    if (!impl) return;
    fEntries.push_back({iid, impl, std::move(destroy)});
}

IPMUnknown* HostBoss::Find(PMIID iid) const {
    if (iid == IID_IUNKNOWN) return const_cast<HostBoss*>(this);
    for (const Entry& e : fEntries)
        if (e.iid == iid) return e.impl;
    HostBoss* self = const_cast<HostBoss*>(this);
    bool made = fFactory && fFactory(self, iid);
    if (!made && iid == IID_IPERSISTUIDDATA && fDoc) {
        self->AddOwned(iid, new PersistUIDData(self));
        made = true;
    }
    if (!made) return nullptr;
    for (const Entry& e : fEntries)
        if (e.iid == iid) return e.impl;
    return nullptr;
}

IPMUnknown* HostBoss::QueryInterface(PMIID iid) const {
    IPMUnknown* p = Find(iid);
    if (p) AddRef();
    return p;
}

HostBoss* BossOf(const IPMUnknown* iface) {
    if (!iface) return nullptr;
    IPMUnknown* unk = iface->QueryInterface(IID_IUNKNOWN);
    if (!unk) return nullptr;
    HostBoss* boss = dynamic_cast<HostBoss*>(unk);
    unk->Release();
    return boss;
}

}  // namespace hostcore
