// The shipped session script in the host program with the real module, the
// web-window library beside it and the stand-in shop: the transcript, the
// log file and the preferences file show every step.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

#include "testing/shop/shop.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TestHome;
using glyphoria::testing::WriteFileBytes;

int RunHost(const std::string& args, std::string* out) {
    std::string command = std::string(HOST_PROGRAM_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out->append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SessionProgramTest, TheShippedScriptOpensTriesRevertsAndShutsDown) {
    glyphoria::testing::shop::Shop shop({0, false});
    ASSERT_TRUE(shop.Start());
    const std::string prefs = TestHome() + "/.config/Glyphoria.ini";
    ASSERT_TRUE(
        WriteFileBytes(prefs, "[General]\r\nconfig=" + shop.config_url() + "\r\nshortcut=G\r\n"));

    std::string out;
    ASSERT_EQ(0, RunHost(std::string(EXAMPLES_DIR) + "/sampler.json --plugins " +
                             GLYPHORIA_MODULE_DIR + " --script " + EXAMPLES_DIR + "/session.script",
                         &out))
        << out;

    // The transcript, step by step.
    const char* steps[] = {
        "loaded 1 plug-in(s)",
        "idle: 1 task run(s), 0 installed",
        "0x159842 Glyphoria > Sampler",
        "0x159842 enabled \"Sampler\"",
        "ran action 0x159842",
        "0x159842 enabled checked \"Sampler\"",
        "web try 1001: 0",
        "picture [30, 24, 610, 84] labelled",
        "0x159841 enabled \"Restore text frame\"",
        "web revert: 0",
        "text [30, 24, 610, 84]",
        "\"Glyphoria sampler\"",
        "0x159841 disabled \"Restore text frame\"",
        "callback\tdoTry\tid=1001&psname=",
        "callback\tdoRevert\tall=1\t0",
        "0x159842 enabled \"Sampler\"",
    };
    size_t at = 0;
    for (const char* step : steps) {
        size_t found = out.find(step, at);
        ASSERT_NE(std::string::npos, found)
            << "missing after position " << at << ": " << step << "\n"
            << out;
        at = found;
    }
    EXPECT_FALSE(Contains(out, "error:")) << out;

    // The log: the start-up lines first, then the try and the restore.
    const std::string log = ReadFileBytes(TestHome() + "/Documents/Glyphoria.txt");
    EXPECT_TRUE(std::regex_search(
        log,
        std::regex("^\xEF\xBB\xBFGlyphoria: CS 55\r\\d\\d:\\d\\d:\\d\\d\rselectedFrames: 1\r")))
        << log;
    EXPECT_TRUE(
        Contains(log, "samplerURL: " + shop.renderer_url() + "?imagetype=typeit&shopid=1001"))
        << log;
    EXPECT_TRUE(Contains(log, "setTag: id=1001")) << log;

    // The preferences: the configuration came from the shop and was kept.
    const std::string stored = ReadFileBytes(prefs);
    for (const auto& [key, value] : shop.StandardConfigValues())
        EXPECT_TRUE(Contains(stored, key + "=" + value + "\r\n")) << key << "\n" << stored;
    EXPECT_TRUE(Contains(stored, "shortcut=G\r\n"));

    // The shop served the page, the configuration once and one rendering.
    EXPECT_EQ(1u, shop.log().WithPrefix("/glyphoria/config.xml").size());
    EXPECT_EQ(1u, shop.log().WithPrefix("/render?").size());
}

// The shipped whole-page script: every frame of the demo page tried and
// restored, the frames then compared with those saved before the try.
TEST(SessionProgramTest, EveryFrameOfTheDemoPageComesBackAsItWasSaved) {
    glyphoria::testing::shop::Shop shop({0, false});
    ASSERT_TRUE(shop.Start());
    const std::string prefs = TestHome() + "/.config/Glyphoria.ini";
    ASSERT_TRUE(WriteFileBytes(prefs, "[General]\r\nconfig=" + shop.config_url() + "\r\n"));
    // From a folder of its own: the script writes its files beside itself.
    glyphoria::testing::TempDir dir;
    const std::string script = dir.file("lossless.script");
    ASSERT_TRUE(
        WriteFileBytes(script, ReadFileBytes(std::string(EXAMPLES_DIR) + "/lossless.script")));

    std::string out;
    EXPECT_EQ(0, RunHost(std::string(EXAMPLES_DIR) + "/demo.json --plugins " +
                             GLYPHORIA_MODULE_DIR + " --script " + script,
                         &out))
        << out;
    EXPECT_TRUE(Contains(out, "web try 1001: 0")) << out;
    // The rotated frame's picture is turned as the frame was: the same outer box.
    EXPECT_TRUE(std::regex_search(
        out, std::regex(R"(rotated \(uid \d+\) picture \[388.718, 152.366, 603.282, 243.634\])")))
        << out;
    EXPECT_TRUE(Contains(out, "the same frames as lossless-before.json")) << out;
    EXPECT_FALSE(Contains(out, "error:")) << out;
    EXPECT_EQ(5u, shop.log().WithPrefix("/render?").size());
    EXPECT_FALSE(ReadFileBytes(dir.file("lossless-after.json")).empty());
}

}  // namespace
