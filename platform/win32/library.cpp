// Modules on Windows: LoadLibraryExW with the UTF-8 path made UTF-16, so a
// path outside the ANSI code page loads too.
//
// Forward slashes become backslashes first: LoadLibrary takes a name with a
// forward slash for a bare module name and searches the path for it instead
// of loading the file that was meant. The folder of the module itself is
// searched for its dependencies (LOAD_WITH_ALTERED_SEARCH_PATH), as it is
// for a module that the host program loads.
#include "platform/library.h"

#include <cstring>
#include <string>

#include "platform/system_error.h"
#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {
std::string& LastError() {
    static std::string text;
    return text;
}
}  // namespace

void* LoadLibraryUtf8(const char* path) {
    if (!path || !*path) return nullptr;
    std::wstring wide = win32::Widen(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    // No "cannot find the module" box from the system: the caller reports.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The altered search order is defined for full paths only.
    const bool full = (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') ||
                      wide.compare(0, 2, L"\\\\") == 0;
    HMODULE module =
        LoadLibraryExW(wide.c_str(), nullptr, full ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    DWORD error = GetLastError();
    SetErrorMode(previous);
    if (!module) LastError() = SystemErrorText(static_cast<int>(error));
    return reinterpret_cast<void*>(module);
}

void* FindExport(void* library, const char* name) {
    if (!library || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeLibraryHandle(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}

bool ModuleFilePath(void* library, char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    // No handle is no module: GetModuleFileNameW would answer for the program.
    if (!library) return false;
    std::string path = win32::Narrow(win32::ModulePath(static_cast<HMODULE>(library)).c_str());
    if (path.empty() || path.size() >= cap) return false;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return true;
}

const char* LastLibraryError() {
    return LastError().c_str();
}

}  // namespace glyphoria::platform
