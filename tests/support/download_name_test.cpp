// Server-chosen download names: reading them from Content-Disposition,
// judging them, and saving beside what the folder already holds.
#include "support/download_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/fs.h"
#include "support/content_disposition.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

TEST(ContentDisposition, OnlyTheFilenameParametersNameAFile) {
    struct Case {
        const char* value;
        const char* name;  // null: names no file
    } cases[] = {
        {"attachment; filename=\"Order1234.zip\"", "Order1234.zip"},
        {"attachment; filename=Order.zip", "Order.zip"},  // a token needs no quotes
        {"attachment; FILENAME=\"a.zip\"", "a.zip"},      // names ignore letter case
        {"attachment ;  filename = \"a b.zip\" ; size=3", "a b.zip"},
        {"filename=\"F.zip\"", "F.zip"},  // no type: forgiven
        {"attachment; filename=\"q\\\"d.zip\"", "q\"d.zip"},
        {"attachment; filename=\"C:\\x.zip\"", "C:x.zip"},  // a backslash escapes
        {"attachment; filename=\"\"", ""},
        {"attachment; filename=\"../evil.zip\"", "../evil.zip"},  // judged later
        {"attachment; xfilename=\"x.zip\"", nullptr},
        {"attachment; xfilename=\"x.zip\"; filename=\"y.zip\"", "y.zip"},
        {"attachment; filenamex=\"x.zip\"", nullptr},
        {"attachment", nullptr},
        {"", nullptr},
        {"attachment; filename=\"a.zip", nullptr},  // unclosed quote
        {"attachment; filename=a b.zip", nullptr},  // a token has no blank
        {"attachment; filename=../evil.zip", nullptr},
        {"attachment; filename=\"a.zip\"; filename=\"b.zip\"", nullptr},  // twice
        {"attachment; filename=\"a.zip\"; junk", nullptr},
        {"attachment; filename=\"a.zip\";", "a.zip"},
        // RFC 8187: filename* wins when it can be read.
        {"attachment; filename*=UTF-8''Schrift%C3%A4.zip; filename=\"S.zip\"",
         "Schrift\xC3\xA4.zip"},
        {"attachment; filename=\"S.zip\"; filename*=utf-8'de'a%20b.zip", "a b.zip"},
        {"attachment; filename*=ISO-8859-1''%E4.zip", "\xC3\xA4.zip"},
        {"attachment; filename*=UTF-8''%FF.zip; filename=\"S.zip\"", "S.zip"},  // not UTF-8
        {"attachment; filename*=KOI8-R''x.zip; filename=\"S.zip\"", "S.zip"},
        {"attachment; filename*=UTF-8''bad%2.zip; filename=\"S.zip\"", "S.zip"},
        {"attachment; filename*=x.zip", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::string name = "untouched";
        EXPECT_EQ(c.name != nullptr, DispositionFileName(c.value, &name));
        if (c.name) {
            EXPECT_EQ(c.name, name);
        }
    }
    std::string name;
    EXPECT_FALSE(DispositionFileName(nullptr, &name));
}

TEST(DownloadName, SafeNames) {
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {
        {"Fonts.zip", true},    {"Sans..Bold.zip", true},
        {"a..zip", true},       {"Schrift\xC3\xA4 2.zip", true},
        {"CONSOLE.zip", true},  {"COM10.zip", true},
        {"NULL", true},         {"", false},
        {" ", false},           {"   ", false},
        {".", false},           {"..", false},
        {".hidden.zip", false}, {".zip", false},
        {"Fonts.zip.", false},  {"Fonts.zip ", false},
        {"Fonts.", false},      {"CON", false},
        {"con", false},         {"NUL.zip", false},
        {"nul.tar.gz", false},  {"NUL .zip", false},
        {"PRN", false},         {"AUX.zip", false},
        {"COM1", false},        {"com1.zip", false},
        {"LPT1", false},        {"LPT9.zip", false},
        {"CONIN$", false},      {"../evil.zip", false},
        {"a/b.zip", false},     {"a\\b.zip", false},
        {"C:x.zip", false},     {"a:stream", false},
        {"a\x01.zip", false},   {"a\x7f.zip", false},
        {"a*.zip", false},      {"a?.zip", false},
        {"a<b>.zip", false},    {"a|b.zip", false},
        {"a\"b.zip", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.safe, IsSafeDownloadName(c.name));
    }
    EXPECT_FALSE(IsSafeDownloadName(nullptr));
}

TEST(DownloadName, NumberedNames) {
    EXPECT_EQ("Fonts (2).zip", NumberedName("Fonts.zip", 2));
    EXPECT_EQ("Fonts.tar (3).gz", NumberedName("Fonts.tar.gz", 3));
    EXPECT_EQ("Fonts (2)", NumberedName("Fonts", 2));
    EXPECT_EQ("Sans..Bold (12).zip", NumberedName("Sans..Bold.zip", 12));
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder)))
        names.insert(entry.path().filename().u8string());
    return names;
}

// Nothing in the folder is ever replaced: a file, a folder or a link under
// the name each push the download to the next free number.
TEST(DownloadName, SavesBesideWhatIsThere) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("Fonts.zip"), "the first purchase"));
    std::filesystem::create_directory(std::filesystem::u8path(dir.file("Fonts (2).zip")));
    std::string path;
    ASSERT_TRUE(SaveUnderFreeName(dir.path(), "Fonts.zip", "PK-new", 6, 512, &path));
    EXPECT_EQ(dir.file("Fonts (3).zip"), path);
    EXPECT_EQ("PK-new", ReadFileBytes(path));
    EXPECT_EQ("the first purchase", ReadFileBytes(dir.file("Fonts.zip")));
    EXPECT_EQ(dir.file("Fonts (4).zip"), FreePathIn(dir.path(), "Fonts.zip", 512));
    EXPECT_EQ(dir.file("Other.zip"), FreePathIn(dir.path(), "Other.zip", 512));
#ifndef _WIN32
    std::filesystem::create_symlink(dir.file("nowhere"), dir.file("Linked.zip"));
    ASSERT_TRUE(SaveUnderFreeName(dir.path(), "Linked.zip", "PK", 2, 512, &path));
    EXPECT_EQ(dir.file("Linked (2).zip"), path);
    EXPECT_FALSE(testing::PathExists(dir.file("nowhere")));  // not written through the link
#endif
    // An empty archive is still a file; what an interrupted download left
    // goes, a name that only looks like it stays.
    ASSERT_TRUE(WriteFileBytes(dir.file(".glyphoria-0123456789ab.part"), "PK-half"));
    ASSERT_TRUE(WriteFileBytes(dir.file(".glyphoria-notmine.part"), "kept"));
    ASSERT_TRUE(SaveUnderFreeName(dir.path(), "Empty.zip", "", 0, 512, &path));
    EXPECT_EQ("", ReadFileBytes(dir.file("Empty.zip")));
    EXPECT_FALSE(testing::PathExists(dir.file(".glyphoria-0123456789ab.part")));
    EXPECT_EQ("kept", ReadFileBytes(dir.file(".glyphoria-notmine.part")));
}

// A failure leaves nothing behind: no room for the path, a full disk.
TEST(DownloadName, FailuresLeaveNothing) {
    testing::TempDir dir;
    const std::set<std::string> before = FilesIn(dir.path());
    std::string path = "untouched";
    const std::size_t exact = dir.file("Fonts.zip").size();
    EXPECT_FALSE(SaveUnderFreeName(dir.path(), "Fonts.zip", "PK", 2, exact, &path));
    EXPECT_TRUE(FreePathIn(dir.path(), "Fonts.zip", exact).empty());
    platform::SetWriteBudgetForTesting(1);
    EXPECT_FALSE(SaveUnderFreeName(dir.path(), "Fonts.zip", "PK", 2, 512, &path));
    platform::SetWriteBudgetForTesting(-1);
    EXPECT_EQ("untouched", path);
    EXPECT_EQ(before, FilesIn(dir.path()));
    EXPECT_FALSE(SaveUnderFreeName(dir.file("missing"), "Fonts.zip", "PK", 2, 512, &path));
}

}  // namespace
}  // namespace glyphoria
