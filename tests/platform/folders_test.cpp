#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/common/test_env.h"

namespace glyphoria::platform {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

std::string Folder(int id) {
    char buf[512];
    if (!GetShellFolder(id, buf, sizeof buf)) return "<none>";
    return buf;
}

// A home of its own, with no XDG variables, so each case sets only what it tests.
struct BareHome {
    TempDir dir;
    ScopedEnv home{"HOME", dir.path().c_str()};
    ScopedEnv config{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv data{"XDG_DATA_HOME", nullptr};
    ScopedEnv docs{"XDG_DOCUMENTS_DIR", nullptr};
    ScopedEnv downloads{"XDG_DOWNLOAD_DIR", nullptr};
    ScopedEnv tmp{"TMPDIR", nullptr};
    std::string at(const std::string& rel) const { return dir.path() + rel; }
};

TEST(Folders, EnvironmentWins) {
    BareHome h;
    ScopedEnv config("XDG_CONFIG_HOME", "/x/config/");
    ScopedEnv docs("XDG_DOCUMENTS_DIR", "/x/docs");
    ScopedEnv downloads("XDG_DOWNLOAD_DIR", "/x/dl");
    ScopedEnv tmp("TMPDIR", "/x/tmp");
    EXPECT_EQ("/x/config", Folder(kFolderAppData));  // no trailing separator
    EXPECT_EQ("/x/docs", Folder(kFolderPersonal));
    EXPECT_EQ("/x/dl", Folder(kFolderDownloads));
    EXPECT_EQ("/x/tmp", Folder(kFolderTemp));
}

TEST(Folders, FallbacksWithoutEnvironment) {
    BareHome h;
    EXPECT_EQ(h.at("/.config"), Folder(kFolderAppData));
    EXPECT_EQ(h.dir.path(), Folder(kFolderPersonal));  // no ~/Documents yet
    fs::create_directory(h.at("/Documents"));
    EXPECT_EQ(h.at("/Documents"), Folder(kFolderPersonal));
    EXPECT_EQ(h.at("/Downloads"), Folder(kFolderDownloads));
    EXPECT_EQ("/tmp", Folder(kFolderTemp));
}

TEST(Folders, RelativeVariablesAreIgnored) {
    BareHome h;
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    ScopedEnv empty_docs("XDG_DOCUMENTS_DIR", "");
    EXPECT_EQ(h.at("/.config"), Folder(kFolderAppData));
    EXPECT_EQ(h.dir.path(), Folder(kFolderPersonal));
}

TEST(Folders, UserDirsFile) {
    BareHome h;
    fs::create_directory(h.at("/.config"));
    ASSERT_TRUE(WriteFileBytes(h.at("/.config/user-dirs.dirs"),
                               "# written by xdg-user-dirs-update\n"
                               "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                               "XDG_DOWNLOAD_DIR=\"/srv/downloads\"\n"
                               "XDG_DOWNLOAD_DIR_EXTRA=\"/wrong\"\n"));
    EXPECT_EQ(h.at("/Dokumente"), Folder(kFolderPersonal));
    EXPECT_EQ("/srv/downloads", Folder(kFolderDownloads));

    // The environment still comes first.
    ScopedEnv docs("XDG_DOCUMENTS_DIR", "/env/docs");
    EXPECT_EQ("/env/docs", Folder(kFolderPersonal));
}

TEST(Folders, UserDirsFileUnderConfigHome) {
    BareHome h;
    TempDir config;
    ScopedEnv env("XDG_CONFIG_HOME", config.path().c_str());
    ASSERT_TRUE(WriteFileBytes(config.file("user-dirs.dirs"),
                               "XDG_DOCUMENTS_DIR=\"$HOME\"\n"
                               "XDG_DOWNLOAD_DIR=relative-not-quoted\n"));
    EXPECT_EQ(h.dir.path(), Folder(kFolderPersonal));
    EXPECT_EQ(h.at("/Downloads"), Folder(kFolderDownloads));
}

TEST(Folders, FontsFolderIsCreated) {
    BareHome h;
    EXPECT_EQ(h.at("/.local/share/fonts"), Folder(kFolderFonts));
    EXPECT_TRUE(fs::is_directory(h.at("/.local/share/fonts")));

    TempDir data;
    ScopedEnv env("XDG_DATA_HOME", data.path().c_str());
    EXPECT_EQ(data.path() + "/fonts", Folder(kFolderFonts));
    EXPECT_TRUE(fs::is_directory(data.path() + "/fonts"));
}

TEST(Folders, BufferTooSmallOrUnknownFolder) {
    BareHome h;
    char small[8] = "junk";
    EXPECT_FALSE(GetShellFolder(kFolderAppData, small, sizeof small));
    EXPECT_STREQ("", small);
    char buf[512] = "junk";
    EXPECT_FALSE(GetShellFolder(4242, buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_FALSE(GetShellFolder(kFolderAppData, nullptr, 0));
}

}  // namespace
}  // namespace glyphoria::platform
