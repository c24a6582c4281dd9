// Start-up of the plug-in module: Glyphoria.pln loaded through the host
// stand-in's loader (the module, its entry, its resource description and
// registration) and started (module handle, preferences, string table, log,
// the web control's value, the idle task), against a bare dlopen of the same
// file. The preferences point the configuration at a stand-in shop on the
// loopback address, so nothing waits for a real network.
//
// Prints both medians in milliseconds and "ratio start-up/dlopen"; no target.
//
// usage: startup_bench [rounds (default 21)]
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/app/plugin_loader.h"
#include "host/core/framework.h"
#include "testing/shop/shop.h"
#include "tests/common/test_env.h"

namespace glyphoria::testing {
void InitTestHome();
void RemoveTestHome();
}  // namespace glyphoria::testing

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    glyphoria::testing::InitTestHome();
    glyphoria::testing::shop::ShopOptions options;
    options.https = false;
    glyphoria::testing::shop::Shop shop(options);
    std::string error;
    if (!shop.Start(&error)) {
        std::fprintf(stderr, "startup_bench: shop: %s\n", error.c_str());
        return 2;
    }
    {
        std::ofstream prefs(glyphoria::testing::TestHome() + "/.config/Glyphoria.ini",
                            std::ios::binary);
        prefs << "[General]\r\nconfig=" << shop.config_url() << "\r\n";
    }

    // The module echoes its log lines to standard output; keep them out of
    // the report.
    std::fflush(stdout);
    const int saved_stdout = dup(STDOUT_FILENO);
    const int null_output = open("/dev/null", O_WRONLY);
    if (null_output >= 0) dup2(null_output, STDOUT_FILENO);

    std::vector<double> startup_ms;
    std::vector<double> services_ms;  // the start-up service alone
    std::vector<double> dlopen_ms;
    for (int round = 0; round <= rounds; ++round) {
        // Round 0 only warms the file cache for both.
        auto start = Clock::now();
        void* bare = dlopen(GLYPHORIA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        const double bare_ms = MillisecondsSince(start);
        if (!bare) {
            std::fprintf(stderr, "startup_bench: %s\n", dlerror());
            return 2;
        }
        dlclose(bare);

        start = Clock::now();
        if (!hostapp::LoadPlugInModule(GLYPHORIA_MODULE_PATH, &error)) {
            std::fprintf(stderr, "startup_bench: %s\n", error.c_str());
            return 2;
        }
        const auto loaded = Clock::now();
        hostcore::StartupPlugIns();
        const double started_ms = MillisecondsSince(start);
        const double services = MillisecondsSince(loaded);
        hostcore::ShutdownPlugIns();
        hostapp::UnloadPlugInModules();
        if (round > 0) {
            dlopen_ms.push_back(bare_ms);
            startup_ms.push_back(started_ms);
            services_ms.push_back(services);
        }
    }
    std::fflush(stdout);
    if (saved_stdout >= 0) dup2(saved_stdout, STDOUT_FILENO);
    if (null_output >= 0) close(null_output);
    shop.Stop();
    glyphoria::testing::RemoveTestHome();

    const double started = Median(startup_ms);
    const double bare = Median(dlopen_ms);
    std::printf("module start-up (load and start, median of %d): %.2f ms\n", rounds, started);
    std::printf("  of which the start-up service (median): %.3f ms\n", Median(services_ms));
    std::printf("bare dlopen of the module (median of %d): %.2f ms\n", rounds, bare);
    std::printf("ratio start-up/dlopen: %.2f\n", bare > 0 ? started / bare : 0.0);
    return 0;
}
