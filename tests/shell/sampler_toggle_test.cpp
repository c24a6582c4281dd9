// Opening and closing the sampler window from the menu: the order of the
// library commands, offline, a library of another version, no library, a
// library that turns up later, and shutdown.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "host/sdk/services.h"
#include "platform/library.h"
#include "platform/net.h"
#include "shell/ids.h"
#include "support/prefs_store.h"
#include "testing/webwindow/webwindow_api.h"
#include "tests/shell/shell_fixture.h"

namespace glyphoria::shelltest {
namespace {

class SamplerToggleTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        WritePrefs({{"config", shop->config_url()}});
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& box : messages)
            texts.push_back(box.text);
        return texts;
    }
};

TEST_F(SamplerToggleTest, OpensThePageAfterVersionAndConfigurationThenCloses) {
    StartPlugIn();
    Control("clearRecord");
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(1, ConfigFetches());
    const std::vector<std::string> expected = {
        "isTryWndVisible\tnull\t0",  // the menu's state
        "isTryWndVisible\tnull\t0",  // the toggle
        "version\tcallback\t28",
        "showTryWnd\t" + shop->sampler_page_url() + "\t1",
    };
    EXPECT_EQ(expected, RecordOf("main"));
    EXPECT_EQ(kEnabledAction | kSelectedAction, MenuState(kSamplerToggleAction));

    Control("clearRecord");
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_EQ((std::vector<std::string>{"isTryWndVisible\tnull\t1", "isTryWndVisible\tnull\t1",
                                        "closeTryWnd\tnull\t0"}),
              RecordOf("main"));
    EXPECT_EQ(kEnabledAction, MenuState(kSamplerToggleAction));
}

TEST_F(SamplerToggleTest, OfflineShowsNoInternetAndAsksNothingMore) {
    platform::SetOnlineOverride(platform::kOnlineForceOff);
    StartPlugIn();
    Control("clearRecord");
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_EQ((std::vector<std::string>{"There seems to be no connection to the internet!"}),
              MessageTexts());
    EXPECT_EQ(0, MainCalls("version"));
    EXPECT_EQ(0, MainCalls("showTryWnd"));
    EXPECT_EQ(0, ConfigFetches());
}

TEST_F(SamplerToggleTest, AnotherVersionIsReportedAndTheWindowOpensAllTheSame) {
    StartPlugIn();
    Control("version", "27");
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    // The English table has no entry: the key stands for itself.
    EXPECT_EQ((std::vector<std::string>{"invalidDLL"}), MessageTexts());
    EXPECT_EQ(1, MainCalls("showTryWnd"));
    EXPECT_EQ(kEnabledAction | kSelectedAction, MenuState(kSamplerToggleAction));
}

TEST_F(SamplerToggleTest, WithoutTheLibraryEveryCommandAnswersZero) {
    testing::TempDir empty;
    StartPlugIn(empty.path());
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_EQ((std::vector<std::string>{"invalidDLL"}), MessageTexts());
    EXPECT_EQ(1, ConfigFetches());  // the toggle still goes on
    EXPECT_EQ(kEnabledAction, MenuState(kSamplerToggleAction));
    EXPECT_TRUE(Record().empty());
}

// POSIX: the library turns up as a link to the one this test holds, so
// that the system hands out the same library; a copy on Windows would be
// another module with a record of its own.
#ifndef _WIN32
TEST_F(SamplerToggleTest, ALibraryThatTurnsUpLaterIsLoadedByTheNextCommand) {
    testing::TempDir folder;
    StartPlugIn(folder.path());
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    ASSERT_EQ(1u, messages.size());

    // The same file under the name beside the module: the system hands out
    // the library this test already holds, so its record is the plug-in's.
    ASSERT_EQ(0, symlink(WebWindowLibrary().c_str(), folder.file("Glyphoria.so").c_str()));
    Control("clearRecord");
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_EQ(1u, messages.size());
    EXPECT_EQ(1, MainCalls("version"));
    EXPECT_EQ(1, MainCalls("showTryWnd"));
    EXPECT_EQ(kEnabledAction | kSelectedAction, MenuState(kSamplerToggleAction));
}

#else
// Windows: the library turns up as a copy beside the module. The system hands
// the plug-in that copy, a module of its own; the test reads its record
// through the copy's own entry, loaded by the same path.
TEST_F(SamplerToggleTest, ALibraryThatTurnsUpLaterIsLoadedByTheNextCommand) {
    testing::TempDir folder;
    StartPlugIn(folder.path());
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    ASSERT_EQ(1u, messages.size());  // "invalidDLL": nothing answered

    const std::string copy = folder.file("Glyphoria.dll");
    ASSERT_TRUE(testing::WriteFileBytes(copy, testing::ReadFileBytes(WebWindowLibrary())));
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    EXPECT_EQ(1u, messages.size());
    EXPECT_EQ(kEnabledAction | kSelectedAction, MenuState(kSamplerToggleAction));

    void* loaded = platform::LoadLibraryUtf8(copy.c_str());
    auto record = reinterpret_cast<GlyphoriaWebWindowRecord>(
        platform::FindExport(loaded, "glyphoria_webwindow_record"));
    ASSERT_NE(nullptr, record);
    std::string text(record(nullptr, 0) + 1, '\0');
    text.resize(record(&text[0], text.size()));
    EXPECT_NE(std::string::npos, text.find("main\tversion\t")) << text;
    EXPECT_NE(std::string::npos, text.find("main\tshowTryWnd\t")) << text;
}
#endif

#ifndef _WIN32
// POSIX only: sets the options of a shop in this process.
TEST_F(SamplerToggleTest, SearchFromTheConfigurationCountsForTheSameOpening) {
    testing::shop::ConfigOptions options;
    options.values["search"] = shop->sampler_page_url() + "?from=config";
    shop->set_config_options(options);
    StartPlugIn();
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    std::vector<std::string> shown;
    for (const std::string& line : RecordOf("main"))
        if (line.rfind("showTryWnd\t", 0) == 0) shown.push_back(line);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("showTryWnd\t" + shop->sampler_page_url() + "?from=config\t1", shown[0]);
}
#endif

TEST_F(SamplerToggleTest, ShutdownClosesTheWindowAndWritesThePreferences) {
    StartPlugIn();
    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "unsaved", "kept"));
    EXPECT_EQ("<missing>", StoredPref("unsaved"));
    Control("clearRecord");
    ShutDown();
    EXPECT_EQ((std::vector<std::string>{"closeTryWnd\tnull\t0"}), RecordOf("main"));
    EXPECT_EQ("kept", StoredPref("unsaved"));
    EXPECT_EQ(shop->sampler_page_url(), StoredPref("search"));
}

}  // namespace
}  // namespace glyphoria::shelltest
