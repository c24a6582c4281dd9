#include "sampling/swatch_colour.h"

#include <cstdio>

namespace glyphoria {

namespace {

int ComponentByte(float component) {
    if (!(component > 0.0f)) return 0;  // also NaN
    if (component >= 1.0f) return 255;
    return static_cast<int>(component * 255.0f);
}

// Looks the swatch up; false when it names none.
bool Describe(int uid, const SwatchSource& swatches, SwatchFacts* facts) {
    return uid != 0 && swatches.Describe(uid, facts);
}

}  // namespace

void FormatRgbColour(const float rgb[3], char* out, std::size_t cap) {
    std::snprintf(out, cap, "%%23%02x%02x%02x", ComponentByte(rgb[0]), ComponentByte(rgb[1]),
                  ComponentByte(rgb[2]));
}

void WriteTextColour(int swatch_uid, const SwatchSource& swatches, char* out, std::size_t cap) {
    std::snprintf(out, cap, "%s", kDefaultTextColour);
    SwatchFacts facts;
    if (!Describe(swatch_uid, swatches, &facts) || facts.is_black || !facts.has_colour) return;
    FormatRgbColour(facts.rgb, out, cap);
}

void WriteBackgroundColour(int swatch_uid, const SwatchSource& swatches, char* out,
                           std::size_t cap) {
    std::snprintf(out, cap, "%s", kDefaultBackgroundColour);
    SwatchFacts facts;
    if (!Describe(swatch_uid, swatches, &facts)) return;
    if (facts.is_none) {
        std::snprintf(out, cap, "%s", kTransparentBackground);
    } else if (facts.has_colour) {
        FormatRgbColour(facts.rgb, out, cap);
    }
}

}  // namespace glyphoria
