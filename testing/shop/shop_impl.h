// Private to the shop: its state shared by the lifecycle (shop.cpp) and the
// request handlers (shop_routes.cpp). Only these two files see cpp-httplib.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "testing/shop/self_signed.h"
#include "testing/shop/shop.h"

namespace glyphoria::testing::shop {

struct Shop::Impl {
    ShopOptions options;
    Catalogue catalogue;
    RequestLog log;
    std::string work_dir;  // certificate and archive scratch files; removed at the end
    CertificateFiles certificate;

    httplib::Server http;
    std::unique_ptr<httplib::SSLServer> https;
    std::thread http_thread;
    std::thread https_thread;
    int http_port = 0;
    int https_port = 0;
    bool started = false;

    std::mutex mutex;  // guards config_options and stopping
    std::condition_variable stop_signal;
    ConfigOptions config_options;
    bool stopping = false;

    std::string Base(bool secure) const;
    std::map<std::string, std::string> ConfigValues(bool secure) const;
    // The last padded archive and what it was made of (fonts and size).
    std::mutex archive_mutex;
    std::string padded_key;
    std::shared_ptr<const std::string> padded_archive;

    // Waits up to seconds or until Stop(); true when the shop is stopping.
    bool PauseUnlessStopping(int seconds);
    bool WaitUnlessStopping(std::chrono::milliseconds wait);
    bool Stopping();

    // The archive of the fonts, padded to padded_size bytes (0: not padded);
    // null with a reason in *error.
    std::shared_ptr<const std::string> Archive(const std::vector<const CatalogueFont*>& fonts,
                                               size_t padded_size, std::string* error);

    void InstallRoutes(httplib::Server& server, bool secure);
};

}  // namespace glyphoria::testing::shop
