// The host adapter: what a record takes from a real document's frames and
// swatches.
#include <gtest/gtest.h>

#include <string>

#include "host/sdk/swatches.h"
#include "host/sdk/utils.h"
#include "sampling/frame_fill.h"
#include "sampling/host_frame_source.h"
#include "sampling/page_items.h"
#include "sampling/selection_suite.h"
#include "tests/sampling/host_document.h"

namespace glyphoria {
namespace {

class HostAdapterTest : public testing::HostDocumentTest {
  public:
    int SwatchUID(const char* name) {
        return static_cast<int>(Utils<ISwatchUtils>()->FindSwatch(doc, PMString(name)));
    }
};

TEST_F(HostAdapterTest, ATextFrameIsRecordedAfterTheTryArgument) {
    Select({"alpha"});
    TextData record("id=5&psname=Foo");
    ASSERT_EQ(1, FillFromSelection(record, QuerySelectedFrames(), 0));
    EXPECT_EQ(Frame("alpha"), record.frame().uid);
    const std::string label = record.BuildLabel();
    EXPECT_EQ("id=5&psname=Foo&fontsize=9.000&textUID=" + std::to_string(SwatchUID("Red")) +
                  "&ps0=DejaVuSans&text=Alpha%20text&fillUID=" + std::to_string(SwatchUID("Teal")) +
                  "&width=200.000&height=50.000",
              label);
}

TEST_F(HostAdapterTest, StoryTextKeepsUnicodeAndStopsAt255BytesBetweenCharacters) {
    std::string long_text;
    for (int i = 0; i < 300; ++i)
        long_text += static_cast<char>('a' + i % 26);
    const std::string fits = long_text.substr(0, 255);
    std::string accents, encoded_accents;
    for (int i = 0; i < 130; ++i) {
        accents += "\xC3\xA9";
        if (i < 127) encoded_accents += "%C3%A9";
    }
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"umlaut and surrogate pair", "K\xC3\xB6ln \xF0\x9F\x98\x80", "K%C3%B6ln%20%F0%9F%98%80"},
        {"255 bytes, whole", fits, fits},
        // The whole text is kept beside the record, not in it.
        {"300 characters", long_text, fits},
        {"130 characters of 260 bytes", accents, encoded_accents},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(std::string(R"({"spreads": [{"bounds": [0, 0, 600, 400], "layers": [{"items": [
          {"type": "text", "name": "t", "bounds": [0, 0, 100, 100],
           "story": {"runs": [{"text": ")") +
             c.text + R"("}]}}]}]}]})");
        TextData record("id=1");
        ASSERT_EQ(1, FillFromFrame(record, HostFrameSource(Ref("t"))));
        EXPECT_EQ(c.expected, record.GetString("text"));
        EXPECT_FLOAT_EQ(12.0f, record.FontSize());
    }
}

TEST_F(HostAdapterTest, FramesWithoutTextAreNotSampled) {
    Select({"alpha", "empty", "frame"});
    UIDList frames = QuerySelectedFrames();
    const int expected[] = {1, 0, 0};
    for (int32 i = 0; i < frames.Length(); ++i) {
        TextData record("id=5");
        EXPECT_EQ(expected[i], FillFromSelection(record, frames, i)) << i;
    }
    TextData outside("id=5");
    EXPECT_EQ(0, FillFromSelection(outside, frames, 3));
}

TEST_F(HostAdapterTest, RotatedFrameRecordsItsOwnUprightSize) {
    Open(R"({"spreads": [{"bounds": [0, 0, 600, 400], "layers": [{"items": [
      {"type": "text", "name": "t", "bounds": [100, 100, 200, 150], "rotation": 90,
       "story": {"runs": [{"text": "Up"}]}}]}]}]})");
    TextData record("id=1");
    ASSERT_EQ(1, FillFromFrame(record, HostFrameSource(Ref("t"))));
    EXPECT_STREQ("100.000", record.GetString("width"));
    EXPECT_STREQ("50.000", record.GetString("height"));
}

TEST_F(HostAdapterTest, SwatchesGiveTheRendererColours) {
    HostSwatchSource swatches(doc);
    Utils<ISwatchUtils> utils;
    const struct {
        const char* name;
        int uid;
        const char* text;
        const char* background;
    } cases[] = {
        {"None", static_cast<int>(utils->GetNoneSwatchUID(doc)), "%23000000", "transparent"},
        {"Black", static_cast<int>(utils->GetBlackSwatchUID(doc)), "%23000000", "%23000000"},
        {"Paper", static_cast<int>(utils->GetPaperSwatchUID(doc)), "%23ffffff", "%23ffffff"},
        {"RGB", SwatchUID("Red"), "%23ff0000", "%23ff0000"},
        // CMYK 0.8/0/0.3/0.2 and Lab 80/5/25 through the host's conversion.
        {"CMYK", SwatchUID("Teal"), "%2328cc8e", "%2328cc8e"},
        {"no swatch", 0, "%23000000", "%23ffffff"},
        {"unknown UID", 99999, "%23000000", "%23ffffff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextData record;
        record.SetInt("textUID", c.uid);
        record.SetInt("fillUID", c.uid);
        EXPECT_STREQ(c.text, record.TextColour(swatches));
        EXPECT_STREQ(c.background, record.BackgroundColour(swatches));
    }
    SwatchFacts lab;
    ASSERT_TRUE(swatches.Describe(SwatchUID("Sand"), &lab));
    EXPECT_TRUE(lab.has_colour);
    EXPECT_GT(lab.rgb[0], lab.rgb[2]);  // a warm light colour
}

}  // namespace
}  // namespace glyphoria
