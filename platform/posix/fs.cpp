// File-system primitives on POSIX: UTF-8 paths go to the plain calls as they
// are.
#include "platform/fs.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace glyphoria::platform {

std::FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    return std::fopen(path, mode);
}

PathInfo StatPath(const char* path) {
    PathInfo info;
    struct stat st;
    if (!path || !*path || stat(path, &st) != 0) return info;
    info.exists = true;
    info.is_directory = S_ISDIR(st.st_mode);
    info.read_only = (st.st_mode & S_IWUSR) == 0;
    info.size = static_cast<std::uint64_t>(st.st_size);
    return info;
}

bool MakeWritable(const char* path) {
    struct stat st;
    if (!path || !*path || stat(path, &st) != 0) return false;
    if (st.st_mode & S_IWUSR) return true;
    return chmod(path, (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool RemoveFile(const char* path) {
    if (!path || !*path) return false;
    if (unlink(path) == 0) return true;
    return errno == ENOENT;
}

int MakeFolder(const char* path) {
    if (!path || !*path) return ENOENT;
    return mkdir(path, 0777) == 0 ? 0 : errno;
}

bool RenameReplace(const char* from, const char* to) {
    if (!from || !*from || !to || !*to) return false;
    return std::rename(from, to) == 0;
}

bool FlushFile(std::FILE* file) {
    if (!file) return false;
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

}  // namespace glyphoria::platform
