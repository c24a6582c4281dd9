// Trying a shop font on one text frame against fetching the same preview
// raw, both from the stand-in shop's renderer on the loopback address. The
// try does the fetch and, around it, the plug-in's own work: the record from
// the frame (or its label), the sampler address, the placement of the
// picture, its label and the undo step. The fetch alone is FetchToFile of
// the address the try asked for, so the ratio is the price of that work.
//
// Prints both medians and "ratio try/fetch"; exits 1 above 1.20.
//
// usage: try_bench [benchmark arguments...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
constexpr const char* kTryArgument = "id=1001";

// One text frame of a plain sentence, as a designer tries fonts on it.
const char kDocument[] = R"({
  "name": "Try bench",
  "spreads": [{"name": "Spread 1", "bounds": [0, 0, 600, 400], "layers": [{"name": "Text", "items": [
    {"type": "text", "name": "headline", "bounds": [20, 20, 420, 80],
     "story": {"runs": [{"text": "Sphinx of black quartz, judge my vow", "font": "DejaVuSans",
                         "size": 18}]}}
  ]}]}]
})";

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
        hostcore::ShutdownPlugIns();
        hostcore::CloseAllDocuments();
    }
    [[noreturn]] static void Fail(const std::string& what) {
        std::fprintf(stderr, "try_bench: %s\n", what.c_str());
        std::exit(2);
    }

    // The page's one frame: the text frame, or the picture a try left.
    void SelectTheFrame() {
        for (UID uid : doc->Model().LayoutOrder()) {
            const hostcore::Node* node = doc->Model().FindNode(uid);
            if (node && node->kind == hostcore::NodeKind::kFrame) {
                hostcore::SelectItems({uid});
                return;
            }
        }
        Fail("no frame left on the page");
    }
    // The last address the renderer was asked for.
    std::string LastPreviewAddress() const {
        const auto requests = shop->log().Snapshot();
        if (requests.empty()) Fail("the try fetched nothing");
        return shop->base_url() + requests.back().target;
    }

    BenchPlugIn plugin;
    std::unique_ptr<glyphoria::testing::shop::Shop> shop;
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
    g_session = nullptr;

    const double tried = Median(g_try_ms);
    const double fetched = Median(g_fetch_ms);
    const double ratio = fetched > 0 ? tried / fetched : 0;
    std::printf("try of one frame (median of %zu): %.2f ms\n", g_try_ms.size(), tried);
    std::printf("fetch of its preview (median of %zu): %.2f ms\n", g_fetch_ms.size(), fetched);
    std::printf("ratio try/fetch: %.2f (allowed: %.2f)\n", ratio, kAllowedRatio);
    return ratio > 0 && ratio <= kAllowedRatio ? 0 : 1;
}
