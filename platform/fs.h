// File-system primitives on UTF-8 paths: the only place that knows how the
// platform spells them (wide functions on Windows, plain calls on POSIX).
// Nothing here reports errors beyond the results stated.
#pragma once

#include <cstdint>
#include <cstdio>

namespace glyphoria::platform {

// fopen on a UTF-8 path; null on failure. "x" (with "w": create, fail if the
// file exists) works on every platform.
std::FILE* OpenFile(const char* path, const char* mode);

struct PathInfo {
    bool exists = false;
    bool is_directory = false;
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

}  // namespace glyphoria::platform
