#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/common/test_env.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace glyphoria::platform {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

std::string Folder(int id) {
    char buf[512];
    return GetShellFolder(id, buf, sizeof buf) ? buf : "<none>";
}

// A home of its own with no XDG variables, so each case sets only what it tests.
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

TEST(Folders, EnvironmentFirst) {
    BareHome h;
    TempDir other;
    const std::string config = other.file("config");
    ScopedEnv e1("XDG_CONFIG_HOME", (config + "/").c_str());
    ScopedEnv e2("XDG_DOCUMENTS_DIR", "/x/docs");
    ScopedEnv e3("XDG_DOWNLOAD_DIR", "/x/dl");
    ScopedEnv e4("TMPDIR", "/x/tmp");
    EXPECT_EQ(config, Folder(kFolderAppData));  // no trailing separator
    EXPECT_TRUE(fs::is_directory(config));      // created for the preferences
    EXPECT_EQ("/x/docs", Folder(kFolderPersonal));
    EXPECT_EQ("/x/dl", Folder(kFolderDownloads));
    EXPECT_EQ("/x/tmp", Folder(kFolderTemp));
}

TEST(Folders, HomeFallbacks) {
    BareHome h;
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");  // ignored, as XDG says
    ScopedEnv empty("XDG_DOCUMENTS_DIR", "");
    EXPECT_EQ(h.at("/.config"), Folder(kFolderAppData));
    EXPECT_EQ(h.dir.path(), Folder(kFolderPersonal));  // no ~/Documents yet
    fs::create_directory(h.at("/Documents"));
    EXPECT_EQ(h.at("/Documents"), Folder(kFolderPersonal));
    EXPECT_EQ(h.at("/Downloads"), Folder(kFolderDownloads));
    EXPECT_EQ("/tmp", Folder(kFolderTemp));
}

TEST(Folders, UserDirsFile) {
    BareHome h;
    TempDir config;
    ScopedEnv env("XDG_CONFIG_HOME", config.path().c_str());
    ASSERT_TRUE(WriteFileBytes(config.file("user-dirs.dirs"),
                               "# written by xdg-user-dirs-update\n"
                               "XDG_DOCUMENTS_DIR_OLD=\"/wrong\"\n"
                               "  XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                               "XDG_DOWNLOAD_DIR=relative-and-unquoted\n"));
    EXPECT_EQ(h.at("/Dokumente"), Folder(kFolderPersonal));
    EXPECT_EQ(h.at("/Downloads"), Folder(kFolderDownloads));

    ASSERT_TRUE(WriteFileBytes(config.file("user-dirs.dirs"), "XDG_DOWNLOAD_DIR=\"/srv/dl\"\n"));
    EXPECT_EQ("/srv/dl", Folder(kFolderDownloads));
    ScopedEnv dl("XDG_DOWNLOAD_DIR", "/env/dl");
    EXPECT_EQ("/env/dl", Folder(kFolderDownloads));
}

TEST(Folders, FontsFolderIsCreated) {
    BareHome h;
    EXPECT_EQ(h.at("/.local/share/fonts"), Folder(kFolderFonts));
    EXPECT_TRUE(fs::is_directory(h.at("/.local/share/fonts")));
}

#ifndef _WIN32
// The previews' folder in a temporary folder that everyone can write: ours
// alone, or none at all.
TEST(Folders, UserTempFolderIsOnlyTheUsers) {
    BareHome h;
    TempDir tmp;
    ScopedEnv env("TMPDIR", tmp.path().c_str());
    const std::string mine = tmp.file("glyphoria-" + std::to_string(getuid()));
    const auto mode = [&] { return fs::status(mine).permissions() & fs::perms::all; };
    EXPECT_EQ(mine, Folder(kFolderUserTemp));
    EXPECT_EQ(fs::perms::owner_all, mode());
    fs::permissions(mine, fs::perms::all);  // someone opened it up
    EXPECT_EQ(mine, Folder(kFolderUserTemp));
    EXPECT_EQ(fs::perms::owner_all, mode());

    // Planted before us: a link to another folder, a file. Refused, and left.
    fs::remove(mine);
    fs::create_symlink(h.dir.path(), mine);
    EXPECT_EQ("<none>", Folder(kFolderUserTemp));
    EXPECT_TRUE(fs::is_symlink(mine));
    fs::remove(mine);
    ASSERT_TRUE(WriteFileBytes(mine, "x"));
    EXPECT_EQ("<none>", Folder(kFolderUserTemp));
    fs::remove(mine);
}

TEST(Folders, UserTempFolderOfSomeoneElseIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
    BareHome h;
    TempDir tmp;
    ScopedEnv env("TMPDIR", tmp.path().c_str());
    const std::string mine = tmp.file("glyphoria-" + std::to_string(getuid()));
    fs::create_directory(mine);
    fs::permissions(mine, fs::perms::owner_all);
    ASSERT_EQ(0, chown(mine.c_str(), 4321, 4321));
    EXPECT_EQ("<none>", Folder(kFolderUserTemp));
}
#endif

TEST(Folders, FailuresLeaveAnEmptyBuffer) {
    BareHome h;
    char small[8] = "junk";
    EXPECT_FALSE(GetShellFolder(kFolderAppData, small, sizeof small));
    EXPECT_STREQ("", small);
    char buf[512] = "junk";
    EXPECT_FALSE(GetShellFolder(4242, buf, sizeof buf));
    EXPECT_STREQ("", buf);
}

}  // namespace
}  // namespace glyphoria::platform
