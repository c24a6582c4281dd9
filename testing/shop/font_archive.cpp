#include "testing/shop/font_archive.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

namespace glyphoria::testing::shop {

namespace {

constexpr char kPaddingName[] = "GlyphoriaFonts/Padding.bin";
// A stored entry without extra fields costs its local header (30 bytes and
// the name) and its central directory record (46 bytes and the name).
constexpr std::size_t kStoredEntryOverhead = 30 + 46 + 2 * (sizeof kPaddingName - 1);
constexpr std::size_t kPaddingPiece = 1 << 20;

constexpr char kLicense[] =
    "These fonts were bought at the Glyphoria test shop.\n"
    "They are free fonts, redistributed here for testing only.\n";

zip_fileinfo InfoForTime(time_t when) {
    zip_fileinfo info{};
    struct tm utc {};
    gmtime_r(&when, &utc);
    info.tmz_date.tm_sec = static_cast<uInt>(utc.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(utc.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(utc.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(utc.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(utc.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(utc.tm_year + 1900);
    return info;
}

bool AddEntry(zipFile zip, const std::string& name, const zip_fileinfo& info,
              const std::string& bytes) {
    // Folder entries are stored, as archivers do; files are deflated.
    int method = bytes.empty() ? 0 : Z_DEFLATED;
    int level = bytes.empty() ? 0 : Z_DEFAULT_COMPRESSION;
    if (zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                            level) != ZIP_OK)
        return false;
    bool written =
        bytes.empty() ||
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

// count bytes of a fixed xorshift sequence, stored, so nothing on the way
// can make them smaller.
bool AddPadding(zipFile zip, const zip_fileinfo& info, std::size_t count) {
    if (zipOpenNewFileInZip(zip, kPaddingName, &info, nullptr, 0, nullptr, 0, nullptr, 0, 0) !=
        ZIP_OK)
        return false;
    std::string piece(kPaddingPiece, '\0');
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    bool written = true;
    for (std::size_t done = 0; written && done < count;) {
        const std::size_t n = std::min(piece.size(), count - done);
        for (std::size_t i = 0; i < n; i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            std::memcpy(&piece[i], &state, std::min<std::size_t>(8, n - i));
        }
        written = zipWriteInFileInZip(zip, piece.data(), static_cast<unsigned>(n)) == ZIP_OK;
        done += n;
    }
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

bool ReadWhole(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

time_t NewestOf(const std::vector<const CatalogueFont*>& fonts) {
    time_t newest = 0;
    for (const CatalogueFont* font : fonts) {
        struct stat st {};
        if (stat(font->path.c_str(), &st) == 0 && st.st_mtime > newest) newest = st.st_mtime;
    }
    return newest;
}

bool WriteEntries(zipFile zip, const std::vector<const CatalogueFont*>& fonts, std::string* error) {
    // The folder and the licence take the newest font's date, so the same
    // purchase always gives the same bytes.
    const time_t newest = NewestOf(fonts);
    if (!AddEntry(zip, kArchiveFolder, InfoForTime(newest), "")) {
        *error = "cannot add the folder entry";
        return false;
    }
    for (const CatalogueFont* font : fonts) {
        std::string bytes;
        struct stat st {};
        if (stat(font->path.c_str(), &st) != 0 || !ReadWhole(font->path, &bytes)) {
            *error = "cannot read " + font->path;
            return false;
        }
        if (!AddEntry(zip, kArchiveFolder + font->file_name(), InfoForTime(st.st_mtime), bytes)) {
            *error = "cannot add " + font->file_name();
            return false;
        }
    }
    if (!AddEntry(zip, std::string(kArchiveFolder) + "License.txt", InfoForTime(newest),
                  kLicense)) {
        *error = "cannot add the licence";
        return false;
    }
    return true;
}

// The archive written to path, padding bytes more when padding is given.
bool WriteArchive(const std::string& path, const std::vector<const CatalogueFont*>& fonts,
                  std::optional<std::size_t> padding, std::string* error) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    bool ok = zip != nullptr;
    if (!ok) *error = "cannot open the archive for writing";
    if (ok) ok = WriteEntries(zip, fonts, error);
    if (ok && padding && !AddPadding(zip, InfoForTime(NewestOf(fonts)), *padding)) {
        *error = "cannot add the padding";
        ok = false;
    }
    if (zip && zipClose(zip, nullptr) != ZIP_OK && ok) {
        *error = "cannot finish the archive";
        ok = false;
    }
    return ok;
}

}  // namespace

std::optional<std::string> BuildFontArchive(const std::vector<const CatalogueFont*>& fonts,
                                            const std::string& scratch_dir, std::string* error,
                                            std::size_t padded_size) {
    // minizip writes through its file API, so the archive takes a detour
    // through a private temporary file.
    std::string path = scratch_dir + "/archive-XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) {
        *error = "cannot create a temporary file in " + scratch_dir;
        return std::nullopt;
    }
    close(fd);
    bool ok = WriteArchive(path, fonts, std::nullopt, error);
    std::string bytes;
    if (ok && !ReadWhole(path, &bytes)) {
        *error = "cannot read the archive back";
        ok = false;
    }
    // Padded: the same entries again, with the padding entry making up the
    // difference.
    if (ok && padded_size > 0) {
        if (padded_size > kMaxPaddedArchiveSize ||
            padded_size < bytes.size() + kStoredEntryOverhead) {
            *error = "the archive cannot be padded to " + std::to_string(padded_size) + " bytes";
            ok = false;
        }
        ok = ok &&
             WriteArchive(path, fonts, padded_size - bytes.size() - kStoredEntryOverhead, error);
        if (ok && (!ReadWhole(path, &bytes) || bytes.size() != padded_size)) {
            *error = "cannot pad the archive";
            ok = false;
        }
    }
    unlink(path.c_str());
    if (!ok) return std::nullopt;
    return bytes;
}

}  // namespace glyphoria::testing::shop
