// The sampler request as the shop's text renderer reads it.
//
// Parameters (names without regard to letter case): "imagetype" must be
// "typeit"; "shopid" names a catalogue font; "Width" and "Height" are the
// image size in pixels (1..4000); "TextSize" is the font size in pixels
// (1..1000); "TextColor" is "#rrggbb" (default black); "BgColor" is "#rrggbb"
// or "transparent" (default white); "RenderText" is UTF-8 (default empty).
// A colour may also arrive still escaped ("%23rrggbb"), which is what a
// client sends when it encodes the "%" of its own escape once more.
// Anything outside these rules is a client error (HTTP 400) with a short
// reason; whether the id is known is the caller's business (HTTP 404).
#pragma once

#include <optional>
#include <string>

#include "testing/shop/query.h"

namespace glyphoria::testing::shop {

constexpr int kMaxImageSide = 4000;
constexpr int kMaxTextSize = 1000;

struct Colour {
    double red = 0, green = 0, blue = 0, alpha = 1;  // 0..1
};

struct RenderRequest {
    std::string shop_id;
    int width = 0;
    int height = 0;
    int text_size = 0;
    Colour text_colour;
    Colour background;
    std::string text;  // valid UTF-8
};

// nullopt and a reason in *error when the request breaks the rules above.
std::optional<RenderRequest> ParseRenderRequest(const Query& query, std::string* error);

// "#rrggbb" / "%23rrggbb" (hex digits in either case) or, when allowed,
// "transparent"; nullopt otherwise.
std::optional<Colour> ParseColour(const std::string& text, bool allow_transparent);

// Replaces every byte that does not start a well-formed UTF-8 sequence
// (including overlong forms and surrogates) by U+FFFD, so that a text cut in
// the middle of a character still renders.
std::string SanitizeUtf8(const std::string& text);

}  // namespace glyphoria::testing::shop
