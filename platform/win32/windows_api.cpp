// UTF-8 <-> UTF-16 for the wide Win32 functions, and module paths.
#include "platform/win32/windows_api.h"

namespace glyphoria::platform::win32 {

std::wstring Widen(const char* utf8) {
    if (!utf8 || !*utf8) return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), units);
    wide.resize(static_cast<std::size_t>(units - 1));  // the counted NUL
    return wide;
}

// The full path of a module (null: the program), UTF-16, however long.
std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        // Cut to fit: try again with room to spare, up to the longest path.
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::string Narrow(const wchar_t* text, int len) {
    if (!text || len == 0) return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, len, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, len, utf8.data(), bytes, nullptr, nullptr);
    if (len < 0) utf8.resize(static_cast<std::size_t>(bytes - 1));
    return utf8;
}

}  // namespace glyphoria::platform::win32
