// Per-user folders on Windows, from the shell.
//
//   kFolderPersonal, kFolderAppData  SHGetFolderPathW, the default path
//   kFolderDownloads  the Downloads known folder (where the user has put it);
//                     where the shell has no such folder, "Downloads" in the
//                     user's profile folder
//   kFolderFonts      the per-user fonts folder (created when missing),
//                     "Microsoft\Windows\Fonts" in the local application data
//   kFolderTemp       GetTempPathW (%TMP%, %TEMP%, ...)
#include "platform/folders.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

namespace {

using CoTaskText = win32::Scoped<PWSTR, CoTaskMemFree>;

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_DEFAULT, path))) return {};
    return path;
}

std::wstring DownloadsFolder() {
    CoTaskText path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, path.receive())) &&
        path.get() && *path.get())
        return path.get();
    std::wstring profile = ShellFolder(CSIDL_PROFILE);
    return profile.empty() ? profile : profile + L"\\Downloads";
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the folder and any missing parents; true when it is a folder then.
bool MakeFolders(const std::wstring& path) {
    if (IsFolder(path)) return true;
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    return CreateDirectoryW(path.c_str(), nullptr) || IsFolder(path);
}

std::wstring FontsFolder() {
    std::wstring local = ShellFolder(CSIDL_LOCAL_APPDATA);
    if (local.empty()) return local;
    std::wstring fonts = local + L"\\Microsoft\\Windows\\Fonts";
    return MakeFolders(fonts) ? fonts : std::wstring();
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, path);
    return n > 0 && n <= MAX_PATH ? std::wstring(path, n) : std::wstring();
}

std::wstring FolderPath(int folder) {
    switch (folder) {
        case kFolderPersonal:
            return ShellFolder(CSIDL_PERSONAL);
        case kFolderAppData:
            return ShellFolder(CSIDL_APPDATA);
        case kFolderDownloads:
            return DownloadsFolder();
        case kFolderFonts:
            return FontsFolder();
        case kFolderTemp:
        case kFolderUserTemp:
            return TempFolder();
        default:
            return {};
    }
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

bool GetShellFolder(int folder, char* buf, std::size_t cap) {
    if (!buf || cap == 0) return false;
    buf[0] = '\0';
    std::wstring wide = FolderPath(folder);
    // A drive root keeps its separator ("C:\"), every other folder loses it.
    while (wide.size() > 3 && IsSeparator(wide.back()))
        wide.pop_back();
    std::string path = win32::Narrow(wide.c_str());
    if (path.empty() || path.size() >= cap) return false;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace glyphoria::platform
