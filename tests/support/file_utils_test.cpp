#include "support/file_utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/limits.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::PathExists;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

TEST(PathRules, ReplaceExtension) {
    struct Case {
        const char* path;
        const char* ext;
        char sep;
        const char* expected;
    } cases[] = {
        {"C:\\Users\\a\\Glyphoria.txt", ".ini", '\\', "C:\\Users\\a\\Glyphoria.ini"},
        {"C:\\my.folder\\Glyphoria", ".ini", '\\', "C:\\my.folder\\Glyphoria.ini"},
        {"/home/my.folder/Glyphoria", ".ini", '/', "/home/my.folder/Glyphoria.ini"},
        // The other platform's separator is an ordinary character.
        {"/home/my.folder/Glyphoria", ".ini", '\\', "/home/my.ini"},
        {"archive.tar.gz", ".zip", '/', "archive.tar.zip"},
        {"a.b", "", '/', "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char buf[kPathBufferSize];
        CopyBounded(buf, sizeof buf, c.path);
        EXPECT_TRUE(ReplaceExtension(buf, c.ext, c.sep));
        EXPECT_STREQ(c.expected, buf);
    }
}

TEST(PathRules, FileNameOfPath) {
    struct Case {
        const char* path;
        bool keep;
        char sep;
        std::size_t cap;
        const char* expected;
    } cases[] = {
        {"C:\\fonts\\Sans.Bold.otf", true, '\\', 64, "Sans.Bold.otf"},
        {"C:\\fonts\\Sans.Bold.otf", false, '\\', 64, "Sans.Bold"},
        {"/my.dir/plain", false, '/', 64, "plain"},
        {"plain.txt", false, '/', 64, "plain"},
        {"/ends/with/", true, '/', 64, ""},
        {"/a/abcdefgh.otf", true, '/', 5, "abcd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char buf[64] = "untouched";
        FileNameOfPath(c.path, buf, c.cap, c.keep, c.sep);
        EXPECT_STREQ(c.expected, buf);
    }
}

// What does not fit is refused and the buffer stays as it was.
TEST(PathRules, AppendingNeverWritesPastTheBuffer) {
    char buf[12] = "C:\\dir";
    EXPECT_TRUE(AppendPathComponent(buf, "ab", '\\'));
    EXPECT_STREQ("C:\\dir\\ab", buf);
    EXPECT_FALSE(AppendPathComponent(buf, "cd", '\\'));
    EXPECT_FALSE(AppendExtension(buf, "tx"));
    EXPECT_TRUE(AppendExtension(buf, "t"));  // exactly 11 + NUL
    EXPECT_FALSE(ReplaceExtension(buf, ".long"));
    EXPECT_STREQ("C:\\dir\\ab.t", buf);

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(AppendExtension(unterminated, "x"));
    EXPECT_FALSE(ReplaceExtension(unterminated, ".x"));
    EXPECT_EQ('d', unterminated[3]);
}

TEST(TextRules, BoundedCopies) {
    char buf[4] = "xyz";
    EXPECT_FALSE(TextAfterLast("no-slash", '/', buf, sizeof buf));
    EXPECT_STREQ("xyz", buf);
    EXPECT_TRUE(TextAfterLast("a/b/cdefg", '/', buf, sizeof buf));
    EXPECT_STREQ("cde", buf);
    EXPECT_EQ(3u, CopyBounded(buf, sizeof buf, "abcdef"));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(0u, CopyBounded(buf, 0, "ab"));
    EXPECT_STREQ("abc", buf);
}

TEST(TextRules, EndsWithNoCase) {
    struct Case {
        const char* text;
        const char* suffix;
        bool expected;
    } cases[] = {
        {"Glyphoria.INI", ".ini", true}, {"font.OtF", ".otf", true}, {"ini", ".ini", false},
        {"a.ini.bak", ".ini", false},    {"anything", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.suffix);
        EXPECT_EQ(c.expected, EndsWithNoCase(c.text, c.suffix));
    }
}

TEST(TextRules, NextLine) {
    struct Case {
        const char* text;
        const char* rest;  // null: no next line
    } cases[] = {
        {"a\r\r\nb", "b"}, {"a\rb\rc", "b\rc"}, {"a\nb", nullptr}, {"a\r", ""}, {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const char* next = NextLine(c.text);
        EXPECT_STREQ(c.rest, next);
    }
    EXPECT_EQ(nullptr, NextLine(nullptr));
}

TEST(Files, ExistsSizeAndDelete) {
    TempDir dir;
    const std::string file = dir.file("a.bin");
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(file.c_str()));
    EXPECT_EQ(0u, FileSize(file.c_str()));
    EXPECT_TRUE(DeleteFileForce(file.c_str()));  // missing counts as deleted

    ASSERT_TRUE(WriteFileBytes(file, "hello"));
    EXPECT_TRUE(FileExists(dir.path().c_str()));  // folders count too
    EXPECT_EQ(5u, FileSizeIfWritable(file.c_str()));
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_EQ(5u, FileSize(file.c_str()));
    std::FILE* probe = std::fopen(file.c_str(), "r+b");
    if (probe) {
        std::fclose(probe);  // root writes anyway
    } else {
        EXPECT_EQ(0u, FileSizeIfWritable(file.c_str()));
    }
    EXPECT_TRUE(DeleteFileForce(file.c_str()));
    EXPECT_FALSE(PathExists(file));

    EXPECT_FALSE(DeleteFileForce(dir.path().c_str()));  // never a folder
    EXPECT_TRUE(PathExists(dir.path()));
}

TEST(Files, ReadWholeFile) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {{"empty", ""}, {"binary", std::string("a\0b\r\n", 5)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file(c.name);
        ASSERT_TRUE(WriteFileBytes(file, c.content));
        std::uint32_t size = 99;
        int status = 99;
        char* data = ReadWholeFile(file.c_str(), &size, &status);
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(kReadOk, status);
        EXPECT_EQ(c.content, std::string(data, size));
        EXPECT_EQ(0, std::memcmp(data + size, "\0\0\0\0", 4));
        std::free(data);
    }
    for (const std::string& bad : {dir.file("missing"), dir.path()}) {
        SCOPED_TRACE(bad);
        std::uint32_t size = 7;
        int status = 0;
        EXPECT_EQ(nullptr, ReadWholeFile(bad.c_str(), &size, &status));
        EXPECT_EQ(kReadCannotOpen, status);
        EXPECT_EQ(7u, size);  // never opened
    }
}

TEST(Files, WriteWholeFileTruncates) {
    TempDir dir;
    const std::string file = dir.file("out.txt");
    ASSERT_TRUE(WriteFileBytes(file, "old content that is longer"));
    EXPECT_TRUE(WriteWholeFile(file.c_str(), "new", 3));
    EXPECT_EQ("new", ReadFileBytes(file));
    EXPECT_FALSE(WriteWholeFile(dir.file("no/such/folder").c_str(), "x", 1));
}

TEST(Files, WriteWholeFileAtomic) {
    TempDir dir;
    const std::string file = dir.file("prefs.ini");
    // A temporary left by a crash is neither used nor removed.
    ASSERT_TRUE(WriteFileBytes(file + ".tmp0", "left over"));
    EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "first", 5));
    EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "2", 1));
    EXPECT_EQ("2", ReadFileBytes(file));
    EXPECT_EQ("left over", ReadFileBytes(file + ".tmp0"));
    std::size_t entries = 0;
    for (auto it = fs::directory_iterator(dir.path()); it != fs::directory_iterator(); ++it)
        ++entries;
    EXPECT_EQ(2u, entries);
}

// Every failure keeps the old file and leaves no temporary.
TEST(Files, WriteWholeFileAtomicFailures) {
    TempDir dir;
    // At the file-name limit the longer temporary name cannot be made, even
    // for a user that ignores permissions.
    const std::string file = dir.file(std::string(255, 'n'));
    ASSERT_TRUE(WriteFileBytes(file, "old"));
    EXPECT_FALSE(WriteWholeFileAtomic(file.c_str(), "new", 3));
    EXPECT_EQ("old", ReadFileBytes(file));

    const std::string folder = dir.file("folder");
    fs::create_directories(folder + "/inside");
    EXPECT_FALSE(WriteWholeFileAtomic(folder.c_str(), "x", 1));
    EXPECT_TRUE(fs::is_directory(folder + "/inside"));
    EXPECT_FALSE(PathExists(folder + ".tmp0"));

    const std::string ro = dir.file("ro");
    fs::create_directory(ro);
    ASSERT_TRUE(WriteFileBytes(ro + "/a.ini", "old"));
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
    if (!WriteFileBytes(ro + "/probe", "")) {  // root is not refused
        EXPECT_FALSE(WriteWholeFileAtomic((ro + "/a.ini").c_str(), "new", 3));
        EXPECT_EQ("old", ReadFileBytes(ro + "/a.ini"));
    }
}

TEST(Files, CreateFolderMakesOneLevel) {
    TempDir dir;
    const std::string sub = dir.file("sub");
    EXPECT_EQ(0, CreateFolder(sub.c_str()));
    EXPECT_EQ(0, CreateFolder(sub.c_str()));  // exists: nothing to do
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_NE(0, CreateFolder(dir.file("a/b").c_str()));
}

}  // namespace
}  // namespace glyphoria
