#include "shell/web_window_bridge.h"

#include <cstring>

#include "platform/library.h"
#include "platform/net.h"
#include "shell/host_callback.h"
#include "shell/ids.h"
#include "shell/library_path.h"
#include "shell/plugin_state.h"
#include "shell/remote_config.h"
#include "support/limits.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "support/vendor_addresses.h"

namespace glyphoria {

namespace {

void*& LibraryHandle() {
    static void* handle = nullptr;
    return handle;
}

void* BindLibrary() {
    void*& handle = LibraryHandle();
    if (handle) return handle;
    char module[kPathBufferSize];
    char library[kPathBufferSize];
    if (!PlugInModulePath(module, sizeof module)) return nullptr;
    if (!WebWindowLibraryPath(module, library, sizeof library)) return nullptr;
    handle = platform::LoadLibraryUtf8(library);
    return handle;
}

// text into buf, cut to what fits.
void CopyCut(char* buf, std::size_t cap, const std::string& text) {
    std::size_t length = text.size() < cap ? text.size() : cap - 1;
    std::memcpy(buf, text.data(), length);
    buf[length] = '\0';
}

}  // namespace

std::int32_t CallWebWindowLibrary(const char* command, std::intptr_t argument) {
    void* library = BindLibrary();
    if (!library) return 0;
    auto entry = reinterpret_cast<WebWindowEntry>(platform::FindExport(library, "main"));
    if (!entry) return 0;
    return entry(command, argument);
}

bool IsSamplerWindowVisible() {
    return CallWebWindowLibrary("isTryWndVisible", 0) != 0;
}

void CloseSamplerWindow() {
    CallWebWindowLibrary("closeTryWnd", 0);
}

bool IsOnline() {
    return platform::IsOnline();
}

void ToggleSamplerWindow() {
    if (IsSamplerWindowVisible()) {
        CloseSamplerWindow();
        return;
    }
    if (!IsOnline()) {
        ShowMessage("noInternet");
        return;
    }
    const auto callback = reinterpret_cast<std::intptr_t>(&HostCommandCallback);
    if (CallWebWindowLibrary("version", callback) != kWebWindowInterfaceVersion) {
        ShowMessage("invalidDLL");
    }
    // Before the start address is read, so that a "search" the configuration
    // brings counts for this opening already.
    FetchRemoteConfiguration();
    char start[kPathBufferSize];
    CopyCut(start, sizeof start, Vendor().start_page);
    Prefs().GetString(kGeneralSection, "search", start, kValueBufferSize);
    CallWebWindowLibrary("showTryWnd", reinterpret_cast<std::intptr_t>(start));
}

}  // namespace glyphoria
