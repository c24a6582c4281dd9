// Download addresses and their behaviours: /download/<mode>/<file name>.
//
// "ok" is a well-behaved font archive download: status 200, type
// "application/zip", a Content-Length and
//   Content-Disposition: attachment; filename="<file name>"
// Every other mode breaks one thing, so a client's handling of that fault can
// be tested (see DownloadModes() for the list). "long-N" (N = 1..2000) names
// the file with exactly N bytes; "hops-N" (N = 1..50) answers with a chain of
// N redirects (302 to hops-(N-1), hops-1 to ok) before the archive;
// "disposition" sends the "value" query parameter as the whole
// Content-Disposition header. The file name comes from the address,
// percent-decoded; the archive holds the fonts of the "ids" query parameter.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace glyphoria::testing::shop {

enum class Delivery {
    kWhole,       // Content-Length and the whole body
    kChunked,     // chunked transfer coding, no Content-Length
    kStall,       // Content-Length, half the body, a pause, then the rest
    kDrop,        // Content-Length, half the body, then the connection is closed
    kOverstated,  // Content-Length kOverstatedLength, the whole body, then the connection is closed
    kSilent,      // Content-Length, the first kSilentAfterBytes bytes, then nothing until the shop
                  // stops
};

constexpr size_t kSilentAfterBytes = 16;

// The cookie the cart page sets and the "cookie" download asks for: the
// shop's session, as a real shop's sign-in would start it.
constexpr char kSessionCookieName[] = "glyphoria_session";
constexpr char kSessionCookieValue[] = "cart";

// The largest length a 32-bit field holds: a client that adds one for a NUL
// in 32 bits gets 0.
constexpr size_t kOverstatedLength = 0xFFFFFFFFu;

enum class BodyKind { kArchive, kStatusPage, kSignInPage, kPdf };

struct DownloadMode {
    const char* name;
    const char* description;
};

struct DownloadPlan {
    int status = 200;
    std::string content_type;
    std::optional<std::string> disposition;  // nullopt: no Content-Disposition header
    std::string location;                    // redirect target (path and query), if any
    BodyKind body = BodyKind::kArchive;
    Delivery delivery = Delivery::kWhole;
    // Without the session cookie the answer is 403 with a sign-in page.
    bool needs_session = false;
};

// The listed modes in a stable order (for the cart page and tests).
const std::vector<DownloadMode>& DownloadModes();

// The plan for a mode, or nullopt for an unknown mode. file_name is the
// decoded last path component; query is the raw query (kept for redirects);
// status_param is the "status" query parameter ("" when absent).
std::optional<DownloadPlan> PlanDownload(const std::string& mode, const std::string& file_name,
                                         const std::string& raw_query,
                                         const std::string& status_param);

}  // namespace glyphoria::testing::shop
