// glyphoria demo --window --form mac: the Mac module in the host's layout
// window, its own windows on GTK with the real engine. A script plays the
// designer: a try from the sampler panel, Ctrl-Z in it, then the purchase
// panel from the page's Cart, the download folder chosen when the archive
// comes, the download and the installation, and Close.
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
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

TEST(MacWindowDemo, TryCtrlZAndAPurchaseInTheMacFormsOwnWindows) {
    GLYPHORIA_REQUIRE_DISPLAY();
    // Held while the demo's programs come and go on the display.
    ASSERT_TRUE(glyphoria::testing::OpenGuiDisplay());
    TempDir dir;
    const std::string out = dir.file("demo");
    WriteFileBytes(dir.file("mac.script"),
                   "select headline body\n"
                   "mac try 1005\n"
                   "mac key sampler ctrl+z\n"
                   "list\n"
                   "mac folder " +
                       out +
                       "/home/Downloads\n"
                       "mac modal link purchase download-all\n"
                       "mac modal click purchase close\n"
                       "mac cart\n"
                       "close\n");
    ASSERT_EQ(0, RunProgram(GLYPHORIA_TOOL_PATH,
                            {"demo", "--window", "--form", "mac", "--quiet", "--output", out,
                             "--script", dir.file("mac.script")},
                            dir.file("tool.txt")))
        << ReadFileBytes(dir.file("tool.txt")) << ReadFileBytes(out + "/plugin-console.txt");
    const std::string console = ReadFileBytes(out + "/plugin-console.txt");
    size_t at = 0;
    for (const char* step :
         {"platform: windows on screen", "mac page sampler: 1", "mac try 1005: 1",
          "mac key sampler ctrl+z: 1", "> list", "downloadDidFinish", "sheetDidEnd", "mac cart: 1",
          "closed the layout window"}) {
        const size_t found = console.find(step, at);
        ASSERT_NE(std::string::npos, found) << step << "\n" << console;
        at = found;
    }
    // Two frames tried, one taken back by Ctrl-Z in the sampler panel.
    EXPECT_EQ(2, CountOccurrences(ReadFileBytes(out + "/shop-requests.txt"), " /render?"));
    EXPECT_EQ(1, CountOccurrences(console, " picture [")) << console;
    EXPECT_TRUE(PathExists(out + "/home/Downloads/GlyphoriaFonts.zip"));
    EXPECT_TRUE(PathExists(out + "/home/data/fonts/Cantarell-Regular.otf"));
}

}  // namespace
