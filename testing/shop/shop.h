// The font shop's web services on loopback, for tests and demos.
//
// One HTTP listener on 127.0.0.1 (and, unless switched off, an HTTPS
// listener with a fresh self-signed certificate) serving:
//   /                        product homepage
//   /glyphoria               sampler start page (pages.h)
//   /glyphoria/config.xml    remote configuration (config_document.h)
//   /render                  text renderer (render_request.h)
//   /services/service.ashx   cart service: the cart page; "ids" picks fonts
//   /cart                    the same cart page
//   /download/<mode>/<name>  font archives and their fault modes (download_modes.h)
// Every request is recorded in log() as it arrives.
//
// Like a real shop far away: every render may wait render_latency_ms before
// it answers, and downloads may come at a given pace (download_rate_kbps, or
// "rate=N" in a download's query, in KB/s of 1000 bytes; pacer.h). A
// download's "size=N" pads its archive to exactly N bytes (font_archive.h);
// the last padded archive is kept, so asking again costs no time.
//
// Start() binds and returns once the listeners accept connections; Stop()
// (also run by the destructor) ends stalled answers, closes the listeners
// and joins their threads. A stopped shop cannot be started again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testing/shop/catalogue.h"
#include "testing/shop/config_document.h"
#include "testing/shop/request_log.h"

namespace glyphoria::testing::shop {

struct ShopOptions {
    int port = 0;  // 0: any free port
    bool https = true;
    int https_port = 0;
    std::string fonts_dir;          // extra fonts for the catalogue
    int default_stall_seconds = 3;  // the "stall" download's pause without "seconds="
    int render_latency_ms = 0;      // the renderer's wait before each answer
    long download_rate_kbps = 0;    // downloads without "rate=": 0 is as fast as it goes
};

// The longest render latency the shop takes.
constexpr int kMaxRenderLatencyMs = 60000;

// The longest pause a "stall" download may ask for.
constexpr int kMaxStallSeconds = 10;

class Shop {
  public:
    explicit Shop(ShopOptions options = {});
    ~Shop();
    Shop(const Shop&) = delete;
    Shop& operator=(const Shop&) = delete;

    // false with a reason in *error when a listener cannot be set up.
    bool Start(std::string* error = nullptr);
    void Stop();

    std::string base_url() const;          // "http://127.0.0.1:PORT"
    std::string https_base_url() const;    // "" without the HTTPS listener
    std::string certificate_path() const;  // PEM file of the HTTPS certificate
    int port() const;
    int https_port() const;
    const Catalogue& catalogue() const;

    // Addresses on the HTTP listener.
    std::string config_url() const;
    std::string sampler_page_url() const;
    std::string renderer_url() const;
    std::string cart_url() const;
    std::string homepage_url() const;
    // ids: comma list; empty means all OpenType fonts.
    std::string download_url(const std::string& mode,
                             const std::string& file_name = "GlyphoriaFonts.zip",
                             const std::string& ids = {}) const;

    // The five configuration values pointing at this shop.
    std::map<std::string, std::string> StandardConfigValues() const;
    // How /glyphoria/config.xml answers when its query asks for nothing else.
    void set_config_options(ConfigOptions options);

    RequestLog& log();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace glyphoria::testing::shop
