#include "testing/shop/query.h"

#include <strings.h>

namespace glyphoria::testing::shop {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string PercentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int high = HexValue(text[i + 1]);
            int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string PercentEncode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                     c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

Query::Query(const std::string& raw) {
    size_t start = (!raw.empty() && raw[0] == '?') ? 1 : 0;
    while (start <= raw.size()) {
        size_t end = raw.find('&', start);
        if (end == std::string::npos) end = raw.size();
        std::string piece = raw.substr(start, end - start);
        if (!piece.empty()) {
            size_t eq = piece.find('=');
            std::string name = piece.substr(0, eq);
            std::string value = eq == std::string::npos ? std::string() : piece.substr(eq + 1);
            items_.emplace_back(PercentDecode(name), PercentDecode(value));
        }
        start = end + 1;
    }
}

std::optional<std::string> Query::Get(const std::string& name) const {
    for (const auto& item : items_)
        if (strcasecmp(item.first.c_str(), name.c_str()) == 0) return item.second;
    return std::nullopt;
}

std::string Query::GetOr(const std::string& name, const std::string& fallback) const {
    std::optional<std::string> value = Get(name);
    return value ? *value : fallback;
}

Query QueryOfTarget(const std::string& target) {
    size_t mark = target.find('?');
    return mark == std::string::npos ? Query() : Query(target.substr(mark + 1));
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace glyphoria::testing::shop
