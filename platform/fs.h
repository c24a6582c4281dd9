// File-system primitives on UTF-8 paths: the only place that knows how the
// platform spells them (wide functions on Windows, plain calls on POSIX).
// Nothing here reports errors beyond the results stated.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace glyphoria::platform {

// fopen on a UTF-8 path; null on failure. "x" (with "w": create, fail if the
// file exists) works on every platform. Only regular files are opened: a
// folder, a device, a FIFO or a socket at the path (Windows: a device name
// such as "NUL" or "COM1.txt", a "\\.\" path) is refused without waiting on
// it, so a preferences or log path that names a FIFO cannot hang the host.
std::FILE* OpenFile(const char* path, const char* mode);

struct PathInfo {
    bool exists = false;
    bool is_directory = false;
    // Marked read-only: no write permission for the owner on POSIX, whoever
    // runs the process; the read-only attribute on Windows; or kFaultWrite
    // from the tests' hook below.
    bool read_only = false;
    std::uint64_t size = 0;
};
// Attributes of the path (following links); exists == false when they cannot
// be read.
PathInfo StatPath(const char* path);

// Where a write to path puts its bytes. Symbolic links (Windows: reparse
// points) are followed to the final name, so a file kept elsewhere through a
// link (a dotfiles folder) is replaced there and the link stays a link; a
// relative link counts from the link's own folder. POSIX follows a link that
// points nowhere to the file it names (a write creates it); Windows refuses
// one, as it cannot tell where it leads.
enum class WriteTargetKind {
    kMissing,      // nothing there yet: a write creates the file
    kRegularFile,  // a file to replace
    kRefused,      // a folder, device, FIFO, socket, Windows device name,
                   // a loop of links or a link that cannot be read
};
struct WriteTarget {
    WriteTargetKind kind = WriteTargetKind::kRefused;
    std::string path;  // the final name (path itself when no link is on the way)
};
WriteTarget ResolveWriteTarget(const char* path);

// Every name in the folder but "." and "..", in no particular order; false
// when the folder cannot be listed.
bool ListFolder(const char* folder, std::vector<std::string>* names);

// Clears a read-only attribute (POSIX: adds the owner's write permission).
// A link is never changed through: false for a link.
bool MakeWritable(const char* path);
// Removes a file (not a folder); true when it is gone.
bool RemoveFile(const char* path);
// Creates one folder; 0 on success, the platform's error number otherwise.
int MakeFolder(const char* path);
// Renames from over to, replacing an existing file atomically where the
// platform can.
bool RenameReplace(const char* from, const char* to);
// Pushes a written file's data to the disk (fflush + fsync / FlushFileBuffers).
bool FlushFile(std::FILE* file);

// ---- A disk that fills up, for tests.
//
// Writes that must leave the old data whole when the disk is full (the
// atomic file write, new fonts) count their bytes against a budget. With a
// budget set, a write takes what is left of it and then fails with ENOSPC,
// as a full disk does: the file keeps a partial write. Negative: no limit
// (the default). Header-only, so every platform has it without more code.
namespace detail {
inline long long& WriteBudget() {
    static long long budget = -1;
    return budget;
}
}  // namespace detail

inline void SetWriteBudgetForTesting(long long bytes) {
    detail::WriteBudget() = bytes;
}

// How much of a write of length bytes the budget allows (all of it without
// one), and takes that much from the budget.
inline std::size_t TakeWriteBudget(std::size_t length) {
    long long& budget = detail::WriteBudget();
    if (budget < 0) return length;
    const std::size_t allowed = static_cast<unsigned long long>(budget) < length
                                    ? static_cast<std::size_t>(budget)
                                    : length;
    budget -= static_cast<long long>(allowed);
    return allowed;
}

// fwrite within the budget; the bytes written (fewer, with errno ENOSPC,
// when the disk is full).
inline std::size_t WriteToFile(std::FILE* file, const void* bytes, std::size_t length) {
    const std::size_t allowed = TakeWriteBudget(length);
    const std::size_t written = allowed ? std::fwrite(bytes, 1, allowed, file) : 0;
    if (written == allowed && allowed < length) errno = ENOSPC;
    return written;
}

// ---- Files the user cannot read, write or remove, for tests.
//
// Permission bits mean nothing to root (the tests run as root), so such
// files are made through this hook instead, which every platform call above
// and platform/new_file.h obeys: kFaultRead refuses opening the path for
// reading; kFaultWrite refuses opening it for writing and marks it read-only
// in StatPath, and on a folder refuses creating, renaming and removing
// anything directly inside it; kFaultRemove refuses removing the path. The
// refused call fails with EACCES, as the system would. Header-only, like the
// write budget. Paths are compared as given.
enum PathFault : unsigned {
    kFaultRead = 1,
    kFaultWrite = 2,
    kFaultRemove = 4,
};

namespace detail {
inline std::vector<std::pair<std::string, unsigned>>& PathFaults() {
    static std::vector<std::pair<std::string, unsigned>> faults;
    return faults;
}
}  // namespace detail

// Sets the faults of a path (0 takes them away).
inline void SetPathFaultForTesting(const std::string& path, unsigned faults) {
    auto& all = detail::PathFaults();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->first == path) {
            all.erase(it);
            break;
        }
    }
    if (faults) all.emplace_back(path, faults);
}
inline void ClearPathFaultsForTesting() {
    detail::PathFaults().clear();
}

// True (with errno EACCES) when the path carries the fault.
inline bool HasPathFault(const char* path, unsigned fault) {
    if (!path) return false;
    for (const auto& entry : detail::PathFaults()) {
        if ((entry.second & fault) && entry.first == path) {
            errno = EACCES;
            return true;
        }
    }
    return false;
}

// True (with errno EACCES) when the folder holding path refuses writes.
inline bool HasFolderFault(const char* path) {
    if (!path || detail::PathFaults().empty()) return false;
    const char* slash = std::strrchr(path, '/');
    const char* back = std::strrchr(path, '\\');
    if (!slash || (back && back > slash)) slash = back;
    if (!slash) return false;
    return HasPathFault(std::string(path, static_cast<std::size_t>(slash - path)).c_str(),
                        kFaultWrite);
}

}  // namespace glyphoria::platform
