#include "shell/plugin_state.h"

#include <cstring>

#include "platform/library.h"
#include "support/limits.h"

namespace glyphoria {

namespace {

struct PlugInState {
    void* module = nullptr;
    char file[kPathBufferSize] = {};
};

PlugInState& State() {
    static PlugInState state;
    return state;
}

bool CopyBounded(const char* text, char* buf, std::size_t cap) {
    std::size_t length = text ? std::strlen(text) : 0;
    if (length == 0 || length >= cap) return false;
    std::memcpy(buf, text, length + 1);
    return true;
}

}  // namespace

void SetPlugInModule(void* handle, const char* file) {
    State().module = handle;
    // A file that does not fit the path buffer is not kept at all: a cut path
    // would name another file.
    if (!CopyBounded(file, State().file, sizeof State().file)) State().file[0] = '\0';
}

void* PlugInModuleHandle() {
    return State().module;
}

bool PlugInModulePath(char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    if (platform::ModuleFilePath(State().module, buf, cap)) return true;
    if (CopyBounded(State().file, buf, cap)) return true;
    buf[0] = '\0';
    return false;
}

}  // namespace glyphoria
