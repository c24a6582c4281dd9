// Modules on POSIX: dlopen with symbols kept local to the module, so two
// modules exporting the same entry name do not answer for each other.
#include "platform/library.h"

#include <dlfcn.h>

#include <string>

namespace glyphoria::platform {

namespace {
std::string& LastError() {
    static std::string text;
    return text;
}
}  // namespace

void* LoadLibraryUtf8(const char* path) {
    if (!path || !*path) return nullptr;
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        LastError() = why ? why : "";
    }
    return handle;
}

void* FindExport(void* library, const char* name) {
    if (!library || !name) return nullptr;
    return dlsym(library, name);
}

void FreeLibraryHandle(void* library) {
    if (library) dlclose(library);
}

const char* LastLibraryError() {
    return LastError().c_str();
}

}  // namespace glyphoria::platform
