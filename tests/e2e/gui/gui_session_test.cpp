// The real module beside the web-window library over the real web engine
// (build/<preset>/plugin-gui): the sampler page in a real window, its links
// clicked by the engine, reaching the plug-in, which changes the document.
// In the host framework in this process (which runs no loop: the library
// opens GTK itself and runs its events while it waits), and in the host
// program with the shipped session script.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "host/app/doc_io.h"
#include "host/app/plugin_loader.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "testing/shop/shop.h"
#include "testing/webwindow/webwindow_api.h"
#include "tests/common/gui_env.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::testing::ReadFileBytes;
using glyphoria::testing::TestHome;
using glyphoria::testing::WriteFileBytes;

constexpr ActionID kRestore = 0x159841;
constexpr ActionID kToggle = 0x159842;
const std::string kModuleDir = GLYPHORIA_GUI_MODULE_DIR;

class GuiSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GLYPHORIA_REQUIRE_DISPLAY();
        shop_ = std::make_unique<glyphoria::testing::shop::Shop>(
            glyphoria::testing::shop::ShopOptions{0, false});
        ASSERT_TRUE(shop_->Start());
        ASSERT_TRUE(WriteFileBytes(prefs_, "[General]\r\nconfig=" + shop_->config_url() + "\r\n"));
        std::filesystem::remove_all(TestHome() + "/Downloads");
    }

    void TearDown() override {
        if (hostcore::PlugInsStarted()) hostcore::ShutdownPlugIns();
        hostcore::CloseAllDocuments();
        hostapp::UnloadPlugInModules();
    }

    void StartModule() {
        hostcore::DocModel model;
        std::string error;
        ASSERT_TRUE(hostapp::LoadDocumentFile(EXAMPLES_DIR "/sampler.json", &model, &error));
        doc_ = hostcore::OpenDocument(std::move(model));
        ASSERT_TRUE(hostapp::LoadPlugInModule(kModuleDir + "/Glyphoria.pln", &error)) << error;
        hostcore::StartupPlugIns();
        ASSERT_EQ(1, hostcore::RunIdleTasks());
    }

    int32_t Act(const char* action, const char* argument = nullptr) {
        auto act =
            reinterpret_cast<GlyphoriaWebWindowAct>(dlsym(library_, "glyphoria_webwindow_act"));
        return act(action, argument);
    }

    std::string Record() {
        auto record = reinterpret_cast<GlyphoriaWebWindowRecord>(
            dlsym(library_, "glyphoria_webwindow_record"));
        std::string text(record(nullptr, 0) + 1, '\0');
        text.resize(record(&text[0], text.size()));
        return text;
    }

    UID Named(const std::string& name) const {
        for (const auto& [uid, node] : doc_->Model().nodes)
            if (node.name == name) return uid;
        return kInvalidUID;
    }

    int16 State(ActionID id) {
        int16 state = 0;
        PMString name;
        hostcore::QueryActionState(id, &state, &name);
        return state;
    }

    std::unique_ptr<glyphoria::testing::shop::Shop> shop_;
    hostcore::Document* doc_ = nullptr;
    void* library_ = nullptr;
    const std::string prefs_ = TestHome() + "/.config/Glyphoria.ini";
};

TEST_F(GuiSessionTest, TheEnginesClicksTryRevertAndBuyThroughTheRealModule) {
    StartModule();
    ASSERT_EQ(kEnabledAction, State(kToggle));
    ASSERT_TRUE(hostcore::DoMenuAction(kToggle));
    // The library the module loaded beside itself on the first command.
    library_ = dlopen((kModuleDir + "/Glyphoria.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library_, nullptr);
    EXPECT_EQ(3, State(kToggle));
    ASSERT_EQ(1, Act("wait")) << Record();

    // The engine clicks the try link: the headline becomes its picture.
    const UID headline = Named("headline");
    hostcore::SelectItems({headline});
    EXPECT_EQ(0, Act("try", "1001")) << Record();
    EXPECT_EQ(1u, shop_->log().WithPrefix("/render?").size());
    std::vector<UID> selected = hostcore::SelectedItems();
    ASSERT_EQ(1u, selected.size());
    EXPECT_NE(headline, selected[0]);
    const hostcore::Node* picture = doc_->Model().FindNode(selected[0]);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(1u, picture->labels.count("Glyphoria"));
    EXPECT_EQ(kEnabledAction, State(kRestore));

    // The revert link brings the text back.
    EXPECT_EQ(0, Act("revert"));
    EXPECT_EQ(0u, doc_->Model().FindNode(selected[0])->labels.count("Glyphoria"));
    EXPECT_EQ(kDisabled_Unselected, State(kRestore));

    // A new window goes to the plug-in, which leaves it.
    EXPECT_EQ(0, Act("newWindow", (shop_->base_url() + "/").c_str()));

    // The cart's download: the plug-in takes it and saves the archive; the
    // engine's own download is cancelled.
    EXPECT_EQ(1, Act("buy", "/download/ok/")) << Record();
    std::vector<std::string> saved;
    for (const auto& entry : std::filesystem::directory_iterator(TestHome() + "/Downloads"))
        if (entry.path().extension() == ".zip") saved.push_back(entry.path().filename().string());
    ASSERT_EQ(std::vector<std::string>{"TeXGyreTermes-Regular.zip"}, saved);
    EXPECT_EQ("PK", ReadFileBytes(TestHome() + "/Downloads/" + saved[0]).substr(0, 2));
    EXPECT_NE(std::string::npos, Record().find("download\t" + shop_->base_url() +
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
    auto main = reinterpret_cast<GlyphoriaWebWindowMain>(dlsym(library_, "main"));
    EXPECT_EQ(0, main("isTryWndVisible", 0));
    std::string record = Record();
    EXPECT_NE(std::string::npos, record.rfind("main\tcloseTryWnd\tnull\t0\n"));
}

TEST_F(GuiSessionTest, TheHostProgramsWebVerbsActOnTheRealPage) {
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
