// Font installation from an archive. Divisions: reading one entry (bounded by
// its declared size), writing one font (temporary name, dates, no-replace
// rename), and the walk over the archive that decides each entry's fate.
#include "purchase/font_install.h"

#include <minizip/unzip.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/new_file.h"
#include "purchase/font_entry_name.h"
#include "purchase/font_signature.h"
#include "purchase/zip_entry_info.h"
#include "support/file_utils.h"
#include "support/limits.h"
#include "support/log.h"
#include "support/messages.h"

namespace glyphoria {

namespace {

FontArchiveLimits& Limits() {
    static FontArchiveLimits limits;
    return limits;
}

FontInstallVoice& Voice() {
    static FontInstallVoice voice;
    return voice;
}

void TellAlreadyInstalled(const char* file_name) {
    if (Voice().already_installed)
        Voice().already_installed(file_name);
    else
        ShowMessage("fontInstalledErr", file_name);
}

void LogLine(const std::string& line) {
    if (Voice().log)
        Voice().log(line);
    else
        LogMessage("%s\r", line.c_str());
}

// Temporaries start with a dot and do not end in ".otf", so font catalogues
// watching the folder never pick up a half-written font.
constexpr char kTempPrefix[] = ".glyphoria-";
constexpr char kTempSuffix[] = ".part";
constexpr unsigned long kEncryptedFlag = 0x0001;
constexpr std::size_t kReadChunk = 1u << 20;
// Stored and deflated. minizip also opens bzip2 entries when it was built
// without bzip2 and then reads nothing from them.
constexpr unsigned long kMethodStored = 0;
constexpr unsigned long kMethodDeflated = 8;

struct ArchiveCloser {
    void operator()(void* archive) const { unzClose(archive); }
};
using ArchiveHandle = std::unique_ptr<void, ArchiveCloser>;

struct EntryData {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size = 0;
};

// Reads exactly `size` bytes of the current entry. minizip ends an entry
// whose data runs out early with a clean end of file and checks the CRC only
// when every declared byte came out, so the count is ours to check.
FontSkipReason ReadCurrentEntry(unzFile archive, std::size_t size, EntryData* out) {
    if (unzOpenCurrentFile(archive) != UNZ_OK) return FontSkipReason::kCannotOpen;
    FontSkipReason reason = FontSkipReason::kNone;
    out->bytes.reset(new (std::nothrow) unsigned char[size]);
    out->size = size;
    if (!out->bytes) {
        reason = FontSkipReason::kNoMemory;
    } else {
        std::size_t got = 0;
        int n = 0;
        while (got < size) {
            const std::size_t want = size - got < kReadChunk ? size - got : kReadChunk;
            n = unzReadCurrentFile(archive, out->bytes.get() + got, static_cast<unsigned>(want));
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        unsigned char probe;
        if (n < 0)
            reason = FontSkipReason::kDamagedData;
        else if (got != size || unzReadCurrentFile(archive, &probe, 1) != 0)
            reason = FontSkipReason::kSizeMismatch;
    }
    const int closed = unzCloseCurrentFile(archive);
    if (reason == FontSkipReason::kNone && closed != UNZ_OK) reason = FontSkipReason::kCrcError;
    if (reason != FontSkipReason::kNone) out->bytes.reset();
    return reason;
}

// Writes the font beside its final name and moves it there only while the
// name is free. Sets result->status (and reason, date_applied).
void WriteFont(const char* folder, const EntryData& data, bool have_date, std::int64_t date,
               FontEntryResult* result) {
    result->status = FontEntryStatus::kSkipped;
    result->reason = FontSkipReason::kWriteFailed;
    char target[kPathBufferSize];
    if (!*folder || CopyBounded(target, sizeof target, folder) != std::strlen(folder) ||
        !AppendPathComponent(target, result->file_name.c_str())) {
        return;
    }
    if (platform::EntryExists(target)) {
        // A font (or a link, even one to nowhere) under the name counts as
        // installed; a folder, a FIFO or a device there is in the way.
        if (platform::ResolveWriteTarget(target).kind != platform::WriteTargetKind::kRefused) {
            result->status = FontEntryStatus::kAlreadyInstalled;
            result->reason = FontSkipReason::kNone;
        }
        return;
    }
    platform::NewFile file;
    char temp[kPathBufferSize];
    if (!file.CreateUnique(folder, kTempPrefix, kTempSuffix, temp, sizeof temp)) return;
    bool ok = file.Write(data.bytes.get(), data.size);
    // Dates go on the open file after its last byte, so nothing that
    // happens at the final name can redirect them.
    if (ok && have_date) result->date_applied = file.SetTimes(date);
    ok = file.Close() && ok;
    platform::MoveResult moved =
        ok ? platform::MoveNoReplace(temp, target) : platform::MoveResult::kFailed;
    if (moved != platform::MoveResult::kMoved) {
        platform::RemoveFile(temp);
        result->date_applied = false;
    }
    if (moved == platform::MoveResult::kMoved) {
        result->status = FontEntryStatus::kInstalled;
        result->reason = FontSkipReason::kNone;
    } else if (moved == platform::MoveResult::kTargetExists) {
        // Another program installed the same font in the meantime.
        result->status = FontEntryStatus::kAlreadyInstalled;
        result->reason = FontSkipReason::kNone;
    }
}

class ArchiveInstaller {
  public:
    ArchiveInstaller(unzFile archive, const char* fonts_folder, const FontEntryCallback& on_entry)
        : archive_(archive), on_entry_(on_entry) {
        if (fonts_folder) {
            // A folder that does not fit stays empty rather than cut short:
            // a shorter path names another folder.
            if (std::strlen(fonts_folder) < sizeof folder_)
                CopyBounded(folder_, sizeof folder_, fonts_folder);
            folder_known_ = true;
        }
    }

    std::size_t entries_seen() const { return entries_seen_; }

    void InstallCurrentEntry() {
        ++entries_seen_;
        FontEntryResult result;
        InstallCurrentEntry(&result);
        if (result.status == FontEntryStatus::kInstalled) installed_bytes_ += result.declared_size;
        if (result.status == FontEntryStatus::kAlreadyInstalled)
            TellAlreadyInstalled(result.file_name.c_str());
        if (on_entry_) on_entry_(result);
    }

    // The entry after the last one looked at, said once for all the rest.
    void ReportRestNotLookedAt() {
        FontEntryResult result;
        ReadEntryInfo(&result);
        result.reason = FontSkipReason::kTooManyEntries;
        if (on_entry_) on_entry_(result);
    }

  private:
    // The entry's names and declared size into result; false (with the
    // reason set) when its information cannot be read or its name is cut.
    bool ReadEntryInfo(FontEntryResult* result, unz_file_info64* info_out = nullptr) {
        unz_file_info64 info;
        // Zero-filled, and one byte is kept back so the name always ends.
        char name[kPathBufferSize] = {};
        if (unzGetCurrentFileInfo64(archive_, &info, name, sizeof name - 1, nullptr, 0, nullptr,
                                    0) != UNZ_OK) {
            result->reason = FontSkipReason::kCannotOpen;
            return false;
        }
        const std::size_t name_length =
            info.size_filename < sizeof name - 1 ? info.size_filename : sizeof name - 1;
        result->entry_name = DecodeEntryName(name, name_length);
        result->file_name = LastPathComponent(result->entry_name);
        result->declared_size = info.uncompressed_size;
        if (info_out) *info_out = info;
        // A cut name could end in ".otf" although the real one does not.
        if (info.size_filename > name_length) {
            result->reason = FontSkipReason::kNameTooLong;
            return false;
        }
        return true;
    }

    void InstallCurrentEntry(FontEntryResult* result) {
        unz_file_info64 info;
        if (!ReadEntryInfo(result, &info)) return;
        switch (CheckFontFileName(result->file_name)) {
            case FontNameCheck::kNotOpenType:
                result->reason = FontSkipReason::kNotOpenType;
                return;
            case FontNameCheck::kUnsafe:
                result->reason = FontSkipReason::kUnsafeName;
                return;
            case FontNameCheck::kFont:
                break;
        }
        if (KindOfZipEntry(info.version, info.external_fa) != ZipEntryKind::kRegularFile) {
            result->reason = FontSkipReason::kNotRegularFile;
        } else if (info.compression_method != kMethodStored &&
                   info.compression_method != kMethodDeflated) {
            result->reason = FontSkipReason::kUnsupportedMethod;
        } else if (info.flag & kEncryptedFlag) {
            result->reason = FontSkipReason::kEncrypted;
        } else if (info.uncompressed_size > kMaxFontFileSize) {
            result->reason = FontSkipReason::kTooLarge;
        } else if (info.uncompressed_size == 0) {
            result->reason = FontSkipReason::kEmpty;
        } else if (installed_bytes_ + info.uncompressed_size > Limits().font_bytes) {
            result->reason = FontSkipReason::kArchiveTooLarge;
        }
        if (result->reason != FontSkipReason::kNone) return;

        EntryData data;
        result->reason =
            ReadCurrentEntry(archive_, static_cast<std::size_t>(info.uncompressed_size), &data);
        if (result->reason != FontSkipReason::kNone) return;
        if (!BeginsAsFont(data.bytes.get(), data.size)) {
            result->reason = FontSkipReason::kNotAFont;
            return;
        }

        const char* folder = FontsFolder();
        LogLine(folder);
        std::int64_t date = 0;
        const bool have_date = DosDateTimeToUtc(info.dosDate, &date);
        if (!have_date) {
            char line[kPathBufferSize + 64];
            std::snprintf(line, sizeof line, "fontDate: invalid %08lX for %s", info.dosDate,
                          result->file_name.c_str());
            LogLine(line);
        }
        if (!leftovers_removed_) {
            // Temporaries of an install that was interrupted (a crash, a
            // killed host) go before the first font of this one is written.
            platform::RemoveLeftovers(folder, kTempPrefix, kTempSuffix);
            leftovers_removed_ = true;
        }
        WriteFont(folder, data, have_date, date, result);
    }

    const char* FontsFolder() {
        if (!folder_known_) {
            platform::GetShellFolder(platform::kFolderFonts, folder_, sizeof folder_);
            folder_known_ = true;
        }
        return folder_;
    }

    unzFile archive_;
    const FontEntryCallback& on_entry_;
    char folder_[kPathBufferSize] = {};
    bool folder_known_ = false;
    bool leftovers_removed_ = false;
    std::size_t entries_seen_ = 0;
    std::uint64_t installed_bytes_ = 0;
};

bool InstallFonts(const char* archive_path, const char* fonts_folder,
                  const FontEntryCallback& on_entry) {
    if (!archive_path || !*archive_path) return false;
    ArchiveHandle archive(unzOpen64(archive_path));
    if (!archive) return false;
    ArchiveInstaller installer(archive.get(), fonts_folder, on_entry);
    int rc = unzGoToFirstFile(archive.get());
    for (; rc == UNZ_OK; rc = unzGoToNextFile(archive.get())) {
        if (installer.entries_seen() == Limits().entries) {
            installer.ReportRestNotLookedAt();
            return true;
        }
        installer.InstallCurrentEntry();
    }
    // A directory that breaks off before its last entry was not read whole.
    return rc == UNZ_END_OF_LIST_OF_FILE;
}

}  // namespace

static_assert(kMaxFontFileSize == 64u << 20 && kMaxArchiveFontBytes == 256u << 20 &&
                  kMaxArchiveEntries == 1000,
              "the reasons below name the limits");

const char* DescribeFontSkipReason(FontSkipReason reason) {
    switch (reason) {
        case FontSkipReason::kNone:
            return "";
        case FontSkipReason::kNotOpenType:
            return "not an OpenType font";
        case FontSkipReason::kUnsafeName:
            return "unsafe file name";
        case FontSkipReason::kNameTooLong:
            return "name too long";
        case FontSkipReason::kNotRegularFile:
            return "not a regular file";
        case FontSkipReason::kEncrypted:
            return "encrypted";
        case FontSkipReason::kTooLarge:
            return "too large: over 64 MB";
        case FontSkipReason::kArchiveTooLarge:
            return "too large: the archive's fonts would pass 256 MB";
        case FontSkipReason::kTooManyEntries:
            return "too many entries: only the first 1000 are looked at";
        case FontSkipReason::kNotAFont:
            return "not a font";
        case FontSkipReason::kEmpty:
            return "empty";
        case FontSkipReason::kUnsupportedMethod:
            return "unsupported compression method";
        case FontSkipReason::kCannotOpen:
            return "cannot be opened";
        case FontSkipReason::kNoMemory:
            return "out of memory";
        case FontSkipReason::kSizeMismatch:
            return "shorter than declared";
        case FontSkipReason::kDamagedData:
            return "damaged data";
        case FontSkipReason::kCrcError:
            return "CRC error";
        case FontSkipReason::kWriteFailed:
            return "cannot be written";
    }
    return "";
}

void SetFontArchiveLimitsForTesting(const FontArchiveLimits& limits) {
    Limits() = limits;
}

void SetFontInstallVoice(const FontInstallVoice& voice) {
    Voice() = voice;
}

void InstallFontsFromArchive(const char* archive_path) {
    InstallFonts(archive_path, nullptr, FontEntryCallback());
}

bool InstallFontsFromArchiveTo(const char* archive_path, const char* fonts_folder,
                               const FontEntryCallback& on_entry) {
    return InstallFonts(archive_path, fonts_folder ? fonts_folder : "", on_entry);
}

}  // namespace glyphoria
