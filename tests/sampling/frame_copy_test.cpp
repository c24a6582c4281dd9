// The whole frame kept beside the record: what is written reads back
// exactly, and what the rules refuse is refused whole, with its reason.
#include "sampling/frame_copy.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

namespace glyphoria {
namespace {

FrameCopy Sample() {
    FrameCopy copy;
    copy.name = "body \xC3\xBC";
    copy.labels = {{"script.tag", "a=b&c"}, {"\xE2\x82\xAC", ""}};
    copy.fill = 7;
    copy.left = 32.25;
    copy.top = 144.1;
    copy.right = 352.0000001;
    copy.bottom = 330;
    copy.rotation = -10.333333333333334;
    copy.shear = 12.5;
    copy.runs = {{"Bold lead-in, ", 13.5, "Liberation Serif", "Bold", 5},
                 {"\"quoted\" \\ \t\xF0\x9D\x84\x9E\r", 9.25, "", "", 4294967295u},
                 {"second paragraph\r", 13.5, "DejaVu Sans", "", 5}};
    return copy;
}

// The sample's JSON with one member's value replaced by raw text, or the
// member removed for an empty one.
std::string With(const std::string& member, const std::string& raw) {
    nlohmann::ordered_json j = nlohmann::ordered_json::parse(EncodeFrameCopy(Sample()));
    if (raw.empty()) {
        j.erase(member);
        return j.dump();
    }
    j[member] = "@raw@";
    std::string text = j.dump();
    return text.replace(text.find("\"@raw@\""), 7, raw);
}

TEST(FrameCopy, ReadsBackExactly) {
    const FrameCopy copy = Sample();
    const std::string text = EncodeFrameCopy(copy);
    EXPECT_EQ(0u, text.find("{\"version\":1,\"name\":"));
    FrameCopy back;
    std::string why;
    ASSERT_TRUE(DecodeFrameCopy(text, &back, &why)) << why;
    EXPECT_EQ(copy, back);
    EXPECT_EQ(text, EncodeFrameCopy(back));
}

TEST(FrameCopy, RefusesWhatNoFrameCanBeRestoredFrom) {
    const std::string good = EncodeFrameCopy(Sample());
    struct Case {
        const char* name;
        std::string text;
        const char* why;
    } cases[] = {
        {"empty", "", "not JSON"},
        {"cut short", good.substr(0, good.size() / 2), "not JSON"},
        {"not UTF-8", With("name", "\"\xC3\""), "not JSON"},
        {"an array", "[1]", "not a JSON object"},
        {"another version", With("version", "2"), "not version 1"},
        {"version as text", With("version", "\"1\""), "not version 1"},
        {"huge", good + std::string(kFrameCopyMaxBytes, ' '), "larger than 1048576 bytes"},
        {"no bounds", With("bounds", ""), "no bounds [left, top, right, bottom]"},
        {"three edges", With("bounds", "[0,0,1]"), "no bounds [left, top, right, bottom]"},
        {"overflowing edge", With("bounds", "[0,0,1e400,5]"), "not JSON"},
        {"edge as text", With("bounds", "[0,0,\"1\",5]"), "bounds that are not finite numbers"},
        {"no width", With("bounds", "[5,0,5,5]"), "bounds without a positive width and height"},
        {"upside down", With("bounds", "[0,9,5,5]"), "bounds without a positive width and height"},
        {"rotation past a turn", With("rotation", "361"), "no rotation within one turn"},
        {"right-angled shear", With("shear", "-89"), "no shear short of a right angle"},
        {"no name", With("name", ""), "no name"},
        {"labels as a list", With("labels", "[]"), "labels are not an object"},
        {"a label of a number", With("labels", "{\"k\":1}"), "a label is not text"},
        {"a try's label", With("labels", "{\"Glyphoria\":\"id=5\"}"),
         "a label key that the frame cannot have"},
        {"a copy inside", With("labels", "{\"Glyphoria.frame\":\"{}\"}"),
         "a label key that the frame cannot have"},
        {"an empty label key", With("labels", "{\"\":\"x\"}"),
         "a label key that the frame cannot have"},
        {"negative fill", With("fill", "-3"), "no fill swatch"},
        {"fill past 32 bits", With("fill", "4294967296"), "no fill swatch"},
        {"fractional fill", With("fill", "7.5"), "no fill swatch"},
        {"no runs", With("runs", "[]"), "no runs"},
        {"a run of a number", With("runs", "[5]"), "a run is not an object"},
        {"an empty run", With("runs", "[{\"text\":\"\",\"size\":9,\"color\":5}]"),
         "a run without text"},
        {"zero size", With("runs", "[{\"text\":\"\\r\",\"size\":0,\"color\":5}]"),
         "a run without a positive point size"},
        {"no colour", With("runs", "[{\"text\":\"\\r\",\"size\":9}]"),
         "a run without a colour swatch"},
        {"font of a number", With("runs", "[{\"text\":\"\\r\",\"size\":9,\"color\":5,\"font\":1}]"),
         "a run's font is not text"},
        {"no end marker", With("runs", "[{\"text\":\"Hi\",\"size\":9,\"color\":5}]"),
         "a story without its end marker"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameCopy kept = Sample();
        kept.name = "untouched";
        std::string why;
        EXPECT_FALSE(DecodeFrameCopy(c.text, &kept, &why));
        EXPECT_EQ(c.why, why);
        EXPECT_EQ("untouched", kept.name);
    }
    // The limits themselves are allowed.
    FrameCopy edge;
    EXPECT_TRUE(DecodeFrameCopy(With("rotation", "-360"), &edge));
    EXPECT_TRUE(DecodeFrameCopy(With("shear", "88.999"), &edge));
    EXPECT_TRUE(DecodeFrameCopy(With("fill", "4294967295"), &edge));
}

}  // namespace
}  // namespace glyphoria
