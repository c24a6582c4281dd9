// The prefs subcommand, run as a separate program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/test_env.h"
#include "tests/tools/tool_runner.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

using Result = glyphoria::testing::ToolResult;
using glyphoria::testing::RunTool;

TEST(PrefsTool, SetThenGetRoundTrip) {
    TempDir dir;
    const std::string file = dir.file("p.ini");
    Result set = RunTool(dir, {"prefs", "set", file, "General", "k", "v"});
    EXPECT_EQ(0, set.status);
    EXPECT_EQ("[General]\r\nk=v\r\n", ReadFileBytes(dir.file("p.ini")));
    Result get = RunTool(dir, {"prefs", "get", file, "General", "k"});
    EXPECT_EQ(0, get.status);
    EXPECT_EQ("v\n", get.out);
}

TEST(PrefsTool, ExitStatus) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("p.ini"), "[General]\nsampleSizeFactor=1.5\n"));
    const std::string file = dir.file("p.ini");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"prefs", "get", file, "General", "missing"}, 1, ""},
        {{"prefs", "float", file, "General", "sampleSizeFactor", "1"}, 0, "1.5\n"},
        {{"prefs", "float", file, "General", "missing", "2.5"}, 0, "2.5\n"},
        {{"prefs", "float", file, "General", "missing", "x"}, 2, ""},
        {{"prefs", "set", file, "General", "[Evil]", "v"}, 1, ""},
        {{"prefs", "set", file, "General", "k", "a\nb"}, 1, ""},
        {{"prefs", "get", file}, 2, ""},
        {{"prefs"}, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Result r = RunTool(dir, c.args);
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.out, r.out);
    }
    // Refused settings left the file as it was.
    EXPECT_EQ("[General]\nsampleSizeFactor=1.5\n", ReadFileBytes(dir.file("p.ini")));
}

}  // namespace
