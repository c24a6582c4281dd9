#include "mac/mac_lifecycle.h"

#include <gtest/gtest.h>

#include "mac/mac_folders.h"
#include "mac/mac_log.h"
#include "mac/mac_strings.h"
#include "mac/plist_prefs.h"
#include "mac/try_controller.h"
#include "mac/vendor_addresses.h"
#include "tests/mac/mac_test_env.h"

namespace glyphoria::mac {
namespace {

class MacLifecycleTest : public MacTest {
  protected:
    void SetUp() override {
        MacTest::SetUp();
        host_.record_bundle = [this] {
            calls_.push_back("bundle");
            return true;
        };
        host_.install_idle_task = [this] { calls_.push_back("idle"); };
        host_.bind_shortcut = [this](int action, const char* context, std::uint32_t key,
                                     int modifiers) {
            bound_.push_back({action, context, key, modifiers});
        };
    }
    void TearDown() override {
        LoadMacStrings(0);
        MacTest::TearDown();
    }
    struct Binding {
        int action;
        std::string context;
        std::uint32_t key;
        int modifiers;
    };
    MacHostCalls host_;
    std::vector<std::string> calls_;
    std::vector<Binding> bound_;
};

TEST_F(MacLifecycleTest, StartupBringsTheServicesUp) {
    CloseMacLog();
    UnloadMacStrings();
    system_log_.clear();
    MacStartup(host_);
    EXPECT_EQ((std::vector<std::string>{"bundle", "idle"}), calls_);
    EXPECT_EQ("Glyphoria 1.28, CS 55", system_log_.at(0));
    EXPECT_EQ("Schließen", MacLocalized("close"));  // German, code 3
    EXPECT_EQ(support_.file("Glyphoria/Glyphoria.plist"), MacPrefs().path());
    EXPECT_EQ(DocumentsFolder() + "/Glyphoria.txt", MacLogPath());
    const std::string log = testing::ReadFileBytes(MacLogPath());
    EXPECT_EQ(0u, log.rfind(std::string(37, '-') + "\n08.12.2026: Glyphoria 1.28, CS 55\n", 0));
}

TEST_F(MacLifecycleTest, IdleTaskBindsAOneCharacterShortcut) {
    struct Case {
        const char* shortcut;  // null: none stored
        std::uint32_t key;     // 0: nothing bound
    } cases[] = {
        {"G", 'G'}, {"g", 'g'}, {"GX", 0}, {"", 0}, {nullptr, 0}, {"é", 0xE9}, {"\xC3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortcut ? c.shortcut : "none");
        bound_.clear();
        OpenMacPrefs();
        if (c.shortcut) MacPrefs().SetString("shortcut", c.shortcut, false);
        EXPECT_EQ(kIdleTaskDone, MacRunTask(host_));
        if (!c.key) {
            EXPECT_TRUE(bound_.empty());
            continue;
        }
        ASSERT_EQ(1u, bound_.size());
        EXPECT_EQ(0x159842, bound_[0].action);
        EXPECT_EQ("DefaultContext", bound_[0].context);
        EXPECT_EQ(c.key, bound_[0].key);
        EXPECT_EQ(4096, bound_[0].modifiers);
        MacPrefs().Open(support_.file("other.plist"), "");
    }
}

TEST_F(MacLifecycleTest, ShutdownClosesTheSamplerWindowAndWritesOnlyItsFrame) {
    mac_.documents[Vendor().config] = "<c/>";
    ToggleSamplerWindow();
    ASSERT_TRUE(TryController::isVisible());
    MacShutdown();
    EXPECT_FALSE(TryController::isVisible());
    // The window's clean-up writes the file (its frame)...
    PlistPrefs reread;
    reread.Open(MacPrefs().path(), "");
    EXPECT_TRUE(reread.HasString("tryFrame"));
    // ...and shutdown adds no write of its own: a value set since stays in
    // memory only.
    MacPrefs().SetString("unsaved", "x", false);
    MacShutdown();
    PlistPrefs after;
    after.Open(MacPrefs().path(), "");
    EXPECT_TRUE(after.HasString("tryFrame"));
    EXPECT_FALSE(after.HasString("unsaved"));
}

TEST_F(MacLifecycleTest, AboutBox) {
    MacShowAbout();
    ASSERT_EQ(1u, mac_.alerts.shown().size());
    EXPECT_EQ("Glyphoria 1.28", mac_.alerts.shown()[0].message);
    EXPECT_EQ(MacLocalized("copyright"), mac_.alerts.shown()[0].informative);
}

}  // namespace
}  // namespace glyphoria::mac
