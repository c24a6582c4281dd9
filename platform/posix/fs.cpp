// File-system primitives on POSIX: UTF-8 paths go to the plain calls as they
// are.
//
// Divisions: opening (regular files only, never waiting on a FIFO or a
// device), status, where a write lands (links followed), listing, the
// small calls (remove, mkdir, rename, flush).
#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

namespace glyphoria::platform {

namespace {

struct OpenMode {
    int flags = 0;
    bool truncate = false;
    std::string stdio;  // the mode for fdopen, without "x"
};

bool ParseMode(const char* mode, OpenMode* out) {
    const bool plus = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
        case 'r':
            out->flags = plus ? O_RDWR : O_RDONLY;
            break;
        case 'w':
            out->flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT;
            out->truncate = true;
            break;
        case 'a':
            out->flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
            break;
        default:
            return false;
    }
    // "x": create, never open what is there (a link included).
    if (std::strchr(mode, 'x')) {
        if (mode[0] != 'w') return false;
        out->flags |= O_EXCL | O_NOFOLLOW;
    }
    for (const char* p = mode; *p; ++p)
        if (*p != 'x') out->stdio.push_back(*p);
    return true;
}

bool WritesTo(const char* mode) {
    return mode[0] != 'r' || std::strchr(mode, '+') != nullptr;
}

}  // namespace

std::FILE* OpenFile(const char* path, const char* mode) {
    OpenMode parsed;
    if (!path || !*path || !mode || !ParseMode(mode, &parsed)) return nullptr;
    if (HasPathFault(path, WritesTo(mode) ? kFaultWrite : kFaultRead)) return nullptr;
    if ((parsed.flags & O_CREAT) && HasFolderFault(path)) return nullptr;
    // O_NONBLOCK: opening a FIFO (for reading or writing) or a device must
    // not wait for the other end; it is refused below anyway. No truncation
    // before the file is known to be a regular one.
    int fd;
    do {
        fd = ::open(path, parsed.flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        return nullptr;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 ||
        (parsed.truncate && ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, parsed.stdio.c_str());
    if (!file) ::close(fd);
    return file;
}

PathInfo StatPath(const char* path) {
    PathInfo info;
    struct stat st;
    if (!path || !*path || stat(path, &st) != 0) return info;
    info.exists = true;
    info.is_directory = S_ISDIR(st.st_mode);
    info.read_only = (st.st_mode & S_IWUSR) == 0 || HasPathFault(path, kFaultWrite);
    info.size = static_cast<std::uint64_t>(st.st_size);
    return info;
}

WriteTarget ResolveWriteTarget(const char* path) {
    WriteTarget target;
    if (!path || !*path) return target;
    std::string current(path);
    // Linux gives up after 40 links on the way; so do we, for a loop.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return target;
            target.kind = WriteTargetKind::kMissing;
            target.path = current;
            return target;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (S_ISREG(st.st_mode)) {
                target.kind = WriteTargetKind::kRegularFile;
                target.path = current;
            }
            return target;
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(current.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof link) return target;
        std::string next(link, static_cast<std::size_t>(n));
        if (next[0] != '/') {
            const std::size_t slash = current.rfind('/');
            if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
        }
        current = next;
    }
    return target;
}

bool ListFolder(const char* folder, std::vector<std::string>* names) {
    if (!folder || !*folder || !names) return false;
    DIR* dir = opendir(folder);
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names->push_back(name);
    }
    closedir(dir);
    return true;
}

bool MakeWritable(const char* path) {
    struct stat st;
    if (!path || !*path || lstat(path, &st) != 0 || S_ISLNK(st.st_mode)) return false;
    if (st.st_mode & S_IWUSR) return true;
    return chmod(path, (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool RemoveFile(const char* path) {
    if (!path || !*path) return false;
    if (HasPathFault(path, kFaultRemove) || HasFolderFault(path)) return false;
    if (unlink(path) == 0) return true;
    return errno == ENOENT;
}

int MakeFolder(const char* path) {
    if (!path || !*path) return ENOENT;
    if (HasFolderFault(path)) return EACCES;
    return mkdir(path, 0777) == 0 ? 0 : errno;
}

bool RenameReplace(const char* from, const char* to) {
    if (!from || !*from || !to || !*to) return false;
    if (HasFolderFault(from) || HasFolderFault(to)) return false;
    return std::rename(from, to) == 0;
}

bool FlushFile(std::FILE* file) {
    if (!file) return false;
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

}  // namespace glyphoria::platform
