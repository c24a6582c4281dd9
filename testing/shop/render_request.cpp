#include "testing/shop/render_request.h"

#include <strings.h>

namespace glyphoria::testing::shop {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Plain decimal integer in [low, high]; no sign, no spaces, no fraction.
std::optional<int> ParseBoundedInt(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

bool RequireInt(const Query& query, const char* name, int high, int* out, std::string* error) {
    std::optional<std::string> raw = query.Get(name);
    std::optional<int> value = raw ? ParseBoundedInt(*raw, 1, high) : std::nullopt;
    if (!value) {
        *error = std::string(name) + " must be an integer from 1 to " + std::to_string(high);
        return false;
    }
    *out = *value;
    return true;
}

// Length of the well-formed UTF-8 sequence at text[i], or 0.
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

}  // namespace

std::optional<Colour> ParseColour(const std::string& text, bool allow_transparent) {
    if (allow_transparent && strcasecmp(text.c_str(), "transparent") == 0) {
        Colour none;
        none.alpha = 0;
        return none;
    }
    std::string digits;
    if (text.size() == 7 && text[0] == '#') {
        digits = text.substr(1);
    } else if (text.size() == 9 && text.compare(0, 3, "%23") == 0) {
        digits = text.substr(3);
    } else {
        return std::nullopt;
    }
    int channel[3];
    for (int k = 0; k < 3; ++k) {
        int high = HexDigit(digits[2 * k]);
        int low = HexDigit(digits[2 * k + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        channel[k] = high * 16 + low;
    }
    Colour colour;
    colour.red = channel[0] / 255.0;
    colour.green = channel[1] / 255.0;
    colour.blue = channel[2] / 255.0;
    return colour;
}

std::string SanitizeUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::optional<RenderRequest> ParseRenderRequest(const Query& query, std::string* error) {
    RenderRequest request;
    std::optional<std::string> type = query.Get("imagetype");
    if (!type || *type != "typeit") {
        *error = "imagetype must be typeit";
        return std::nullopt;
    }
    std::optional<std::string> id = query.Get("shopid");
    if (!id || id->empty()) {
        *error = "shopid is missing";
        return std::nullopt;
    }
    request.shop_id = *id;
    if (!RequireInt(query, "Width", kMaxImageSide, &request.width, error) ||
        !RequireInt(query, "Height", kMaxImageSide, &request.height, error) ||
        !RequireInt(query, "TextSize", kMaxTextSize, &request.text_size, error))
        return std::nullopt;

    std::optional<Colour> text_colour = ParseColour(query.GetOr("TextColor", "#000000"), false);
    if (!text_colour) {
        *error = "TextColor must be #rrggbb";
        return std::nullopt;
    }
    std::optional<Colour> background = ParseColour(query.GetOr("BgColor", "#ffffff"), true);
    if (!background) {
        *error = "BgColor must be #rrggbb or transparent";
        return std::nullopt;
    }
    request.text_colour = *text_colour;
    request.background = *background;
    request.text = SanitizeUtf8(query.GetOr("RenderText", ""));
    return request;
}

}  // namespace glyphoria::testing::shop
