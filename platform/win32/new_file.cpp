// Exclusive creation, date stamping and no-replace renames on Windows.
//
// CREATE_NEW fails on anything already at the name, a file, a folder or a
// link (a dangling one too), so nothing planted there is ever opened or
// followed. MoveFileExW without MOVEFILE_REPLACE_EXISTING renames only onto
// a free name.
#include "platform/new_file.h"

#include "platform/fs.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

using win32::Widen;

namespace {

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::uint64_t NextUniqueNumber() {
    static std::atomic<std::uint64_t> counter{0};
    LARGE_INTEGER clock;
    QueryPerformanceCounter(&clock);
    return (static_cast<std::uint64_t>(clock.QuadPart) * 0x9E3779B97F4A7C15ull) ^
           (static_cast<std::uint64_t>(GetCurrentProcessId()) << 20) ^ counter.fetch_add(1);
}

// Seconds since 1970 UTC as a FILETIME (100 ns units since 1601).
bool ToFileTime(std::int64_t utc_seconds, FILETIME* out) {
    constexpr std::int64_t kEpochDifference = 11644473600LL;
    constexpr std::int64_t kMaxSeconds = (INT64_MAX / 10000000LL) - kEpochDifference;
    if (utc_seconds < -kEpochDifference || utc_seconds > kMaxSeconds) return false;
    std::uint64_t ticks = static_cast<std::uint64_t>(utc_seconds + kEpochDifference) * 10000000ULL;
    out->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    out->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

}  // namespace

NewFile::~NewFile() {
    if (is_open()) Close();
}

bool NewFile::CreateUnique(const char* folder, const char* prefix, const char* suffix,
                           char* path_out, std::size_t cap) {
    if (is_open() || !folder || !*folder || !path_out || cap == 0) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        int n =
            std::snprintf(path_out, cap, "%s/%s%012llx%s", folder, prefix ? prefix : "",
                          static_cast<unsigned long long>(NextUniqueNumber() & 0xFFFFFFFFFFFFull),
                          suffix ? suffix : "");
        if (n < 0 || static_cast<std::size_t>(n) >= cap || HasFolderFault(path_out)) break;
        // No delete sharing: while the file is open nobody removes it (see
        // RemoveLeftovers). OPEN_REPARSE_POINT: should the name be a link after all, the call
        // is about the link itself, never its target.
        HANDLE handle = CreateFileW(Widen(path_out).c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(handle);
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path_out[0] = '\0';
    return false;
}

bool NewFile::Write(const void* bytes, std::size_t length) {
    if (!is_open()) return false;
    const char* p = static_cast<const char*>(bytes);
    // A full disk (or the tests' budget) writes what fits, then fails.
    const std::size_t allowed = TakeWriteBudget(length);
    const bool disk_full = allowed < length;
    length = allowed;
    while (length > 0) {
        DWORD piece = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), p, piece, &written, nullptr) || written == 0)
            return false;
        p += written;
        length -= written;
    }
    if (disk_full) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

bool NewFile::Sync() {
    return is_open() && FlushFileBuffers(AsHandle(handle_)) != 0;
}

bool NewFile::KeepPermissionsOf(const char* path) {
    if (!is_open() || !path) return false;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    // The attributes that say how the user wants the file treated go on the
    // new file here (not every ReplaceFileW carries them over, Wine's does
    // not); its security follows the name in RenameReplace.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    FILE_BASIC_INFO info = {};  // zero times: left as they are
    info.FileAttributes = (attributes & kKept) ? (attributes & kKept) : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(AsHandle(handle_), FileBasicInfo, &info, sizeof info) != 0;
}

bool NewFile::SetTimes(std::int64_t utc_seconds) {
    if (!is_open()) return false;
    FILETIME time;
    if (!ToFileTime(utc_seconds, &time)) return false;
    // Windows keeps a creation time of its own and lets it be set.
    return SetFileTime(AsHandle(handle_), &time, &time, &time) != 0;
}

bool NewFile::Close() {
    if (!is_open()) return false;
    HANDLE handle = AsHandle(handle_);
    handle_ = kNoHandle;
    // Written data that cannot reach the disk shows here or nowhere.
    bool flushed = FlushFileBuffers(handle) != 0;
    return CloseHandle(handle) != 0 && flushed;
}

MoveResult MoveNoReplace(const char* from, const char* to) {
    if (!from || !to || !*from || !*to) return MoveResult::kFailed;
    if (HasFolderFault(from) || HasFolderFault(to)) return MoveResult::kFailed;
    if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return MoveResult::kMoved;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return MoveResult::kTargetExists;
    return MoveResult::kFailed;
}

bool EntryExists(const char* path) {
    if (!path || !*path) return false;
    // The attributes of the name itself: a link answers even when it leads
    // nowhere.
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int RemoveLeftovers(const char* folder, const char* prefix, const char* suffix) {
    std::vector<std::string> names;
    if (!prefix || !suffix || !ListFolder(folder, &names)) return 0;
    int removed = 0;
    for (const std::string& name : names) {
        if (!detail::IsUniqueName(name, prefix, suffix)) continue;
        const std::string path = std::string(folder) + "\\" + name;
        const DWORD attributes = GetFileAttributesW(Widen(path.c_str()).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        // A file still open in its writer refuses deletion (no delete
        // sharing), so only leftovers go.
        if (RemoveFile(path.c_str())) ++removed;
    }
    return removed;
}

}  // namespace glyphoria::platform
