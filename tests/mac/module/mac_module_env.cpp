#include "tests/mac/module/mac_module_env.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/app/doc_io.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/services.h"
#include "mac/mac_log.h"
#include "mac/plist_prefs.h"
#include "mac/plugin/mac_components.h"
#include "mac/plugin/mac_platform.h"
#include "mac/vendor_addresses.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "sampling/suite_registration.h"
#include "shell/resource_description.h"
#include "tests/sampling/host_document.h"

namespace glyphoria::mac {

namespace fs = std::filesystem;

namespace {

// The desktop's default handler for web addresses and folders in the test's
// home: GIO finds it through the XDG folders the test main set.
void InstallStubHandler() {
    const std::string home = std::getenv("HOME");
    const std::string script = home + "/stub-handler.sh";
    glyphoria::testing::WriteFileBytes(
        script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + home + "/desktop-handler.log\"\n");
    fs::permissions(script, fs::perms::owner_all);
    const std::string applications = std::string(std::getenv("XDG_DATA_HOME")) + "/applications";
    fs::create_directories(applications);
    glyphoria::testing::WriteFileBytes(
        applications + "/glyphoria-stub-handler.desktop",
        "[Desktop Entry]\nType=Application\nName=Stub handler\nExec=" + script +
            " %u\nNoDisplay=true\n"
            "MimeType=x-scheme-handler/http;x-scheme-handler/https;inode/directory;\n");
    fs::create_directories(std::getenv("XDG_CONFIG_HOME"));
    glyphoria::testing::WriteFileBytes(
        std::string(std::getenv("XDG_CONFIG_HOME")) + "/mimeapps.list",
        "[Default Applications]\nx-scheme-handler/http=glyphoria-stub-handler.desktop\n"
        "x-scheme-handler/https=glyphoria-stub-handler.desktop\n"
        "inode/directory=glyphoria-stub-handler.desktop\n");
}

MacPlugIn& ThePlugIn() {
    static MacPlugIn plugin(&RegisterSamplingImplementations);
    return plugin;
}

std::string DesktopHandlerLogPath() {
    return std::string(std::getenv("HOME")) + "/desktop-handler.log";
}

}  // namespace

bool MacModuleEnv::SetUp() {
    static const bool stub_installed = (InstallStubHandler(), true);
    (void)stub_installed;
    std::remove(DesktopHandlerLogPath().c_str());
    glyphoria::testing::shop::ShopOptions options;
    options.https = false;
    shop_ = std::make_unique<glyphoria::testing::shop::Shop>(options);
    std::string error;
    EXPECT_TRUE(shop_->Start(&error)) << error;
    if (!error.empty()) return false;
    SetVendorServer(shop_->base_url());
    downloads = std::make_unique<glyphoria::testing::TempDir>();

    EXPECT_TRUE(hostcore::InstallPlugIn(
        &ThePlugIn(), PlugInResourceDescription(SamplingResourceAddIns()), &error))
        << error;
    if (!error.empty()) return false;
    hostcore::DocModel model;
    EXPECT_TRUE(hostapp::ModelFromJsonText(glyphoria::testing::kStandardDocument, &model, &error))
        << error;
    doc = hostcore::OpenDocument(model);

    // Each test starts from fresh preferences.
    std::error_code ignored;
    std::filesystem::remove(MacPrefsPath(), ignored);
    hostcore::StartupPlugIns();
    started_ = true;
    hands_ = PlatformHands();
    EXPECT_NE(nullptr, hands_);
    if (!hands_) return false;
    MacPrefs().SetString("config", shop_->config_url(), false);
    hostcore::RunIdleTasks();
    // Fonts are really installed: only ever into the test's own home.
    const char* home = std::getenv("HOME");
    EXPECT_TRUE(home && *home && FontsFolder().rfind(home, 0) == 0) << FontsFolder();
    return true;
}

void MacModuleEnv::TearDown() {
    if (started_) hostcore::ShutdownPlugIns();
    started_ = false;
    hostcore::CloseAllDocuments();
    doc = nullptr;
    SetVendorServer("");
    CloseMacLog();
    std::error_code ignored;
    std::filesystem::remove_all(FontsFolder(), ignored);
    if (shop_) shop_->Stop();
}

}  // namespace glyphoria::mac

namespace glyphoria::mac {

UID MacModuleEnv::Frame(const std::string& name) const {
    for (const auto& node : doc->Model().nodes)
        if (node.second.kind == hostcore::NodeKind::kFrame && node.second.name == name)
            return node.first;
    return kInvalidUID;
}

void MacModuleEnv::Select(const std::vector<std::string>& names) {
    std::vector<UID> uids;
    for (const std::string& name : names)
        uids.push_back(Frame(name));
    SelectUIDs(uids);
}

void MacModuleEnv::SelectUIDs(const std::vector<UID>& uids) {
    hostcore::SelectItems(uids);
}

std::vector<UID> MacModuleEnv::Pictures() const {
    std::vector<UID> found;
    for (UID uid : doc->Model().LayoutOrder()) {
        const hostcore::Node* node = doc->Model().FindNode(uid);
        if (node && node->labels.count("Glyphoria")) found.push_back(uid);
    }
    return found;
}

bool MacModuleEnv::Exists(UID frame) const {
    return doc->IsValidUID(frame);
}

std::vector<std::string> MacModuleEnv::Requests(const std::string& path) const {
    std::vector<std::string> targets;
    for (const auto& request : shop_->log().Snapshot())
        if (request.path == path) targets.push_back(request.target);
    return targets;
}

std::string MacModuleEnv::FontsFolder() const {
    char folder[1024] = "";
    platform::GetShellFolder(platform::kFolderFonts, folder, sizeof folder);
    return folder;
}

bool MacModuleEnv::FontsInstalled() const {
    const auto fonts = shop_->catalogue().OpenTypeFonts();
    for (const auto* font : fonts)
        if (!platform::StatPath((FontsFolder() + "/" + font->file_name()).c_str()).exists)
            return false;
    return !fonts.empty();
}

bool MacModuleEnv::TryFont(const std::string& id) {
    WebView* page = SamplerPage();
    if (!page) return false;
    const std::string head = "glyphoria://try?id=" + id + "&";
    for (const PageLink& link : hands_->links(*page))
        if (link.href.rfind(head, 0) == 0) return hands_->clickLink(*page, link.href);
    return false;
}

std::string MacModuleEnv::DesktopHandlerLog() const {
    return glyphoria::testing::ReadFileBytes(DesktopHandlerLogPath());
}

int16 MacModuleEnv::MenuState(ActionID action, std::string* name) const {
    int16 state = 0;
    PMString text;
    hostcore::QueryActionState(action, &state, &text);
    if (name) *name = text.GetUTF8String();
    return state;
}

}  // namespace glyphoria::mac
