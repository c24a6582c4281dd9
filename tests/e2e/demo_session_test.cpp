// The demo session on a small layout: the real module in the host framework
// in this process, the web-window library beside it and the shop on
// loopback, everything written below one output folder. The session runs to
// its end with every check of its summary holding, gives the same summary
// twice in a row, refuses what it must not touch, and the glyphoria program
// exits 0 only when every check holds.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/common/test_env.h"
#include "tools/glyphoria/demo/demo_session.h"

namespace {

namespace fs = std::filesystem;
using glyphoria::demo::DemoCheck;
using glyphoria::demo::DemoOptions;
using glyphoria::demo::DemoReport;
using glyphoria::demo::DemoSession;
using glyphoria::demo::FormatSummary;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TempDir;
using glyphoria::testing::TestHome;
using glyphoria::testing::WriteFileBytes;

// Two frames with text, one of them coloured on a filled frame and beyond
// ASCII, and an empty one; none overlaps another, so the restored page
// draws exactly as the original.
constexpr const char* kSmallLayout = R"({
  "swatches": [
    {"name": "Ocean", "space": "CMYK", "components": [0.9, 0.45, 0.0, 0.1]},
    {"name": "Lemon", "space": "RGB", "components": [1.0, 0.95, 0.4]}],
  "spreads": [{"bounds": [0, 0, 400, 240], "layers": [{"items": [
    {"type": "text", "name": "title", "bounds": [20, 20, 380, 70],
     "story": {"runs": [{"text": "Small title", "font": "LiberationSerif", "size": 30}]}},
    {"type": "text", "name": "note", "bounds": [20, 90, 380, 130], "fill": "Ocean",
     "story": {"runs": [{"text": "Grüße – ½ € Ελληνικά", "font": "DejaVuSans", "size": 14,
                          "color": "Lemon"}]}},
    {"type": "text", "name": "blank", "bounds": [20, 150, 380, 220]}]}]}]})";

// A frame whose text cannot be kept whole while it is tried (one character
// per run, past the copy's limit): the try leaves it alone and tells the user.
std::string TooLongLayout() {
    std::string runs;
    for (int i = 0; i < 16000; ++i)
        runs += std::string(i ? "," : "") + R"({"text": "x", "font": "LiberationSerif", "size": )" +
                (i % 2 ? "9" : "10") + "}";
    return R"({"spreads": [{"bounds": [0, 0, 400, 160], "layers": [{"items": [
    {"type": "text", "name": "plain", "bounds": [20, 20, 380, 70],
     "story": {"runs": [{"text": "Plain", "font": "LiberationSerif"}]}},
    {"type": "text", "name": "huge", "bounds": [20, 90, 380, 140],
     "story": {"runs": [)" +
           runs + "]}}]}]}]}";
}

const DemoCheck* CheckContaining(const DemoReport& report, const std::string& phrase) {
    for (const auto& step : report.steps)
        for (const DemoCheck& check : step.checks)
            if (check.what.find(phrase) != std::string::npos) return &check;
    return nullptr;
}

std::string WithoutPorts(const std::string& text) {
    return std::regex_replace(text, std::regex("127\\.0\\.0\\.1:[0-9]+"), "127.0.0.1:PORT");
}

int RunTool(const std::string& args, std::string* out) {
    const std::string command = std::string(GLYPHORIA_TOOL_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out->append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DemoSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(layout_, kSmallLayout));
        options_.output = output_;
        options_.document = layout_;
        options_.module_folder = GLYPHORIA_MODULE_DIR;
        options_.narrate = false;
    }

    DemoReport Run(const DemoOptions& options) {
        DemoSession session(options);
        return session.Run();
    }

    TempDir dir_;
    const std::string layout_ = dir_.file("small.json");
    const std::string output_ = dir_.file("out");
    DemoOptions options_;
};

TEST_F(DemoSessionTest, ASmallLayoutRunsToItsEndWithEveryCheckHolding) {
    const DemoReport report = Run(options_);
    const std::string summary = FormatSummary(report);
    ASSERT_TRUE(report.Passed()) << summary;
    EXPECT_EQ(7u, report.steps.size());

    // The checks a designer cares about are there, and hold.
    for (const char* phrase :
         {"the host loaded the plug-in module", "the idle task bound",
          "the configuration was fetched", "the sampler start page is shown",
          "each text frame with text became a picture", "the shop rendered one picture per frame",
          "the empty frame \"blank\" stayed a text frame", "rendered again in the second font",
          "one undo took back only the last re-tried frame",
          "\"title\" is back as it was: text, runs, name, labels, fill, box, rotation and shear",
          "\"note\" is back as it was", "no frame carries a label of a try",
          "the plug-in took the download over", "saved into the download folder",
          "with the archive's size and date", "shutdown closed the sampler window",
          "shutdown saved the preferences"}) {
        const DemoCheck* check = CheckContaining(report, phrase);
        ASSERT_NE(nullptr, check) << phrase << "\n" << summary;
        EXPECT_TRUE(check->holds) << phrase;
    }
    // The note was re-tried last, so the undo gives it back its first font.
    EXPECT_NE(std::string::npos,
              CheckContaining(report, "one undo")->detail.find("note shows TeX Gyre Cursor"))
        << summary;

    // Five pictures: the try and the re-try change the page, the restore gives
    // back exactly the page it started from.
    const std::string pictures = output_ + "/pictures/";
    const std::vector<std::string> names = {"1-before.png", "2-tried.png", "3-retried.png",
                                            "4-undone.png", "5-restored.png"};
    std::vector<std::string> bytes;
    for (const std::string& name : names) {
        bytes.push_back(ReadFileBytes(pictures + name));
        EXPECT_EQ("\x89PNG", bytes.back().substr(0, 4)) << name;
    }
    EXPECT_NE(bytes[0], bytes[1]);
    EXPECT_NE(bytes[1], bytes[2]);
    EXPECT_NE(bytes[2], bytes[3]);
    EXPECT_EQ(bytes[0], bytes[4]);

    // Everything the session wrote is below the output folder; the test's
    // own home got nothing and has its variables back.
    EXPECT_EQ(summary, ReadFileBytes(output_ + "/summary.txt"));
    EXPECT_NE(std::string::npos,
              ReadFileBytes(output_ + "/home/config/Glyphoria.ini").find("search="));
    EXPECT_NE(std::string::npos,
              ReadFileBytes(output_ + "/home/Documents/Glyphoria.txt").find("selectedFrames: 3"));
    EXPECT_TRUE(fs::exists(output_ + "/home/Downloads/GlyphoriaFonts.zip"));
    EXPECT_TRUE(fs::exists(output_ + "/home/data/fonts/Cantarell-Regular.otf"));
    EXPECT_EQ(TestHome(), std::getenv("HOME"));
    EXPECT_FALSE(fs::exists(TestHome() + "/Downloads/GlyphoriaFonts.zip"));
    EXPECT_FALSE(fs::exists(TestHome() + "/.local/share/fonts/Cantarell-Regular.otf"));
    EXPECT_FALSE(fs::exists(TestHome() + "/.config/Glyphoria.ini"));
}

TEST_F(DemoSessionTest, ASecondRunInTheSameFolderStartsAfreshAndSaysTheSame) {
    const DemoReport first = Run(options_);
    ASSERT_TRUE(first.Passed()) << FormatSummary(first);
    WriteFileBytes(output_ + "/left-over.txt", "from before");
    const DemoReport second = Run(options_);
    ASSERT_TRUE(second.Passed()) << FormatSummary(second);
    EXPECT_EQ(WithoutPorts(FormatSummary(first)), WithoutPorts(FormatSummary(second)));
    EXPECT_FALSE(fs::exists(output_ + "/left-over.txt"));
    // The fonts folder was emptied too: every font is installed anew.
    EXPECT_EQ(std::string::npos, FormatSummary(second).find("already installed"));
}

TEST_F(DemoSessionTest, ForeignFoldersAndAMissingModuleStopTheSessionBeforeItStarts) {
    // A folder with someone's files is never emptied.
    fs::create_directories(output_);
    ASSERT_TRUE(WriteFileBytes(output_ + "/precious.txt", "mine"));
    DemoReport report = Run(options_);
    EXPECT_FALSE(report.Passed());
    EXPECT_NE(std::string::npos, report.stopped.find("not empty")) << report.stopped;
    EXPECT_EQ("mine", ReadFileBytes(output_ + "/precious.txt"));
    EXPECT_EQ(0, report.CheckCount());

    // No module: the first check fails and nothing of the host is left over.
    DemoOptions no_module = options_;
    no_module.output = dir_.file("out2");
    no_module.module_folder = dir_.file("nowhere");
    report = Run(no_module);
    EXPECT_FALSE(report.Passed());
    ASSERT_EQ(1u, report.steps.size());
    EXPECT_EQ(1, report.FailedCount());
    EXPECT_NE(std::string::npos, report.stopped.find("nowhere")) << report.stopped;
    // A later session in the same process still runs.
    DemoOptions fresh = options_;
    fresh.output = dir_.file("out3");
    report = Run(fresh);
    EXPECT_TRUE(report.Passed()) << FormatSummary(report);
}

TEST_F(DemoSessionTest, TheProgramExitsZeroOnlyWhenEveryCheckHolds) {
    std::string out;
    EXPECT_EQ(0, RunTool("demo --quiet --output " + output_ + " --document " + layout_, &out))
        << out;
    EXPECT_NE(std::string::npos, out.find("PASSED: ")) << out;
    EXPECT_NE(std::string::npos, out.find(output_ + "/pictures/5-restored.png")) << out;

    // A frame too long to be tried: the summary names it and the program
    // fails.
    const std::string too_long = dir_.file("too-long.json");
    ASSERT_TRUE(WriteFileBytes(too_long, TooLongLayout()));
    out.clear();
    EXPECT_EQ(1, RunTool("demo --quiet --output " + output_ + " --document " + too_long, &out))
        << out;
    EXPECT_NE(std::string::npos,
              out.find("[FAILED] each text frame with text became a picture of its text, its "
                       "text data in the frame's labels: 1 of 2; not: huge"))
        << out;

    out.clear();
    EXPECT_EQ(2, RunTool("demo --output", &out)) << out;
}

}  // namespace
