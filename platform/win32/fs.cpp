// File-system primitives on Windows: UTF-8 paths become UTF-16 for the wide
// functions, so names outside the ANSI code page work.
//
// Divisions: device names, opening (disk files only), status, where a write
// lands (reparse points followed), listing, the small calls.
#include "platform/fs.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <string>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

using win32::Widen;

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The reserved names open a device in every folder, with any extension and
// trailing blanks ("nul.txt", "COM1 .ini"); "\\.\" paths name devices and
// pipes outright.
bool IsDevicePath(const char* path) {
    if (std::strncmp(path, "\\\\.\\", 4) == 0 || std::strncmp(path, "//./", 4) == 0) return true;
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1)) name = p + 1;
    std::string stem;
    for (const char* p = name; *p && *p != '.' && *p != ':'; ++p)
        stem.push_back(AsciiUpper(*p));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool WritesTo(const char* mode) {
    return mode[0] != 'r' || std::strchr(mode, '+') != nullptr;
}

// fopen's "x" (create, fail when the file exists) is C11; the system's C
// library ignores it and would truncate someone else's file. The file is
// created exclusively first and then handed to the C library.
std::FILE* OpenExclusive(const std::wstring& path, std::wstring mode) {
    mode.erase(mode.find(L'x'), 1);
    if (mode.empty() || mode[0] != L'w') return nullptr;  // "x" goes with "w" only
    int flags = _O_CREAT | _O_EXCL | _O_TRUNC;
    flags |= mode.find(L'+') != std::wstring::npos ? _O_RDWR : _O_WRONLY;
    flags |= mode.find(L'b') != std::wstring::npos ? _O_BINARY : _O_TEXT;
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), flags, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) return nullptr;
    std::FILE* file = _wfdopen(fd, mode.c_str());
    if (!file) _close(fd);
    return file;
}

}  // namespace

std::FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode || !*mode) return nullptr;
    if (IsDevicePath(path)) {
        errno = ENXIO;
        return nullptr;
    }
    if (HasPathFault(path, WritesTo(mode) ? kFaultWrite : kFaultRead)) return nullptr;
    if (mode[0] != 'r' && HasFolderFault(path)) return nullptr;
    std::wstring wide_mode = Widen(mode);
    std::FILE* file = wide_mode.find(L'x') != std::wstring::npos
                          ? OpenExclusive(Widen(path), wide_mode)
                          : _wfopen(Widen(path).c_str(), wide_mode.c_str());
    // Whatever the name check missed (a device reached another way) shows
    // in the type of what was opened.
    if (file &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        std::fclose(file);
        errno = ENXIO;
        return nullptr;
    }
    return file;
}

PathInfo StatPath(const char* path) {
    PathInfo info;
    if (!path || !*path) return info;
    const std::wstring wide = Widen(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return info;
    DWORD attributes = data.dwFileAttributes;
    DWORD size_high = data.nFileSizeHigh;
    DWORD size_low = data.nFileSizeLow;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link describes itself; what it points to counts, as with stat.
        // A link that points nowhere does not exist.
        win32::ScopedHandle target(win32::NullIfInvalid(
            CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
        BY_HANDLE_FILE_INFORMATION target_info;
        if (!target || !GetFileInformationByHandle(target.get(), &target_info)) return info;
        attributes = target_info.dwFileAttributes;
        size_high = target_info.nFileSizeHigh;
        size_low = target_info.nFileSizeLow;
    }
    info.exists = true;
    info.is_directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0 || HasPathFault(path, kFaultWrite);
    info.size = (static_cast<std::uint64_t>(size_high) << 32) | size_low;
    return info;
}

WriteTarget ResolveWriteTarget(const char* path) {
    WriteTarget target;
    if (!path || !*path || IsDevicePath(path)) return target;
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            target.kind = WriteTargetKind::kMissing;
            target.path = path;
        }
        return target;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return target;
    // Opened for no access at all, only to ask what it is and, for a link,
    // where it ends. A link that leads nowhere does not open.
    win32::ScopedHandle file(win32::NullIfInvalid(
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return target;
    target.path = path;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        std::wstring final_path(32768, L'\0');
        const DWORD n = GetFinalPathNameByHandleW(file.get(), &final_path[0],
                                                  static_cast<DWORD>(final_path.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0 || n >= final_path.size()) return target;
        final_path.resize(n);
        // "\\?\C:\..." and "\\?\UNC\server\..." back to the usual forms.
        if (final_path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
            final_path = L"\\\\" + final_path.substr(8);
        else if (final_path.compare(0, 4, L"\\\\?\\") == 0)
            final_path = final_path.substr(4);
        target.path = win32::Narrow(final_path.c_str());
    }
    target.kind = WriteTargetKind::kRegularFile;
    return target;
}

bool ListFolder(const char* folder, std::vector<std::string>* names) {
    if (!folder || !*folder || !names) return false;
    const std::wstring pattern = Widen(folder) + L"\\*";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = win32::Narrow(data.cFileName);
        if (name != "." && name != "..") names->push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool MakeWritable(const char* path) {
    if (!path || !*path) return false;
    std::wstring wide = Widen(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
    return SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

bool RemoveFile(const char* path) {
    if (!path || !*path) return false;
    if (HasPathFault(path, kFaultRemove) || HasFolderFault(path)) return false;
    if (DeleteFileW(Widen(path).c_str())) return true;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int MakeFolder(const char* path) {
    if (!path || !*path) return ERROR_PATH_NOT_FOUND;
    if (HasFolderFault(path)) return ERROR_ACCESS_DENIED;
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return 0;
    return static_cast<int>(GetLastError());
}

bool RenameReplace(const char* from, const char* to) {
    if (!from || !*from || !to || !*to) return false;
    if (HasFolderFault(from) || HasFolderFault(to)) return false;
    const std::wstring wide_from = Widen(from);
    const std::wstring wide_to = Widen(to);
    const DWORD existing = GetFileAttributesW(wide_to.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY)) {
        // ReplaceFileW keeps what belongs to the name: the replaced file's
        // attributes (hidden, ...), security and creation time. Where it
        // fails (a file system without it) the replaced file may already be
        // gone, and the plain rename below puts the new one in its place.
        if (ReplaceFileW(wide_to.c_str(), wide_from.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return true;
    }
    // WRITE_THROUGH: the call returns only when the rename is on the disk.
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FlushFile(std::FILE* file) {
    if (!file) return false;
    if (std::fflush(file) != 0) return false;
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE) return false;
    return FlushFileBuffers(handle) != 0;
}

}  // namespace glyphoria::platform
