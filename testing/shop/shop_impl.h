// Private to the shop: its state shared by the lifecycle (shop.cpp) and the
// request handlers (shop_routes.cpp). Only these two files see cpp-httplib.
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
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
    // Waits up to seconds or until Stop(); true when the shop is stopping.
    bool PauseUnlessStopping(int seconds);

    void InstallRoutes(httplib::Server& server, bool secure);
};

}  // namespace glyphoria::testing::shop
