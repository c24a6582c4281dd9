// glyphoria-shop: the test shop as a program, for demos and manual checks.
//
//   glyphoria-shop [--port N] [--https-port N] [--no-https] [--fonts-dir DIR]
//                  [--render-latency MS] [--rate KBPS] [--quiet]
//
// --render-latency: every render waits that long before it answers;
// --rate: downloads without "rate=" come at most that fast (KB/s of 1000
// bytes).
// Prints the HTTP base address on the first line of standard output, then
// "https <address>" and "certificate <path>" when HTTPS is on, and the
// catalogue as "font <id> <PostScript name> <file>" lines; then serves until
// SIGINT or SIGTERM. Requests are echoed to standard error unless --quiet.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

#include "testing/shop/shop.h"

namespace {

using glyphoria::testing::shop::Shop;
using glyphoria::testing::shop::ShopOptions;

int Usage() {
    std::cerr << "usage: glyphoria-shop [--port N] [--https-port N] [--no-https] "
                 "[--fonts-dir DIR] [--render-latency MS] [--rate KBPS] [--quiet]\n";
    return 2;
}

bool ParseNumber(const char* text, long high, long* out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > high) return false;
    *out = value;
    return true;
}

bool ParsePort(const char* text, int* port) {
    long value = 0;
    if (!ParseNumber(text, 65535, &value)) return false;
    *port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ShopOptions options;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool has_value = i + 1 < argc;
        if (arg == "--port" && has_value) {
            if (!ParsePort(argv[++i], &options.port)) return Usage();
        } else if (arg == "--https-port" && has_value) {
            if (!ParsePort(argv[++i], &options.https_port)) return Usage();
        } else if (arg == "--render-latency" && has_value) {
            long ms = 0;
            if (!ParseNumber(argv[++i], glyphoria::testing::shop::kMaxRenderLatencyMs, &ms))
                return Usage();
            options.render_latency_ms = static_cast<int>(ms);
        } else if (arg == "--rate" && has_value) {
            if (!ParseNumber(argv[++i], 10 * 1000 * 1000, &options.download_rate_kbps))
                return Usage();
        } else if (arg == "--fonts-dir" && has_value) {
            options.fonts_dir = argv[++i];
        } else if (arg == "--no-https") {
            options.https = false;
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            return Usage();
        }
    }

    // The listener threads inherit this mask, so the signals reach sigwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Shop shop(options);
    if (!quiet) {
        static std::mutex echo_mutex;
        shop.log().set_echo([](const std::string& line) {
            std::lock_guard<std::mutex> lock(echo_mutex);
            std::cerr << "shop: " << line << std::endl;
        });
    }
    std::string error;
    if (!shop.Start(&error)) {
        std::cerr << "glyphoria-shop: " << error << "\n";
        return 1;
    }
    std::cout << shop.base_url() << "\n";
    if (options.https) {
        std::cout << "https " << shop.https_base_url() << "\n";
        std::cout << "certificate " << shop.certificate_path() << "\n";
    }
    for (const auto& font : shop.catalogue().fonts())
        std::cout << "font " << font.id << " " << font.postscript_name << " " << font.path << "\n";
    std::cout.flush();

    int received = 0;
    sigwait(&signals, &received);
    shop.Stop();
    return 0;
}
