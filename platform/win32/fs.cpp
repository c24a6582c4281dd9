// File-system primitives on Windows: UTF-8 paths become UTF-16 for the wide
// functions, so names outside the ANSI code page work.
#include "platform/fs.h"

#include <io.h>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

using win32::Widen;

std::FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

PathInfo StatPath(const char* path) {
    PathInfo info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !*path ||
        !GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data))
        return info;
    info.exists = true;
    info.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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
