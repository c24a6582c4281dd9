#include "support/file_utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "support/limits.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::PathExists;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

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
        {"/home/a/Glyphoria.txt", ".ini", '/', "/home/a/Glyphoria.ini"},
        // The other platform's separator is an ordinary character.
        {"/home/my.folder/Glyphoria", ".ini", '\\', "/home/my.ini"},
        {"archive.tar.gz", ".zip", '/', "archive.tar.zip"},
        {"name.", ".ini", '/', "name.ini"},
        {"noext", "", '/', "noext"},
        {"a.b", "", '/', "a"},
        {"", ".ini", '/', ".ini"},
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
        const char* expected;
    } cases[] = {
        {"C:\\fonts\\Sans.Bold.otf", true, '\\', "Sans.Bold.otf"},
        {"C:\\fonts\\Sans.Bold.otf", false, '\\', "Sans.Bold"},
        {"/fonts/archive.tar.gz", false, '/', "archive.tar"},
        {"/my.dir/plain", false, '/', "plain"},
        {"plain.txt", false, '/', "plain"},
        {"plain.txt", true, '/', "plain.txt"},
        {"/ends/with/", true, '/', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char buf[64] = "untouched";
        FileNameOfPath(c.path, buf, sizeof buf, c.keep, c.sep);
        EXPECT_STREQ(c.expected, buf);
    }
}

TEST(PathRules, FileNameOfPathCutsToCapacity) {
    char buf[5];
    std::memset(buf, 'x', sizeof buf);
    FileNameOfPath("/a/abcdefgh.otf", buf, sizeof buf, true, '/');
    EXPECT_STREQ("abcd", buf);
}

TEST(PathRules, AppendingRefusesWhatDoesNotFitAndLeavesBuffer) {
    char buf[12] = "C:\\dir";
    EXPECT_TRUE(AppendPathComponent(buf, "ab", '\\'));
    EXPECT_STREQ("C:\\dir\\ab", buf);
    EXPECT_FALSE(AppendPathComponent(buf, "cd", '\\'));  // would need 13 bytes
    EXPECT_STREQ("C:\\dir\\ab", buf);
    EXPECT_FALSE(AppendExtension(buf, "tx"));
    EXPECT_TRUE(AppendExtension(buf, "t"));  // exactly 11 + NUL
    EXPECT_STREQ("C:\\dir\\ab.t", buf);
    EXPECT_FALSE(ReplaceExtension(buf, ".long"));
    EXPECT_TRUE(ReplaceExtension(buf, ".x"));
    EXPECT_STREQ("C:\\dir\\ab.x", buf);

    char posix[32] = "/home";
    EXPECT_TRUE(AppendPathComponent(posix, "x", '/'));
    EXPECT_STREQ("/home/x", posix);
}

TEST(PathRules, AppendToUnterminatedBufferIsRefused) {
    char buf[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(AppendExtension(buf, "x"));
    EXPECT_FALSE(ReplaceExtension(buf, ".x"));
    EXPECT_EQ('d', buf[3]);
}

TEST(TextRules, TextAfterLast) {
    char buf[8] = "keep";
    EXPECT_FALSE(TextAfterLast("no-slash", '/', buf, sizeof buf));
    EXPECT_STREQ("keep", buf);
    EXPECT_TRUE(TextAfterLast("a/b/c", '/', buf, sizeof buf));
    EXPECT_STREQ("c", buf);
    EXPECT_TRUE(TextAfterLast("a/", '/', buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_TRUE(TextAfterLast("a/0123456789", '/', buf, sizeof buf));
    EXPECT_STREQ("0123456", buf);
}

TEST(TextRules, EndsWithNoCase) {
    struct Case {
        const char* text;
        const char* suffix;
        bool expected;
    } cases[] = {
        {"Glyphoria.INI", ".ini", true}, {"font.OtF", ".otf", true}, {"ini", ".ini", false},
        {"a.ini.bak", ".ini", false},    {"anything", "", true},     {"", "", true},
        {"x.zip", ".ZIP", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.suffix);
        EXPECT_EQ(c.expected, EndsWithNoCase(c.text, c.suffix));
    }
    EXPECT_FALSE(EndsWithNoCase(nullptr, "x"));
}

TEST(TextRules, NextLine) {
    struct Case {
        const char* text;
        const char* rest;  // null: no next line
    } cases[] = {
        {"a\r\r\nb", "b"}, {"a\rb\rc", "b\rc"}, {"a\nb", nullptr},
        {"a\r", ""},       {"", nullptr},       {"\r\n\r\nx", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const char* next = NextLine(c.text);
        if (!c.rest) {
            EXPECT_EQ(nullptr, next);
        } else {
            ASSERT_NE(nullptr, next);
            EXPECT_STREQ(c.rest, next);
        }
    }
    EXPECT_EQ(nullptr, NextLine(nullptr));
}

TEST(TextRules, CopyBounded) {
    char buf[4];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(3u, CopyBounded(buf, sizeof buf, "abcdef"));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(2u, CopyBounded(buf, sizeof buf, "ab"));
    EXPECT_STREQ("ab", buf);
    EXPECT_EQ(0u, CopyBounded(buf, 0, "ab"));
    EXPECT_STREQ("ab", buf);
    EXPECT_EQ(0u, CopyBounded(buf, 1, "ab"));
    EXPECT_STREQ("", buf);
}

TEST(Utf8Bom, Detection) {
    EXPECT_TRUE(HasUtf8Bom("\xEF\xBB\xBFx", 4));
    EXPECT_TRUE(HasUtf8Bom("\xEF\xBB\xBF", 3));
    EXPECT_FALSE(HasUtf8Bom("\xEF\xBB", 2));
    EXPECT_FALSE(HasUtf8Bom("abc", 3));
    EXPECT_FALSE(HasUtf8Bom(nullptr, 3));
}

TEST(Files, ExistsSizeAndDelete) {
    TempDir dir;
    const std::string file = dir.file("a.bin");
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
    EXPECT_FALSE(FileExists(file.c_str()));
    EXPECT_EQ(0u, FileSize(file.c_str()));
    EXPECT_TRUE(DeleteFileForce(file.c_str()));  // missing counts as deleted

    ASSERT_TRUE(WriteFileBytes(file, "hello"));
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_TRUE(FileExists(dir.path().c_str()));  // folders count too
    EXPECT_EQ(5u, FileSize(file.c_str()));
    EXPECT_EQ(5u, FileSizeIfWritable(file.c_str()));

    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(5u, FileSize(file.c_str()));
    // Root may write a file without write permission: the refusal itself
    // comes from the platform's hook.
    platform::SetPathFaultForTesting(file, platform::kFaultWrite);
    EXPECT_EQ(0u, FileSizeIfWritable(file.c_str()));
    platform::ClearPathFaultsForTesting();
    EXPECT_TRUE(DeleteFileForce(file.c_str()));
    EXPECT_FALSE(PathExists(file));
    EXPECT_EQ(0u, FileSizeIfWritable(file.c_str()));
}

TEST(Files, DeleteFileForceKeepsFolders) {
    TempDir dir;
    EXPECT_FALSE(DeleteFileForce(dir.path().c_str()));
    EXPECT_TRUE(PathExists(dir.path()));
}

TEST(Files, ReadWholeFile) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {{"empty", ""}, {"text", "abc"}, {"binary", std::string("a\0b\r\n", 5)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file(c.name);
        ASSERT_TRUE(WriteFileBytes(file, c.content));
        std::uint32_t size = 99;
        int status = 99;
        char* data = ReadWholeFile(file.c_str(), &size, &status);
        ASSERT_NE(nullptr, data);
        EXPECT_EQ(kReadOk, status);
        EXPECT_EQ(c.content.size(), size);
        EXPECT_EQ(c.content, std::string(data, size));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ('\0', data[size + i]);
        std::free(data);
    }
}

TEST(Files, ReadWholeFileFailures) {
    TempDir dir;
    std::uint32_t size = 7;
    int status = 0;
    EXPECT_EQ(nullptr, ReadWholeFile(dir.file("missing").c_str(), &size, &status));
    EXPECT_EQ(kReadCannotOpen, status);
    EXPECT_EQ(7u, size);  // never opened
    EXPECT_EQ(nullptr, ReadWholeFile(dir.path().c_str(), &size, &status));
    EXPECT_EQ(kReadCannotOpen, status);
    EXPECT_EQ(nullptr, ReadWholeFile(dir.file("missing").c_str()));  // outputs optional
}

TEST(Files, WriteWholeFileAndBom) {
    TempDir dir;
    const std::string file = dir.file("out.txt");
    ASSERT_TRUE(WriteFileBytes(file, "old content that is longer"));
    EXPECT_TRUE(WriteWholeFile(file.c_str(), "new", 3));
    EXPECT_EQ("new", ReadFileBytes(file));
    EXPECT_FALSE(WriteWholeFile(dir.file("no/such/folder").c_str(), "x", 1));

    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(WriteUtf8Bom(f));
    std::fclose(f);
    EXPECT_EQ("\xEF\xBB\xBF", ReadFileBytes(file));
}

TEST(Files, WriteWholeFileAtomicReplaces) {
    TempDir dir;
    const std::string file = dir.file("prefs.ini");
    EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "first", 5));
    EXPECT_EQ("first", ReadFileBytes(file));
    EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "2", 1));
    EXPECT_EQ("2", ReadFileBytes(file));
    EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "", 0));
    EXPECT_EQ("", ReadFileBytes(file));
    // Only the target is left in the folder.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(1, entries);
}

// Files of 2 GB and more, made sparse so they cost no disk: their sizes do
// not fit a 32-bit long (Windows), those of 4 GB and more not a 32-bit size.
TEST(Files, LargeFiles) {
    constexpr std::uint64_t kGiB = 1ull << 30;
    constexpr std::uint32_t kMax = 0xFFFFFFFFu;
    TempDir dir;
    const std::string file = dir.file("large.bin");
    ASSERT_TRUE(WriteFileBytes(file, ""));
    struct Case {
        std::uint64_t length;
        std::uint32_t size;
    } cases[] = {{3 * kGiB, static_cast<std::uint32_t>(3 * kGiB)}, {5 * kGiB, kMax}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::error_code ec;
        fs::resize_file(fs::u8path(file), c.length, ec);
        if (ec) GTEST_SKIP() << "no large files here: " << ec.message();
        EXPECT_EQ(c.size, FileSize(file.c_str()));
        EXPECT_EQ(c.size, FileSizeIfWritable(file.c_str()));
    }
    // Too large to hold: said as memory, never read.
    std::uint32_t size = 0;
    int status = -1;
    EXPECT_EQ(nullptr, ReadWholeFile(file.c_str(), &size, &status));
    EXPECT_EQ(kReadNoMemory, status);
    EXPECT_EQ(kMax, size);
}

TEST(Files, WriteWholeFileAtomicFailureKeepsOldFile) {
    TempDir dir;
    // A full disk fails the temporary, whoever runs this.
    const std::string file = dir.file("a.ini");
    ASSERT_TRUE(WriteFileBytes(file, "old"));
    platform::SetWriteBudgetForTesting(2);
    EXPECT_FALSE(WriteWholeFileAtomic(file.c_str(), "new", 3));
    platform::SetWriteBudgetForTesting(-1);
    EXPECT_EQ("old", ReadFileBytes(file));
    EXPECT_EQ(std::vector<std::string>({"a.ini"}), FileNamesIn(dir.path()));

    // A folder in the target's place is not replaced, and no temporary stays.
    const std::string folder = dir.file("folder");
    fs::create_directory(folder);
    fs::create_directory(folder + "/inside");
    EXPECT_FALSE(WriteWholeFileAtomic(folder.c_str(), "x", 1));
    EXPECT_TRUE(fs::is_directory(folder + "/inside"));
    EXPECT_EQ(2u, FileNamesIn(dir.path()).size());

    EXPECT_FALSE(WriteWholeFileAtomic(dir.file("missing/x.ini").c_str(), "x", 1));
}

// A name at the file systems' 255-byte limit (a bought archive's, say) is
// written although its temporary cannot carry the whole name.
TEST(Files, WriteWholeFileAtomicNameAtTheLimit) {
    TempDir dir;
    const std::string names[] = {std::string(255, 'n'),
                                 std::string(239, 'n') + "\xC3\xA9" + std::string(14, 'n')};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        const std::string file = dir.file(name);
        ASSERT_TRUE(WriteFileBytes(file, "old"));
        EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "new", 3));
        EXPECT_EQ("new", ReadFileBytes(file));
        EXPECT_TRUE(WriteWholeFileAtomic(file.c_str(), "newer", 5));
        EXPECT_EQ("newer", ReadFileBytes(file));
    }
    EXPECT_EQ(2u, FileNamesIn(dir.path()).size());
}

TEST(Files, CreateFolder) {
    TempDir dir;
    const std::string sub = dir.file("sub");
    EXPECT_EQ(0, CreateFolder(sub.c_str()));
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(0, CreateFolder(sub.c_str()));              // exists: nothing to do
    EXPECT_NE(0, CreateFolder(dir.file("a/b").c_str()));  // parent missing
}

}  // namespace
}  // namespace glyphoria
