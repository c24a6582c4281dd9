#include "host/core/file_uri.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace hostcore {

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

bool IsAbsolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return true;
#ifdef _WIN32
    if (path.size() >= 3 && path[1] == ':' && (path[2] == '/' || path[2] == '\\')) return true;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
#endif
    return false;
}

}  // namespace

std::string PathToFileURI(const std::string& path) {
    std::string absolute = path;
    if (!path.empty() && !IsAbsolute(path)) {
        std::error_code ec;
        std::filesystem::path cwd = std::filesystem::current_path(ec);
        if (!ec) absolute = cwd.u8string() + "/" + path;
    }
#ifdef _WIN32
    // file:///C:/folder/name
    for (char& c : absolute)
        if (c == '\\') c = '/';
    if (!absolute.empty() && absolute[0] != '/') absolute.insert(0, "/");
#endif
    std::string out = "file://";
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : absolute) {
        if (Unreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool FileURIToPath(const std::string& uri, std::string* path) {
    const std::string prefix = "file://";
    if (uri.compare(0, prefix.size(), prefix) != 0) return false;
    std::string out;
    for (size_t i = prefix.size(); i < uri.size(); ++i) {
        if (uri[i] != '%') {
            out += uri[i];
            continue;
        }
        if (i + 2 >= uri.size()) return false;
        int hi = HexValue(uri[i + 1]), lo = HexValue(uri[i + 2]);
        if (hi < 0 || lo < 0) return false;
        char decoded = static_cast<char>(hi * 16 + lo);
        // A NUL inside a path would cut it short where the C calls see it.
        if (decoded == '\0') return false;
        out += decoded;
        i += 2;
    }
#ifdef _WIN32
    // "/C:/folder" names the drive's folder.
    if (out.size() >= 3 && out[0] == '/' && out[2] == ':') out.erase(0, 1);
#endif
    if (out.empty()) return false;
    *path = out;
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string data;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok) *bytes = std::move(data);
    return ok;
}

bool ReadPngSize(const std::string& bytes, int32* width, int32* height) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() < 24) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (std::memcmp(p, kSignature, 8) != 0) return false;
    if (BigEndian32(p + 8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0) return false;
    std::uint32_t w = BigEndian32(p + 16), h = BigEndian32(p + 20);
    if (w == 0 || h == 0 || w > 0x7fffffffu || h > 0x7fffffffu) return false;
    *width = static_cast<int32>(w);
    *height = static_cast<int32>(h);
    return true;
}

}  // namespace hostcore
