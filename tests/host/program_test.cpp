// The host program end to end: pictures of the shipped examples, a script
// with the test plug-in, and its command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "host/app/script.h"
#include "host/core/file_uri.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

// Runs the program; returns its exit status and fills *out with stdout.
int RunHost(const std::string& args, std::string* out) {
    std::string cmd = std::string(HOST_PROGRAM_PATH) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    out->clear();
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out->append(buf, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HostProgramTest, RendersEveryShippedExample) {
    struct Case {
        const char* doc;
        int width, height;  // spread size at scale 2
    };
    const Case cases[] = {{"sampler.json", 1280, 880}, {"poster.json", 840, 600}};
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doc);
        std::string out, png = dir.file(std::string(c.doc) + ".png");
        ASSERT_EQ(
            0, RunHost(std::string(EXAMPLES_DIR) + "/" + c.doc + " --render " + png + " --scale 2",
                       &out))
            << out;
        int32 w = 0, h = 0;
        ASSERT_TRUE(hostcore::ReadPngSize(ReadFileBytes(png), &w, &h));
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);
    }
}

TEST(HostProgramTest, ScriptDrivesThePlugInAndTheDocument) {
    TempDir dir;
    WriteFileBytes(dir.file("script.txt"),
                   "# comment lines are skipped\n"
                   "select body headline\n"
                   "state 0x7e5711\n"
                   "idle\n"
                   "key T\n"
                   "state 0x7e5710\n"
                   "label \"small print\" note\n"
                   "save saved.json\n"
                   "render saved.png\n");
    std::string plugins = std::string(TEST_PLUGIN_PATH);
    plugins = plugins.substr(0, plugins.rfind('/'));
    std::string out;
    ASSERT_EQ(0, RunHost(std::string(EXAMPLES_DIR) + "/sampler.json --plugins " + plugins +
                             " --script " + dir.file("script.txt"),
                         &out))
        << out;
    const char* expected[] = {
        "loaded 1 plug-in(s)",
        "> select body headline\n  selected 2 frame(s) headline (uid 13) body (uid 19)",
        "0x7e5711 enabled \"Act on selection\"",
        "idle: 1 task run(s), 0 installed",
        "key T: action 0x7e5710 ran",
        "0x7e5710 enabled checked \"Toggle\"",
        "  kept with the frame\n",
    };
    for (const char* e : expected)
        EXPECT_NE(std::string::npos, out.find(e)) << e << "\n" << out;
    EXPECT_TRUE(glyphoria::testing::PathExists(dir.file("saved.json")));
    EXPECT_TRUE(glyphoria::testing::PathExists(dir.file("saved.png")));
}

TEST(HostProgramTest, PlaceReplacesAFrameInOneStepOrNotAtAll) {
    TempDir dir;
    WriteFileBytes(dir.file("tile.png"), ReadFileBytes(std::string(EXAMPLES_DIR) + "/tile.png"));
    WriteFileBytes(dir.file("s.txt"),
                   "place greeting tile.png\n"
                   "list\n"
                   "undo\n"
                   "text greeting\n"
                   "place body missing.png\n");
    std::string out;
    EXPECT_EQ(1, RunHost(std::string(EXAMPLES_DIR) + "/sampler.json --script " + dir.file("s.txt"),
                         &out));
    for (const char* e : {"placed tile.png as #6", "picture [366.276, 96.7457, 526.276, 196.746]",
                          "undid \"Place\"", "\"Grüße aus Köln", "error: cannot place missing.png"})
        EXPECT_NE(std::string::npos, out.find(e)) << e << "\n" << out;
}

TEST(HostProgramTest, ScriptStopsAtTheFirstFailure) {
    TempDir dir;
    WriteFileBytes(dir.file("s.txt"), "undo\nlist\n");
    std::string out;
    EXPECT_EQ(
        1, RunHost(std::string(EXAMPLES_DIR) + "/poster.json --script " + dir.file("s.txt"), &out));
    EXPECT_NE(std::string::npos, out.find("error: nothing to undo")) << out;
    EXPECT_EQ(std::string::npos, out.find("> list")) << out;
}

TEST(HostProgramTest, CommandLine) {
    struct Case {
        const char* args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"--help", 0, "script verbs:"},
        {"", 2, "usage:"},
        {"a.json b.json", 2, "usage:"},
        {"x.json --render", 2, "usage:"},
        {"/no/such/doc.json --render /tmp/x.png", 1, "cannot read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::string out;
        EXPECT_EQ(c.status, RunHost(c.args, &out));
        EXPECT_NE(std::string::npos, out.find(c.says)) << out;
    }
}

TEST(ScriptLineTest, SplitsWordsAndQuotes) {
    struct Case {
        const char* line;
        bool ok;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"select a b", true, {"select", "a", "b"}},
        {"  label \"small print\"  note ", true, {"label", "small print", "note"}},
        {"say \"\"", true, {"say", ""}},
        {"", true, {}},
        {"bad \"quote", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> words;
        EXPECT_EQ(c.ok, hostapp::SplitScriptLine(c.line, &words));
        if (c.ok) {
            EXPECT_EQ(c.words, words);
        }
    }
}

}  // namespace
