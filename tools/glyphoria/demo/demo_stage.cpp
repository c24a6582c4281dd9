#include "tools/glyphoria/demo/demo_stage.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "host/app/plugin_loader.h"
#include "host/app/render.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "tools/glyphoria/demo/demo_setup.h"

namespace glyphoria::demo {

namespace {
constexpr const char* kPluginMenu = "Glyphoria";
constexpr const char* kSamplerEntry = "Sampler";
constexpr const char* kRestoreEntry = "Restore text frame";
}  // namespace

DemoStage::~DemoStage() {
    if (shop) shop->Stop();
}

void DemoStage::Say(const std::string& line) {
    if (!options.narrate) return;
    std::FILE* out = capture ? capture->terminal() : stdout;
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

void DemoStage::BeginStep(const std::string& title) {
    report.Begin(title);
    Say("[" + std::to_string(report.steps.size()) + "/" + std::to_string(step_count_) + "] " +
        title + " ...");
}

bool DemoStage::Stop(const std::string& why) {
    report.stopped = why;
    return false;
}

std::string DemoStage::FontName(const std::string& id) const {
    const auto* font = shop->catalogue().Find(id);
    return font ? font->family + " " + font->style : "font " + id;
}

int16 DemoStage::ActionState(ActionID id) const {
    int16 state = 0;
    PMString name;
    hostcore::QueryActionState(id, &state, &name);
    return state;
}

std::vector<FrameFacts> DemoStage::Frames() const {
    return FramesOf(doc->Model());
}

void DemoStage::Picture(const std::string& stem, const std::string& what) {
    const std::string path =
        folder.pictures + "/" + std::to_string(++picture_number) + "-" + stem + ".png";
    hostapp::RenderOptions render;
    render.scale = options.picture_scale;
    std::string error;
    const bool written = hostapp::RenderSpreadToPng(doc->Model(), render, path, &error);
    report.Check("picture " + what, written, written ? path : error);
    report.places.emplace_back("picture " + stem, path);
}

bool DemoStage::FindMenuEntries() {
    for (const hostcore::ActionInfo& action : hostcore::Actions()) {
        if (action.menu != kPluginMenu) continue;
        if (action.name == kSamplerEntry) sampler_action = action.id;
        if (action.name == kRestoreEntry) restore_action = action.id;
    }
    return report.Check("the menu has Glyphoria > Sampler and Glyphoria > Restore text frame",
                        sampler_action && restore_action);
}

void DemoStage::TearDown() {
    if (started) hostcore::ShutdownPlugIns();
    started = false;
    hostcore::CloseAllDocuments();
    doc = nullptr;
    if (module_loaded) hostapp::UnloadPlugInModules();
    module_loaded = false;
}

DemoReport DemoStage::RunSession(const boost::function<bool(std::string*)>& prepare,
                                 const boost::function<bool()>& steps, const std::string& banner,
                                 const boost::function<std::string()>& prefs_file) {
    if (ran) {
        report = DemoReport();
        report.stopped = "a session object runs once; make a new one";
        return report;
    }
    ran = true;
    std::string error;
    if (!PrepareOutputFolder(folder, &error)) {
        report.stopped = error;
        return report;
    }
    // Before anything reads them: the shop's font lookup reads them once.
    SessionEnvironment environment(folder);
    shop = StartDemoShop(&error);
    if (!shop) {
        report.stopped = "the shop did not start: " + error;
        return report;
    }
    if (!prepare(&error)) {
        report.stopped = error;
        return report;
    }
    {
        StdoutCapture stdout_capture(folder.console_file);
        capture = &stdout_capture;
        Say(banner + ": shop at " + shop->base_url() + ", output in " + folder.root);
        if (!steps()) TearDown();
        capture = nullptr;
    }
    WriteShopRequests(*shop, folder);
    report.places.emplace_back("log", folder.log_file);
    report.places.emplace_back("preferences", prefs_file());
    report.places.emplace_back("plug-in console", folder.console_file);
    report.places.emplace_back("shop requests", folder.shop_log_file);
    report.places.emplace_back("summary", folder.summary_file);
    std::ofstream(folder.summary_file) << FormatSummary(report);
    return report;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : separator) + p;
    return out;
}

std::string NameOf(const FrameFacts& frame, std::size_t index) {
    return frame.name.empty() ? "#" + std::to_string(index) : frame.name;
}

}  // namespace glyphoria::demo
