// Exclusive creation, date stamping and no-replace renames on POSIX.
#include "platform/new_file.h"

#include "platform/fs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <atomic>
#include <chrono>

namespace glyphoria::platform {

namespace {

int OpenExclusive(const char* path) {
    int fd;
    do {
        // O_EXCL already refuses a link at the path; O_NOFOLLOW says so twice
        // for systems that document the two separately.
        fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Not a secret, only distinct: the name is taken exclusively, and a clash
// (with a file of another process) just tries the next one.
std::uint64_t NextUniqueNumber() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t clock =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return (clock * 0x9E3779B97F4A7C15ull) ^ (static_cast<std::uint64_t>(::getpid()) << 20) ^
           counter.fetch_add(1);
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
        int fd = OpenExclusive(path_out);
        if (fd >= 0) {
            // Held until closed: RemoveLeftovers elsewhere takes only files
            // that nobody holds. A fresh file cannot be locked by anyone yet.
            ::flock(fd, LOCK_EX | LOCK_NB);
            handle_ = fd;
            return true;
        }
        if (errno != EEXIST) break;
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
        ssize_t n = ::write(static_cast<int>(handle_), p, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    if (disk_full) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

bool NewFile::SetTimes(std::int64_t utc_seconds) {
    if (!is_open()) return false;
    // POSIX has no call that sets a file's creation (birth) time; the
    // modification and access times are what file managers and font
    // catalogues show here.
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(utc_seconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return ::futimens(static_cast<int>(handle_), times) == 0;
}

bool NewFile::Sync() {
    return is_open() && ::fsync(static_cast<int>(handle_)) == 0;
}

bool NewFile::KeepPermissionsOf(const char* path) {
    struct stat like, own;
    if (!is_open() || !path || ::stat(path, &like) != 0) return false;
    const int fd = static_cast<int>(handle_);
    // The owner first: a change of owner clears the set-id bits again.
    // Only root (or the owner, for a group it is in) may do it; otherwise
    // the file stays the writer's, as any new file would.
    if (::fstat(fd, &own) == 0 && (own.st_uid != like.st_uid || own.st_gid != like.st_gid))
        (void)::fchown(fd, like.st_uid, like.st_gid);
    return ::fchmod(fd, like.st_mode & 07777) == 0;
}

bool NewFile::Close() {
    if (!is_open()) return false;
    int fd = static_cast<int>(handle_);
    handle_ = kNoHandle;
    // Linux closes the descriptor even when close reports EINTR; never retry.
    return ::close(fd) == 0;
}

MoveResult MoveNoReplace(const char* from, const char* to) {
    if (!from || !to || !*from || !*to) return MoveResult::kFailed;
    if (HasFolderFault(from) || HasFolderFault(to)) return MoveResult::kFailed;
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return MoveResult::kMoved;
    if (errno == EEXIST) return MoveResult::kTargetExists;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return MoveResult::kFailed;
#endif
    // link() never replaces and never follows a link at the new name.
    if (::link(from, to) != 0)
        return errno == EEXIST ? MoveResult::kTargetExists : MoveResult::kFailed;
    ::unlink(from);
    return MoveResult::kMoved;
}

bool EntryExists(const char* path) {
    struct stat st;
    return path && *path && ::lstat(path, &st) == 0;
}

namespace {

// Removes the regular file at path unless someone holds a lock on it. The
// lock is taken on what was opened, and the name is removed only while it
// still names that file.
bool RemoveIfNotHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened, named;
    bool removed = false;
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        removed = RemoveFile(path.c_str());
    }
    ::close(fd);
    return removed;
}

}  // namespace

int RemoveLeftovers(const char* folder, const char* prefix, const char* suffix) {
    std::vector<std::string> names;
    if (!prefix || !suffix || !ListFolder(folder, &names)) return 0;
    int removed = 0;
    for (const std::string& name : names) {
        if (detail::IsUniqueName(name, prefix, suffix) &&
            RemoveIfNotHeld(std::string(folder) + "/" + name))
            ++removed;
    }
    return removed;
}

}  // namespace glyphoria::platform
