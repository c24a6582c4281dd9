// The real module loaded into the host framework in this process, the way the
// host program loads it, through a whole session: start-up, idle, the toggle
// from the menu, a try, a revert and a purchase from the page, shutdown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/core/selection.h"
#include "tests/common/test_env.h"
#include "tests/e2e/module_session.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TestHome;

class SessionModuleTest : public ModuleSessionTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartSession(GLYPHORIA_MODULE_PATH));
        ASSERT_NO_FATAL_FAILURE(BindLibrary(GLYPHORIA_WEBWINDOW_PATH, RTLD_LOCAL));
    }
};

TEST_F(SessionModuleTest, TryRevertBuyAndShutdownThroughTheRealModule) {
    EXPECT_EQ(1, hostcore::RunIdleTasks());
    ASSERT_TRUE(hostcore::DoMenuAction(kToggle));
    EXPECT_EQ(3, State(kToggle));

    // A try from the page replaces the headline by its picture; the revert
    // brings the text back.
    TryAndRevertTheHeadline();

    // A purchase: the plug-in takes the download and saves the archive.
    EXPECT_EQ(1, Act("buy", "/download/ok/"));
    std::vector<std::string> saved = SavedArchives();
    ASSERT_EQ(1u, saved.size());
    EXPECT_EQ("PK", ReadFileBytes(TestHome() + "/Downloads/" + saved[0]).substr(0, 2));

    // Shutdown closes the window and writes the preferences.
    hostcore::ShutdownPlugIns();
    std::vector<std::string> main = Record("main");
    ASSERT_FALSE(main.empty());
    EXPECT_EQ("closeTryWnd\tnull\t0", main.back());
    const std::string stored = ReadFileBytes(prefs_);
    EXPECT_NE(std::string::npos, stored.find("search=" + shop_->sampler_page_url() + "\r\n"))
        << stored;
}

TEST_F(SessionModuleTest, TheModuleRegistersItsImplementationsAndMenuEntries) {
    struct Case {
        ImplementationID id;
        bool registered;
    };
    const Case cases[] = {{0x159840, true},  {0x159841, true},  {0x159842, true},
                          {0x159843, false}, {0x159844, false}, {0x159845, true},
                          {0x159846, false}, {0x159847, true},  {0x159848, true}};
    for (const Case& c : cases)
        EXPECT_EQ(c.registered, hostcore::IsImplementationRegistered(c.id)) << std::hex << c.id;
    std::vector<std::string> menus;
    for (const hostcore::ActionInfo& action : hostcore::Actions())
        menus.push_back(std::to_string(action.id) + " " + action.menu + " > " + action.name);
    EXPECT_EQ(
        (std::vector<std::string>{std::to_string(0x159840) + " Help > About Glyphoria...",
                                  std::to_string(0x159841) + " Glyphoria > Restore text frame",
                                  std::to_string(0x159842) + " Glyphoria > Sampler"}),
        menus);
    // The restore entry starts disabled; the toggle is enabled and unchecked.
    EXPECT_EQ(kDisabled_Unselected, State(kRestore));
    EXPECT_EQ(kEnabledAction, State(kToggle));
}

}  // namespace
