// Installing the OpenType fonts of a bought font archive (a ZIP file) into
// the user's fonts folder, keeping the dates the archive records.
//
// Every entry is looked at in order, up to kMaxArchiveEntries (support/
// limits.h; one more result then says the rest was left). A font is
// installed when the last component of its name ends in exactly ".otf" and
// is a safe file name (purchase/font_entry_name.h), the entry is a regular
// file, not encrypted, declares at most kMaxFontFileSize bytes, keeps the
// archive's installed fonts within kMaxArchiveFontBytes, yields exactly the
// bytes it declares with a matching CRC, and those bytes begin as an
// OpenType or TrueType font (purchase/font_signature.h). Declared sizes are
// never trusted further: nothing is read past them.
//
// A font is written under a temporary name in the fonts folder and renamed
// into place only while nothing has its name, so a font is never left
// half-written, never replaces a file and never goes through a link planted
// under its name. Its modification and access times become the entry's DOS
// date and time taken as UTC (an invalid date keeps the current time and is
// logged; see platform/new_file.h for the creation time).
//
// A font whose name is taken stays as it is and the user is told once per
// font (message "fontInstalledErr" with the file name); the other fonts are
// still installed. Everything else is passed over silently. The fonts folder
// is logged for every font read.
//
// User-interface thread only: the message boxes are modal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/limits.h"

namespace glyphoria {

enum class FontEntryStatus { kInstalled, kAlreadyInstalled, kSkipped };

enum class FontSkipReason {
    kNone,
    kNotOpenType,     // not named *.otf (other files, folders, "OTF")
    kUnsafeName,      // only an extension, control characters, ":"
    kNameTooLong,     // does not fit the 512-byte name buffer
    kNotRegularFile,  // a link, folder or device in the archive
    kEncrypted,
    kTooLarge,           // declares more than kMaxFontFileSize
    kArchiveTooLarge,    // would take the archive's fonts over kMaxArchiveFontBytes
    kTooManyEntries,     // after the first kMaxArchiveEntries: not looked at
    kNotAFont,           // named *.otf, but its bytes are no font
    kEmpty,              // declares no bytes: never a font
    kUnsupportedMethod,  // compressed other than stored or deflated
    kCannotOpen,         // damaged local header
    kNoMemory,
    kSizeMismatch,  // yields fewer bytes than it declares
    kDamagedData,   // the compressed data does not decompress
    kCrcError,
    kWriteFailed,  // fonts folder missing or not writable, disk full, or no
                   // file (a folder, a FIFO, ...) under the font's name
};

// A short English phrase for the tool's output ("not an OpenType font").
const char* DescribeFontSkipReason(FontSkipReason reason);

struct FontEntryResult {
    std::string entry_name;  // the whole name, decoded to UTF-8
    std::string file_name;   // its last component
    FontEntryStatus status = FontEntryStatus::kSkipped;
    FontSkipReason reason = FontSkipReason::kNone;
    std::uint64_t declared_size = 0;
    // False when the archive's date was invalid (or could not be set) and the
    // file keeps the time it was written at.
    bool date_applied = false;
};

using FontEntryCallback = std::function<void(const FontEntryResult&)>;

// Where the installer speaks: the message for a font whose name is taken
// and the log lines (the fonts folder, an invalid date), given without a
// line end. Empty members use the message service and log of
// support/messages.h and support/log.h; the Mac form puts its own alerts
// and log in their place. Process-wide; set before installing.
struct FontInstallVoice {
    std::function<void(const char* file_name)> already_installed;
    std::function<void(const std::string& line)> log;
};
void SetFontInstallVoice(const FontInstallVoice& voice);

// The caps of one archive, kMaxArchiveEntries and kMaxArchiveFontBytes
// unless a test lowers them (the real byte cap would make a test write
// hundreds of megabytes). Process-wide; the defaults come back with {}.
struct FontArchiveLimits {
    std::size_t entries = kMaxArchiveEntries;
    std::uint64_t font_bytes = kMaxArchiveFontBytes;
};
void SetFontArchiveLimitsForTesting(const FontArchiveLimits& limits);

// Installs into the platform's per-user fonts folder (created when missing).
// An archive that is missing or no ZIP file does nothing.
void InstallFontsFromArchive(const char* archive_path);

// Installs into fonts_folder and reports every entry's outcome, in archive
// order, to on_entry (which may be empty). False when the archive cannot be
// opened as a ZIP file or its directory breaks off before the last entry
// (the entries before it are still installed); true when every entry was
// looked at, whatever the entries held.
bool InstallFontsFromArchiveTo(const char* archive_path, const char* fonts_folder,
                               const FontEntryCallback& on_entry);

}  // namespace glyphoria
