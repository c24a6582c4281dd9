// What a ZIP archive's central directory says about an entry beyond its name:
// its DOS date and time, and what kind of file it was on the system that made
// the archive. Pure functions over the raw fields, so that every odd value an
// archive may hold is testable without an archive.
#pragma once

#include <cstdint>

namespace glyphoria {

// The entry's DOS date and time as minizip reports it (date in the high 16
// bits, time in the low 16) read as UTC, in seconds since 1970. False for a
// value that names no real moment (month 0 or 13, 30 February, hour 31,
// minute 60, the 2-second field at 60 seconds or more); *utc_seconds is then
// unchanged.
bool DosDateTimeToUtc(unsigned long dos_date_time, std::int64_t* utc_seconds);

enum class ZipEntryKind { kRegularFile, kFolder, kSymbolicLink, kOther };

// Archives made on Unix-like systems (host 3, and 19 for macOS) carry the
// file's mode in the high 16 bits of the external attributes; a mode without
// a type counts as a regular file, as Info-ZIP treats it. Every other host
// only has the DOS attributes, where 0x10 marks a folder.
ZipEntryKind KindOfZipEntry(unsigned long version_made_by, unsigned long external_attributes);

}  // namespace glyphoria
