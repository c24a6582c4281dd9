// The xml, strings and self-check subcommands, run as a separate program.
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

TEST(TextTools, XmlAndStringsCommands) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("c.xml"),
                               "<r><CartUrl>a&amp;b</CARTURL><i>1</i><i>2\r\n</i><e></e></r>"));
    const std::string file = dir.file("c.xml");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"xml", "get", file, "cartUrl"}, 0, "a&amp;b\n"},
        {{"xml", "get", file, "e"}, 1, ""},
        {{"xml", "get", file, "missing"}, 1, ""},
        {{"xml", "each", file, "i"}, 0, "<i>1</i>\n<i>2\\r\\n</i>\n"},
        {{"xml", "each", file, "missing"}, 1, ""},
        {{"xml", "get", dir.file("none.xml"), "i"}, 1, ""},
        {{"xml", "get", file}, 2, ""},
        {{"xml", "put", file, "i"}, 2, ""},
        {{"strings", "get", "noselection", "--lang", "de"},
         0,
         "Zum Testen einer Schrift bitte einen oder mehrere Textrahmen ausw\xC3\xA4hlen!\n"},
        {{"strings", "get", "NOINTERNET", "--lang", "en"},
         0,
         "There seems to be no connection to the internet!\n"},
        {{"strings", "get", "invalidDLL", "--lang", "en"}, 1, "invalidDLL\n"},
        {{"strings", "get", "yes", "--lang", "fr"}, 2, ""},
        {{"strings"}, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Result r = RunTool(dir, c.args);
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.out, r.out);
    }
}

TEST(TextTools, VersionIsThePlugInsOwn) {
    TempDir dir;
    Result r = RunTool(dir, {"--version"});
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("glyphoria 1.28\n", r.out);
}

TEST(TextTools, SelfCheckPasses) {
    TempDir dir;
    Result r = RunTool(dir, {"self-check"});
    EXPECT_EQ(0, r.status);
    EXPECT_NE(r.out.find("self-check: all 7 checks passed\n"), std::string::npos) << r.out;
}

}  // namespace
