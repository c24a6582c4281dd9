// The record: its ordered list, typed values, the point size rule, parsing
// and the label it becomes.
#include "sampling/text_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace glyphoria {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const TextData& record) {
    Pairs pairs;
    for (std::size_t i = 0; i < record.PairCount(); ++i)
        pairs.emplace_back(record.KeyAt(i), record.ValueAt(i));
    return pairs;
}

TEST(TextDataList, KeysKeepTheirFirstPositionAndNewKeysGoLast) {
    TextData record("id=7&psname=Foo");
    record.SetString("id", "9");
    record.SetString("extra", "x");
    record.SetString("ID", "1");  // keys are case-sensitive
    EXPECT_EQ(PairsOf(record),
              (Pairs{{"id", "9"}, {"psname", "Foo"}, {"extra", "x"}, {"ID", "1"}}));
    EXPECT_EQ(record.GetString("missing"), nullptr);
    // A value handed out earlier survives the list growing.
    const char* psname = record.GetString("psname");
    for (int i = 0; i < 300; ++i)
        record.SetInt(("k" + std::to_string(i)).c_str(), i);
    EXPECT_STREQ(psname, "Foo");
    EXPECT_STREQ(record.GetString("missing", "def"), "def");
}

TEST(TextDataValues, NumbersAreReadAndWrittenInTheLabelFormat) {
    struct Case {
        const char* stored;
        int as_int;
        float as_real;
    } cases[] = {
        {"200.600", 200, 200.6f},
        {"-3.5e1x", -3, -35.0f},
        {".5", 0, 0.5f},
        {"7.", 7, 7.0f},
        {"12abc", 12, 12.0f},
        {"+7", 7, 7.0f},
        {"abc", 0, 0.0f},
        {"", 0, 0.0f},
        {"1e", 1, 1.0f},
        {"inf", 0, 0.0f},
        {"0x10", 0, 0.0f},
        {"99999999999", 2147483647, 1e11f},
        {"1e400", 1, 3.40282347e38f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        TextData record;
        record.SetString("n", c.stored);
        EXPECT_EQ(record.GetInt("n", -1), c.as_int);
        EXPECT_FLOAT_EQ(record.GetReal("n", -1.0f), c.as_real);
    }
    TextData record;
    record.SetReal("width", 200.6);
    record.SetReal("height", -0.0004);
    record.SetInt("fillUID", -45);
    EXPECT_STREQ(record.BuildLabel(), "width=200.600&height=-0.000&fillUID=-45");
    EXPECT_EQ(record.GetInt("textUID"), 0);
    EXPECT_EQ(record.GetReal("width2"), 0.0f);
}

TEST(TextDataFontSize, FollowsItsRuleBothWays) {
    struct Case {
        double written;      // < 0: not written
        const char* stored;  // null: not stored as text
        const char* expect_stored;
        float expect_read;
    } cases[] = {
        {-1, nullptr, nullptr, 24.0f}, {-1, "5.500", "5.500", 12.0f}, {-1, "big", "big", 12.0f},
        {4, nullptr, "12.000", 12.0f}, {6, nullptr, "6.000", 6.0f},   {9.5, nullptr, "9.500", 9.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect_stored ? c.expect_stored : "missing");
        TextData record;
        if (!(c.written < 0)) record.SetReal("fontsize", c.written);
        if (c.stored) record.SetString("fontsize", c.stored);
        EXPECT_STREQ(record.GetString("fontsize"), c.expect_stored);
        EXPECT_FLOAT_EQ(record.GetReal("fontsize", 99.0f), c.expect_read);
    }
}

TEST(TextDataParse, CutsAtAmpersandsAndFirstEquals) {
    struct Case {
        const char* input;
        Pairs expected;
    } cases[] = {
        {"id=7&x&=v&a=b=c", {{"id", "7"}, {"a", "b=c"}}},
        {"scheme://try?id=5&psname=Foo", {{"id", "5"}, {"psname", "Foo"}}},
        {"http://h/p?x=1?y=2", {{"x", "1?y=2"}}},
        {"&&id=&id=2&&", {{"id", "2"}}},
        {"text=Hello%20World%21&p=a+b", {{"text", "Hello%20World%21"}, {"p", "a+b"}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        TextData record;
        EXPECT_EQ(record.Parse(c.input), 1);
        EXPECT_EQ(PairsOf(record), c.expected);
    }
}

TEST(TextDataParse, TextOf2048BytesOrMoreBehindTheQuestionMarkIsNotParsed) {
    std::string pad = "x://try?id=1&pad=";  // 9 bytes behind the "?"
    TextData record("keep=me");
    record.Parse((pad + std::string(2048 - 9, 'p')).c_str());
    EXPECT_EQ(PairsOf(record), (Pairs{{"keep", "me"}}));
    record.Parse((pad + std::string(2047 - 9, 'p')).c_str());
    EXPECT_EQ(std::string(record.GetString("pad")).size(), 2038u);
}

TEST(TextDataLabel, RoundTripsThroughParse) {
    TextData first("scheme://try?id=5&psname=Foo&mode=a=b");
    first.SetReal("fontsize", 9.5);
    first.SetString("text", "%C3%A9t%C3%A9%20%26%3D");
    std::string label = first.BuildLabel();
    EXPECT_EQ(label, "id=5&psname=Foo&mode=a=b&fontsize=9.500&text=%C3%A9t%C3%A9%20%26%3D");
    TextData second(label.c_str());
    EXPECT_EQ(PairsOf(second), PairsOf(first));
    EXPECT_STREQ(second.DecodedText(), "\xC3\xA9t\xC3\xA9 &=");
    EXPECT_STREQ(second.DecodedText(false), "%C3%A9t%C3%A9%20%26%3D");
}

TEST(TextDataLabel, ALabelThatWouldNotFitIsRefusedWhole) {
    // "id=1&pad=" is 9 bytes; the label may have at most 2047.
    for (std::size_t length : {std::size_t{2047}, std::size_t{2048}}) {
        SCOPED_TRACE(length);
        TextData record("id=1");
        record.SetString("pad", std::string(length - 9, 'p').c_str());
        const char* label = record.BuildLabel();
        EXPECT_EQ(label ? std::string(label).size() : 0u, length == 2047 ? 2047u : 0u);
        EXPECT_EQ(std::string(record.query()).size(), length == 2047 ? 2047u : 0u);
    }
}

}  // namespace
}  // namespace glyphoria
