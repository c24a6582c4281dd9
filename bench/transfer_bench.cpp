// Transfer throughput against its ceiling. A transfer reads at most 20000
// bytes per 10 ms tick, so it can never beat 2 MB/s; it should come close,
// and an answer without a length should be as fast as one with a length.
//
// Prints both rates as fractions of the ceiling and their ratio; exits
// non-zero when the transfer reaches less than 95% of the ceiling, or when
// the answer without a length is more than 1% slower (timing noise).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "purchase/transfer.h"
#include "support/limits.h"
#include "tests/common/loopback_server.h"

namespace {

constexpr std::size_t kDocumentSize = 5 * 1000 * 1000;
constexpr double kCeilingBytesPerSecond =
    static_cast<double>(glyphoria::kTransferChunk) * 1000.0 / glyphoria::kTransferTickMs;

struct Shop {
    Shop() : content(kDocumentSize, 'f') {
        server.server().Get("/fixed", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(content, "application/zip");
        });
        server.server().Get("/chunked", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "application/zip", [this](std::size_t offset, httplib::DataSink& sink) {
                    std::size_t n = std::min<std::size_t>(64 * 1024, content.size() - offset);
                    sink.write(content.data() + offset, n);
                    if (offset + n == content.size()) sink.done();
                    return true;
                });
        });
        server.Start();
    }
    std::string content;
    glyphoria::testing::LoopbackServer server;
};

Shop& TheShop() {
    static Shop shop;
    return shop;
}

double g_best_rate[2] = {0, 0};  // [0] with a length, [1] without

void BM_Transfer(benchmark::State& state) {
    const bool chunked = state.range(0) == 1;
    const std::string url = TheShop().server.url(chunked ? "/chunked" : "/fixed");
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::size_t size = 0;
        char* data = glyphoria::DownloadUrl(url.c_str(), &size, "");
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!data || size != kDocumentSize) {
            state.SkipWithError("transfer failed");
            std::free(data);
            return;
        }
        std::free(data);
        double rate = static_cast<double>(size) / took.count();
        if (rate > g_best_rate[chunked]) g_best_rate[chunked] = rate;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDocumentSize));
    state.counters["of_ceiling"] = g_best_rate[chunked] / kCeilingBytesPerSecond;
}
BENCHMARK(BM_Transfer)
    ->ArgName("unknown_length")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double with_length = g_best_rate[0] / kCeilingBytesPerSecond;
    const double without_length = g_best_rate[1] / kCeilingBytesPerSecond;
    const double ratio = g_best_rate[0] > 0 ? g_best_rate[1] / g_best_rate[0] : 0;
    std::printf("transfer of %zu bytes, ceiling %.0f bytes/s\n", kDocumentSize,
                kCeilingBytesPerSecond);
    std::printf("  with a length:    %.3f of the ceiling\n", with_length);
    std::printf("  without a length: %.3f of the ceiling\n", without_length);
    std::printf("  without/with:     %.3f\n", ratio);
    bool ok = with_length >= 0.95 && without_length >= 0.95 && ratio >= 0.99;
    std::printf("  %s\n", ok ? "ok" : "BELOW TARGET");
    return ok ? 0 : 1;
}
