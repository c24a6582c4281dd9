// Modules on POSIX: dlopen with symbols kept local to the module, so two
// modules exporting the same entry name do not answer for each other.
#include "platform/library.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

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

bool ModuleFilePath(void* library, char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    struct link_map* map = nullptr;
    if (!library || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) {
        return false;
    }
    // The main program's entry has an empty name: it is no module of its own.
    std::size_t length = std::strlen(map->l_name);
    if (length == 0 || length >= cap) return false;
    std::memcpy(buf, map->l_name, length + 1);
    return true;
}

const char* LastLibraryError() {
    return LastError().c_str();
}

}  // namespace glyphoria::platform
