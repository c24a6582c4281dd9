// Module resources on Windows: the resource section of the module that holds
// this code (the plug-in DLL, not the host's executable), found with
// FindResource and read with LoadResource/LockResource/SizeofResource.
//
// The loader picks the language version when none is asked for: on Windows
// by the thread's user-interface language, under Wine by the thread locale.
#include "platform/resources.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {

HMODULE ThisModule() {
    static const HMODULE module = [] {
        HMODULE handle = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ThisModule), &handle);
        return handle;
    }();
    return module;
}

// Resource data is not terminated. Callers may read text resources as C
// strings, so each one is handed out as a copy followed by two zero bytes,
// made once and kept as long as the module is loaded.
const unsigned char* TerminatedCopy(HRSRC found, const void* data, std::size_t size) {
    static std::mutex mutex;
    static std::map<HRSRC, std::unique_ptr<unsigned char[]>> copies;
    std::lock_guard<std::mutex> lock(mutex);
    auto& copy = copies[found];
    if (!copy) {
        copy.reset(new (std::nothrow) unsigned char[size + 2]);
        if (!copy) return nullptr;
        if (size) std::memcpy(copy.get(), data, size);
        copy[size] = 0;
        copy[size + 1] = 0;
    }
    return copy.get();
}

bool Read(HRSRC found, ResourceBytes* out) {
    if (!found) return false;
    HMODULE module = ThisModule();
    HGLOBAL loaded = LoadResource(module, found);  // not to be freed: module memory
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    std::size_t size = SizeofResource(module, found);
    const unsigned char* copy = TerminatedCopy(found, data, size);
    if (!copy) return false;
    out->data = copy;
    out->size = size;
    return true;
}

}  // namespace

unsigned short UserInterfaceLanguage() {
    // What the loader picks for the string table, so a caller that asks for
    // a language explicitly gets the same version FindModuleResource gives.
    HMODULE module = ThisModule();
    HRSRC picked = FindResourceA(module, "MYSTRINGS", "XML");
    if (picked && picked == FindResourceExA(module, "XML", "MYSTRINGS", kLangGerman))
        return kLangGerman;
    if (!picked && PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_GERMAN)
        return kLangGerman;
    return kLangEnglishUS;
}

bool FindModuleResourceLanguage(const char* name, const char* type, unsigned short language,
                                ResourceBytes* out) {
    if (!name || !type || !out) return false;
    return Read(FindResourceExA(ThisModule(), type, name, language), out);
}

bool FindModuleResource(const char* name, const char* type, ResourceBytes* out) {
    if (!name || !type || !out) return false;
    // Names and types are compared without regard to case by the loader
    // itself (the resource compiler stores them in capitals).
    return Read(FindResourceA(ThisModule(), name, type), out);
}

}  // namespace glyphoria::platform
