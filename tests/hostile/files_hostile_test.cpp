// The tool's writes of a user's file ("prefs set", "fetch -o") against what a
// disk holds: a preferences file kept elsewhere through a link, a file of
// mode 0600, a FIFO, a socket, a device, a folder; and preference texts that
// begin with a byte-order mark or hold a stray CR. Each case ends with the
// disk as it must be, byte for byte, and nothing waits on a FIFO.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/common/loopback_server.h"
#include "tests/common/nonregular_files.h"
#include "tests/common/test_env.h"

namespace {

namespace fs = std::filesystem;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::ResponseHead;
using glyphoria::testing::ScriptedServer;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class HostileFiles : public ::testing::Test {
  protected:
    int Tool(const std::vector<std::string>& args) {
        return glyphoria::testing::RunProgram(GLYPHORIA_TOOL_PATH, args, out_.file("stdout.txt"));
    }
    int Fetch(const std::string& to) {
        ScriptedServer server({ScriptedServer::Send(
            ResponseHead("200 OK", {"Content-Type: text/plain", "Content-Length: 7"}) +
            "fetched")});
        return Tool({"fetch", server.url("/doc"), "-o", to});
    }

    TempDir dir_;
    TempDir out_;
};

// A preferences file in a dotfiles folder, linked into the configuration
// folder: the file there changes and keeps its mode, the link stays a link.
// The same for the tool's output file.
TEST_F(HostileFiles, WritesGoThroughLinksAndKeepTheMode) {
    fs::create_directories(dir_.file("dotfiles"));
    fs::create_directories(dir_.file("config"));
    const std::string real = dir_.file("dotfiles/Glyphoria.ini");
    const std::string link = dir_.file("config/Glyphoria.ini");
    ASSERT_TRUE(WriteFileBytes(real, "[General]\nhomepage=http://old.test/\n"));
    ASSERT_EQ(0, chmod(real.c_str(), 0600));
    fs::create_symlink("../dotfiles/Glyphoria.ini", link);

    EXPECT_EQ(0, Tool({"prefs", "set", link, "General", "homepage", "http://new.test/"}));
    EXPECT_EQ("[General]\nhomepage=http://new.test/\n", ReadFileBytes(real));
    EXPECT_EQ(0600u, ModeOf(real));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ("../dotfiles/Glyphoria.ini", fs::read_symlink(link).string());

    const std::string saved = dir_.file("dotfiles/saved.txt");
    const std::string saved_link = dir_.file("config/saved.txt");
    ASSERT_TRUE(WriteFileBytes(saved, "old"));
    ASSERT_EQ(0, chmod(saved.c_str(), 0640));
    fs::create_symlink(saved, saved_link);
    EXPECT_EQ(0, Fetch(saved_link));
    EXPECT_EQ("fetched", ReadFileBytes(saved));
    EXPECT_EQ(0640u, ModeOf(saved));
    EXPECT_TRUE(fs::is_symlink(saved_link));

    EXPECT_EQ((std::set<std::string>{"Glyphoria.ini", "saved.txt"}),
              NamesIn(dir_.file("dotfiles")));
    EXPECT_EQ((std::set<std::string>{"Glyphoria.ini", "saved.txt"}), NamesIn(dir_.file("config")));
}

// A FIFO, a socket, a device and a folder where the file should be: both
// commands fail at once and leave each as it was.
TEST_F(HostileFiles, WhatIsNoFileIsRefusedWithoutWaiting) {
    const glyphoria::testing::SpecialFiles special(dir_, ".ini");
    ASSERT_TRUE(special.made());
    const std::set<std::string> before = NamesIn(dir_.path());
    for (const std::string& path : special.paths()) {
        SCOPED_TRACE(path);
        EXPECT_NE(0, Tool({"prefs", "set", path, "General", "homepage", "http://new.test/"}));
        EXPECT_NE(0, Fetch(path));
    }
    EXPECT_TRUE(special.Untouched());
    EXPECT_EQ(before, NamesIn(dir_.path()));
}

// A byte-order mark does not hide the first section and stays; one CR in a
// value does not make every line end a CR.
TEST_F(HostileFiles, PreferenceTextsWithAByteOrderMarkOrAStrayCr) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"byte-order mark", "\xEF\xBB\xBF[General]\r\nhomepage=http://old.test/\r\na=1\r\n",
         "\xEF\xBB\xBF[General]\r\na=1\r\nhomepage=http://new.test/\r\n"},
        {"stray CR", "[General]\nname=a\rb\nhomepage=http://old.test/\n",
         "[General]\nname=a\nb\nhomepage=http://new.test/\n"},
    };
    const std::string file = dir_.file("Glyphoria.ini");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(file, c.before));
        EXPECT_EQ(0, Tool({"prefs", "get", file, "General", "homepage"}));
        EXPECT_EQ("http://old.test/\n", ReadFileBytes(out_.file("stdout.txt")));
        EXPECT_EQ(0, Tool({"prefs", "set", file, "General", "homepage", "http://new.test/"}));
        EXPECT_EQ(c.after, ReadFileBytes(file));
    }
}

}  // namespace
