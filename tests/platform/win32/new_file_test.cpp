// New files on NTFS semantics (under Wine: its emulation of them): created
// only where nothing is, dated including the creation time, renamed only
// onto a free name.
#include <gtest/gtest.h>

#include <string>

#include "platform/fs.h"
#include "platform/new_file.h"
#include "platform/win32/windows_api.h"
#include "tests/common/test_env.h"

namespace {

namespace platform = glyphoria::platform;
using platform::MoveResult;
using platform::NewFile;

std::string ReadAll(const std::string& path) {
    std::string text;
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) return text;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0)
        text.append(buf, n);
    std::fclose(file);
    return text;
}

TEST(Win32NewFile, CreateWriteDateAndMove) {
    glyphoria::testing::TempDir dir;
    char path[512];
    NewFile file;
    ASSERT_TRUE(file.CreateUnique(dir.path().c_str(), "font-", ".tmp", path, sizeof path));
    EXPECT_TRUE(file.is_open());
    EXPECT_TRUE(file.Write("OTTO", 4));
    const std::int64_t when = 1262304000;  // 2010-01-01 00:00:00 UTC
    EXPECT_TRUE(file.SetTimes(when));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(glyphoria::platform::win32::Widen(path).c_str(),
                                     GetFileExInfoStandard, &data));
    for (const FILETIME& t : {data.ftCreationTime, data.ftLastWriteTime, data.ftLastAccessTime}) {
        std::uint64_t ticks =
            (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        EXPECT_EQ(when, static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL);
    }

    const std::string target = dir.file("Font.otf");
    EXPECT_EQ(MoveResult::kMoved, platform::MoveNoReplace(path, target.c_str()));
    EXPECT_FALSE(platform::EntryExists(path));
    EXPECT_EQ("OTTO", ReadAll(target));

    // A second file never replaces the first.
    NewFile other;
    ASSERT_TRUE(other.CreateUnique(dir.path().c_str(), "font-", ".tmp", path, sizeof path));
    EXPECT_TRUE(other.Write("new", 3));
    EXPECT_TRUE(other.Close());
    EXPECT_EQ(MoveResult::kTargetExists, platform::MoveNoReplace(path, target.c_str()));
    EXPECT_EQ("OTTO", ReadAll(target));
    EXPECT_TRUE(platform::EntryExists(path));
}

TEST(Win32NewFile, RefusesWhatCannotBe) {
    glyphoria::testing::TempDir dir;
    char path[512];
    NewFile file;
    EXPECT_FALSE(file.CreateUnique(dir.file("missing").c_str(), "x", "", path, sizeof path));
    EXPECT_STREQ("", path);
    char tiny[8];
    EXPECT_FALSE(file.CreateUnique(dir.path().c_str(), "x", "", tiny, sizeof tiny));
    EXPECT_FALSE(file.Write("a", 1));
    EXPECT_FALSE(file.SetTimes(0));
    EXPECT_EQ(MoveResult::kFailed,
              platform::MoveNoReplace(dir.file("absent").c_str(), dir.file("b").c_str()));
    EXPECT_FALSE(platform::EntryExists(dir.file("absent").c_str()));
    EXPECT_TRUE(platform::EntryExists(dir.path().c_str()));
}

}  // namespace
