#include "tools/glyphoria/demo/demo_session.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/app/doc_io.h"
#include "host/app/frame_compare.h"
#include "host/app/plugin_loader.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "purchase/font_install.h"
#include "support/log.h"
#include "support/messages.h"
#include "testing/shop/query.h"
#include "testing/shop/shop.h"
#include "tools/glyphoria/demo/demo_setup.h"
#include "tools/glyphoria/demo/demo_stage.h"
#include "tools/glyphoria/demo/installed_fonts.h"
#include "tools/glyphoria/demo/page_facts.h"
#include "tools/glyphoria/demo/stdout_capture.h"
#include "tools/glyphoria/demo/web_window_hands.h"

namespace glyphoria::demo {

namespace fs = std::filesystem;
using glyphoria::testing::shop::Shop;

namespace {

constexpr int kStepCount = 7;
constexpr char kShortcutKey = kDemoShortcutKey;
constexpr std::size_t kShownLabelLength = 110;
// The most text a frame's record holds: what other installations and the
// renderer see of a longer frame.
constexpr std::size_t kRecordTextBytes = 255;

std::string Shorten(const std::string& text, std::size_t length) {
    return text.size() <= length ? text : text.substr(0, length) + "...";
}

}  // namespace

struct DemoSession::Impl : DemoStage {
    Impl() : DemoStage(kStepCount) {}

    WebWindowHands hands;

    hostcore::DocModel layout;          // the document as it was opened
    std::vector<FrameFacts> originals;  // the text frames as the layout had them
    std::vector<FrameFacts> with_text;  // those with text: the ones a try replaces
    std::string last_retried;           // the frame the re-try replaced last
    std::atomic<int> renders{0};
    std::atomic<int> renders_expected{0};
    std::atomic<bool> progress_drawn{false};

    void OnShopRequest(const std::string& line);
    // A try with its progress line: the number of frames the shop rendered.
    std::int32_t TryWithProgress(const std::string& id, int frames);

    bool StartUp();
    bool OpenLayout();
    bool OpenSampler();
    bool TryFonts();
    bool Retry(const std::vector<UID>& retry_selection, int pictures,
               const std::vector<FrameFacts>& before_retry);
    bool UndoOneStep();
    bool Restore();
    bool Buy();
    bool ShutDown();
};

// Runs on the shop's threads: counts the renderer's requests so a long try
// shows how far it got.
void DemoSession::Impl::OnShopRequest(const std::string& line) {
    if (line.find(" /render?") == std::string::npos) return;
    const int n = ++renders;
    const int expected = renders_expected;
    if (options.narrate && expected > 0 && isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "\r      rendered %d of %d frames", n, expected);
        std::fflush(stderr);
        progress_drawn = true;
    }
}

std::int32_t DemoSession::Impl::TryWithProgress(const std::string& id, int frames) {
    renders = 0;
    renders_expected = frames;
    progress_drawn = false;
    const std::int32_t result = hands.Act("try", id.c_str());
    renders_expected = 0;
    if (progress_drawn) std::fputc('\n', stderr);
    return result;
}

bool DemoSession::Impl::StartUp() {
    BeginStep("Start-up: the host loads the plug-in module");
    std::string error;
    // Before the plug-in loads the same library, so the reset clears nothing
    // of this session.
    if (!report.Check("the web-window library is beside the module",
                      hands.Load(options.module_folder, &error), error))
        return Stop(error);
    const std::string module = options.module_folder + "/Glyphoria.pln";
    module_loaded = hostapp::LoadPlugInModule(module, &error);
    if (!report.Check("the host loaded the plug-in module", module_loaded,
                      module_loaded ? module : error))
        return Stop(error);
    std::vector<std::string> entries;
    for (const hostcore::ActionInfo& action : hostcore::Actions())
        entries.push_back(action.menu + " > " + action.name);
    report.Happened("menu entries: " + Join(entries, ", "));
    if (!FindMenuEntries()) return Stop("the plug-in's menu entries are missing");

    hostcore::StartupPlugIns();
    started = true;
    const std::string log = ReadText(folder.log_file);
    report.Check("start-up read the preferences and strings and opened the log",
                 log.find("Glyphoria: CS") != std::string::npos, folder.log_file);
    const int idle = hostcore::RunIdleTasks();
    report.Happened("the first idle moment ran " + std::to_string(idle) + " idle task(s)");
    report.Check(
        std::string("the idle task bound the sampler window to the key ") + kShortcutKey,
        hostcore::ActionForKey(static_cast<unsigned char>(kShortcutKey), 1) == sampler_action);
    return true;
}

bool DemoSession::Impl::OpenLayout() {
    BeginStep("Opening the layout");
    hostcore::DocModel model;
    std::string error;
    if (!report.Check("the layout opened",
                      hostapp::LoadDocumentFile(options.document, &model, &error),
                      error.empty() ? options.document : error))
        return Stop(error);
    layout = model;
    doc = hostcore::OpenDocument(std::move(model));
    std::vector<std::string> described;
    const std::vector<FrameFacts> frames = Frames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const FrameFacts& f = frames[i];
        if (!f.is_text) continue;
        originals.push_back(f);
        if (!f.text.empty()) with_text.push_back(f);
        std::string d = NameOf(f, i);
        if (f.text.empty()) d += " (empty)";
        if (f.rotation != 0) d += " (rotated)";
        if (f.text.size() > kRecordTextBytes) d += " (" + std::to_string(f.text.size()) + " bytes)";
        if (!f.characters.empty())
            d +=
                " (" + f.characters[0].font + ", " + f.characters[0].colour + " on " + f.fill + ")";
        described.push_back(d);
    }
    report.Happened(options.document + ": " + std::to_string(originals.size()) +
                    " text frames: " + Join(described, "; "));
    if (!report.Check("the layout has text frames with text", !with_text.empty()))
        return Stop("nothing to try on");
    Picture("before", "of the page before the try");
    return true;
}

bool DemoSession::Impl::OpenSampler() {
    BeginStep("Opening the sampler window from the menu");
    const bool ran = hostcore::DoMenuAction(sampler_action);
    report.Check("the menu entry Glyphoria > Sampler ran", ran);
    const std::size_t configs = shop->log().WithPrefix("/glyphoria/config.xml").size();
    report.Check("the configuration was fetched from the shop", configs == 1,
                 std::to_string(configs) + " request(s) for " + shop->config_url());
    std::string shown;
    bool arrived = false;
    for (const auto& main : hands.Record("main"))
        if (main.size() >= 3 && main[0] == "showTryWnd") {
            shown = main[1];
            arrived = main[2] == "1";
        }
    report.Check("the sampler start page is shown", arrived && shown == shop->sampler_page_url(),
                 shown.empty() ? "the window was not shown" : shown);
    report.Check("the menu entry is checked while the window is open",
                 (ActionState(sampler_action) & kSelectedAction) != 0);
    if (!arrived) return Stop("no sampler page to try fonts from");
    return true;
}

bool DemoSession::Impl::TryFonts() {
    BeginStep("Trying fonts on the selected text frames");
    std::vector<UID> selection;
    for (const FrameFacts& f : originals)
        selection.push_back(f.uid);
    hostcore::SelectItems(selection);
    report.Happened("selected " + std::to_string(selection.size()) + " text frames");

    // The first try: every frame with text becomes a picture of its text.
    const std::int32_t tried =
        TryWithProgress(options.first_font, static_cast<int>(with_text.size()));
    report.Happened("pressed the page's try link of " + FontName(options.first_font) + " (id " +
                    options.first_font + ")");
    if (tried < 0)
        return Stop("the page has no try link for " + options.first_font + ": " + hands.LastNote());
    std::vector<FrameFacts> now = Frames();
    int pictures = 0;
    std::vector<std::string> missing, misplaced, turned;
    std::vector<UID> retry_selection;
    for (std::size_t i = 0; i < with_text.size(); ++i) {
        const FrameFacts& was = with_text[i];
        const FrameFacts* f = FrameAt(now, was);
        if (f && f->is_picture && LabelValue(f->label, "id") == options.first_font &&
            !LabelValue(f->label, "text").empty() && !LabelValue(f->label, "ps0").empty() &&
            !f->frame_copy.empty()) {
            ++pictures;
            retry_selection.push_back(f->uid);
            // The picture stands where the frame stood, turned as it was.
            if (f->name != was.name || f->rotation != was.rotation || f->shear != was.shear ||
                std::fabs(f->width - was.width) > 0.01 || std::fabs(f->height - was.height) > 0.01)
                misplaced.push_back(NameOf(was, i));
            if (was.rotation != 0 || was.shear != 0) turned.push_back(NameOf(was, i));
        } else {
            missing.push_back(NameOf(was, i));
        }
        if (f && was.text.size() > kRecordTextBytes)
            report.Happened(
                "\"" + NameOf(was, i) + "\": " + std::to_string(was.text.size()) +
                " bytes of text; its record keeps the first " +
                std::to_string(
                    glyphoria::testing::shop::PercentDecode(LabelValue(f->label, "text")).size()) +
                " for the renderer, the whole frame is kept beside it");
    }
    report.Check(
        "each text frame with text became a picture of its text, its text data in the "
        "frame's labels",
        missing.empty(),
        std::to_string(pictures) + " of " + std::to_string(with_text.size()) +
            (missing.empty() ? "" : "; not: " + Join(missing, ", ")));
    report.Check("each picture has its frame's name, place and turn", misplaced.empty(),
                 turned.empty() ? Join(misplaced, ", ")
                                : "turned: " + Join(turned, ", ") +
                                      (misplaced.empty() ? "" : "; not: " + Join(misplaced, ", ")));
    report.Check("the shop rendered one picture per frame",
                 renders == static_cast<int>(with_text.size()),
                 std::to_string(renders.load()) + " render request(s)");
    for (const FrameFacts& f : originals) {
        if (!f.text.empty()) continue;
        const FrameFacts* still = FrameAt(now, f);
        report.Check("the empty frame \"" + f.name + "\" stayed a text frame (nothing to try)",
                     still && still->is_text && still->label.empty());
        if (still) retry_selection.push_back(still->uid);
    }
    if (!retry_selection.empty()) {
        const FrameFacts* first = FrameAt(now, with_text.front());
        if (first)
            report.Happened("label of \"" + with_text.front().name +
                            "\": " + Shorten(first->label, kShownLabelLength));
    }
    Picture("tried", "after the try of " + FontName(options.first_font));
    if (pictures == 0) return Stop("the try replaced no frame");

    return Retry(retry_selection, pictures, now) && UndoOneStep();
}

// The re-try on the same frames: the pictures are rendered again in the
// second font from the text kept in their labels.
bool DemoSession::Impl::Retry(const std::vector<UID>& retry_selection, int pictures,
                              const std::vector<FrameFacts>& before_retry) {
    hostcore::SelectItems(retry_selection);
    report.Happened("selected the same " + std::to_string(retry_selection.size()) +
                    " frames and pressed the try link of " + FontName(options.second_font) +
                    " (id " + options.second_font + ")");
    TryWithProgress(options.second_font, pictures);
    std::vector<FrameFacts> now = Frames();
    std::vector<std::string> not_retried;
    UID last_placed = kInvalidUID;
    std::string last_name;
    for (std::size_t i = 0; i < with_text.size(); ++i) {
        const FrameFacts* was = FrameAt(before_retry, with_text[i]);
        const FrameFacts* f = FrameAt(now, with_text[i]);
        const bool same_text =
            was && f && LabelValue(f->label, "text") == LabelValue(was->label, "text") &&
            LabelValue(f->label, "fontsize") == LabelValue(was->label, "fontsize");
        if (f && f->is_picture && LabelValue(f->label, "id") == options.second_font && same_text) {
            if (f->uid > last_placed) {
                last_placed = f->uid;
                last_name = NameOf(with_text[i], i);
            }
        } else {
            not_retried.push_back(NameOf(with_text[i], i));
        }
    }
    report.Check("each picture was rendered again in the second font from the text in its label",
                 not_retried.empty(), not_retried.empty() ? "" : "not: " + Join(not_retried, ", "));
    Picture("retried", "after the re-try in " + FontName(options.second_font));

    last_retried = last_name;
    return true;
}

// One undo step takes back the frame that was replaced last.
bool DemoSession::Impl::UndoOneStep() {
    const std::string step = doc->UndoSteps().empty() ? "" : doc->UndoSteps().back().name;
    const bool undone = doc->Undo() == kSuccess;
    report.Happened("undid one step (\"" + step + "\")");
    const std::vector<FrameFacts> now = Frames();
    std::vector<std::string> back_to_first;
    for (std::size_t i = 0; i < with_text.size(); ++i) {
        const FrameFacts* f = FrameAt(now, with_text[i]);
        if (f && LabelValue(f->label, "id") == options.first_font)
            back_to_first.push_back(NameOf(with_text[i], i));
    }
    report.Check("one undo took back only the last re-tried frame",
                 undone && back_to_first == std::vector<std::string>{last_retried},
                 back_to_first.empty() ? "no frame went back"
                                       : Join(back_to_first, ", ") + " shows " +
                                             FontName(options.first_font) + " again");
    Picture("undone", "after the undo");
    return true;
}

bool DemoSession::Impl::Restore() {
    BeginStep("Restoring the text frames from the menu");
    std::vector<UID> labelled;
    for (const FrameFacts& f : Frames())
        if (!f.label.empty()) labelled.push_back(f.uid);
    hostcore::SelectItems(labelled);
    report.Happened("selected the " + std::to_string(labelled.size()) + " tried frames");
    report.Check("the menu entry Glyphoria > Restore text frame is enabled for them",
                 (ActionState(restore_action) & kEnabledAction) != 0);
    report.Check("the menu entry ran", hostcore::DoMenuAction(restore_action));
    const std::vector<FrameFacts> now = Frames();
    for (std::size_t i = 0; i < with_text.size(); ++i) {
        const FrameFacts& original = with_text[i];
        const FrameFacts* restored = FrameAt(now, original);
        const std::vector<std::string> differences =
            restored ? hostapp::FrameDifferences(layout, original.uid, doc->Model(), restored->uid)
                     : std::vector<std::string>{"no frame where it was"};
        report.Check("\"" + NameOf(original, i) +
                         "\" is back as it was: text, runs, name, labels, fill, box, rotation "
                         "and shear",
                     differences.empty(), Join(differences, "; "));
    }
    bool labels_left = false;
    for (const FrameFacts& f : now)
        labels_left = labels_left || !f.label.empty() || !f.frame_copy.empty();
    report.Check("no frame carries a label of a try any more", !labels_left);
    Picture("restored", "after the restore");
    return true;
}

bool DemoSession::Impl::Buy() {
    BeginStep("Buying fonts");
    const std::size_t downloads_before = shop->log().WithPrefix("/download/").size();
    const std::int32_t taken = hands.Act("buy", options.buy_link.c_str());
    std::string link;
    for (const auto& call : hands.Record("callback"))
        if (call.size() >= 2 && call[0] == "doBuy") link = call[1];
    report.Happened("pressed the cart's download link " + (link.empty() ? options.buy_link : link));
    report.Check("the plug-in took the download over (probe: a font archive with a file name)",
                 taken == 1, "answer " + std::to_string(taken));
    const std::size_t requests = shop->log().WithPrefix("/download/").size() - downloads_before;
    report.Happened(std::to_string(requests) + " request(s) to the shop for the archive");

    std::vector<std::string> archives;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder.downloads, ec))
        if (entry.path().extension() == ".zip") archives.push_back(entry.path().string());
    const std::string archive = archives.size() == 1 ? archives[0] : std::string();
    const std::string bytes = archive.empty() ? std::string() : ReadText(archive);
    report.Check("the archive was saved into the download folder",
                 !archive.empty() && bytes.compare(0, 2, "PK") == 0,
                 archive.empty()
                     ? std::to_string(archives.size()) + " archives in " + folder.downloads
                     : archive + ", " + std::to_string(bytes.size()) + " bytes");
    if (archive.empty()) return Stop("no archive to install from");
    report.places.emplace_back("bought archive", archive);
    std::error_code probe_copy;
    if (fs::exists(folder.downloads + "/b1.htm", probe_copy))
        report.Happened("the probe left its copy of the first answer, b1.htm, beside it");

    std::vector<ArchiveFont> fonts;
    std::string error;
    if (!report.Check("the archive can be read", ReadArchiveFonts(archive, &fonts, &error), error))
        return Stop(error);

    // The installation logs into the plug-in's log and answers its messages
    // ("already installed") here, one line each.
    const bool log_was_off = LogLevel() == 0;
    OpenLogInFolder(1, folder.documents.c_str(), "");
    std::vector<std::string> messages;
    SetMessageBoxHook([&messages](const ShownMessage& box) {
        messages.push_back(box.text);
        return 1;
    });
    int installed = 0, already = 0;
    const bool read = InstallFontsFromArchiveTo(
        archive.c_str(), folder.fonts.c_str(), [&](const FontEntryResult& entry) {
            switch (entry.status) {
                case FontEntryStatus::kInstalled:
                    ++installed;
                    report.Happened("installed " + entry.file_name);
                    break;
                case FontEntryStatus::kAlreadyInstalled:
                    ++already;
                    report.Happened("already installed: " + entry.file_name);
                    break;
                case FontEntryStatus::kSkipped:
                    report.Happened(std::string("passed over ") + entry.entry_name + " (" +
                                    DescribeFontSkipReason(entry.reason) + ")");
                    break;
            }
        });
    SetMessageBoxHook(MessageBoxHook());
    // The log stays in the output folder only for this session.
    if (log_was_off) OpenLogInFolder(0, "", "");
    for (const std::string& m : messages)
        report.Happened("message: " + m);
    report.Check("the archive's fonts were looked at", read);
    const std::vector<std::string> problems = InstalledFontProblems(fonts, folder.fonts);
    std::string dates;
    for (const ArchiveFont& f : fonts)
        if (f.date_valid && dates.find(UtcText(f.date)) == std::string::npos)
            dates += (dates.empty() ? "" : ", ") + UtcText(f.date);
    report.Check(
        "every OpenType font of the archive is in the fonts folder with the archive's "
        "size and date",
        !fonts.empty() && problems.empty(),
        problems.empty() ? std::to_string(fonts.size()) + " fonts, dated " + dates
                         : Join(problems, "; "));
    report.places.emplace_back("installed fonts", folder.fonts);
    return true;
}

bool DemoSession::Impl::ShutDown() {
    BeginStep("Shutdown");
    hostcore::ShutdownPlugIns();
    started = false;
    const auto mains = hands.Record("main");
    report.Check("shutdown closed the sampler window",
                 !mains.empty() && !mains.back().empty() && mains.back()[0] == "closeTryWnd");
    const std::string prefs = ReadText(folder.prefs_file);
    report.Check("shutdown saved the preferences with the addresses from the configuration",
                 prefs.find("search=" + shop->sampler_page_url()) != std::string::npos &&
                     prefs.find("mlSamplerUrl=" + shop->renderer_url()) != std::string::npos,
                 folder.prefs_file);
    TearDown();
    report.Happened("the host closed the layout and unloaded the module");
    return true;
}

DemoSession::DemoSession(DemoOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->folder = LayOutOutputFolder(impl_->options.output);
}

DemoSession::~DemoSession() = default;

DemoReport DemoSession::Run() {
    Impl& s = *impl_;
    return s.RunSession(
        [&s](std::string*) {
            s.shop->log().set_echo([&s](const std::string& line) { s.OnShopRequest(line); });
            WriteDemoPreferences(s.folder, *s.shop);
            return true;
        },
        [&s] {
            return s.StartUp() && s.OpenLayout() && s.OpenSampler() && s.TryFonts() &&
                   s.Restore() && s.Buy() && s.ShutDown();
        },
        "Glyphoria demo", [&s] { return s.folder.prefs_file; });
}

std::string DemoSession::ShopUrl() const {
    return impl_->shop ? impl_->shop->base_url() : std::string();
}

std::string DemoSession::SamplerPageUrl() const {
    return impl_->shop ? impl_->shop->sampler_page_url() : std::string();
}

const OutputFolder& DemoSession::output() const {
    return impl_->folder;
}

}  // namespace glyphoria::demo
