// glyphoria demo --window: the layout opens in the layout window, the
// sampler window opens from the menu on a real page, and a script given to
// the demo acts there as a person would (the engine clicks the try link),
// all in the demo's output folder; without a display it says so.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/gui_display.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"
#include "tests/common/text_count.h"

namespace {

using glyphoria::testing::CountOccurrences;
using glyphoria::testing::PathExists;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::RunProgram;
using glyphoria::testing::ScopedEnv;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

TEST(DemoWindow, TheSamplerOpensFromTheMenuAndTheScriptTriesAFont) {
    GLYPHORIA_REQUIRE_DISPLAY();
    ASSERT_TRUE(glyphoria::testing::OpenGuiDisplay());
    TempDir dir;
    const std::string out = dir.file("demo");
    WriteFileBytes(dir.file("try.script"),
                   "select headline body\n"
                   "web try 1005\n"
                   "list\n"
                   "snapshot tried.png page\n"
                   "close\n");
    ASSERT_EQ(0, RunProgram(GLYPHORIA_TOOL_PATH,
                            {"demo", "--window", "--quiet", "--output", out, "--script",
                             dir.file("try.script")},
                            dir.file("tool.txt")))
        << ReadFileBytes(dir.file("tool.txt")) << ReadFileBytes(out + "/plugin-console.txt");
    const std::string console = ReadFileBytes(out + "/plugin-console.txt");
    size_t at = 0;
    for (const char* step :
         {"> menu 0x159842", "ran action 0x159842", "web wait: 1", "web try 1005: 0", "> list",
          "> snapshot tried.png page", "closed the layout window"}) {
        const size_t found = console.find(step, at);
        ASSERT_NE(std::string::npos, found) << step << "\n" << console;
        at = found;
    }
    EXPECT_EQ(2, CountOccurrences(console, " picture [")) << console;
    EXPECT_EQ(2, CountOccurrences(ReadFileBytes(out + "/shop-requests.txt"), " /render?"));
    EXPECT_TRUE(PathExists(out + "/tried.png"));
    // The window showed a copy of the layout, with the module's home here.
    EXPECT_TRUE(PathExists(out + "/demo.json"));
    EXPECT_NE(std::string::npos,
              ReadFileBytes(out + "/home/Documents/Glyphoria.txt").find("Glyphoria"));
    EXPECT_NE(std::string::npos,
              ReadFileBytes(out + "/home/config/Glyphoria.ini").find("tryWndRect="));
}

TEST(DemoWindow, WithoutADisplayItSaysSo) {
    ScopedEnv display("DISPLAY", nullptr);
    TempDir dir;
    EXPECT_EQ(1, RunProgram(GLYPHORIA_TOOL_PATH, {"demo", "--window", "--output", dir.file("demo")},
                            dir.file("tool.txt")));
    EXPECT_FALSE(PathExists(dir.file("demo")));
}

}  // namespace
