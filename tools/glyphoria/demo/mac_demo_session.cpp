#include "tools/glyphoria/demo/mac_demo_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "host/app/doc_io.h"
#include "host/app/frame_compare.h"
#include "host/app/plugin_loader.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "mac/plist_prefs.h"
#include "testing/shop/shop.h"
#include "tools/glyphoria/demo/demo_setup.h"
#include "tools/glyphoria/demo/demo_stage.h"
#include "tools/glyphoria/demo/installed_fonts.h"
#include "tools/glyphoria/demo/mac_hands_client.h"
#include "tools/glyphoria/demo/page_facts.h"

namespace glyphoria::demo {

namespace fs = std::filesystem;
using glyphoria::testing::shop::Shop;

namespace {

constexpr int kStepCount = 7;
constexpr const char* kModuleName = "GlyphoriaMac.pln";
// The Mac form binds the key alone with this modifier value.
constexpr int32 kMacShortcutModifier = 4096;

// The Mac form writes its system log to standard error on this machine: it
// joins the plug-in's console file while the session runs.
class StderrToFile {
  public:
    explicit StderrToFile(const std::string& path) {
        std::fflush(stderr);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (file < 0) return;
        saved_ = dup(STDERR_FILENO);
        if (saved_ >= 0 && dup2(file, STDERR_FILENO) < 0) {
            close(saved_);
            saved_ = -1;
        }
        close(file);
    }
    ~StderrToFile() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    StderrToFile(const StderrToFile&) = delete;
    StderrToFile& operator=(const StderrToFile&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace

bool WriteMacDemoPreferences(const Shop& shop, const std::string& try_frame, std::string* path,
                             std::string* error) {
    *path = glyphoria::mac::MacPrefsPath();
    std::error_code made;
    fs::create_directories(fs::path(*path).parent_path(), made);
    glyphoria::mac::PlistPrefs prefs;
    prefs.Open(*path, "");
    prefs.SetString("config", shop.config_url(), false);
    if (!try_frame.empty()) prefs.SetString("tryFrame", try_frame, false);
    if (!prefs.SetString("shortcut", std::string(1, kDemoShortcutKey), true)) {
        *error = "cannot write the preferences " + *path;
        return false;
    }
    return true;
}

struct MacDemoSession::Impl : DemoStage {
    Impl() : DemoStage(kStepCount) {}

    MacHandsClient hands;
    std::string prefs_path;
    hostcore::DocModel layout;  // the document as it was opened
    std::vector<FrameFacts> originals;
    std::vector<FrameFacts> with_text;

    std::string Pref(const std::string& key) const {
        glyphoria::mac::PlistPrefs prefs;
        prefs.Open(prefs_path, "");
        return prefs.GetString(key, "");
    }
    // The frames of with_text that are pictures in the font id now.
    std::vector<std::string> FramesIn(const std::string& id) const {
        std::vector<std::string> names;
        const std::vector<FrameFacts> now = Frames();
        for (std::size_t i = 0; i < with_text.size(); ++i) {
            const FrameFacts* f = FrameAt(now, with_text[i]);
            if (f && f->is_picture && LabelValue(f->label, "id") == id)
                names.push_back(NameOf(with_text[i], i));
        }
        return names;
    }

    bool StartUp();
    bool OpenLayout();
    bool OpenSampler();
    bool TryFonts();
    bool Restore();
    bool Buy();
    bool ShutDown();
};

bool MacDemoSession::Impl::StartUp() {
    BeginStep("Start-up: the host loads the Mac form's plug-in module");
    const std::string module = options.module_folder + "/" + kModuleName;
    std::string error;
    module_loaded = hostapp::LoadPlugInModule(module, &error);
    if (!report.Check("the host loaded the Mac module", module_loaded,
                      module_loaded ? module : error))
        return Stop(error);
    if (!report.Check("the module offers the designer's hands", hands.Attach(module, &error),
                      error))
        return Stop(error);
    if (!FindMenuEntries()) return Stop("the plug-in's menu entries are missing");
    hostcore::StartupPlugIns();
    started = true;
    // The vendor's addresses are the shop's, as a deployment would set them.
    hands.Act("vendor", shop->base_url());
    report.Check("start-up opened the Mac log",
                 ReadText(folder.log_file).find("Glyphoria 1.28, CS 55") != std::string::npos,
                 folder.log_file);
    const int idle = hostcore::RunIdleTasks();
    report.Happened("the first idle moment ran " + std::to_string(idle) + " idle task(s)");
    report.Check(
        std::string("the idle task bound the sampler window to the key ") + kDemoShortcutKey,
        hostcore::ActionForKey(static_cast<unsigned char>(kDemoShortcutKey),
                               kMacShortcutModifier) == sampler_action);
    return true;
}

bool MacDemoSession::Impl::OpenLayout() {
    BeginStep("Opening the layout");
    hostcore::DocModel model;
    std::string error;
    if (!report.Check("the layout opened",
                      hostapp::LoadDocumentFile(options.document, &model, &error),
                      error.empty() ? options.document : error))
        return Stop(error);
    layout = model;
    doc = hostcore::OpenDocument(std::move(model));
    for (const FrameFacts& f : Frames()) {
        if (!f.is_text) continue;
        originals.push_back(f);
        if (!f.text.empty()) with_text.push_back(f);
    }
    report.Happened(options.document + ": " + std::to_string(originals.size()) + " text frames");
    if (!report.Check("the layout has text frames with text", !with_text.empty()))
        return Stop("nothing to try on");
    Picture("before", "of the page before the try");
    return true;
}

bool MacDemoSession::Impl::OpenSampler() {
    BeginStep("Opening the sampler window from the menu");
    report.Check("the menu entry Glyphoria > Sampler ran", hostcore::DoMenuAction(sampler_action));
    const std::size_t configs = shop->log().WithPrefix("/glyphoria/config.xml").size();
    report.Check("the configuration was fetched from the shop", configs == 1,
                 std::to_string(configs) + " request(s) for " + shop->config_url());
    hands.Act("page", "sampler");
    const auto pages = hands.Record("page");
    const std::string shown = pages.empty() || pages.back().size() < 2 ? "" : pages.back()[1];
    report.Check("the sampler window shows the start page", shown == shop->sampler_page_url(),
                 shown.empty() ? "no page: " + hands.LastNote() : shown);
    report.Check("the menu entry is checked while the window is open",
                 (ActionState(sampler_action) & kSelectedAction) != 0);
    if (shown.empty()) return Stop("no sampler page to try fonts from");
    return true;
}

bool MacDemoSession::Impl::TryFonts() {
    BeginStep("Trying fonts, a re-try and Command-Z in the sampler window");
    std::vector<UID> selection;
    for (const FrameFacts& f : originals)
        selection.push_back(f.uid);
    hostcore::SelectItems(selection);
    const std::size_t renders_before = shop->log().WithPrefix("/render").size();
    const std::int32_t tried = hands.Act("try", options.first_font);
    report.Happened("selected " + std::to_string(selection.size()) +
                    " text frames and clicked the page's try link of " +
                    FontName(options.first_font));
    if (tried != 1) return Stop("no try link for " + options.first_font + ": " + hands.LastNote());
    const std::vector<std::string> first = FramesIn(options.first_font);
    report.Check("each text frame with text became a picture of its text in the first font",
                 first.size() == with_text.size(),
                 std::to_string(first.size()) + " of " + std::to_string(with_text.size()));
    const std::size_t renders = shop->log().WithPrefix("/render").size() - renders_before;
    report.Check("the shop rendered one picture per frame", renders == with_text.size(),
                 std::to_string(renders) + " render request(s)");
    Picture("tried", "after the try of " + FontName(options.first_font));
    if (first.empty()) return Stop("the try replaced no frame");

    // The re-try on the same frames, from the text kept in their labels.
    std::vector<UID> pictures;
    for (const FrameFacts& f : Frames())
        if (!f.label.empty() || f.is_text) pictures.push_back(f.uid);
    hostcore::SelectItems(pictures);
    hands.Act("try", options.second_font);
    const std::vector<std::string> second = FramesIn(options.second_font);
    report.Check("each picture was rendered again in the second font",
                 second.size() == with_text.size(),
                 std::to_string(second.size()) + " of " + std::to_string(with_text.size()));
    Picture("retried", "after the re-try in " + FontName(options.second_font));

    // Command-Z in the sampler window: the host undoes one step, once.
    const std::size_t steps = doc->UndoSteps().size();
    report.Check("Ctrl-Z (the Mac's Command-Z) went to the sampler window",
                 hands.Act("key", "sampler ctrl+z") == 1, hands.LastNote());
    const std::vector<std::string> back = FramesIn(options.first_font);
    report.Check("it took back one step, the last re-tried frame, and only once",
                 doc->UndoSteps().size() + 1 == steps && back.size() == 1,
                 back.empty()
                     ? "no frame went back"
                     : Join(back, ", ") + " shows " + FontName(options.first_font) + " again");
    Picture("undone", "after Command-Z");
    return true;
}

bool MacDemoSession::Impl::Restore() {
    BeginStep("Restoring the text frames from the menu");
    std::vector<UID> labelled;
    for (const FrameFacts& f : Frames())
        if (!f.label.empty()) labelled.push_back(f.uid);
    hostcore::SelectItems(labelled);
    report.Check("the menu entry Glyphoria > Restore text frame is enabled for them",
                 (ActionState(restore_action) & kEnabledAction) != 0);
    report.Check("the menu entry ran", hostcore::DoMenuAction(restore_action));
    const std::vector<FrameFacts> now = Frames();
    for (std::size_t i = 0; i < with_text.size(); ++i) {
        const FrameFacts* restored = FrameAt(now, with_text[i]);
        const std::vector<std::string> differences =
            restored
                ? hostapp::FrameDifferences(layout, with_text[i].uid, doc->Model(), restored->uid)
                : std::vector<std::string>{"no frame where it was"};
        report.Check("\"" + NameOf(with_text[i], i) + "\" is back as it was", differences.empty(),
                     Join(differences, "; "));
    }
    Picture("restored", "after the restore");
    return true;
}

bool MacDemoSession::Impl::Buy() {
    BeginStep("Buying fonts in the purchase window");
    // What the designer does while the window is up: choose the download
    // folder when the archive comes, download all fonts, close the window.
    hands.Act("folder", folder.downloads);
    hands.Act("modal", "link purchase download-all");
    hands.Act("modal", "click purchase close");
    report.Check("the cart link opened the purchase window and it closed again",
                 hands.Act("cart") == 1, hands.LastNote());
    report.Check("the download folder chosen was kept", Pref("downloadTo") == folder.downloads,
                 Pref("downloadTo"));
    const std::string archive = folder.downloads + "/GlyphoriaFonts.zip";
    const std::string bytes = ReadText(archive);
    report.Check("the archive was downloaded into it", bytes.compare(0, 2, "PK") == 0,
                 archive + ", " + std::to_string(bytes.size()) + " bytes");
    report.places.emplace_back("bought archive", archive);
    std::string bar;
    bool bar_full = false;
    for (const auto& line : hands.Record("bar"))
        if (line.size() >= 2) {
            bar = line[0] + " of " + line[1];
            bar_full = line[0] == line[1] && line[1] == std::to_string(bytes.size());
        }
    report.Check("the progress bar went to the archive's size", bar_full, bar + " bytes");
    std::vector<ArchiveFont> fonts;
    std::string error;
    if (!report.Check("the archive can be read", ReadArchiveFonts(archive, &fonts, &error), error))
        return Stop(error);
    const std::vector<std::string> problems = InstalledFontProblems(fonts, folder.fonts);
    report.Check("every OpenType font of the archive was installed with its size and date",
                 !fonts.empty() && problems.empty(),
                 problems.empty() ? std::to_string(fonts.size()) + " fonts" : Join(problems, "; "));
    for (const auto& alert : hands.Record("alert"))
        report.Happened("alert: " + (alert.empty() ? std::string() : alert[0]));
    report.places.emplace_back("installed fonts", folder.fonts);
    return true;
}

bool MacDemoSession::Impl::ShutDown() {
    BeginStep("Shutdown");
    hostcore::ShutdownPlugIns();
    started = false;
    report.Check("shutdown closed the sampler window, which kept its frame",
                 !Pref("tryFrame").empty(), prefs_path);
    TearDown();
    report.Happened("the host closed the layout and unloaded the module");
    return true;
}

MacDemoSession::MacDemoSession(DemoOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->folder = LayOutOutputFolder(impl_->options.output);
}

MacDemoSession::~MacDemoSession() = default;

DemoReport MacDemoSession::Run() {
    Impl& s = *impl_;
    return s.RunSession(
        [&s](std::string* error) {
            return WriteMacDemoPreferences(*s.shop, "", &s.prefs_path, error);
        },
        [&s] {
            StderrToFile system_log(s.folder.console_file);
            return s.StartUp() && s.OpenLayout() && s.OpenSampler() && s.TryFonts() &&
                   s.Restore() && s.Buy() && s.ShutDown();
        },
        "Glyphoria demo, Mac form", [&s] { return s.prefs_path; });
}

std::string MacDemoSession::ShopUrl() const {
    return impl_->shop ? impl_->shop->base_url() : std::string();
}

std::string MacDemoSession::SamplerPageUrl() const {
    return impl_->shop ? impl_->shop->sampler_page_url() : std::string();
}

}  // namespace glyphoria::demo
