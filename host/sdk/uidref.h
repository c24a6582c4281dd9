// Page-item references: a document database and a UID. A reference is valid
// when it has a database and its UID is not kInvalidUID; whether the object
// still exists is the database's answer (IDataBase::IsValidUID).
// UIDList is an ordered list of UIDs of one database.
#pragma once

#include <cstddef>
#include <vector>

#include "host/sdk/types.h"
#include "host/sdk/unknown.h"

class IDataBase;

class UIDRef {
  public:
    UIDRef() = default;
    UIDRef(IDataBase* db, UID uid) : fDB(db), fUID(uid) {}

    IDataBase* GetDataBase() const { return fDB; }
    UID GetUID() const { return fUID; }
    bool IsValid() const { return fDB != nullptr && fUID != kInvalidUID; }
    // Valid and the object exists in its database.
    bool ExistsInDB() const;

    bool operator==(const UIDRef& o) const { return fDB == o.fDB && fUID == o.fUID; }
    bool operator!=(const UIDRef& o) const { return !(*this == o); }

    static const UIDRef gNull;

  private:
    IDataBase* fDB = nullptr;
    UID fUID = kInvalidUID;
};

class UIDList {
  public:
    UIDList() = default;
    explicit UIDList(IDataBase* db) : fDB(db) {}
    explicit UIDList(const UIDRef& ref) : fDB(ref.GetDataBase()) {
        if (ref.GetUID() != kInvalidUID) fUIDs.push_back(ref.GetUID());
    }

    IDataBase* GetDataBase() const { return fDB; }
    int32 Length() const { return static_cast<int32>(fUIDs.size()); }
    bool IsEmpty() const { return fUIDs.empty(); }
    UID operator[](int32 i) const { return At(i); }
    UID At(int32 i) const;  // kInvalidUID outside the list
    UIDRef GetRef(int32 i) const { return UIDRef(fDB, At(i)); }
    void Append(UID uid) { fUIDs.push_back(uid); }
    bool Contains(UID uid) const;
    void Clear() { fUIDs.clear(); }
    const std::vector<UID>& UIDs() const { return fUIDs; }

    bool operator==(const UIDList& o) const { return fDB == o.fDB && fUIDs == o.fUIDs; }

  private:
    IDataBase* fDB = nullptr;
    std::vector<UID> fUIDs;
};

// The database and UID of the object an interface belongs to (UIDRef::gNull
// for objects that are not stored in a document).
UIDRef GetUIDRef(const IPMUnknown* iface);
UID GetUID(const IPMUnknown* iface);
IDataBase* GetDataBase(const IPMUnknown* iface);

// Interface of a stored object, or nil. The returned reference is the
// caller's. Defined in database.cpp.
IPMUnknown* InstantiateInterface(IDataBase* db, UID uid, PMIID iid);

template <class T>
InterfacePtr<T>::InterfacePtr(const UIDRef& ref, PMIID iid)
    : fPtr(static_cast<T*>(InstantiateInterface(ref.GetDataBase(), ref.GetUID(), iid))) {}

template <class T>
InterfacePtr<T>::InterfacePtr(IDataBase* db, UID uid, PMIID iid)
    : fPtr(static_cast<T*>(InstantiateInterface(db, uid, iid))) {}
