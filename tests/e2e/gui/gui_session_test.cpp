// The real module beside the web-window library over the real web engine
// (build/<preset>/plugin-gui): the sampler page in a real window, its links
// clicked by the engine, reaching the plug-in, which changes the document.
// In the host framework in this process (which runs no loop: the library
// opens GTK itself and runs its events while it waits), and in the host
// program with the shipped session script.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/core/selection.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"
#include "tests/e2e/module_session.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TestHome;

const std::string kModuleDir = GLYPHORIA_GUI_MODULE_DIR;

class GuiSessionTest : public ModuleSessionTest {
  protected:
    void SetUp() override {
        GLYPHORIA_REQUIRE_DISPLAY();
        std::filesystem::remove_all(TestHome() + "/Downloads");
    }
};

TEST_F(GuiSessionTest, TheEnginesClicksTryRevertAndBuyThroughTheRealModule) {
    ASSERT_NO_FATAL_FAILURE(StartSession(kModuleDir + "/Glyphoria.pln"));
    ASSERT_EQ(1, hostcore::RunIdleTasks());
    ASSERT_EQ(kEnabledAction, State(kToggle));
    ASSERT_TRUE(hostcore::DoMenuAction(kToggle));
    // The library the module loaded beside itself on the first command.
    ASSERT_NO_FATAL_FAILURE(BindLibrary(kModuleDir + "/Glyphoria.so", RTLD_NOLOAD));
    EXPECT_EQ(3, State(kToggle));
    ASSERT_EQ(1, Act("wait")) << RecordText();

    // The engine clicks the try link: the headline becomes its picture; then
    // the revert link brings the text back.
    TryAndRevertTheHeadline();

    // A new window goes to the plug-in, which leaves it.
    EXPECT_EQ(0, Act("newWindow", (shop_->base_url() + "/").c_str()));

    // The cart's download: the plug-in takes it and saves the archive; the
    // engine's own download is cancelled.
    EXPECT_EQ(1, Act("buy", "/download/ok/")) << RecordText();
    std::vector<std::string> saved = SavedArchives();
    ASSERT_EQ(std::vector<std::string>{"TeXGyreTermes-Regular.zip"}, saved);
    EXPECT_EQ("PK", ReadFileBytes(TestHome() + "/Downloads/" + saved[0]).substr(0, 2));
    EXPECT_NE(std::string::npos, RecordText().find("download\t" + shop_->base_url() +
                                                   "/download/ok/TeXGyreTermes-Regular.zip?ids=1001"
                                                   "\ttaken\n"));

    // The toggle closes the window, which remembers its place, and opens it
    // again.
    ASSERT_TRUE(hostcore::DoMenuAction(kToggle));
    EXPECT_EQ(kEnabledAction, State(kToggle));
    EXPECT_NE(std::string::npos, ReadFileBytes(prefs_).find("tryWndRect="));
    ASSERT_TRUE(hostcore::DoMenuAction(kToggle));
    EXPECT_EQ(3, State(kToggle));
    EXPECT_EQ(1, Act("wait"));

    // Shutdown closes it once more, for good.
    hostcore::ShutdownPlugIns();
    EXPECT_EQ("closeTryWnd\tnull\t0", Record("main").back());
    auto main = reinterpret_cast<GlyphoriaWebWindowMain>(dlsym(library_, "main"));
    EXPECT_EQ(0, main("isTryWndVisible", 0));
}

TEST_F(GuiSessionTest, TheHostProgramsWebVerbsActOnTheRealPage) {
    StartShop();
    std::string command = std::string(HOST_PROGRAM_PATH) + " " + EXAMPLES_DIR +
                          "/sampler.json --plugins " + kModuleDir + " --script " + EXAMPLES_DIR +
                          "/session.script 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    size_t at = 0;
    for (const char* step : {"ran action 0x159842", "0x159842 enabled checked \"Sampler\"",
                             "web try 1001: 0", "picture [30, 24, 610, 84] labelled",
                             "web revert: 0", "text [30, 24, 610, 84]", "load\thttp://127.0.0.1:",
                             "callback\tdoTry\tid=1001&psname=", "0x159842 enabled \"Sampler\""}) {
        size_t found = out.find(step, at);
        ASSERT_NE(std::string::npos, found) << "missing after " << at << ": " << step << "\n"
                                            << out;
        at = found;
    }
}

}  // namespace
