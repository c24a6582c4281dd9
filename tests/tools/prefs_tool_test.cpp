// The prefs subcommand, run as a separate program through the shell.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

struct Result {
    int status;
    std::string out;
};

// Arguments are quoted for the shell; none of them holds a single quote.
Result RunTool(const TempDir& dir, const std::string& args) {
    const std::string out = dir.file("stdout.txt");
    const std::string rc = dir.file("rc.txt");
    const std::string command = std::string("'") + GLYPHORIA_TOOL_PATH + "' " + args + " >'" + out +
                                "' 2>/dev/null; echo $? >'" + rc + "'";
    if (std::system(command.c_str()) != 0) return {-1, ""};
    return {std::atoi(ReadFileBytes(rc).c_str()), ReadFileBytes(out)};
}

TEST(PrefsTool, SetThenGetRoundTrip) {
    TempDir dir;
    const std::string file = "'" + dir.file("p.ini") + "'";
    Result set = RunTool(dir, "prefs set " + file + " General k v");
    EXPECT_EQ(0, set.status);
    EXPECT_EQ("[General]\r\nk=v\r\n", ReadFileBytes(dir.file("p.ini")));
    Result get = RunTool(dir, "prefs get " + file + " General k");
    EXPECT_EQ(0, get.status);
    EXPECT_EQ("v\n", get.out);
}

TEST(PrefsTool, ExitStatus) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("p.ini"), "[General]\nsampleSizeFactor=1.5\n"));
    const std::string file = "'" + dir.file("p.ini") + "'";
    struct Case {
        std::string args;
        int status;
        std::string out;
    } cases[] = {
        {"prefs get " + file + " General missing", 1, ""},
        {"prefs float " + file + " General sampleSizeFactor 1", 0, "1.5\n"},
        {"prefs float " + file + " General missing 2.5", 0, "2.5\n"},
        {"prefs float " + file + " General missing x", 2, ""},
        {"prefs set " + file + " General '[Evil]' v", 1, ""},
        {"prefs set " + file + " General k \"$(printf 'a\\nb')\"", 1, ""},
        {"prefs get " + file, 2, ""},
        {"prefs", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Result r = RunTool(dir, c.args);
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.out, r.out);
    }
    // Refused settings left the file as it was.
    EXPECT_EQ("[General]\nsampleSizeFactor=1.5\n", ReadFileBytes(dir.file("p.ini")));
}

}  // namespace
