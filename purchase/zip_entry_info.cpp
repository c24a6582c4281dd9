#include "purchase/zip_entry_info.h"

namespace glyphoria {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), without
// the C library's local-time machinery: the archive's time counts as UTC.
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int year_of_era = static_cast<int>(year - era * 400);
    const int day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

constexpr unsigned long kUnixHost = 3;
constexpr unsigned long kDarwinHost = 19;
constexpr unsigned long kDosFolderAttribute = 0x10;
// File type bits of a Unix mode; the values are the ZIP format's, which
// copied them from Unix, not this platform's.
constexpr unsigned long kModeTypeMask = 0170000;
constexpr unsigned long kModeRegular = 0100000;
constexpr unsigned long kModeFolder = 0040000;
constexpr unsigned long kModeLink = 0120000;

}  // namespace

bool DosDateTimeToUtc(unsigned long dos_date_time, std::int64_t* utc_seconds) {
    const unsigned date = static_cast<unsigned>((dos_date_time >> 16) & 0xFFFF);
    const unsigned time = static_cast<unsigned>(dos_date_time & 0xFFFF);
    const int year = 1980 + static_cast<int>(date >> 9);
    const int month = static_cast<int>((date >> 5) & 0x0F);
    const int day = static_cast<int>(date & 0x1F);
    const int hour = static_cast<int>(time >> 11);
    const int minute = static_cast<int>((time >> 5) & 0x3F);
    const int second = static_cast<int>(time & 0x1F) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    if (hour > 23 || minute > 59 || second > 59) return false;
    *utc_seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

ZipEntryKind KindOfZipEntry(unsigned long version_made_by, unsigned long external_attributes) {
    const unsigned long host = (version_made_by >> 8) & 0xFF;
    if (host == kUnixHost || host == kDarwinHost) {
        switch ((external_attributes >> 16) & kModeTypeMask) {
            case 0:
                break;  // no type recorded: decide by the DOS attributes
            case kModeRegular:
                return ZipEntryKind::kRegularFile;
            case kModeFolder:
                return ZipEntryKind::kFolder;
            case kModeLink:
                return ZipEntryKind::kSymbolicLink;
            default:
                return ZipEntryKind::kOther;
        }
    }
    return external_attributes & kDosFolderAttribute ? ZipEntryKind::kFolder
                                                     : ZipEntryKind::kRegularFile;
}

}  // namespace glyphoria
