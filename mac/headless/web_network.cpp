#include "mac/headless/web_network.h"

#include <cctype>
#include <cstdint>

#include "mac/net_errors.h"
#include "platform/net.h"
#include "support/content_disposition.h"

namespace glyphoria::mac {

namespace {

constexpr std::size_t kPieceSize = 16 * 1024;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]);
            const int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The last segment of the address's path.
std::string LastPathSegment(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    const std::size_t scheme = path.find("://");
    if (scheme != std::string::npos) {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    const std::size_t last = path.find_last_of('/');
    return PercentDecoded(last == std::string::npos ? path : path.substr(last + 1));
}

bool IsWebAddress(const std::string& url) {
    const std::string lower = Lower(url.substr(0, 8));
    return lower.compare(0, 7, "http://") == 0 || lower.compare(0, 8, "https://") == 0;
}

class NetResponse : public WebResponse {
  public:
    NetResponse(platform::SessionHandle session, platform::RequestHandle request, std::string url)
        : session_(std::move(session)), request_(std::move(request)), url_(std::move(url)) {}
    ~NetResponse() override { request_.reset(); }

    std::string mimeType() const override {
        char type[256] = "";
        if (!platform::QueryContentType(request_.get(), type, sizeof type)) {
            return "application/octet-stream";
        }
        std::string value =
            Lower(Trimmed(std::string(type).substr(0, std::string(type).find(';'))));
        return value.empty() ? "application/octet-stream" : value;
    }
    std::int64_t expectedLength() const override {
        const platform::ContentLength length = platform::QueryContentLength(request_.get());
        if (!length.known || length.bytes > static_cast<std::uint64_t>(INT64_MAX)) return -1;
        return static_cast<std::int64_t>(length.bytes);
    }
    int statusCode() const override { return platform::QueryStatusCode(request_.get()); }
    std::string suggestedFilename() const override {
        char disposition[1024] = "";
        if (platform::QueryHeader(request_.get(), "Content-Disposition", disposition,
                                  sizeof disposition)) {
            const std::string name = DispositionFilename(disposition);
            if (!name.empty()) return name;
        }
        return LastPathSegment(url_);
    }
    Read read(std::string* piece, MacError* error) override {
        piece->assign(kPieceSize, '\0');
        std::size_t got = 0;
        const platform::NetRead result =
            platform::ReadBlocking(request_.get(), &(*piece)[0], piece->size(), &got);
        piece->resize(got);
        if (result == platform::kNetFailed) {
            if (error) *error = MacErrorOf(platform::ReadFailure(request_.get()));
            return kFailed;
        }
        if (result == platform::kNetEnd && got == 0) return kEnd;
        return kData;
    }

  private:
    platform::SessionHandle session_;
    platform::RequestHandle request_;
    std::string url_;
};

}  // namespace

std::string DispositionFilename(const std::string& disposition) {
    std::string name;
    return DispositionFileName(disposition.c_str(), &name) ? name : std::string();
}

std::unique_ptr<WebResponse> NetWebNetwork::open(const std::string& url,
                                                 const std::string& user_agent, MacError* error) {
    if (!IsWebAddress(url)) {
        if (error) *error = {"NSURLErrorDomain", -1002, "unsupported URL"};
        return nullptr;
    }
    platform::SessionHandle session =
        platform::OpenSession(user_agent.empty() ? nullptr : user_agent.c_str());
    platform::NetError failure{platform::NetFailure::kOther, 0};
    // A page that stops arriving fails, as the engine's own timeouts end it.
    platform::RequestHandle request =
        session ? platform::OpenAddress(session.get(), url.c_str(), platform::kDefaultNetLimits,
                                        &failure)
                : nullptr;
    if (!request) {
        if (error) *error = MacErrorOf(failure);
        return nullptr;
    }
    return std::make_unique<NetResponse>(std::move(session), std::move(request), url);
}

}  // namespace glyphoria::mac
