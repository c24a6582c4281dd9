// Test archives for font installation, written with minizip's zip API so a
// test can state every field the installer looks at, including the ones a
// hostile archive lies about (declared size, CRC, file mode, DOS date).
#pragma once

#include <minizip/zip.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace glyphoria::testing {

// 2011-03-15 10:20:30 as a DOS date (high 16 bits) and time (low 16 bits).
constexpr unsigned long kDosDate20110315 =
    ((31ul << 9 | 3ul << 5 | 15ul) << 16) | (10ul << 11 | 20ul << 5 | 15ul);
constexpr std::int64_t kUtc20110315 = 1300184430;  // the same moment, UTC

constexpr unsigned long kMadeOnUnix = 3ul << 8 | 30;
constexpr unsigned long kUnixRegular = 0100644ul << 16;
constexpr unsigned long kUnixSymlink = 0120777ul << 16;

struct ZipTestEntry {
    std::string name;
    std::string data;
    unsigned long dos_date = kDosDate20110315;
    int method = Z_DEFLATED;
    unsigned long made_by = kMadeOnUnix;
    unsigned long external_attributes = kUnixRegular;
    const char* password = nullptr;
    // Lying entries: `data` is written as the stored bytes as they are
    // (raw deflate when method is Z_DEFLATED), with this size and CRC.
    bool raw = false;
    std::uint64_t declared_size = 0;
    unsigned long declared_crc = 0;
};

// The least that begins as an OpenType font (CFF outlines): the offset
// table with one table record, then tail.
inline std::string FontBytes(const std::string& tail = "") {
    return std::string("OTTO\0\1\0\x10\0\0\0\0name", 16) + std::string(12, '\0') + tail;
}

inline unsigned long Crc32(const std::string& bytes) {
    return crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
}

// Raw deflate (no zlib header), as it sits inside a ZIP entry.
inline std::string RawDeflate(const std::string& bytes) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline bool WriteZip(const std::string& path, const std::vector<ZipTestEntry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const ZipTestEntry& e : entries) {
        zip_fileinfo info{};
        info.dosDate = e.dos_date;
        info.external_fa = e.external_attributes;
        const bool zip64 = e.raw && e.declared_size > 0xFFFFFFFFu;
        ok = ok && zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                           nullptr, e.method, Z_BEST_COMPRESSION, e.raw ? 1 : 0,
                                           -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, e.password,
                                           Crc32(e.data), e.made_by, 0, zip64 ? 1 : 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) ==
                       ZIP_OK;
        if (e.raw)
            ok = ok && zipCloseFileInZipRaw64(zip, e.declared_size, e.declared_crc) == ZIP_OK;
        else
            ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace glyphoria::testing
