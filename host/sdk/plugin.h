// Plug-in registration. A plug-in module exports
//
//     extern "C" IPlugIn* GetPlugIn();
//
// returning its single plug-in object (owned by the module). The host hands
// it the plug-in's ID (from the resource description) and asks it to
// register its implementations: for each implementation ID a create
// function, a destroy function and the object's size. The host allocates
// objectSize bytes, calls create with that memory and the owning object, and
// later calls destroy before freeing the memory. Which objects carry which
// implementation under which interface ID is the resource description's
// business (docs/host.md).
//
// A module may also export
//
//     extern "C" const char* GetPlugInResources();
//
// returning its resource description (JSON); otherwise the host reads it from
// a file beside the module: the module path with its extension replaced by
// ".rsrc.json".
#pragma once

#include <cstddef>
#include <new>

#include "host/sdk/files.h"
#include "host/sdk/ids.h"
#include "host/sdk/unknown.h"

typedef IPMUnknown* (*CreateImplementationProc)(void* memory, IPMUnknown* boss);
typedef void (*DestroyImplementationProc)(IPMUnknown* implementation);

class IImplementationRegistry {
  public:
    // kFailure when the ID is already registered or a function is missing.
    virtual ErrorCode RegisterImplementation(ImplementationID id, CreateImplementationProc create,
                                             DestroyImplementationProc destroy,
                                             std::size_t objectSize) = 0;

  protected:
    ~IImplementationRegistry() = default;
};

class IPlugIn {
  public:
    virtual void SetPluginID(PluginID id) = 0;
    virtual PluginID GetPluginID() const = 0;
    virtual ErrorCode RegisterImplementations(IImplementationRegistry* registry) = 0;

  protected:
    ~IPlugIn() = default;
};

// Where a loaded plug-in came from: the handle the system's loader gave its
// module (what the plug-in needs for its own resources and to find files
// beside it) and the module's file.
class IPlugInResourceAccess : public IPMUnknown {
  public:
    enum { kDefaultIID = IID_IPLUGINRESOURCEACCESS };
    virtual PluginID GetPluginID() const = 0;
    // nil for a plug-in that was installed without a module of its own.
    virtual void* GetModuleHandle() const = 0;
    virtual IDFile GetPlugInFile() const = 0;
};

// New reference; nil for an ID no loaded plug-in has.
IPlugInResourceAccess* QueryPlugInResourceAccess(PluginID id);

// Marks a module's exported entries: PLUGIN_EXPORT IPlugIn* GetPlugIn();
#if defined(_WIN32)
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef IPlugIn* (*GetPlugInProc)();
typedef const char* (*GetPlugInResourcesProc)();

// The create and destroy functions for an implementation class T whose
// constructor takes the owning object.
template <class T>
struct ImplementationFactory {
    static IPMUnknown* Create(void* memory, IPMUnknown* boss) { return new (memory) T(boss); }
    static void Destroy(IPMUnknown* impl) { static_cast<T*>(impl)->~T(); }
};

template <class T>
ErrorCode RegisterImplementationOf(IImplementationRegistry* registry, ImplementationID id) {
    return registry->RegisterImplementation(id, &ImplementationFactory<T>::Create,
                                            &ImplementationFactory<T>::Destroy, sizeof(T));
}
