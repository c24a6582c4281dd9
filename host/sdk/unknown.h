// The object model's root: every host or plug-in interface derives from
// IPMUnknown. An object ("boss") is a set of interfaces sharing one reference
// count; QueryInterface returns another interface of the same object with a
// reference added (nil when the object has no such interface). The caller
// releases what it queried; InterfacePtr<T> does that automatically.
//
// CPMUnknown<T> is the base of every implementation: it keeps only the
// owning object and forwards the three operations to it, so implementations
// never count references themselves.
#pragma once

#include <cstddef>
#include <utility>

#include "host/sdk/types.h"

class IPMUnknown {
  public:
    virtual IPMUnknown* QueryInterface(PMIID iid) const = 0;
    virtual void AddRef() const = 0;
    virtual void Release() const = 0;

  protected:
    // Objects are destroyed through their owner, never through this pointer.
    ~IPMUnknown() = default;
};

template <class T>
class CPMUnknown : public T {
  public:
    explicit CPMUnknown(IPMUnknown* boss) : fBoss(boss) {}
    virtual ~CPMUnknown() = default;
    CPMUnknown(const CPMUnknown&) = delete;
    CPMUnknown& operator=(const CPMUnknown&) = delete;

    IPMUnknown* QueryInterface(PMIID iid) const override { return fBoss->QueryInterface(iid); }
    void AddRef() const override { fBoss->AddRef(); }
    void Release() const override { fBoss->Release(); }

  protected:
    IPMUnknown* fBoss;
};

class IDataBase;
class UIDRef;

// Owns one reference to an interface. Constructed from a T* it adopts a
// reference the caller already holds (results of Query.../Create...);
// constructed from another interface, a UIDRef or a database and UID it
// queries the wanted interface (T::kDefaultIID unless another is given).
template <class T>
class InterfacePtr {
  public:
    InterfacePtr() = default;
    InterfacePtr(std::nullptr_t) {}
    explicit InterfacePtr(T* adopt) : fPtr(adopt) {}
    InterfacePtr(const IPMUnknown* from, PMIID iid) : fPtr(Query(from, iid)) {}
    InterfacePtr(const IPMUnknown* from) : fPtr(Query(from, T::kDefaultIID)) {}
    InterfacePtr(const UIDRef& ref, PMIID iid = T::kDefaultIID);
    InterfacePtr(IDataBase* db, UID uid, PMIID iid = T::kDefaultIID);
    ~InterfacePtr() { reset(); }

    InterfacePtr(const InterfacePtr& other) : fPtr(other.fPtr) {
        if (fPtr) fPtr->AddRef();
    }
    InterfacePtr(InterfacePtr&& other) noexcept : fPtr(other.fPtr) { other.fPtr = nullptr; }
    InterfacePtr& operator=(InterfacePtr other) noexcept {
        std::swap(fPtr, other.fPtr);
        return *this;
    }

    T* operator->() const { return fPtr; }
    T& operator*() const { return *fPtr; }
    operator T*() const { return fPtr; }
    T* get() const { return fPtr; }
    // Gives up the reference without releasing it.
    T* forget() {
        T* p = fPtr;
        fPtr = nullptr;
        return p;
    }
    void reset(T* adopt = nullptr) {
        if (fPtr) fPtr->Release();
        fPtr = adopt;
    }

  private:
    static T* Query(const IPMUnknown* from, PMIID iid) {
        return from ? static_cast<T*>(from->QueryInterface(iid)) : nullptr;
    }
    T* fPtr = nullptr;
};
