#include "purchase/zip_entry_info.h"

#include <gtest/gtest.h>

namespace glyphoria {
namespace {

constexpr unsigned long Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second_field) {
    return ((year - 1980) << 9 | month << 5 | day) << 16 |
           (hour << 11 | minute << 5 | second_field);
}

TEST(ZipEntryInfo, DosDatesAreReadAsUtcAndImpossibleOnesRefused) {
    struct Case {
        const char* what;
        unsigned long dos;
        bool valid;
        std::int64_t utc;
    };
    const Case cases[] = {
        {"2011-03-15 10:20:30", Dos(2011, 3, 15, 10, 20, 15), true, 1300184430},
        {"earliest", Dos(1980, 1, 1, 0, 0, 0), true, 315532800},
        {"latest", Dos(2107, 12, 31, 23, 59, 29), true, 4354819198},
        {"leap day", Dos(2000, 2, 29, 12, 0, 0), true, 951825600},
        {"no leap day in 2100", Dos(2100, 2, 29, 0, 0, 0), false, 0},
        {"30 February", Dos(2012, 2, 30, 0, 0, 0), false, 0},
        {"31 April", Dos(2011, 4, 31, 0, 0, 0), false, 0},
        {"month 0", Dos(2011, 0, 15, 10, 20, 15), false, 0},
        {"month 13", Dos(2011, 13, 15, 10, 20, 15), false, 0},
        {"day 0", Dos(2011, 3, 0, 10, 20, 15), false, 0},
        {"hour 24", Dos(2011, 3, 15, 24, 0, 0), false, 0},
        {"hour 31", Dos(2011, 3, 15, 31, 0, 0), false, 0},
        {"minute 60", Dos(2011, 3, 15, 10, 60, 0), false, 0},
        {"60 seconds", Dos(2011, 3, 15, 10, 20, 30), false, 0},
        {"all zero", 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::int64_t utc = -1;
        EXPECT_EQ(DosDateTimeToUtc(c.dos, &utc), c.valid);
        EXPECT_EQ(utc, c.valid ? c.utc : -1);
    }
}

TEST(ZipEntryInfo, KindComesFromTheUnixModeOrTheDosAttributes) {
    constexpr unsigned long kUnix = 3ul << 8 | 30, kDarwin = 19ul << 8 | 30, kDos = 0ul << 8 | 20,
                            kNtfs = 11ul << 8 | 20;
    struct Case {
        const char* what;
        unsigned long made_by;
        unsigned long attributes;
        ZipEntryKind kind;
    };
    const Case cases[] = {
        {"unix file", kUnix, 0100644ul << 16, ZipEntryKind::kRegularFile},
        {"unix link", kUnix, 0120777ul << 16, ZipEntryKind::kSymbolicLink},
        {"unix folder", kUnix, (0040755ul << 16) | 0x10, ZipEntryKind::kFolder},
        {"unix fifo", kUnix, 0010644ul << 16, ZipEntryKind::kOther},
        {"unix device", kUnix, 0060644ul << 16, ZipEntryKind::kOther},
        {"unix, no mode", kUnix, 0, ZipEntryKind::kRegularFile},
        {"unix, no mode, DOS folder bit", kUnix, 0x10, ZipEntryKind::kFolder},
        {"macOS link", kDarwin, 0120755ul << 16, ZipEntryKind::kSymbolicLink},
        {"DOS file", kDos, 0x20, ZipEntryKind::kRegularFile},
        {"DOS folder", kDos, 0x10, ZipEntryKind::kFolder},
        // Only Unix hosts give the high bits a meaning.
        {"NTFS with link-like high bits", kNtfs, 0120777ul << 16, ZipEntryKind::kRegularFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(KindOfZipEntry(c.made_by, c.attributes), c.kind);
    }
}

}  // namespace
}  // namespace glyphoria
