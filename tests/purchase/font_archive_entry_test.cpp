// What an archive's raw entry fields become: file names, dates, file kinds.
#include <gtest/gtest.h>

#include <string>

#include "purchase/font_entry_name.h"
#include "purchase/zip_entry_info.h"

namespace glyphoria {
namespace {

using namespace std::string_literals;

TEST(FontArchiveEntry, NamesAreUtf8ElseCodePage437) {
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"Fonts/Caf\xC3\xA9.otf", "Fonts/Caf\xC3\xA9.otf"},
        {"Caf\x82.otf", "Caf\xC3\xA9.otf"},
        {"\x8E\x99\x9A.otf", "\xC3\x84\xC3\x96\xC3\x9C.otf"},
        // Overlong and surrogate forms are no UTF-8: no hidden "/" or U+D800.
        {"a\xC0\xAF.otf", "a\xE2\x94\x94\xC2\xBB.otf"},
        {"\xED\xA0\x80", "\xCF\x86\xC3\xA1\xC3\x87"},
        {"\xF4\x90\x80\x80", "\xE2\x8C\xA0\xC3\x89\xC3\x87\xC3\x87"},
        // A NUL survives decoding, to be refused rather than to cut the name.
        {"a\x82\0.exe"s, "a\xC3\xA9\0.exe"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DecodeEntryName(c.bytes.data(), c.bytes.size()), c.text);
    }
}

TEST(FontArchiveEntry, OnlyLowerCaseOtfWithASafeNameIsAFont) {
    const struct {
        std::string file;
        FontNameCheck check;
    } cases[] = {
        {"My Font-Bold.otf", FontNameCheck::kFont},
        {".hidden.otf", FontNameCheck::kFont},
        {"Regular.OTF", FontNameCheck::kNotOpenType},
        {"Regular.Otf", FontNameCheck::kNotOpenType},
        {"Regular.otf.zip", FontNameCheck::kNotOpenType},
        {"..", FontNameCheck::kNotOpenType},
        {"", FontNameCheck::kNotOpenType},
        {".otf", FontNameCheck::kUnsafe},
        {"..otf", FontNameCheck::kUnsafe},
        {"a\0b.otf"s, FontNameCheck::kUnsafe},
        {"a\x1b[31m.otf", FontNameCheck::kUnsafe},
        {"a\x7F.otf", FontNameCheck::kUnsafe},
        {"a\xC2\x85.otf", FontNameCheck::kUnsafe},  // NEL, a C1 control
        {"C:x.otf", FontNameCheck::kUnsafe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(CheckFontFileName(c.file), c.check);
    }
}

constexpr unsigned long Dos(unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi,
                            unsigned half_seconds) {
    return ((y - 1980) << 9 | mo << 5 | d) << 16 | (h << 11 | mi << 5 | half_seconds);
}

TEST(FontArchiveEntry, DosDatesAreUtcAndImpossibleOnesRefused) {
    const struct {
        unsigned long dos;
        std::int64_t utc;  // -1: refused
    } cases[] = {
        {Dos(2011, 3, 15, 10, 20, 15), 1300184430},
        {Dos(1980, 1, 1, 0, 0, 0), 315532800},
        {Dos(2107, 12, 31, 23, 59, 29), 4354819198},
        {Dos(2000, 2, 29, 12, 0, 0), 951825600},
        {Dos(2100, 2, 29, 0, 0, 0), -1},
        {Dos(2011, 4, 31, 0, 0, 0), -1},
        {Dos(2011, 0, 15, 0, 0, 0), -1},
        {Dos(2011, 13, 15, 0, 0, 0), -1},
        {Dos(2011, 3, 0, 0, 0, 0), -1},
        {Dos(2011, 3, 15, 24, 0, 0), -1},
        {Dos(2011, 3, 15, 31, 0, 0), -1},
        {Dos(2011, 3, 15, 10, 60, 0), -1},
        {Dos(2011, 3, 15, 10, 20, 30), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dos);
        std::int64_t utc = -1;
        EXPECT_EQ(DosDateTimeToUtc(c.dos, &utc), c.utc != -1);
        EXPECT_EQ(utc, c.utc);
    }
}

TEST(FontArchiveEntry, KindComesFromTheUnixModeOrTheDosAttributes) {
    constexpr unsigned long kUnix = 3ul << 8, kMac = 19ul << 8, kDos = 0, kNtfs = 11ul << 8;
    const struct {
        unsigned long made_by, attributes;
        ZipEntryKind kind;
    } cases[] = {
        {kUnix, 0100644ul << 16, ZipEntryKind::kRegularFile},
        {kUnix, 0120777ul << 16, ZipEntryKind::kSymbolicLink},
        {kMac, 0120755ul << 16, ZipEntryKind::kSymbolicLink},
        {kUnix, 0040755ul << 16, ZipEntryKind::kFolder},
        {kUnix, 0010644ul << 16, ZipEntryKind::kOther},
        {kUnix, 0x10, ZipEntryKind::kFolder},
        {kUnix, 0, ZipEntryKind::kRegularFile},
        {kDos, 0x10, ZipEntryKind::kFolder},
        {kNtfs, 0120777ul << 16 | 0x20, ZipEntryKind::kRegularFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.made_by << " " << c.attributes);
        EXPECT_EQ(KindOfZipEntry(c.made_by, c.attributes), c.kind);
    }
}

}  // namespace
}  // namespace glyphoria
