// File and path operations over the platform seam. Every write into a caller's
// buffer is bounded by its capacity.
#include "support/file_utils.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/new_file.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

// Lower-cases ASCII only: suffixes are file extensions, and a locale-aware
// tolower would make the answer depend on the user's settings.
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of s, looking at no more than max bytes (max when s is longer).
std::size_t BoundedLength(const char* s, std::size_t max) {
    std::size_t n = 0;
    while (n < max && s[n] != '\0')
        ++n;
    return n;
}

// Start of the extension (its dot) in path, or null when there is none.
const char* ExtensionStart(const char* path, char sep) {
    const char* last_sep = std::strrchr(path, sep);
    const char* dot = std::strrchr(last_sep ? last_sep + 1 : path, '.');
    return dot;
}

// Appends the parts to buf when all of them fit; otherwise leaves buf alone.
bool AppendParts(char* buf, std::size_t cap, const char* a, const char* b) {
    if (!buf || cap == 0) return false;
    const std::size_t used = BoundedLength(buf, cap);
    if (used == cap) return false;  // not a terminated string within cap
    const std::size_t la = a ? std::strlen(a) : 0;
    const std::size_t lb = b ? std::strlen(b) : 0;
    if (used + la + lb + 1 > cap) return false;
    if (la) std::memcpy(buf + used, a, la);
    if (lb) std::memcpy(buf + used + la, b, lb);
    buf[used + la + lb] = '\0';
    return true;
}

}  // namespace

bool FileExists(const char* path) {
    if (!path || !*path) return false;
    return platform::StatPath(path).exists;
}

bool DeleteFileForce(const char* path) {
    // The name itself counts: a link is removed, never what it points to,
    // and a link that points nowhere is removed too.
    if (!path || !*path || !platform::EntryExists(path)) return true;
    if (platform::RemoveFile(path)) return true;
    // Windows refuses to delete a read-only file; clear the mark and retry.
    return platform::StatPath(path).read_only && platform::MakeWritable(path) &&
           platform::RemoveFile(path);
}

namespace {

// Sizes are 32-bit here; a larger file reports the largest size instead of
// a wrapped, small one.
std::uint32_t Clamp32(std::uint64_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(size);
}

}  // namespace

std::uint32_t FileSize(const char* path) {
    if (!path || !*path) return 0;
    platform::PathInfo info = platform::StatPath(path);
    if (!info.exists) return 0;
    return Clamp32(info.size);
}

// File lengths come from the file's status, never from ftell: its long has
// 32 bits on Windows and cannot tell the length of a file of 2 GB or more.
std::uint32_t FileSizeIfWritable(const char* path) {
    if (!path || !*path) return 0;
    if (platform::StatPath(path).is_directory) return 0;
    std::FILE* file = platform::OpenFile(path, "r+b");
    if (!file) return 0;
    const std::uint64_t length = platform::StatPath(path).size;
    std::fclose(file);
    return Clamp32(length);
}

char* ReadWholeFile(const char* path, std::uint32_t* size, int* status) {
    if (status) *status = kReadCannotOpen;
    if (!path || !*path || platform::StatPath(path).is_directory) return nullptr;
    std::FILE* file = platform::OpenFile(path, "rb");
    if (!file) return nullptr;
    const platform::PathInfo info = platform::StatPath(path);
    if (!info.exists) {
        std::fclose(file);
        return nullptr;
    }
    const std::uint64_t length = info.size;
    // A file too large for a 32-bit size cannot be held; say so as memory.
    const std::uint64_t max_length = std::numeric_limits<std::uint32_t>::max() - 4u;
    if (length > max_length) {
        if (size) *size = std::numeric_limits<std::uint32_t>::max();
        if (status) *status = kReadNoMemory;
        std::fclose(file);
        return nullptr;
    }
    char* buffer = static_cast<char*>(std::calloc(static_cast<std::size_t>(length) + 4, 1));
    if (!buffer) {
        if (size) *size = static_cast<std::uint32_t>(length);
        if (status) *status = kReadNoMemory;
        std::fclose(file);
        return nullptr;
    }
    // A file that shrank since its length was taken reports what was read.
    std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(length), file);
    std::fclose(file);
    if (size) *size = static_cast<std::uint32_t>(got);
    if (status) *status = kReadOk;
    return buffer;
}

bool WriteWholeFile(const char* path, const void* bytes, std::size_t length) {
    if (!path || !*path || (length && !bytes)) return false;
    std::FILE* file = platform::OpenFile(path, "wb");
    if (!file) return false;
    bool ok = length == 0 || platform::WriteToFile(file, bytes, length) == length;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

namespace {

// Temporaries are "<name>.<12 hexadecimal digits>.tmp" beside the file they
// replace (platform/new_file.h makes and finds them). The name is cut, on a
// character boundary, so that the whole temporary stays within the 255 bytes
// (or UTF-16 units) that file systems allow a name: a target name at the
// limit is still a name that can be written.
constexpr std::size_t kTempNameMax = 238;
constexpr const char* kTempSuffix = ".tmp";

std::size_t NameStart(const std::string& path) {
    const std::size_t sep = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/");
    return sep == std::string::npos ? 0 : sep + 1;
}

std::string FolderOf(const std::string& path) {
    const std::size_t name = NameStart(path);
    if (name == 0) return ".";
    return name == 1 ? path.substr(0, 1) : path.substr(0, name - 1);
}

std::string TemporaryPrefix(const std::string& path) {
    const std::size_t name = NameStart(path);
    const std::size_t length =
        Utf8PrefixLength(path.data() + name, path.size() - name, kTempNameMax);
    return path.substr(name, length) + ".";
}

}  // namespace

bool WriteWholeFileAtomic(const char* path, const void* bytes, std::size_t length) {
    if (!path || !*path || (length && !bytes)) return false;
    // The bytes go where a link leads, and only into a regular file (or a
    // new one): never over a folder, a device, a FIFO or a socket.
    const platform::WriteTarget target = platform::ResolveWriteTarget(path);
    if (target.kind == platform::WriteTargetKind::kRefused) return false;
    const bool replacing = target.kind == platform::WriteTargetKind::kRegularFile;
    // A file its owner marked read-only is not replaced behind their back
    // (the rename would do it on POSIX; Windows refuses it anyway).
    if (replacing && platform::StatPath(target.path.c_str()).read_only) return false;

    // The temporary sits beside the target so the rename stays on one volume.
    const std::string folder = FolderOf(target.path);
    const std::string prefix = TemporaryPrefix(target.path);
    platform::RemoveLeftovers(folder.c_str(), prefix.c_str(), kTempSuffix);
    std::vector<char> temp(folder.size() + prefix.size() + 32);
    platform::NewFile file;
    if (!file.CreateUnique(folder.c_str(), prefix.c_str(), kTempSuffix, temp.data(), temp.size()))
        return false;
    bool ok = length == 0 || file.Write(bytes, length);
    if (ok && replacing) ok = file.KeepPermissionsOf(target.path.c_str());
    ok = ok && file.Sync();
    ok = file.Close() && ok;
    ok = ok && platform::RenameReplace(temp.data(), target.path.c_str());
    if (!ok) platform::RemoveFile(temp.data());
    return ok;
}

bool WriteUtf8Bom(std::FILE* file) {
    if (!file) return false;
    return std::fwrite(kUtf8Bom, 1, sizeof kUtf8Bom, file) == sizeof kUtf8Bom;
}

bool HasUtf8Bom(const void* bytes, std::size_t length) {
    if (!bytes || length < 3) return false;
    return std::memcmp(bytes, kUtf8Bom, 3) == 0;
}

int CreateFolder(const char* path) {
    if (FileExists(path)) return 0;
    return platform::MakeFolder(path);
}

bool GetShellFolder(int folder, char* buf, std::size_t cap) {
    return platform::GetShellFolder(folder, buf, cap);
}

bool AppendPathComponent(char* buf, std::size_t cap, const char* name, char sep) {
    const char separator[2] = {sep, '\0'};
    return AppendParts(buf, cap, separator, name);
}

bool AppendExtension(char* buf, std::size_t cap, const char* ext) {
    return AppendParts(buf, cap, ".", ext);
}

bool ReplaceExtension(char* buf, std::size_t cap, const char* new_ext, char sep) {
    if (!buf || cap == 0) return false;
    const std::size_t used = BoundedLength(buf, cap);
    if (used == cap) return false;
    const char* dot = ExtensionStart(buf, sep);
    const std::size_t keep = dot ? static_cast<std::size_t>(dot - buf) : used;
    const std::size_t ext_len = new_ext ? std::strlen(new_ext) : 0;
    if (keep + ext_len + 1 > cap) return false;
    if (ext_len) std::memmove(buf + keep, new_ext, ext_len);
    buf[keep + ext_len] = '\0';
    return true;
}

void FileNameOfPath(const char* path, char* buf, std::size_t cap, bool keep_extension, char sep) {
    if (!buf || cap == 0) return;
    if (!path) {
        buf[0] = '\0';
        return;
    }
    const char* last_sep = std::strrchr(path, sep);
    const char* name = last_sep ? last_sep + 1 : path;
    std::size_t len = std::strlen(name);
    if (!keep_extension) {
        const char* dot = std::strrchr(name, '.');
        if (dot) len = static_cast<std::size_t>(dot - name);
    }
    if (len > cap - 1) len = cap - 1;
    std::memmove(buf, name, len);
    buf[len] = '\0';
}

bool TextAfterLast(const char* text, char ch, char* buf, std::size_t cap) {
    if (!text || !buf || cap == 0) return false;
    const char* last = std::strrchr(text, ch);
    if (!last || ch == '\0') return false;
    CopyBounded(buf, cap, last + 1);
    return true;
}

bool EndsWithNoCase(const char* text, const char* suffix) {
    if (!text || !suffix) return false;
    const std::size_t text_len = std::strlen(text);
    const std::size_t suffix_len = std::strlen(suffix);
    if (suffix_len > text_len) return false;
    const char* tail = text + (text_len - suffix_len);
    for (std::size_t i = 0; i < suffix_len; ++i) {
        if (AsciiLower(tail[i]) != AsciiLower(suffix[i])) return false;
    }
    return true;
}

const char* NextLine(const char* text) {
    if (!text) return nullptr;
    const char* p = std::strchr(text, '\r');
    if (!p) return nullptr;
    while (*p == '\r' || *p == '\n')
        ++p;
    return p;
}

std::size_t CopyBounded(char* dst, std::size_t cap, const char* src) {
    if (!dst || cap == 0) return 0;
    if (!src) {
        dst[0] = '\0';
        return 0;
    }
    const std::size_t len = BoundedLength(src, cap - 1);
    std::memmove(dst, src, len);
    dst[len] = '\0';
    return len;
}

}  // namespace glyphoria
