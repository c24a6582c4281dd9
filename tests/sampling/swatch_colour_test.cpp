// The colour strings the renderer receives.
#include "sampling/swatch_colour.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sampling/text_data.h"
#include "tests/sampling/fake_document.h"

namespace glyphoria {
namespace {

TEST(SwatchColour, ComponentsAreTruncatedAfterScaling) {
    struct Case {
        float rgb[3];
        const char* expected;
    } cases[] = {
        {{1.0f, 0.5f, 0.0f}, "%23ff7f00"},
        {{0.999f, 0.004f, 0.0039f}, "%23fe0100"},
        // Out of range and NaN cannot produce more than two digits.
        {{1.5f, -0.25f, NAN}, "%23ff0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        char out[32];
        FormatRgbColour(c.rgb, out, sizeof out);
        EXPECT_STREQ(out, c.expected);
    }
}

TEST(SwatchColour, TextAndBackgroundFollowTheirSwatches) {
    struct Case {
        const char* name;
        int uid;
        const char* text;
        const char* background;
    } cases[] = {
        {"no swatch", 0, "%23000000", "%23ffffff"},
        {"unknown swatch", 999, "%23000000", "%23ffffff"},
        {"None", 10, "%23000000", "transparent"},
        {"Black is never converted", 11, "%23000000", "%23191919"},
        {"converted colour", 20, "%23ff7f00", "%23ff7f00"},
        {"RGB swatch sends its own components", 21, "%23336699", "%23336699"},
        {"no colour data", 22, "%23000000", "%23ffffff"},
    };
    const testing::FakeSwatches swatches;
    TextData record;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The same record throughout: the strings are recomputed every time.
        record.SetInt("textUID", c.uid);
        record.SetInt("fillUID", c.uid);
        EXPECT_STREQ(record.TextColour(swatches), c.text);
        EXPECT_STREQ(record.BackgroundColour(swatches), c.background);
    }
}

}  // namespace
}  // namespace glyphoria
