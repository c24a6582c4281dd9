// File-system primitives on UTF-8 paths: the only place that knows how the
// platform spells them (wide functions on Windows, plain calls on POSIX).
// Nothing here reports errors beyond the results stated.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace glyphoria::platform {

// fopen on a UTF-8 path; null on failure. "x" (with "w": create, fail if the
// file exists) works on every platform.
std::FILE* OpenFile(const char* path, const char* mode);

struct PathInfo {
    bool exists = false;
    bool is_directory = false;
    // Marked read-only: no write permission for the owner on POSIX, whoever
    // runs the process. A form that cannot tell leaves it false (Windows
    // refuses to replace a file with the read-only attribute anyway).
    bool read_only = false;
    std::uint64_t size = 0;
};
// Attributes of the path (following links); exists == false when they cannot
// be read.
PathInfo StatPath(const char* path);

// Clears a read-only attribute (POSIX: adds the owner's write permission).
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

}  // namespace glyphoria::platform
