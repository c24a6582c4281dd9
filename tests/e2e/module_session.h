// A fixture for the real module in the host framework in this process, the
// way the host program loads it: the shop on loopback with the "config"
// preference pointing at it, the sampler document open, the module loaded and
// started, and the web-window library beside it reached by its entries. The
// module keeps its own copies of the plug-in's libraries, so everything is
// observed from outside: the document, the library's record, the shop's log
// and the files the plug-in writes.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
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
#include "tests/common/test_env.h"

class ModuleSessionTest : public ::testing::Test {
  protected:
    static constexpr ActionID kRestore = 0x159841;
    static constexpr ActionID kToggle = 0x159842;

    // The shop, and the preferences pointing at its configuration.
    void StartShop() {
        shop_ = std::make_unique<glyphoria::testing::shop::Shop>(
            glyphoria::testing::shop::ShopOptions{0, false});
        ASSERT_TRUE(shop_->Start());
        ASSERT_TRUE(glyphoria::testing::WriteFileBytes(
            prefs_, "[General]\r\nconfig=" + shop_->config_url() + "\r\n"));
    }

    // Shop, preferences, document, then the module at module_path, started.
    void StartSession(const std::string& module_path) {
        ASSERT_NO_FATAL_FAILURE(StartShop());
        hostcore::DocModel model;
        std::string error;
        ASSERT_TRUE(hostapp::LoadDocumentFile(EXAMPLES_DIR "/sampler.json", &model, &error));
        doc_ = hostcore::OpenDocument(std::move(model));
        ASSERT_TRUE(hostapp::LoadPlugInModule(module_path, &error)) << error;
        hostcore::StartupPlugIns();
    }

    // The web-window library at path; flags as for dlopen (RTLD_NOLOAD: only
    // when the module has loaded it already).
    void BindLibrary(const std::string& path, int flags) {
        library_ = dlopen(path.c_str(), RTLD_NOW | flags);
        ASSERT_NE(nullptr, library_) << dlerror();
    }

    void TearDown() override {
        if (hostcore::PlugInsStarted()) hostcore::ShutdownPlugIns();
        hostcore::CloseAllDocuments();
        hostapp::UnloadPlugInModules();
    }

    int32_t Act(const char* action, const char* argument = nullptr) {
        auto act =
            reinterpret_cast<GlyphoriaWebWindowAct>(dlsym(library_, "glyphoria_webwindow_act"));
        return act(action, argument);
    }

    std::string RecordText() {
        auto record = reinterpret_cast<GlyphoriaWebWindowRecord>(
            dlsym(library_, "glyphoria_webwindow_record"));
        std::string text(record(nullptr, 0) + 1, '\0');
        text.resize(record(&text[0], text.size()));
        return text;
    }

    // The record's lines of one kind, without the kind.
    std::vector<std::string> Record(const std::string& kind) {
        std::vector<std::string> lines;
        std::istringstream in(RecordText());
        for (std::string line; std::getline(in, line);)
            if (line.rfind(kind + "\t", 0) == 0) lines.push_back(line.substr(kind.size() + 1));
        return lines;
    }

    // With the headline selected, "try" on the page makes it a labelled
    // picture (one request to the renderer) and "revert" brings its text
    // back. Needs the page shown.
    void TryAndRevertTheHeadline() {
        const UID headline = Named("headline");
        hostcore::SelectItems({headline});
        EXPECT_EQ(0, Act("try", "1001")) << RecordText();
        EXPECT_EQ(1u, shop_->log().WithPrefix("/render?").size());
        std::vector<UID> selected = hostcore::SelectedItems();
        ASSERT_EQ(1u, selected.size());
        EXPECT_NE(headline, selected[0]);
        const hostcore::Node* picture = doc_->Model().FindNode(selected[0]);
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(1u, picture->labels.count("Glyphoria"));
        EXPECT_EQ(kEnabledAction, State(kRestore));

        EXPECT_EQ(0, Act("revert"));
        EXPECT_EQ(0u, doc_->Model().FindNode(selected[0])->labels.count("Glyphoria"));
        EXPECT_EQ(kDisabled_Unselected, State(kRestore));
    }

    // The archives in the user's download folder, by file name.
    static std::vector<std::string> SavedArchives() {
        std::vector<std::string> saved;
        std::error_code ec;
        for (const auto& entry :
             std::filesystem::directory_iterator(glyphoria::testing::TestHome() + "/Downloads", ec))
            if (entry.path().extension() == ".zip")
                saved.push_back(entry.path().filename().string());
        return saved;
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
    const std::string prefs_ = glyphoria::testing::TestHome() + "/.config/Glyphoria.ini";
};
