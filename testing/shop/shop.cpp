#include "testing/shop/shop.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "testing/shop/query.h"
#include "testing/shop/shop_impl.h"

namespace glyphoria::testing::shop {

namespace {

constexpr char kLoopback[] = "127.0.0.1";
// Idle keep-alive connections hold a worker thread until this runs out, and
// Stop() waits for the workers.
constexpr time_t kKeepAliveSeconds = 1;

std::string MakeWorkDir() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/glyphoria-shop-XXXXXX";
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

int Bind(httplib::Server& server, int port) {
    if (port == 0) return server.bind_to_any_port(kLoopback);
    return server.bind_to_port(kLoopback, port) ? port : -1;
}

bool WaitUntilRunning(const httplib::Server& server) {
    for (int i = 0; i < 500 && !server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return server.is_running();
}

// A renderer with a latency holds a worker per request for that long: a try
// on many frames at once must not queue behind the pool's default of eight.
constexpr size_t kWorkerThreads = 32;

void Configure(httplib::Server& server) {
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
}

}  // namespace

std::string Shop::Impl::Base(bool secure) const {
    return std::string(secure ? "https://" : "http://") + kLoopback + ":" +
           std::to_string(secure ? https_port : http_port);
}

std::map<std::string, std::string> Shop::Impl::ConfigValues(bool secure) const {
    std::string base = Base(secure);
    return {{"cartUrl", base + "/services/service.ashx?action=cart"},
            {"mlSamplerUrl", base + "/render"},
            {"search", base + "/glyphoria"},
            {"homepage", base + "/"},
            {"sampleSizeFactor", "1"}};
}

bool Shop::Impl::PauseUnlessStopping(int seconds) {
    return WaitUnlessStopping(std::chrono::seconds(seconds));
}

bool Shop::Impl::WaitUnlessStopping(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex);
    stop_signal.wait_for(lock, wait, [this] { return stopping; });
    return stopping;
}

bool Shop::Impl::Stopping() {
    std::lock_guard<std::mutex> lock(mutex);
    return stopping;
}

Shop::Shop(ShopOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    impl_->catalogue = Catalogue::Standard(options.fonts_dir);
}

Shop::~Shop() {
    Stop();
    if (!impl_->work_dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(impl_->work_dir, ec);
    }
}

bool Shop::Start(std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    Impl& impl = *impl_;
    if (impl.started) {
        *error = "the shop was started before";
        return false;
    }
    impl.started = true;
    impl.work_dir = MakeWorkDir();
    if (impl.work_dir.empty()) {
        *error = "cannot create a work folder";
        return false;
    }
    Configure(impl.http);
    impl.InstallRoutes(impl.http, false);
    impl.http_port = Bind(impl.http, impl.options.port);
    if (impl.http_port <= 0) {
        *error =
            "cannot listen on " + std::string(kLoopback) + ":" + std::to_string(impl.options.port);
        return false;
    }
    if (impl.options.https) {
        if (!WriteSelfSignedCertificate(impl.work_dir, &impl.certificate, error)) return false;
        impl.https = std::make_unique<httplib::SSLServer>(impl.certificate.certificate.c_str(),
                                                          impl.certificate.private_key.c_str());
        if (!impl.https->is_valid()) {
            *error = "the HTTPS listener does not accept its certificate";
            impl.https.reset();
            return false;
        }
        Configure(*impl.https);
        impl.InstallRoutes(*impl.https, true);
        impl.https_port = Bind(*impl.https, impl.options.https_port);
        if (impl.https_port <= 0) {
            *error = "cannot listen for HTTPS";
            impl.https.reset();
            return false;
        }
        impl.https_thread = std::thread([&impl] { impl.https->listen_after_bind(); });
    }
    impl.http_thread = std::thread([&impl] { impl.http.listen_after_bind(); });
    // stop() only reaches a server whose accept loop runs, so the loops must
    // be up before anyone can ask for a stop.
    bool running = WaitUntilRunning(impl.http) && (!impl.https || WaitUntilRunning(*impl.https));
    if (!running) *error = "the listeners did not start";
    return running;
}

void Shop::Stop() {
    Impl& impl = *impl_;
    {
        std::lock_guard<std::mutex> lock(impl.mutex);
        impl.stopping = true;
    }
    impl.stop_signal.notify_all();
    impl.http.stop();
    if (impl.https) impl.https->stop();
    if (impl.http_thread.joinable()) impl.http_thread.join();
    if (impl.https_thread.joinable()) impl.https_thread.join();
}

std::string Shop::base_url() const {
    return impl_->Base(false);
}
std::string Shop::https_base_url() const {
    return impl_->https ? impl_->Base(true) : "";
}
std::string Shop::certificate_path() const {
    return impl_->certificate.certificate;
}
int Shop::port() const {
    return impl_->http_port;
}
int Shop::https_port() const {
    return impl_->https_port;
}
const Catalogue& Shop::catalogue() const {
    return impl_->catalogue;
}
RequestLog& Shop::log() {
    return impl_->log;
}

std::string Shop::config_url() const {
    return base_url() + "/glyphoria/config.xml";
}
std::string Shop::sampler_page_url() const {
    return StandardConfigValues().at("search");
}
std::string Shop::renderer_url() const {
    return StandardConfigValues().at("mlSamplerUrl");
}
std::string Shop::cart_url() const {
    return StandardConfigValues().at("cartUrl");
}
std::string Shop::homepage_url() const {
    return StandardConfigValues().at("homepage");
}

std::string Shop::download_url(const std::string& mode, const std::string& file_name,
                               const std::string& ids) const {
    std::string url = base_url() + "/download/" + mode + "/" + PercentEncode(file_name);
    return ids.empty() ? url : url + "?ids=" + ids;
}

std::map<std::string, std::string> Shop::StandardConfigValues() const {
    return impl_->ConfigValues(false);
}

void Shop::set_config_options(ConfigOptions options) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->config_options = std::move(options);
}

}  // namespace glyphoria::testing::shop
