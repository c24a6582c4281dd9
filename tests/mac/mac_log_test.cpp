#include "mac/mac_log.h"

#include <gtest/gtest.h>

#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

const std::string kSeparator = "-------------------------------------\n";  // 37
const std::string kHeader = "08.12.2026: Glyphoria 1.28, CS 55\n";

class MacLogTest : public MacTest {
  protected:
    std::string File() const { return dir_.file("Glyphoria.txt"); }
    testing::TempDir dir_;
};

TEST_F(MacLogTest, ExactLines) {
    ASSERT_EQ(37u, kSeparator.size() - 1);
    struct Case {
        const char* name;
        const char* before;  // null: no file
        int mode;
        std::string expected;
    } cases[] = {
        {"mode 0, new file", nullptr, 0, kSeparator + kHeader},
        {"mode 0 appends", "older\n", 0, "older\n" + kSeparator + kHeader},
        {"mode 1, new file", nullptr, 1, kHeader},
        {"mode 1 empties the file", "older\n", 1, kHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(File().c_str());
        if (c.before) testing::WriteFileBytes(File(), c.before);
        OpenMacLogInFolder(c.mode, dir_.path());
        EXPECT_EQ(File(), MacLogPath());
        MacLog("Internetflags: %d", 2);
        MacLog("samplerURL: %s", "http://r.test/?a=%41");
        EXPECT_EQ(c.expected + "12:34:56: Internetflags: 2\n" +
                      "12:34:56: samplerURL: http://r.test/?a=%41\n",
                  testing::ReadFileBytes(File()));
    }
}

TEST_F(MacLogTest, SystemLogGetsTheMessageUnchanged) {
    OpenMacLogInFolder(1, dir_.path());
    system_log_.clear();
    MacLog("\tsuggestedFileName: %s", "fonts.zip");
    MacLogText("100% text, not a format: %s");
    EXPECT_EQ(
        (std::vector<std::string>{"\tsuggestedFileName: fonts.zip", "100% text, not a format: %s"}),
        system_log_);
    EXPECT_EQ(kHeader + "12:34:56: \tsuggestedFileName: fonts.zip\n" +
                  "12:34:56: 100% text, not a format: %s\n",
              testing::ReadFileBytes(File()));
}

TEST_F(MacLogTest, SubfolderIsCreatedAndNoByteOrderMark) {
    OpenMacLogInFolder(1, dir_.path(), "Vendor");
    EXPECT_EQ(dir_.file("Vendor/Glyphoria.txt"), MacLogPath());
    MacLog("x");
    const std::string bytes = testing::ReadFileBytes(MacLogPath());
    EXPECT_EQ('0', bytes.at(0));
    EXPECT_EQ(std::string::npos, bytes.find('\r'));
}

TEST_F(MacLogTest, BeforeOpeningOnlyTheSystemLog) {
    CloseMacLog();
    system_log_.clear();
    MacLog("early");
    EXPECT_EQ(std::vector<std::string>{"early"}, system_log_);
    EXPECT_EQ("", MacLogPath());
}

TEST_F(MacLogTest, LongMessagesAreCutOnACharacterBoundary) {
    OpenMacLogInFolder(1, dir_.path());
    const std::string text = std::string(8190, 'a') + "ßtail";
    MacLog("%s", text.c_str());
    // 8191 bytes at most: the ß would need bytes 8191 and 8192.
    EXPECT_EQ(kHeader + "12:34:56: " + std::string(8190, 'a') + "\n",
              testing::ReadFileBytes(File()));
}

}  // namespace
}  // namespace glyphoria::mac
