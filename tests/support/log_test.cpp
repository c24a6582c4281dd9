#include "support/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/path_style.h"
#include "support/limits.h"
#include "tests/common/test_env.h"

namespace glyphoria {
namespace {

using testing::PathExists;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::UserDocumentsFolder;
using testing::WriteFileBytes;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;
namespace fs = std::filesystem;

const std::string kBom = "\xEF\xBB\xBF";

// Each test opens the log in its own folder; echo is off unless a test is
// about it.
class LogTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLogEcho(false); }
    void TearDown() override {
        OpenLogInFolder(0, "", "");
        SetLogEcho(true);
    }
    std::string LogFile() const { return dir.file("Glyphoria.txt"); }
    TempDir dir;
};

TEST_F(LogTest, NewFileStartsWithBomAndTakesMessagesAsFormatted) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    EXPECT_EQ(LogFile(), LogPath());
    EXPECT_EQ(1, LogLevel());
    EXPECT_EQ(kBom, ReadFileBytes(LogFile()));
    LogMessage("Glyphoria: CS %d\r", 55);
    LogMessage("setTag: %s", "a=1");
    LogMessage("selectedFrames: %d", 2);  // no CR: same line as the one before
    EXPECT_EQ(kBom + "Glyphoria: CS 55\rsetTag: a=1selectedFrames: 2", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, OpeningAgainKeepsOneBom) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    LogMessage("%s", "one\r");
    OpenLogInFolder(1, dir.path().c_str(), "");
    EXPECT_EQ(kBom + "one\r", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, SizeLimitAtOpen) {
    struct Case {
        std::size_t size;
        bool kept;
    } cases[] = {{100000, true}, {100001, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string old = kBom + std::string(c.size - kBom.size(), 'o');
        ASSERT_TRUE(WriteFileBytes(LogFile(), old));
        OpenLogInFolder(1, dir.path().c_str(), "");
        EXPECT_EQ(c.kept ? old : kBom, ReadFileBytes(LogFile()));
    }
}

TEST_F(LogTest, ExistingFileWithoutBomIsLeftAlone) {
    ASSERT_TRUE(WriteFileBytes(LogFile(), "older lines\r"));
    OpenLogInFolder(1, dir.path().c_str(), "");
    LogMessage("%s", "new\r");
    EXPECT_EQ("older lines\rnew\r", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, FileRemovedWhileRunningIsRecreatedWithBom) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    fs::remove(LogFile());
    LogMessage("%s", "after\r");
    EXPECT_EQ(kBom + "after\r", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, LevelZeroWritesAndPrintsNothing) {
    SetLogEcho(true);
    OpenLogInFolder(0, dir.path().c_str(), "");
    EXPECT_EQ(0, LogLevel());
    CaptureStdout();
    LogMessage("%s", "quiet\r");
    LogTime("", nullptr);
    EXPECT_EQ("", GetCapturedStdout());
    EXPECT_FALSE(PathExists(LogFile()));
}

TEST_F(LogTest, EchoToStandardOutput) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    SetLogEcho(true);
    CaptureStdout();
    LogMessage("doBuy: %s\r", "http://shop/x.zip");
    EXPECT_EQ("doBuy: http://shop/x.zip\r", GetCapturedStdout());
    SetLogEcho(false);
    CaptureStdout();
    LogMessage("%s", "silent\r");
    EXPECT_EQ("", GetCapturedStdout());
    EXPECT_EQ(kBom + "doBuy: http://shop/x.zip\rsilent\r", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, MessagesThatDoNotFitOrAreEmptyAreDropped) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    const std::string fits(kLogMessageBufferSize - 1, 'f');
    const std::string too_long(kLogMessageBufferSize, 't');
    LogMessage("%s", too_long.c_str());
    LogMessage("%s", "");
    LogMessage("%s", fits.c_str());
    EXPECT_EQ(kBom + fits, ReadFileBytes(LogFile()));
}

TEST_F(LogTest, OutsideTextIsNeverAFormat) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    LogMessage("pathFromURL: %s\r", "file:///%s%n%x");
    EXPECT_EQ(kBom + "pathFromURL: file:///%s%n%x\r", ReadFileBytes(LogFile()));
}

TEST_F(LogTest, TimeStamp) {
    OpenLogInFolder(1, dir.path().c_str(), "");
    LogTime("start ", nullptr);
    LogTime("", " end\n");
    const std::string text = ReadFileBytes(LogFile()).substr(kBom.size());
    ASSERT_EQ(std::string("start 00:00:00\r00:00:00 end\n").size(), text.size());
    EXPECT_EQ("start ", text.substr(0, 6));
    EXPECT_EQ(':', text[8]);
    EXPECT_EQ('\r', text[14]);
    EXPECT_EQ(" end\n", text.substr(text.size() - 5));
}

TEST_F(LogTest, VendorFolder) {
    OpenLogInFolder(1, dir.path().c_str(), nullptr);
    EXPECT_EQ(dir.file("Kestrelworks/Glyphoria.txt"), LogPath());
    EXPECT_EQ(kBom, ReadFileBytes(LogPath()));
    OpenLogInFolder(1, dir.path().c_str(), "Other");
    EXPECT_EQ(dir.file("Other/Glyphoria.txt"), LogPath());
}

TEST_F(LogTest, DocumentsFolderByDefault) {
    OpenLog(1, "");
    EXPECT_EQ(UserDocumentsFolder() + platform::kPathSeparator + "Glyphoria.txt", LogPath());
    EXPECT_TRUE(PathExists(LogPath()));
    fs::remove(LogPath());
}

TEST_F(LogTest, UnusableFolderDropsMessages) {
    OpenLogInFolder(1, dir.file("missing/deeper").c_str(), "");
    LogMessage("%s", "lost\r");  // must not crash or create anything
    EXPECT_FALSE(PathExists(dir.file("missing")));
    const std::string too_long(kPathBufferSize, 'd');
    OpenLogInFolder(1, too_long.c_str(), "");
    EXPECT_STREQ("", LogPath());
    LogMessage("%s", "lost\r");
}

}  // namespace
}  // namespace glyphoria
