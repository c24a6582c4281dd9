// File-system primitives on Windows: UTF-8 paths become UTF-16 for the wide
// functions, so names outside the ANSI code page work.
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
    if (!path || !*path || !mode) return nullptr;
    std::wstring wide_mode = Widen(mode);
    if (wide_mode.find(L'x') != std::wstring::npos) return OpenExclusive(Widen(path), wide_mode);
    return _wfopen(Widen(path).c_str(), wide_mode.c_str());
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
        win32::ScopedHandle target(win32::NullIfInvalid(CreateFileW(
            wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
        BY_HANDLE_FILE_INFORMATION target_info;
        if (!target || !GetFileInformationByHandle(target.get(), &target_info)) return info;
        attributes = target_info.dwFileAttributes;
        size_high = target_info.nFileSizeHigh;
        size_low = target_info.nFileSizeLow;
    }
    info.exists = true;
    info.is_directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<std::uint64_t>(size_high) << 32) | size_low;
    return info;
}

bool MakeWritable(const char* path) {
    if (!path || !*path) return false;
    std::wstring wide = Widen(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
    return SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

bool RemoveFile(const char* path) {
    if (!path || !*path) return false;
    if (DeleteFileW(Widen(path).c_str())) return true;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int MakeFolder(const char* path) {
    if (!path || !*path) return ERROR_PATH_NOT_FOUND;
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return 0;
    return static_cast<int>(GetLastError());
}

bool RenameReplace(const char* from, const char* to) {
    if (!from || !*from || !to || !*to) return false;
    // WRITE_THROUGH: the call returns only when the rename is on the disk.
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
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
