// The plug-in's components as the host framework drives them: start-up,
// the idle task, the menu entries and the about box.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/session.h"
#include "shell/host_callback.h"
#include "shell/idle_task.h"
#include "shell/ids.h"
#include "support/prefs_store.h"
#include "support/string_table.h"
#include "tests/shell/shell_fixture.h"
#ifdef _WIN32
#include "tests/common/host_window_win32.h"
#endif

namespace glyphoria::shelltest {
namespace {

class ComponentsTest : public ShellTest {
  protected:
    void SelectFrame(const std::string& name) {
        const hostcore::DocModel& model = hostcore::FrontDocument()->Model();
        for (const auto& [uid, node] : model.nodes) {
            if (node.name == name) {
                hostcore::SelectItems({uid});
                return;
            }
        }
        FAIL() << "no frame " << name;
    }
};

TEST_F(ComponentsTest, StartupOpensTheLogWithItsHeaderFirst) {
    WritePrefs({{"shortcut", "G"}});
    StartPlugIn();
    const std::string log = LogText();
    EXPECT_TRUE(
        std::regex_match(log, std::regex("\xEF\xBB\xBFGlyphoria: CS 55\r\\d\\d:\\d\\d:\\d\\d\r")))
        << log;
    // Preferences and strings are up before anything else asks for them.
    EXPECT_EQ(PrefsPath(), Prefs().path());
    char text[256];
    GetLocalizedText("restore", text);
    EXPECT_STREQ("Restore text frame", text);
    EXPECT_EQ(1, hostcore::InstalledIdleTaskCount());
}

TEST_F(ComponentsTest, TheIdleTaskRunsOnceAndFindsTheHostWindow) {
    StartPlugIn();
    EXPECT_EQ(0, HostCommandCallback("hostWnd", 0));
#ifdef _WIN32
    // The host's window with one of its palettes in front: the idle task
    // climbs from the palette to the window that owns it.
    testing::HostWindowWithPalette desktop;
    ASSERT_TRUE(desktop.PaletteInFront());  // the shell tests hold the desktop lock
    const auto expected = static_cast<int32_t>(reinterpret_cast<std::uintptr_t>(desktop.host));
#else
    // No window system: the host's own handle stands in.
    const auto expected = static_cast<int32_t>(hostcore::MainWindowHandle());
#endif
    EXPECT_EQ(1, hostcore::RunIdleTasks());
    EXPECT_EQ(0, hostcore::RunIdleTasks());
    EXPECT_EQ(0, hostcore::InstalledIdleTaskCount());
    EXPECT_EQ(expected, HostCommandCallback("hostWnd", 0));
}

TEST_F(ComponentsTest, OnlyASingleCharacterBecomesTheShortcut) {
    StartPlugIn();
    IApplication* app = GetExecutionContextSession()->QueryApplication();
    InterfacePtr<IShortcutManager> shortcuts(app, IID_ISHORTCUTMANAGER);
    InterfacePtr<IIdleTask> task(GetExecutionContextSession(), kMyIdleTaskIID);
    ASSERT_TRUE(shortcuts && task);
    EXPECT_STREQ("Glyphoria", task->TaskName());
    struct Case {
        const char* value;
        UTF32TextChar bound;
    };
    const Case cases[] = {{"G", 'G'},         {"g", 'g'},  {"GX", 0}, {"", 0},
                          {"\xc3\x9f", 0xdf}, {"\xc3", 0}, {" ", ' '}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        shortcuts->RemoveAllShortcutsForAction(kSamplerToggleAction);
        ASSERT_EQ(0, Prefs().SetString(kGeneralSection, "shortcut", c.value));
        EXPECT_EQ(kEndOfTime, task->RunTask(0, nullptr));
        std::vector<IShortcutManager::Shortcut> bound =
            shortcuts->GetShortcuts(kSamplerToggleAction);
        if (!c.bound) {
            EXPECT_TRUE(bound.empty());
            continue;
        }
        ASSERT_EQ(1u, bound.size());
        EXPECT_EQ(c.bound, bound[0].key.charCode);
        EXPECT_EQ(0, bound[0].key.virtualKeyCode);
        EXPECT_EQ("DefaultContext", bound[0].context.GetUTF8String());
        EXPECT_EQ(1, bound[0].modifiers);
    }
}

TEST_F(ComponentsTest, TheShortcutKeyTogglesTheSamplerWindow) {
    WritePrefs({{"shortcut", "G"}, {"config", shop->config_url()}});
    StartPlugIn();
    EXPECT_EQ(0u, hostcore::ActionForKey('G', 1));
    RunIdle();
    ASSERT_EQ(kSamplerToggleAction, hostcore::ActionForKey('G', 1));
    ASSERT_TRUE(RunMenu(hostcore::ActionForKey('G', 1)));
    EXPECT_EQ(kEnabledAction | kSelectedAction, MenuState(kSamplerToggleAction));
}

TEST_F(ComponentsTest, RestoreIsOfferedOnlyForLabelledFrames) {
    WritePrefs({{"config", shop->config_url()}});
    testing::ScopedLanguage german(1031);
    StartPlugIn();
    std::string name;
    SelectFrame("headline");
    EXPECT_EQ(0, MenuState(kRestoreAction, &name));
    EXPECT_EQ("Restore text frame", name);  // as the host has it
    SelectFrame("small print");             // a label, but not a tried frame's
    EXPECT_EQ(0, MenuState(kRestoreAction, &name));

    ASSERT_TRUE(RunMenu(kSamplerToggleAction));
    SelectFrame("headline");
    ASSERT_EQ(0, Act("try", "1001"));  // the picture is selected afterwards
    EXPECT_EQ(kEnabledAction, MenuState(kRestoreAction, &name));
    EXPECT_EQ("Text wiederherstellen", name);

    ASSERT_TRUE(RunMenu(kRestoreAction));
    EXPECT_EQ(0, MenuState(kRestoreAction));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ComponentsTest, AboutBoxShowsNameVersionAndCopyright) {
    StartPlugIn();
    ASSERT_TRUE(RunMenu(kAboutAction));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Glyphoria 1.28", messages[0].text);
    char copyright[256];
    GetLocalizedText("copyright", copyright);
    EXPECT_EQ(copyright, messages[0].detail);
    EXPECT_EQ("ok", messages[0].button_keys[0]);
    EXPECT_EQ("", messages[0].button_keys[1]);
}

}  // namespace
}  // namespace glyphoria::shelltest
