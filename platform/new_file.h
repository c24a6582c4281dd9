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
//
// A file made by CreateUnique is held while it is open (POSIX: an exclusive
// flock; Windows: it is open without delete sharing), so RemoveLeftovers in
// another process leaves a file that is still being written alone and takes
// only what a crash or a killed process left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

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
    // Pushes the written data to the disk (fsync / FlushFileBuffers), for a
    // file that is about to replace another one.
    bool Sync();
    // Gives the file the permission bits of the file at path and, where the
    // process may, its owner and group (POSIX), so a replaced file keeps its
    // mode (a 0600 file stays 0600). Windows: nothing to do here, the
    // attributes and security of a replaced file stay with its name
    // (RenameReplace). False when path cannot be read or the mode not set.
    bool KeepPermissionsOf(const char* path);
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

// Removes the files in folder that CreateUnique made with this prefix and
// suffix ("<prefix><12 hexadecimal digits><suffix>") and nobody holds open:
// the temporaries of an install or a save that never finished. Anything
// else, links included, is left alone. Returns how many were removed.
int RemoveLeftovers(const char* folder, const char* prefix, const char* suffix);

namespace detail {
// The name CreateUnique gives with this prefix and suffix.
inline bool IsUniqueName(const std::string& name, const char* prefix, const char* suffix) {
    const std::size_t lp = std::strlen(prefix), ls = std::strlen(suffix);
    if (name.size() != lp + 12 + ls || name.compare(0, lp, prefix) != 0 ||
        name.compare(lp + 12, ls, suffix) != 0)
        return false;
    for (std::size_t i = lp; i < lp + 12; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}
}  // namespace detail

}  // namespace glyphoria::platform
