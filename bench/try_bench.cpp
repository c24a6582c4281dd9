// Trying a shop font on one text frame against fetching the same preview
// raw, both from the stand-in shop's renderer on the loopback address. The
// try does the fetch and, around it, the plug-in's own work: the record from
// the frame (or its label), the sampler address, the placement of the
// picture, its label and the undo step. The fetch alone is FetchToFile of
// the address the try asked for, so the ratio is the price of that work.
//
// Prints both medians and "ratio try/fetch"; exits 1 above 1.20.
//
// Then a try on 20 frames against a try on one, from a renderer that waits
// 150 ms before each answer, as a shop far away does: the previews are
// fetched together, so the 20 frames should take about two round trips.
// Prints the medians and "ratio 20 frames/1 frame" (exits 1 above 3), and
// the same 20 frames fetched one after another (as the try did before) for
// comparison.
//
// usage: try_bench [benchmark arguments...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/app/doc_io.h"
#include "host/core/document.h"
#include "host/core/framework.h"
#include "host/core/host_state.h"
#include "host/core/selection.h"
#include "host/sdk/plugin.h"
#include "purchase/fetch_to_file.h"
#include "sampling/frame_actions.h"
#include "sampling/frame_steps.h"
#include "sampling/suite_registration.h"
#include "support/log.h"
#include "support/messages.h"
#include "support/prefs_store.h"
#include "testing/shop/shop.h"
#include "tests/common/test_env.h"

namespace glyphoria::testing {
void InitTestHome();
void RemoveTestHome();
}  // namespace glyphoria::testing

namespace {

constexpr double kAllowedRatio = 1.2;
constexpr double kAllowedManyRatio = 3.0;
constexpr const char* kTryArgument = "id=1001";
constexpr int kRenderLatencyMs = 150;
constexpr int kManyFrames = 20;
constexpr int kManyRounds = 9;
constexpr int kOneByOneRounds = 2;

// One text frame of a plain sentence, as a designer tries fonts on it.
const char kDocument[] = R"({
  "name": "Try bench",
  "spreads": [{"name": "Spread 1", "bounds": [0, 0, 600, 400], "layers": [{"name": "Text", "items": [
    {"type": "text", "name": "headline", "bounds": [20, 20, 420, 80],
     "story": {"runs": [{"text": "Sphinx of black quartz, judge my vow", "font": "DejaVuSans",
                         "size": 18}]}}
  ]}]}]
})";

// kManyFrames text frames of a short line each.
std::string ManyFramesDocument() {
    std::string items;
    for (int i = 0; i < kManyFrames; ++i) {
        const int x = 20 + (i % 4) * 140, y = 20 + (i / 4) * 70;
        items += std::string(i ? "," : "") + R"({"type": "text", "name": "f)" + std::to_string(i) +
                 R"(", "bounds": [)" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                 std::to_string(x + 130) + ", " + std::to_string(y + 60) +
                 R"(], "story": {"runs": [{"text": "Frame )" + std::to_string(i) +
                 R"( of the page", "font": "DejaVuSans", "size": 12}]}})";
    }
    return R"({"name": "Many frames", "spreads": [{"name": "Spread 1", "bounds": [0, 0, 600, 400],
      "layers": [{"name": "Text", "items": [)" +
           items + "]}]}]}";
}

class BenchPlugIn : public IPlugIn {
  public:
    void SetPluginID(PluginID id) override { id_ = id; }
    PluginID GetPluginID() const override { return id_; }
    ErrorCode RegisterImplementations(IImplementationRegistry* registry) override {
        return glyphoria::RegisterSamplingImplementations(registry);
    }

  private:
    PluginID id_ = 0;
};

// A private home for the preferences, log and temporary files, made before
// anything else of the session.
struct PrivateHome {
    PrivateHome() { glyphoria::testing::InitTestHome(); }
    ~PrivateHome() { glyphoria::testing::RemoveTestHome(); }
};

struct Session : PrivateHome {
    Session() {
        glyphoria::testing::shop::ShopOptions options;
        options.https = false;
        shop = std::make_unique<glyphoria::testing::shop::Shop>(options);
        std::string error;
        if (!shop->Start(&error)) Fail("shop: " + error);
        options.render_latency_ms = kRenderLatencyMs;
        far_shop = std::make_unique<glyphoria::testing::shop::Shop>(options);
        if (!far_shop->Start(&error)) Fail("far shop: " + error);
        const std::string resources = std::string(R"({"plugin": {"id": "0x159800"}, "addins": [)") +
                                      glyphoria::SamplingResourceAddIns() + "]}";
        if (!hostcore::InstallPlugIn(&plugin, resources, &error)) Fail("plug-in: " + error);
        glyphoria::SetMessageBoxHook([this](const glyphoria::ShownMessage&) {
            ++messages;
            return 1;
        });
        glyphoria::OpenLogInFolder(1, folder.path().c_str(), "");
        glyphoria::SetLogEcho(false);
        glyphoria::Prefs().SetString(glyphoria::kGeneralSection, "mlSamplerUrl",
                                     shop->renderer_url().c_str());
        glyphoria::Prefs().SetString(glyphoria::kGeneralSection, "sampleSizeFactor", "1");
        hostcore::DocModel model;
        if (!hostapp::ModelFromJsonText(kDocument, &model, &error)) Fail("document: " + error);
        doc = hostcore::OpenDocument(model);
    }
    ~Session() {
        glyphoria::SetMessageBoxHook(glyphoria::MessageBoxHook());
        shop->Stop();
        far_shop->Stop();
        hostcore::ShutdownPlugIns();
        hostcore::CloseAllDocuments();
    }
    [[noreturn]] static void Fail(const std::string& what) {
        std::fprintf(stderr, "try_bench: %s\n", what.c_str());
        std::exit(2);
    }

    // The page's first frame (or all of them): the text frames, or the
    // pictures a try left.
    void SelectTheFrame(bool all = false) {
        std::vector<UID> frames;
        for (UID uid : doc->Model().LayoutOrder()) {
            const hostcore::Node* node = doc->Model().FindNode(uid);
            if (node && node->kind == hostcore::NodeKind::kFrame) frames.push_back(uid);
        }
        if (frames.empty()) Fail("no frame left on the page");
        if (!all) frames.resize(1);
        hostcore::SelectItems(frames);
    }
    void OpenDocument(const std::string& json) {
        hostcore::CloseAllDocuments();
        hostcore::DocModel model;
        std::string error;
        if (!hostapp::ModelFromJsonText(json, &model, &error)) Fail("document: " + error);
        doc = hostcore::OpenDocument(model);
    }
    // The last address the renderer was asked for.
    std::string LastPreviewAddress() const {
        const auto requests = shop->log().Snapshot();
        if (requests.empty()) Fail("the try fetched nothing");
        return shop->base_url() + requests.back().target;
    }

    BenchPlugIn plugin;
    std::unique_ptr<glyphoria::testing::shop::Shop> shop;
    std::unique_ptr<glyphoria::testing::shop::Shop> far_shop;
    glyphoria::testing::TempDir folder;
    hostcore::Document* doc = nullptr;
    int messages = 0;
};

Session* g_session = nullptr;
std::vector<double> g_try_ms;
std::vector<double> g_fetch_ms;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A try and then the raw fetch of the address it asked for, in turn, so a
// busy moment of the machine falls on both alike.
void BM_TryThenFetch(benchmark::State& state) {
    const std::string path = g_session->folder.file("preview.png");
    for (auto _ : state) {
        const std::size_t fetched_before = g_session->shop->log().Snapshot().size();
        g_session->SelectTheFrame();
        auto start = std::chrono::steady_clock::now();
        glyphoria::TryFont(kTryArgument);
        g_try_ms.push_back(MillisecondsSince(start));
        // Every try must have asked the renderer once, or it measured nothing.
        if (g_session->shop->log().Snapshot().size() != fetched_before + 1) {
            state.SkipWithError("a try fetched no preview");
            return;
        }
        const std::string address = g_session->LastPreviewAddress();
        start = std::chrono::steady_clock::now();
        const int fetched = glyphoria::FetchToFile(address.c_str(), path.c_str());
        g_fetch_ms.push_back(MillisecondsSince(start));
        if (fetched != 1) {
            state.SkipWithError("the fetch failed");
            return;
        }
    }
    if (g_session->messages) state.SkipWithError("the try showed a message");
    state.counters["try_ms"] = Median(g_try_ms);
    state.counters["fetch_ms"] = Median(g_fetch_ms);
}
BENCHMARK(BM_TryThenFetch)->Iterations(101)->Unit(benchmark::kMillisecond)->UseRealTime();

// A timed try of the first frame or of all frames; fails the run when the
// try did not ask the renderer once per frame or showed a message.
double TimedTry(bool all, const std::function<void()>& tried) {
    const std::size_t before = g_session->far_shop->log().Snapshot().size();
    const int messages = g_session->messages;
    g_session->SelectTheFrame(all);
    const auto start = std::chrono::steady_clock::now();
    tried();
    const double ms = MillisecondsSince(start);
    const std::size_t asked = g_session->far_shop->log().Snapshot().size() - before;
    if (asked != static_cast<std::size_t>(all ? kManyFrames : 1) || g_session->messages != messages)
        Session::Fail("a try on the far renderer did not fetch every frame");
    return ms;
}

// The try on 20 frames against the try on one, rounds in turn.
int RunManyFrames() {
    glyphoria::Prefs().SetString(glyphoria::kGeneralSection, "mlSamplerUrl",
                                 g_session->far_shop->renderer_url().c_str());
    g_session->OpenDocument(ManyFramesDocument());
    const auto together = [] { glyphoria::TryFont(kTryArgument); };
    const auto one_by_one = [] {
        glyphoria::TryFontWith(kTryArgument, [](const char* url, const char* path) {
            glyphoria::FetchToFile(url, path);
        });
    };
    TimedTry(true, together);  // warm-up: the text frames become pictures
    std::vector<double> one_ms, many_ms, sequential_ms;
    for (int round = 0; round < kManyRounds; ++round) {
        one_ms.push_back(TimedTry(false, together));
        many_ms.push_back(TimedTry(true, together));
    }
    for (int round = 0; round < kOneByOneRounds; ++round)
        sequential_ms.push_back(TimedTry(true, one_by_one));
    const double one = Median(one_ms), many = Median(many_ms);
    const double ratio = one > 0 ? many / one : 0;
    std::printf("renderer latency: %d ms, previews at once: %zu\n", kRenderLatencyMs,
                glyphoria::kPreviewsAtOnce);
    std::printf("try of 1 frame (median of %d): %.1f ms\n", kManyRounds, one);
    std::printf("try of %d frames (median of %d): %.1f ms\n", kManyFrames, kManyRounds, many);
    std::printf("try of %d frames one after another (median of %d): %.1f ms (%.1f x one frame)\n",
                kManyFrames, kOneByOneRounds, Median(sequential_ms),
                one > 0 ? Median(sequential_ms) / one : 0);
    std::printf("ratio 20 frames/1 frame: %.2f (allowed: %.2f)\n", ratio, kAllowedManyRatio);
    std::fflush(stdout);  // whole lines before the benchmark library writes again
    return ratio > 0 && ratio <= kAllowedManyRatio ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Session session;
    g_session = &session;
    // Warm up: the first try turns the text frame into a picture; every
    // later one re-tries the picture from its label, as a designer does.
    for (int i = 0; i < 3; ++i) {
        session.SelectTheFrame();
        glyphoria::TryFont(kTryArgument);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const int many_status = RunManyFrames();
    g_session = nullptr;

    const double tried = Median(g_try_ms);
    const double fetched = Median(g_fetch_ms);
    const double ratio = fetched > 0 ? tried / fetched : 0;
    std::printf("try of one frame (median of %zu): %.2f ms\n", g_try_ms.size(), tried);
    std::printf("fetch of its preview (median of %zu): %.2f ms\n", g_fetch_ms.size(), fetched);
    std::printf("ratio try/fetch: %.2f (allowed: %.2f)\n", ratio, kAllowedRatio);
    return ratio > 0 && ratio <= kAllowedRatio && many_status == 0 ? 0 : 1;
}
