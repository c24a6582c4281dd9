// glyphoria-host --window as a person or a script starts it: the script
// drives the live window line by line and photographs it, a failing line
// ends the program, and without a display it says so instead of hanging.
#include <cairo.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/common/gui_display.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"
#include "window_fixture.h"

namespace windowtest {
namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::RunProgram;
using glyphoria::testing::ScopedEnv;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

std::string PlugInFolder() {
    const std::string path = TEST_PLUGIN_PATH;
    return path.substr(0, path.rfind('/'));
}

int RunWindow(TempDir& dir, const std::string& script, std::string* transcript,
              std::vector<std::string> more = {}) {
    WriteFileBytes(dir.file("script.txt"), script);
    std::vector<std::string> args = {
        EXAMPLES_DIR "/sampler.json", "--window", "--plugins", PlugInFolder(), "--script",
        dir.file("script.txt")};
    args.insert(args.end(), more.begin(), more.end());
    const int status = RunProgram(HOST_PROGRAM_PATH, args, dir.file("out.txt"));
    *transcript = ReadFileBytes(dir.file("out.txt"));
    return status;
}

TEST(HostWindowProgram, ScriptDrivesTheLiveWindow) {
    GLYPHORIA_REQUIRE_DISPLAY();
    ASSERT_TRUE(glyphoria::testing::OpenGuiDisplay());
    TempDir dir;
    std::string out;
    ASSERT_EQ(0, RunWindow(dir,
                           "idle\n"
                           "key T\n"
                           "state 0x7e5710\n"
                           "select headline body\n"
                           "snapshot shown.png\n"
                           "deselect\n"
                           "snapshot page.png page\n"
                           "render render.png\n"
                           "zoom 200\n"
                           "windows\n"
                           "close\n"
                           "menus\n",
                           &out, {"--render", dir.file("after.png")}))
        << out;
    for (const char* expected : {
             "key T: action 0x7e5710 ran",
             "0x7e5710 enabled checked \"Toggle\"",
             "selected 2 frame(s)",
             "wrote shown.png (",
             "wrote page.png (640x440)",
             "zoom 200%",
             "layout \"sampler.json - glyphoria-host\" ",
             "closed the layout window",
         })
        EXPECT_NE(std::string::npos, out.find(expected)) << expected << "\n" << out;
    EXPECT_EQ(std::string::npos, out.find("> menus")) << "a line ran after close";
    cairo_surface_t* page = cairo_image_surface_create_from_png(dir.file("page.png").c_str());
    cairo_surface_t* render = cairo_image_surface_create_from_png(dir.file("render.png").c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(page));
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(render));
    EXPECT_EQ(0, Compare(render, page).count);
    cairo_surface_destroy(page);
    cairo_surface_destroy(render);
    EXPECT_TRUE(glyphoria::testing::PathExists(dir.file("after.png")));
}

TEST(HostWindowProgram, AFailingLineEndsTheProgram) {
    GLYPHORIA_REQUIRE_DISPLAY();
    ASSERT_TRUE(glyphoria::testing::OpenGuiDisplay());
    TempDir dir;
    std::string out;
    EXPECT_EQ(1, RunWindow(dir, "select nosuch\nzoom 100\n", &out)) << out;
    EXPECT_NE(std::string::npos, out.find("error: no frame named \"nosuch\"")) << out;
    EXPECT_EQ(std::string::npos, out.find("> zoom")) << out;
}

TEST(HostWindowProgram, WithoutADisplayItSaysSo) {
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    TempDir dir;
    std::string out;
    EXPECT_EQ(1, RunWindow(dir, "close\n", &out)) << out;
    EXPECT_EQ(std::string::npos, out.find("closed")) << out;
}

TEST(HostWindowProgram, HelpNamesTheWindowVerbs) {
    TempDir dir;
    ASSERT_EQ(0, RunProgram(HOST_PROGRAM_PATH, {"--window", "--help"}, dir.file("help.txt")));
    const std::string help = ReadFileBytes(dir.file("help.txt"));
    for (const char* verb : {"--window", "snapshot FILE.png", "screenshot FILE.png", "zoom ",
                             "close ", "select FRAME"})
        EXPECT_NE(std::string::npos, help.find(verb)) << verb;
}

}  // namespace
}  // namespace windowtest
