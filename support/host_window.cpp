// The host's main window handle, set once the idle task has found it.
#include "support/host_window.h"

namespace glyphoria {

namespace {
void* g_host_window = nullptr;
}  // namespace

void SetHostWindowHandle(void* window) {
    g_host_window = window;
}

void* HostWindowHandle() {
    return g_host_window;
}

}  // namespace glyphoria
