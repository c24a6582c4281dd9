#include "testing/shop/download_modes.h"

#include <cstdlib>

#include "testing/shop/query.h"

namespace glyphoria::testing::shop {

namespace {

constexpr int kMaxLongName = 2000;
constexpr int kMaxHops = 50;

std::string Quoted(const std::string& name) {
    return "attachment; filename=\"" + name + "\"";
}

// "long-N": a name of exactly N bytes ending in ".zip" where it fits.
std::optional<std::string> LongName(const std::string& mode) {
    if (mode.rfind("long-", 0) != 0) return std::nullopt;
    std::string digits = mode.substr(5);
    if (digits.empty() || digits.size() > 4 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int length = std::atoi(digits.c_str());
    if (length < 1 || length > kMaxLongName) return std::nullopt;
    std::string suffix = length > 4 ? ".zip" : "";
    return std::string(static_cast<size_t>(length) - suffix.size(), 'f') + suffix;
}

// "hops-N": the number of redirects before the archive, or nullopt.
std::optional<int> Hops(const std::string& mode) {
    if (mode.rfind("hops-", 0) != 0) return std::nullopt;
    std::string digits = mode.substr(5);
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int hops = std::atoi(digits.c_str());
    if (hops < 1 || hops > kMaxHops) return std::nullopt;
    return hops;
}

}  // namespace

const std::vector<DownloadMode>& DownloadModes() {
    static const std::vector<DownloadMode> modes = {
        {"ok", "application/zip, Content-Length, quoted file name"},
        {"octet", "application/octet-stream instead of application/zip"},
        {"chunked", "chunked transfer, no Content-Length"},
        {"type-params", "application/zip; charset=binary"},
        {"no-disposition", "no Content-Disposition header"},
        {"no-filename", "Content-Disposition: attachment (no file name)"},
        {"unquoted", "file name without double quotes"},
        {"empty-name", "filename=\"\""},
        {"traversal", "file name ../evil.zip"},
        {"absolute", "file name /tmp/evil.zip"},
        {"drive", "file name C:\\x.zip"},
        {"control", "file name with control characters"},
        {"long-255", "quoted file name of 255 bytes"},
        {"long-256", "quoted file name of 256 bytes"},
        {"stall", "half the archive, a pause (seconds=N, at most 10), then the rest"},
        {"drop", "half the archive, then the connection is closed"},
        {"huge-length", "Content-Length 4294967295, the archive, then the connection is closed"},
        {"silent", "the first 16 bytes of the archive, then silence until the shop stops"},
        {"error", "an error status (status=NNN, default 500) with an HTML body"},
        {"error-archive",
         "an error status (status=NNN, default 500) with archive headers and an HTML body"},
        {"cookie", "the archive only with the session cookie the cart page sets; else 403"},
        {"xfilename", "xfilename=\"<name>\" (no filename parameter)"},
        {"blank-name", "filename=\" \""},
        {"dot-name", "filename=\".<name>\" (a dot file)"},
        {"device-name", "filename=\"NUL.zip\" (a Windows device)"},
        {"trailing-dot", "filename=\"<name>.\""},
        {"inner-dots", "filename=\"Sans..Bold.zip\" (a good name)"},
        {"encoded-name",
         "filename*=UTF-8''Schrift%C3%A4.zip before filename=\"Schrift.zip\" (RFC 8187)"},
        {"disposition", "the value= query parameter as the whole Content-Disposition"},
        {"html", "a sign-in page (text/html) instead of the archive"},
        {"pdf", "a PDF document (application/pdf)"},
        {"redirect", "302 to the ok download"},
        {"hops-10", "10 redirects in a row, then the ok download (hops-N: N = 1..50)"},
        {"hops-11", "11 redirects in a row, then the ok download"},
    };
    return modes;
}

std::optional<DownloadPlan> PlanDownload(const std::string& mode, const std::string& file_name,
                                         const std::string& raw_query,
                                         const std::string& status_param) {
    DownloadPlan plan;
    plan.content_type = "application/zip";
    plan.disposition = Quoted(file_name);
    if (std::optional<std::string> long_name = LongName(mode)) {
        plan.disposition = Quoted(*long_name);
    } else if (mode == "ok") {
    } else if (mode == "octet") {
        plan.content_type = "application/octet-stream";
    } else if (mode == "chunked") {
        plan.delivery = Delivery::kChunked;
    } else if (mode == "type-params") {
        plan.content_type = "application/zip; charset=binary";
    } else if (mode == "no-disposition") {
        plan.disposition.reset();
    } else if (mode == "no-filename") {
        plan.disposition = "attachment";
    } else if (mode == "unquoted") {
        plan.disposition = "attachment; filename=" + file_name;
    } else if (mode == "empty-name") {
        plan.disposition = Quoted("");
    } else if (mode == "traversal") {
        plan.disposition = Quoted("../evil.zip");
    } else if (mode == "absolute") {
        plan.disposition = Quoted("/tmp/evil.zip");
    } else if (mode == "drive") {
        plan.disposition = Quoted("C:\\x.zip");
    } else if (mode == "control") {
        plan.disposition = Quoted("bad\x01name\x1b\x7f.zip");
    } else if (mode == "stall") {
        plan.delivery = Delivery::kStall;
    } else if (mode == "drop") {
        plan.delivery = Delivery::kDrop;
    } else if (mode == "silent") {
        plan.delivery = Delivery::kSilent;
    } else if (mode == "cookie") {
        plan.needs_session = true;
    } else if (mode == "xfilename") {
        plan.disposition = "attachment; xfilename=\"" + file_name + "\"";
    } else if (mode == "blank-name") {
        plan.disposition = Quoted(" ");
    } else if (mode == "dot-name") {
        plan.disposition = Quoted("." + file_name);
    } else if (mode == "device-name") {
        plan.disposition = Quoted("NUL.zip");
    } else if (mode == "trailing-dot") {
        plan.disposition = Quoted(file_name + ".");
    } else if (mode == "inner-dots") {
        plan.disposition = Quoted("Sans..Bold.zip");
    } else if (mode == "encoded-name") {
        plan.disposition =
            "attachment; filename*=UTF-8''Schrift%C3%A4.zip; filename=\"Schrift.zip\"";
    } else if (mode == "disposition") {
        plan.disposition = Query(raw_query).GetOr("value", "");
    } else if (mode == "huge-length") {
        plan.delivery = Delivery::kOverstated;
    } else if (mode == "error") {
        int status = std::atoi(status_param.c_str());
        plan.status = (status >= 400 && status <= 599) ? status : 500;
        plan.content_type = "text/html";
        plan.disposition.reset();
        plan.body = BodyKind::kStatusPage;
    } else if (mode == "error-archive") {
        int status = std::atoi(status_param.c_str());
        plan.status = (status >= 400 && status <= 599) ? status : 500;
        plan.body = BodyKind::kStatusPage;
    } else if (mode == "html") {
        plan.content_type = "text/html";
        plan.disposition.reset();
        plan.body = BodyKind::kSignInPage;
    } else if (mode == "pdf") {
        plan.content_type = "application/pdf";
        plan.disposition = "inline; filename=\"Licence.pdf\"";
        plan.body = BodyKind::kPdf;
    } else if (mode == "redirect") {
        plan.status = 302;
        plan.content_type = "text/html";
        plan.disposition.reset();
        plan.body = BodyKind::kStatusPage;
        plan.location =
            "/download/ok/" + PercentEncode(file_name) + (raw_query.empty() ? "" : "?" + raw_query);
    } else if (std::optional<int> hops = Hops(mode)) {
        plan.status = 302;
        plan.content_type = "text/html";
        plan.disposition.reset();
        plan.body = BodyKind::kStatusPage;
        const std::string next = *hops == 1 ? "ok" : "hops-" + std::to_string(*hops - 1);
        plan.location = "/download/" + next + "/" + PercentEncode(file_name) +
                        (raw_query.empty() ? "" : "?" + raw_query);
    } else {
        return std::nullopt;
    }
    return plan;
}

}  // namespace glyphoria::testing::shop
