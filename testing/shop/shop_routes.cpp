// The shop's request handlers: pages, configuration, renderer, cart and
// downloads, plus the request log hooks.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "testing/shop/download_modes.h"
#include "testing/shop/font_archive.h"
#include "testing/shop/pages.h"
#include "testing/shop/query.h"
#include "testing/shop/render_request.h"
#include "testing/shop/shop_impl.h"
#include "testing/shop/text_renderer.h"

namespace glyphoria::testing::shop {

namespace {

constexpr size_t kChunkSize = 16 * 1024;
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

// Half the body, then either the rest after a pause or, when stall_seconds
// is negative, nothing more (the connection is dropped).
// pause(seconds) returns true when the shop is stopping.
using Pause = std::function<bool(int)>;

httplib::ContentProvider SplitProvider(std::shared_ptr<const std::string> body, Pause pause,
                                       int stall_seconds) {
    return [body, pause, stall_seconds](size_t offset, size_t length, httplib::DataSink& sink) {
        size_t half = body->size() / 2;
        if (offset == half) {
            if (stall_seconds < 0) return false;
            if (pause(stall_seconds)) return false;
        }
        size_t end = offset < half ? half : body->size();
        size_t count = std::min(length, end - offset);
        return sink.write(body->data() + offset, count);
    };
}

void Deliver(const DownloadPlan& plan, std::string body, int stall_seconds, const Pause& pause,
             httplib::Response& res) {
    res.status = plan.status;
    auto shared = std::make_shared<const std::string>(std::move(body));
    switch (plan.delivery) {
        case Delivery::kWhole:
            res.set_content(*shared, plan.content_type);
            break;
        case Delivery::kChunked:
            res.set_chunked_content_provider(
                plan.content_type, [shared](size_t offset, httplib::DataSink& sink) {
                    if (offset >= shared->size()) {
                        sink.done();
                        return true;
                    }
                    return sink.write(shared->data() + offset,
                                      std::min(kChunkSize, shared->size() - offset));
                });
            break;
        case Delivery::kStall:
            res.set_content_provider(shared->size(), plan.content_type,
                                     SplitProvider(shared, pause, stall_seconds));
            break;
        case Delivery::kOverstated:
            res.set_content_provider(
                kOverstatedLength, plan.content_type,
                [shared](size_t offset, size_t length, httplib::DataSink& sink) {
                    if (offset >= shared->size()) return false;  // closes the connection
                    return sink.write(shared->data() + offset,
                                      std::min(length, shared->size() - offset));
                });
            break;
        case Delivery::kDrop:
            res.set_content_provider(shared->size(), plan.content_type,
                                     SplitProvider(shared, pause, -1));
            break;
        case Delivery::kSilent:
            res.set_content_provider(
                shared->size(), plan.content_type,
                [shared, pause](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset >= kSilentAfterBytes) {
                        pause(kSilentSeconds);
                        return false;  // the shop is stopping: close the connection
                    }
                    return sink.write(shared->data(), std::min(kSilentAfterBytes, shared->size()));
                });
            break;
    }
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
        std::string body;
        switch (plan->body) {
            case BodyKind::kArchive: {
                std::string error;
                std::optional<std::string> archive = BuildFontArchive(fonts, work_dir, &error);
                if (!archive) return Fail(res, 500, error);
                body = std::move(*archive);
                break;
            }
            case BodyKind::kStatusPage:
                body = StatusPage(plan->status);
                break;
            case BodyKind::kSignInPage:
                body = kSignInPage;
                break;
            case BodyKind::kPdf:
                body = kMinimalPdf;
                break;
        }
        if (!plan->location.empty()) res.set_header("Location", Base(secure) + plan->location);
        if (plan->disposition) res.set_header("Content-Disposition", *plan->disposition);
        int seconds = std::atoi(query.GetOr("seconds", "-1").c_str());
        if (seconds < 0) seconds = options.default_stall_seconds;
        Deliver(
            *plan, std::move(body), std::min(seconds, kMaxStallSeconds),
            [this](int pause_seconds) { return PauseUnlessStopping(pause_seconds); }, res);
    });
}

}  // namespace glyphoria::testing::shop
