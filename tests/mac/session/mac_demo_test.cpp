// The Mac form's whole session: the demo on a small layout (the Mac module in
// the host framework in this process, headless windows browsing the shop on
// loopback) runs to its end with every check holding; the glyphoria program
// runs it with --form mac; and the host program runs the Mac module from a
// script, as it runs the Windows form's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "mac/plist_prefs.h"
#include "testing/shop/shop.h"
#include "tests/common/test_env.h"
#include "tools/glyphoria/demo/mac_demo_session.h"

namespace {

namespace fs = std::filesystem;
using glyphoria::demo::DemoCheck;
using glyphoria::demo::DemoOptions;
using glyphoria::demo::DemoReport;
using glyphoria::demo::FormatSummary;
using glyphoria::demo::MacDemoSession;
using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::RunProgram;
using glyphoria::testing::TempDir;
using glyphoria::testing::WriteFileBytes;

// Two frames with text (one on a filled frame, beyond ASCII) and an empty one.
constexpr const char* kSmallLayout = R"({
  "swatches": [{"name": "Lemon", "space": "RGB", "components": [1.0, 0.95, 0.4]}],
  "spreads": [{"bounds": [0, 0, 400, 240], "layers": [{"items": [
    {"type": "text", "name": "title", "bounds": [20, 20, 380, 70],
     "story": {"runs": [{"text": "Small title", "font": "LiberationSerif", "size": 30}]}},
    {"type": "text", "name": "note", "bounds": [20, 90, 380, 130], "fill": "Lemon",
     "story": {"runs": [{"text": "Grüße – ½ €", "font": "DejaVuSans", "size": 14}]}},
    {"type": "text", "name": "blank", "bounds": [20, 150, 380, 220]}]}]}]})";

class MacDemoTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(WriteFileBytes(layout_, kSmallLayout)); }
    DemoOptions Options() const {
        DemoOptions options;
        options.output = output_;
        options.document = layout_;
        options.module_folder = GLYPHORIA_MAC_MODULE_DIR;
        options.narrate = false;
        return options;
    }

    TempDir dir_;
    const std::string layout_ = dir_.file("small.json");
    const std::string output_ = dir_.file("out");
};

TEST_F(MacDemoTest, TheSessionRunsToItsEndWithEveryCheckHolding) {
    MacDemoSession session(Options());
    const DemoReport report = session.Run();
    const std::string summary = FormatSummary(report);
    ASSERT_TRUE(report.Passed()) << summary;
    EXPECT_EQ(7u, report.steps.size());
    for (const char* phrase :
         {"the idle task bound", "the sampler window shows the start page", "it took back one step",
          "\"note\" is back as it was", "the download folder chosen",
          "the progress bar went to the archive's size", "installed with its size and date",
          "which kept its frame"}) {
        const DemoCheck* found = nullptr;
        for (const auto& step : report.steps)
            for (const DemoCheck& check : step.checks)
                if (check.what.find(phrase) != std::string::npos) found = &check;
        ASSERT_NE(nullptr, found) << phrase << "\n" << summary;
    }
    // Command-Z changed the page once; the restore gave back the page it started from.
    const std::string pictures = output_ + "/pictures/";
    EXPECT_NE(ReadFileBytes(pictures + "3-retried.png"), ReadFileBytes(pictures + "4-undone.png"));
    EXPECT_EQ(ReadFileBytes(pictures + "1-before.png"), ReadFileBytes(pictures + "5-restored.png"));
    EXPECT_TRUE(fs::exists(output_ + "/home/data/fonts/Cantarell-Regular.otf"));
}

TEST_F(MacDemoTest, TheProgramRunsTheMacFormAndRefusesAnUnknownOne) {
    const std::string out = dir_.file("tool.txt");
    EXPECT_EQ(0, RunProgram(GLYPHORIA_TOOL_PATH,
                            {"demo", "--form", "mac", "--quiet", "--output", output_, "--document",
                             layout_},
                            out))
        << ReadFileBytes(out);
    EXPECT_NE(std::string::npos, ReadFileBytes(out).find("PASSED")) << ReadFileBytes(out);
    EXPECT_EQ(2, RunProgram(GLYPHORIA_TOOL_PATH, {"demo", "--form", "linux"}, out))
        << ReadFileBytes(out);
}

TEST_F(MacDemoTest, TheHostProgramRunsTheMacModuleFromAScript) {
    glyphoria::testing::shop::ShopOptions options;
    options.https = false;
    glyphoria::testing::shop::Shop shop(options);
    std::string error;
    ASSERT_TRUE(shop.Start(&error)) << error;
    {
        glyphoria::mac::PlistPrefs prefs;
        fs::create_directories(fs::path(glyphoria::mac::MacPrefsPath()).parent_path());
        prefs.Open(glyphoria::mac::MacPrefsPath(), "");
        ASSERT_TRUE(prefs.SetString("config", shop.config_url(), true));
    }
    const std::string script = dir_.file("mac.script");
    ASSERT_TRUE(WriteFileBytes(script, "mac vendor " + shop.base_url() +
                                           "\n"
                                           "menu 0x159842\n"
                                           "select title note\n"
                                           "mac try 1004\n"
                                           "mac key sampler ctrl+z\n"
                                           "list\n"));
    const std::string transcript = dir_.file("host.txt");
    EXPECT_EQ(0, RunProgram(HOST_PROGRAM_PATH,
                            {layout_, "--plugins", GLYPHORIA_MAC_MODULE_DIR, "--script", script},
                            transcript))
        << ReadFileBytes(transcript);
    const std::string out = ReadFileBytes(transcript);
    EXPECT_NE(std::string::npos, out.find("mac try 1004: 1")) << out;
    EXPECT_NE(std::string::npos, out.find("mac key sampler ctrl+z: 1")) << out;
    // The try made two pictures; Command-Z took the last one back: the note
    // is a text frame again, one picture is left.
    EXPECT_NE(std::string::npos, out.find("note (uid")) << out;
    std::size_t labelled = 0;
    for (std::size_t at = out.find("labelled"); at != std::string::npos;
         at = out.find("labelled", at + 1))
        ++labelled;
    EXPECT_EQ(1u, labelled) << out;
    shop.Stop();
}

}  // namespace
