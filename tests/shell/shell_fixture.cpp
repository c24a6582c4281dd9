#include "tests/shell/shell_fixture.h"

#include <cstdio>
#include <sstream>

#include "host/app/doc_io.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "platform/library.h"
#include "platform/net.h"
#include "platform/path_style.h"
#include "platform/shell_open.h"
#include "sampling/suite_registration.h"
#include "shell/plugin_registration.h"
#include "testing/webwindow/webwindow_api.h"

namespace glyphoria::shelltest {

namespace {

// A path in the platform's own form.
std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/') c = platform::kPathSeparator;
    return path;
}

std::string LogFilePath() {
    return testing::UserDocumentsFolder() + platform::kPathSeparator + "Glyphoria.txt";
}

void* WebWindowHandle() {
    static void* handle = platform::LoadLibraryUtf8(WebWindowLibrary().c_str());
    return handle;
}

template <class Proc>
Proc Entry(const char* name) {
    return reinterpret_cast<Proc>(platform::FindExport(WebWindowHandle(), name));
}

}  // namespace

std::string ModuleDir() {
    return Native(GLYPHORIA_MODULE_DIR);
}

std::string WebWindowLibrary() {
    return Native(GLYPHORIA_WEBWINDOW_PATH);
}

void ShellTest::SetUp() {
#ifdef _WIN32
    for (const std::string& path : {PrefsPath(), LogFilePath()}) {
        if (testing::PathExists(path)) kept_files_.emplace_back(path, testing::ReadFileBytes(path));
        std::remove(path.c_str());
    }
    shop = std::make_unique<NativeShop>();
    ASSERT_TRUE(shop->Start()) << "GLYPHORIA_SHOP_INFO names no running shop";
#else
    shop = std::make_unique<testing::shop::Shop>(testing::shop::ShopOptions{0, false});
    ASSERT_TRUE(shop->Start());
#endif
    hostcore::DocModel model;
    std::string error;
    ASSERT_TRUE(hostapp::LoadDocumentFile(EXAMPLES_DIR "/sampler.json", &model, &error)) << error;
    hostcore::OpenDocument(std::move(model));
    SetMessageBoxHook([this](const ShownMessage& box) {
        messages.push_back(box);
        return 1;
    });
    platform::SetShellOpenHook([this](const char* target) {
        opened.push_back(target);
        return true;
    });
    platform::SetOnlineOverride(platform::kOnlineForceOn);
    ASSERT_NE(WebWindowHandle(), nullptr) << platform::LastLibraryError();
    Control("reset");
}

void ShellTest::TearDown() {
    ShutDown();
    hostcore::CloseAllDocuments();
    SetMessageBoxHook(MessageBoxHook());
    platform::SetShellOpenHook(nullptr);
    platform::SetOnlineOverride(platform::kOnlineAuto);
#ifdef _WIN32
    std::remove(PrefsPath().c_str());
    std::remove(LogFilePath().c_str());
    for (const auto& [path, bytes] : kept_files_)
        testing::WriteFileBytes(path, bytes);
#endif
}

void ShellTest::StartPlugIn(const std::string& folder) {
    static GlyphoriaPlugIn plugin(&RegisterSamplingImplementations);
    std::string error;
    const std::string file =
        (folder.empty() ? ModuleDir() : folder) + platform::kPathSeparator + "Glyphoria.pln";
    ASSERT_TRUE(hostcore::InstallPlugIn(
        &plugin, PlugInResourceDescription(SamplingResourceAddIns()), &error, nullptr, file))
        << error;
    hostcore::StartupPlugIns();
}

void ShellTest::RunIdle() {
    hostcore::RunIdleTasks();
}

void ShellTest::ShutDown() {
    if (hostcore::PlugInsStarted()) hostcore::ShutdownPlugIns();
}

std::string ShellTest::PrefsPath() const {
    return testing::UserAppDataFolder() + platform::kPathSeparator + "Glyphoria.ini";
}

void ShellTest::WritePrefs(const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text = "[General]\r\n";
    for (const auto& [key, value] : values)
        text += key + "=" + value + "\r\n";
    ASSERT_TRUE(testing::WriteFileBytes(PrefsPath(), text));
}

std::string ShellTest::StoredPref(const std::string& key) const {
    std::istringstream in(testing::ReadFileBytes(PrefsPath()));
    for (std::string line; std::getline(in, line, '\n');) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "<missing>";
}

std::string ShellTest::LogText() const {
    return testing::ReadFileBytes(LogFilePath());
}

int32_t ShellTest::Act(const char* action, const char* argument) {
    return Entry<GlyphoriaWebWindowAct>("glyphoria_webwindow_act")(action, argument);
}

int32_t ShellTest::Control(const char* setting, const char* value) {
    return Entry<GlyphoriaWebWindowControl>("glyphoria_webwindow_control")(setting, value);
}

std::vector<std::string> ShellTest::Record() const {
    auto record = Entry<GlyphoriaWebWindowRecord>("glyphoria_webwindow_record");
    std::string text(record(nullptr, 0) + 1, '\0');
    text.resize(record(&text[0], text.size()));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> ShellTest::RecordOf(const std::string& kind) const {
    std::vector<std::string> lines;
    for (const std::string& line : Record())
        if (line.rfind(kind + "\t", 0) == 0) lines.push_back(line.substr(kind.size() + 1));
    return lines;
}

int ShellTest::MainCalls(const std::string& command) const {
    int count = 0;
    for (const std::string& line : RecordOf("main"))
        if (line.rfind(command + "\t", 0) == 0) ++count;
    return count;
}

int16_t ShellTest::MenuState(uint32_t action, std::string* name) const {
    int16 state = 0;
    PMString text;
    hostcore::QueryActionState(action, &state, &text);
    if (name) *name = text.GetUTF8String();
    return state;
}

bool ShellTest::RunMenu(uint32_t action) {
    return hostcore::DoMenuAction(action);
}

int ShellTest::ConfigFetches() const {
#ifdef _WIN32
    return shop->ConfigRequestsSinceStart();
#else
    return static_cast<int>(shop->log().WithPrefix("/glyphoria/config.xml").size());
#endif
}

}  // namespace glyphoria::shelltest
