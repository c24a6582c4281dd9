#include "mac/headless/web_network.h"

#include <cctype>
#include <cstdint>

#include "platform/net.h"

namespace glyphoria::mac {

namespace {

constexpr std::size_t kPieceSize = 16 * 1024;
// A page that stops arriving fails rather than hanging a test.
constexpr platform::NetLimits kLimits{15000, 30000, 1, 30};

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
            if (error) *error = {"NSURLErrorDomain", -1005, "The network connection was lost."};
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
    const std::string lower = Lower(disposition);
    std::size_t at = 0;
    while ((at = lower.find("filename", at)) != std::string::npos) {
        std::size_t pos = at + 8;
        // "filename*=" (the encoded form) is not read; the plain one is.
        while (pos < lower.size() && (lower[pos] == ' ' || lower[pos] == '\t'))
            ++pos;
        if (pos >= lower.size() || lower[pos] != '=') {
            at = pos;
            continue;
        }
        ++pos;
        while (pos < disposition.size() && (disposition[pos] == ' ' || disposition[pos] == '\t'))
            ++pos;
        if (pos < disposition.size() && disposition[pos] == '"') {
            std::string name;
            for (++pos; pos < disposition.size() && disposition[pos] != '"'; ++pos) {
                if (disposition[pos] == '\\' && pos + 1 < disposition.size()) ++pos;
                name += disposition[pos];
            }
            return name;
        }
        const std::size_t end = disposition.find(';', pos);
        return Trimmed(disposition.substr(pos, end == std::string::npos ? end : end - pos));
    }
    return {};
}

std::unique_ptr<WebResponse> NetWebNetwork::open(const std::string& url,
                                                 const std::string& user_agent, MacError* error) {
    if (!IsWebAddress(url)) {
        if (error) *error = {"NSURLErrorDomain", -1002, "unsupported URL"};
        return nullptr;
    }
    platform::SessionHandle session =
        platform::OpenSession(user_agent.empty() ? nullptr : user_agent.c_str());
    platform::RequestHandle request =
        session ? platform::OpenAddress(session.get(), url.c_str(), kLimits) : nullptr;
    if (!request) {
        if (error) *error = {"NSURLErrorDomain", -1004, "Could not connect to the server."};
        return nullptr;
    }
    return std::make_unique<NetResponse>(std::move(session), std::move(request), url);
}

}  // namespace glyphoria::mac
