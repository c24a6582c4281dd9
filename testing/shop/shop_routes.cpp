// The shop's request handlers: pages, configuration, renderer, cart and
// downloads, plus the request log hooks.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "testing/shop/download_modes.h"
#include "testing/shop/font_archive.h"
#include "testing/shop/pacer.h"
#include "testing/shop/pages.h"
#include "testing/shop/query.h"
#include "testing/shop/render_request.h"
#include "testing/shop/shop_impl.h"
#include "testing/shop/text_renderer.h"

namespace glyphoria::testing::shop {

namespace {

constexpr size_t kChunkSize = 16 * 1024;
// The fastest pace a download may ask for: 10 GB/s, beyond any loopback.
constexpr long long kMaxRateKbps = 10 * 1000 * 1000;
// Long enough for any client's stall limit; Stop() ends it at once.
constexpr int kSilentSeconds = 24 * 60 * 60;
constexpr char kHtml[] = "text/html; charset=utf-8";
constexpr char kText[] = "text/plain; charset=utf-8";

// The pre-routing hook and the logger run on the worker thread that handles
// the request, one request after the other, so the sequence number of the
// request in hand can travel between them in a thread-local slot.
thread_local uint64_t current_sequence = 0;

const char kMinimalPdf[] =
    "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
    "2 0 obj<</Type/Pages/Kids[]/Count 0>>endobj\ntrailer<</Root 1 0 R>>\n%%EOF\n";

void Fail(httplib::Response& res, int status, const std::string& reason) {
    res.status = status;
    res.set_content(reason + "\n", kText);
}

LoggedRequest Describe(const httplib::Request& req, bool secure) {
    LoggedRequest entry;
    entry.scheme = secure ? "https" : "http";
    entry.method = req.method;
    entry.target = req.target;
    entry.path = req.path;
    for (const auto& header : req.headers) {
        // cpp-httplib adds the socket addresses as pseudo headers.
        if (header.first == "REMOTE_ADDR" || header.first == "REMOTE_PORT" ||
            header.first == "LOCAL_ADDR" || header.first == "LOCAL_PORT")
            continue;
        entry.headers.emplace_back(header.first, header.second);
    }
    return entry;
}

std::string RawQuery(const httplib::Request& req) {
    size_t mark = req.target.find('?');
    return mark == std::string::npos ? "" : req.target.substr(mark + 1);
}

// The fonts named by "ids"; all OpenType fonts without it. false when an id
// is unknown.
bool FontsOf(const Catalogue& catalogue, const Query& query,
             std::vector<const CatalogueFont*>* fonts) {
    std::vector<std::string> ids = SplitList(query.GetOr("ids", ""));
    if (ids.empty()) {
        *fonts = catalogue.OpenTypeFonts();
        return true;
    }
    for (const std::string& id : ids) {
        const CatalogueFont* font = catalogue.Find(id);
        if (!font) return false;
        fonts->push_back(font);
    }
    return true;
}

std::string StatusPage(int status) {
    return "<!DOCTYPE html>\n<html><body><h1>" + std::to_string(status) +
           "</h1><p>No download here.</p></body></html>\n";
}

const char kSignInPage[] =
    "<!DOCTYPE html>\n<html><body><h1>Please sign in</h1>"
    "<form method=\"post\"><input name=\"user\"><input type=\"password\" name=\"password\">"
    "</form></body></html>\n";

// Writes through the answer's pacer; false when the client is gone or the
// shop is stopping.
bool Send(Pacer& pacer, httplib::DataSink& sink, const char* data, size_t count) {
    return pacer.Write(data, count, [&sink](const char* piece, size_t length) {
        return sink.write(piece, length);
    });
}

// Half the body, then either the rest after a pause or, when stall_seconds
// is negative, nothing more (the connection is dropped).
// pause(seconds) returns true when the shop is stopping.
using Pause = std::function<bool(int)>;
using Body = std::shared_ptr<const std::string>;

httplib::ContentProvider SplitProvider(Body body, std::shared_ptr<Pacer> pacer, Pause pause,
                                       int stall_seconds) {
    return
        [body, pacer, pause, stall_seconds](size_t offset, size_t length, httplib::DataSink& sink) {
            size_t half = body->size() / 2;
            if (offset == half) {
                if (stall_seconds < 0) return false;
                if (pause(stall_seconds)) return false;
            }
            size_t end = offset < half ? half : body->size();
            size_t count = std::min(length, end - offset);
            return Send(*pacer, sink, body->data() + offset, count);
        };
}

void Deliver(const DownloadPlan& plan, Body body, std::shared_ptr<Pacer> pacer, int stall_seconds,
             const Pause& pause, httplib::Response& res) {
    res.status = plan.status;
    switch (plan.delivery) {
        case Delivery::kWhole:
            if (!pacer->paced()) return res.set_content(*body, plan.content_type);
            res.set_content_provider(
                body->size(), plan.content_type,
                [body, pacer](size_t offset, size_t length, httplib::DataSink& sink) {
                    return Send(*pacer, sink, body->data() + offset,
                                std::min(length, body->size() - offset));
                });
            break;
        case Delivery::kChunked:
            res.set_chunked_content_provider(
                plan.content_type, [body, pacer](size_t offset, httplib::DataSink& sink) {
                    if (offset >= body->size()) {
                        sink.done();
                        return true;
                    }
                    return Send(*pacer, sink, body->data() + offset,
                                std::min(kChunkSize, body->size() - offset));
                });
            break;
        case Delivery::kStall:
            res.set_content_provider(body->size(), plan.content_type,
                                     SplitProvider(body, pacer, pause, stall_seconds));
            break;
        case Delivery::kOverstated:
            res.set_content_provider(
                kOverstatedLength, plan.content_type,
                [body, pacer](size_t offset, size_t length, httplib::DataSink& sink) {
                    if (offset >= body->size()) return false;  // closes the connection
                    return Send(*pacer, sink, body->data() + offset,
                                std::min(length, body->size() - offset));
                });
            break;
        case Delivery::kDrop:
            res.set_content_provider(body->size(), plan.content_type,
                                     SplitProvider(body, pacer, pause, -1));
            break;
        case Delivery::kSilent:
            res.set_content_provider(
                body->size(), plan.content_type,
                [body, pacer, pause](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset >= kSilentAfterBytes) {
                        pause(kSilentSeconds);
                        return false;  // the shop is stopping: close the connection
                    }
                    return Send(*pacer, sink, body->data(),
                                std::min(kSilentAfterBytes, body->size()));
                });
            break;
    }
}

// A non-negative decimal query value no larger than high; fallback when the
// parameter is absent; nullopt when it is there but not such a number.
std::optional<long long> NumberParam(const Query& query, const char* name, long long high,
                                     long long fallback) {
    std::optional<std::string> raw = query.Get(name);
    if (!raw) return fallback;
    if (raw->empty() || raw->size() > 12 ||
        raw->find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    long long value = std::atoll(raw->c_str());
    if (value > high) return std::nullopt;
    return value;
}

// Whether the request carries the session cookie the cart page sets.
bool HasSession(const httplib::Request& req) {
    const std::string wanted = std::string(kSessionCookieName) + "=" + kSessionCookieValue;
    for (size_t i = 0, n = req.get_header_value_count("Cookie"); i < n; ++i) {
        const std::string cookies = "; " + req.get_header_value("Cookie", i) + ";";
        if (cookies.find("; " + wanted + ";") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

void Shop::Impl::InstallRoutes(httplib::Server& server, bool secure) {
    server.set_pre_routing_handler([this, secure](const httplib::Request& req, httplib::Response&) {
        current_sequence = log.Arrived(Describe(req, secure));
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_logger([this](const httplib::Request&, const httplib::Response& res) {
        log.Answered(current_sequence, res.status);
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty() && res.content_length_ == 0)
            res.set_content("Error " + std::to_string(res.status) + "\n", kText);
    });

    server.Get("/", [this, secure](const httplib::Request&, httplib::Response& res) {
        res.set_content(HomePage(Base(secure)), kHtml);
    });
    server.Get("/glyphoria/?", [this, secure](const httplib::Request&, httplib::Response& res) {
        res.set_content(SamplerPage(Base(secure), catalogue), kHtml);
    });
    server.Get("/glyphoria/config.xml",
               [this, secure](const httplib::Request& req, httplib::Response& res) {
                   ConfigOptions options;
                   {
                       std::lock_guard<std::mutex> lock(mutex);
                       options = config_options;
                   }
                   options = ApplyConfigQuery(options, QueryOfTarget(req.target));
                   if (options.status != 200)
                       return Fail(res, options.status, "configuration unavailable");
                   res.set_content(BuildConfigDocument(ConfigValues(secure), options), "text/xml");
               });
    server.Get("/render", [this](const httplib::Request& req, httplib::Response& res) {
        if (options.render_latency_ms > 0 &&
            WaitUnlessStopping(std::chrono::milliseconds(options.render_latency_ms)))
            return Fail(res, 503, "the shop is closing");
        std::string error;
        std::optional<RenderRequest> request =
            ParseRenderRequest(QueryOfTarget(req.target), &error);
        if (!request) return Fail(res, 400, error);
        const CatalogueFont* font = catalogue.Find(request->shop_id);
        if (!font) return Fail(res, 404, "no font with the id " + request->shop_id);
        std::optional<std::string> png = RenderSamplePng(*request, font->path, &error);
        if (!png) return Fail(res, 500, error);
        res.set_content(*png, "image/png");
    });
    auto cart = [this, secure](const httplib::Request& req, httplib::Response& res) {
        Query query = QueryOfTarget(req.target);
        // A session cookie (no expiry): gone with the client's process.
        res.set_header("Set-Cookie",
                       std::string(kSessionCookieName) + "=" + kSessionCookieValue + "; Path=/");
        res.set_content(CartPage(Base(secure), catalogue, SplitList(query.GetOr("ids", ""))),
                        kHtml);
    };
    server.Get("/services/service.ashx", cart);
    server.Post("/services/service.ashx", cart);
    server.Get("/cart", cart);
    server.Get("/download/([^/]+)/([^/]+)", [this, secure](const httplib::Request& req,
                                                           httplib::Response& res) {
        Query query = QueryOfTarget(req.target);
        std::optional<DownloadPlan> plan =
            PlanDownload(req.matches[1], req.matches[2], RawQuery(req), query.GetOr("status", ""));
        if (!plan) return Fail(res, 404, "no such download mode");
        if (plan->needs_session && !HasSession(req)) {
            res.status = 403;
            res.set_content(kSignInPage, kHtml);
            return;
        }
        std::vector<const CatalogueFont*> fonts;
        if (!FontsOf(catalogue, query, &fonts)) return Fail(res, 404, "unknown font id");
        const std::optional<long long> size =
            NumberParam(query, "size", static_cast<long long>(kMaxPaddedArchiveSize), 0);
        const std::optional<long long> rate =
            NumberParam(query, "rate", kMaxRateKbps, options.download_rate_kbps);
        if (!size) return Fail(res, 400, "size must be a number of bytes up to 1 GiB");
        if (!rate) return Fail(res, 400, "rate must be a number of KB/s (0: no limit)");
        Body body;
        switch (plan->body) {
            case BodyKind::kArchive: {
                std::string error;
                body = Archive(fonts, static_cast<size_t>(*size), &error);
                if (!body) return Fail(res, 500, error);
                break;
            }
            case BodyKind::kStatusPage:
                body = std::make_shared<const std::string>(StatusPage(plan->status));
                break;
            case BodyKind::kSignInPage:
                body = std::make_shared<const std::string>(kSignInPage);
                break;
            case BodyKind::kPdf:
                body = std::make_shared<const std::string>(kMinimalPdf);
                break;
        }
        if (!plan->location.empty()) res.set_header("Location", Base(secure) + plan->location);
        if (plan->disposition) res.set_header("Content-Disposition", *plan->disposition);
        int seconds = std::atoi(query.GetOr("seconds", "-1").c_str());
        if (seconds < 0) seconds = options.default_stall_seconds;
        auto pacer =
            std::make_shared<Pacer>(static_cast<long>(*rate), [this] { return Stopping(); });
        Deliver(
            *plan, std::move(body), std::move(pacer), std::min(seconds, kMaxStallSeconds),
            [this](int pause_seconds) { return PauseUnlessStopping(pause_seconds); }, res);
    });
}

Body Shop::Impl::Archive(const std::vector<const CatalogueFont*>& fonts, size_t padded_size,
                         std::string* error) {
    if (padded_size == 0) {
        std::optional<std::string> archive = BuildFontArchive(fonts, work_dir, error);
        return archive ? std::make_shared<const std::string>(std::move(*archive)) : nullptr;
    }
    std::string key = std::to_string(padded_size);
    for (const CatalogueFont* font : fonts)
        key += " " + font->id;
    std::lock_guard<std::mutex> lock(archive_mutex);
    if (padded_archive && padded_key == key) return padded_archive;
    padded_archive.reset();  // the old one goes before the new one is made
    std::optional<std::string> archive = BuildFontArchive(fonts, work_dir, error, padded_size);
    if (!archive) return nullptr;
    padded_key = key;
    padded_archive = std::make_shared<const std::string>(std::move(*archive));
    return padded_archive;
}

}  // namespace glyphoria::testing::shop
