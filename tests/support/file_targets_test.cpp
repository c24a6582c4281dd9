// Where a write of a user's file lands: through links to the file they name,
// never into a folder, device, FIFO or socket, with the file's permissions
// kept; and what an interrupted write left behind is taken away the next
// time. Files that refuse reading or writing come from the platform's test
// hooks, so the cases hold for root too.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/fs.h"
#include "platform/new_file.h"
#include "support/file_utils.h"
#include "tests/common/test_env.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "tests/common/nonregular_files.h"
#endif

namespace glyphoria {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
        names.insert(entry.path().filename().u8string());
    return names;
}

class WriteTargets : public ::testing::Test {
  protected:
    void TearDown() override { platform::ClearPathFaultsForTesting(); }
    TempDir dir_;
};

// A file its owner may not write, and a folder that refuses new files: the
// old bytes stay and nothing is left beside them.
TEST_F(WriteTargets, FilesAndFoldersThatRefuseWritesKeepTheOldFile) {
    const std::string file = dir_.file("a.ini");
    for (const std::string& refusing : {file, dir_.path()}) {
        SCOPED_TRACE(refusing);
        ASSERT_TRUE(WriteFileBytes(file, "old"));
        platform::SetPathFaultForTesting(refusing, platform::kFaultWrite);
        EXPECT_FALSE(WriteWholeFileAtomic(file.c_str(), "new", 3));
        EXPECT_FALSE(WriteWholeFile(file.c_str(), "new", 3));
        platform::ClearPathFaultsForTesting();
        EXPECT_EQ("old", ReadFileBytes(file));
        EXPECT_EQ(std::set<std::string>{"a.ini"}, NamesIn(dir_.path()));
    }
}

// The temporaries of a save that never finished go at the next save of the
// same file; one that another writer still holds, other files' temporaries
// and names that only look alike stay.
TEST_F(WriteTargets, LeftoversOfAnInterruptedSaveGoTheNextTime) {
    const std::string file = dir_.file("a.ini");
    for (const char* name : {"a.ini.0123456789ab.tmp", "a.ini.tmp0", "a.ini.0123456789ab.tmp~",
                             "b.ini.0123456789ab.tmp"})
        ASSERT_TRUE(WriteFileBytes(dir_.file(name), "left"));
    platform::NewFile held;
    char held_path[1024];
    ASSERT_TRUE(
        held.CreateUnique(dir_.path().c_str(), "a.ini.", ".tmp", held_path, sizeof held_path));
    const std::string held_name = fs::u8path(held_path).filename().u8string();

    ASSERT_TRUE(WriteWholeFileAtomic(file.c_str(), "new", 3));
    EXPECT_EQ("new", ReadFileBytes(file));
    EXPECT_EQ((std::set<std::string>{"a.ini", "a.ini.tmp0", "a.ini.0123456789ab.tmp~",
                                     "b.ini.0123456789ab.tmp", held_name}),
              NamesIn(dir_.path()));
    held.Close();
    ASSERT_TRUE(WriteWholeFileAtomic(file.c_str(), "newer", 5));
    EXPECT_EQ(0u, NamesIn(dir_.path()).count(held_name));
}

// Reading a file the user may not read fails like a missing one would, but
// the file is there.
TEST_F(WriteTargets, UnreadableFile) {
    const std::string file = dir_.file("a.ini");
    ASSERT_TRUE(WriteFileBytes(file, "secret"));
    platform::SetPathFaultForTesting(file, platform::kFaultRead);
    int status = kReadOk;
    EXPECT_EQ(nullptr, ReadWholeFile(file.c_str(), nullptr, &status));
    EXPECT_EQ(kReadCannotOpen, status);
    EXPECT_TRUE(FileExists(file.c_str()));
}

#ifndef _WIN32

std::string LinkText(const std::string& link) {
    return fs::read_symlink(link).string();
}

unsigned ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A preferences file kept in a dotfiles folder through a link: the file
// there gets the bytes and keeps its mode, the link stays a link.
TEST_F(WriteTargets, LinksLeadToTheFileTheyNameAndStayLinks) {
    fs::create_directories(dir_.file("dotfiles"));
    fs::create_directories(dir_.file("config"));
    const std::string real = dir_.file("dotfiles/prefs.ini");
    struct Case {
        const char* name;
        std::string link;
        std::string points_to;  // as written into the link
        std::string lands_in;
    } cases[] = {
        {"relative link", dir_.file("config/prefs.ini"), "../dotfiles/prefs.ini", real},
        {"absolute link", dir_.file("config/abs.ini"), real, real},
        {"link to a link", dir_.file("config/twice.ini"), dir_.file("config/prefs.ini"), real},
        {"link to nothing yet", dir_.file("config/new.ini"), "../dotfiles/new.ini",
         dir_.file("dotfiles/new.ini")},
    };
    for (const Case& c : cases)
        fs::create_symlink(c.points_to, c.link);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(real);
        ASSERT_TRUE(WriteFileBytes(real, "old"));
        ASSERT_EQ(0, chmod(real.c_str(), 0600));
        EXPECT_TRUE(WriteWholeFileAtomic(c.link.c_str(), "new", 3));
        EXPECT_TRUE(fs::is_symlink(c.link));
        EXPECT_EQ(c.points_to, LinkText(c.link));
        EXPECT_EQ("new", ReadFileBytes(c.lands_in));
        EXPECT_EQ(0600u, ModeOf(real));
    }
    EXPECT_EQ((std::set<std::string>{"prefs.ini", "new.ini"}), NamesIn(dir_.file("dotfiles")));
    EXPECT_EQ(4u, NamesIn(dir_.file("config")).size());
}

// Whatever mode the user gave the file, the new one has it too.
TEST_F(WriteTargets, ModeIsKept) {
    const std::string file = dir_.file("a.ini");
    for (unsigned mode : {0600u, 0640u, 0604u, 0660u, 0644u}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(WriteFileBytes(file, "old"));
        ASSERT_EQ(0, chmod(file.c_str(), mode));
        ASSERT_TRUE(WriteWholeFileAtomic(file.c_str(), "new", 3));
        EXPECT_EQ(mode, ModeOf(file));
    }
}

TEST_F(WriteTargets, OwnerIsKeptWhereTheProcessMayKeepIt) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    const std::string file = dir_.file("a.ini");
    ASSERT_TRUE(WriteFileBytes(file, "old"));
    ASSERT_EQ(0, chown(file.c_str(), 4321, 4322));
    ASSERT_TRUE(WriteWholeFileAtomic(file.c_str(), "new", 3));
    struct stat st;
    ASSERT_EQ(0, stat(file.c_str(), &st));
    EXPECT_EQ(4321u, st.st_uid);
    EXPECT_EQ(4322u, st.st_gid);
}

// A FIFO, a socket, a device (through a link), a folder and a loop of links
// are refused by every way of writing and reading a file, at once: nothing
// waits for the other end of the FIFO, nothing replaces what is there.
TEST_F(WriteTargets, SpecialFilesAreRefusedWithoutWaiting) {
    const testing::SpecialFiles special(dir_, ".ini");
    ASSERT_TRUE(special.made());
    const std::string loop = dir_.file("loop.ini");
    fs::create_symlink("loop2.ini", loop);
    fs::create_symlink("loop.ini", dir_.file("loop2.ini"));
    const std::set<std::string> before = NamesIn(dir_.path());

    std::vector<std::string> paths = special.paths();
    paths.push_back(loop);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(platform::WriteTargetKind::kRefused,
                  platform::ResolveWriteTarget(path.c_str()).kind);
        EXPECT_FALSE(WriteWholeFileAtomic(path.c_str(), "new", 3));
        EXPECT_FALSE(WriteWholeFile(path.c_str(), "new", 3));
        for (const char* mode : {"rb", "wb", "ab", "r+b"}) {
            SCOPED_TRACE(mode);
            std::FILE* file = platform::OpenFile(path.c_str(), mode);
            EXPECT_EQ(nullptr, file);
            if (file) std::fclose(file);
        }
        EXPECT_EQ(nullptr, ReadWholeFile(path.c_str()));
    }
    EXPECT_TRUE(special.Untouched());
    EXPECT_EQ(before, NamesIn(dir_.path()));
}

// Deleting a link removes the link, whatever it points to, and leaves that
// file and its mode alone.
TEST_F(WriteTargets, DeletingALinkLeavesItsFile) {
    const std::string real = dir_.file("real.png");
    ASSERT_TRUE(WriteFileBytes(real, "mine"));
    ASSERT_EQ(0, chmod(real.c_str(), 0444));
    const std::string link = dir_.file("GL_1.png");
    const std::string dangling = dir_.file("GL_2.png");
    fs::create_symlink(real, link);
    fs::create_symlink(dir_.file("nothing"), dangling);
    EXPECT_TRUE(DeleteFileForce(link.c_str()));
    EXPECT_TRUE(DeleteFileForce(dangling.c_str()));
    EXPECT_EQ(std::set<std::string>{"real.png"}, NamesIn(dir_.path()));
    EXPECT_EQ(0444u, ModeOf(real));
    EXPECT_EQ("mine", ReadFileBytes(real));
}

#endif  // !_WIN32

}  // namespace
}  // namespace glyphoria
