// Files that are created, never replaced: writing into a folder shared with
// other programs (the user's fonts folder) must not go through anything that
// is already there under the name — a file, a folder or a link, even a
// dangling one.
//
// NewFile creates a file exclusively and without following a link at the
// path, writes it whole, stamps its dates on the open file and closes it. The
// destructor closes a file that is still open but leaves it on disk: removing
// a temporary is the caller's decision. MoveNoReplace then gives the file its
// final name only if that name is still free.
//
// POSIX: open(O_CREAT|O_EXCL|O_NOFOLLOW), futimens, renameat2 with
// RENAME_NOREPLACE (link + unlink where the file system lacks it).
// Windows: CreateFileW(CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT),
// SetFileTime (creation time included), MoveFileExW without
// MOVEFILE_REPLACE_EXISTING.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphoria::platform {

class NewFile {
  public:
    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Creates "<folder>/<prefix><unique part><suffix>", where nothing was,
    // and writes its path into path_out (cap bytes). The file gets the
    // default permissions for new files (no execute bits). False when no
    // name fits or none is free.
    bool CreateUnique(const char* folder, const char* prefix, const char* suffix, char* path_out,
                      std::size_t cap);
    // Writes all bytes or returns false.
    bool Write(const void* bytes, std::size_t length);
    // Sets the modification and access times, in seconds since 1970 UTC, and
    // the creation time where the platform lets a program set it (POSIX does
    // not: there the birth time stays the moment of creation).
    bool SetTimes(std::int64_t utc_seconds);
    // Closes the file; false when the platform reports that data was lost.
    bool Close();
    bool is_open() const { return handle_ != kNoHandle; }

  private:
    // A file descriptor on POSIX, a HANDLE on Windows.
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;
};

enum class MoveResult { kMoved, kTargetExists, kFailed };
// Renames from to to within one folder, only when nothing exists at to.
MoveResult MoveNoReplace(const char* from, const char* to);

// True when the path names anything, a link (dangling or not) included.
bool EntryExists(const char* path);

}  // namespace glyphoria::platform
