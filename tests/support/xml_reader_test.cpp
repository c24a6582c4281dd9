#include "support/xml_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace glyphoria {
namespace {

TEST(XmlReaderTest, GetElementTextFindsTheFirstElement) {
    struct Case {
        const char* name;
        const char* text;
        const char* tag;
        int result;
        const char* value;
    };
    const Case cases[] = {
        {"plain", "<root><a>hello</a></root>", "a", 5, "hello"},
        {"case in the document", "<Homepage>x</HOMEPAGE>", "homepage", 1, "x"},
        {"case in the tag", "<cartUrl>u</cartUrl>", "CARTURL", 1, "u"},
        {"raw entity", "<v>a &amp; b</v>", "v", 9, "a &amp; b"},
        {"blanks and line ends kept", "<v>\r\n  x \t</v>", "v", 7, "\r\n  x \t"},
        {"markup inside kept", "<v><b>x</b></v>", "v", 8, "<b>x</b>"},
        {"empty element writes empty text", "<a></a>", "a", 0, ""},
        {"first occurrence only", "<v>1</v><v>2</v>", "v", 1, "1"},
        {"nested runs to the first closing tag", "<c>a<c>b</c>d</c>", "c", 5, "a<c>b"},
        {"longer tag name not matched", "<idx>1</idx><id>2</id>", "id", 1, "2"},
        {"utf-8 text",
         "<v>Schlie\xC3\x9F"
         "en</v>",
         "v", 10,
         "Schlie\xC3\x9F"
         "en"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char dest[256] = "untouched";
        EXPECT_EQ(GetElementText(c.text, c.tag, dest, sizeof dest), c.result);
        EXPECT_STREQ(dest, c.value);
    }
}

TEST(XmlReaderTest, GetElementTextMissesLeaveTheDestinationAlone) {
    const std::string tag64(64, 't');
    const std::string tag65(65, 't');
    const std::string doc64 = "<" + tag64 + ">v</" + tag64 + ">";
    const std::string doc65 = "<" + tag65 + ">v</" + tag65 + ">";
    struct Case {
        const char* name;
        const char* text;
        const char* tag;
    };
    const Case cases[] = {
        {"null text", nullptr, "a"},
        {"null tag", "<a>x</a>", nullptr},
        {"empty tag", "<a>x</a>", ""},
        {"65-byte tag", doc65.c_str(), tag65.c_str()},
        {"no opening tag", "<b>x</b>", "a"},
        {"no closing tag", "<a>x", "a"},
        {"closing tag only before the opening", "</a><a>x", "a"},
        {"opening tag with attributes", "<a href=\"u\">x</a>", "a"},
        {"empty text", "", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char dest[256] = "untouched";
        EXPECT_EQ(GetElementText(c.text, c.tag, dest, sizeof dest), 0);
        EXPECT_STREQ(dest, "untouched");
    }
    char dest[256] = "";
    EXPECT_EQ(GetElementText(doc64.c_str(), tag64.c_str(), dest, sizeof dest), 1);
    EXPECT_STREQ(dest, "v");
}

TEST(XmlReaderTest, LongElementTextIsCutToTheDestination) {
    const std::string body(300, 'x');
    const std::string doc = "<a>" + body + "</a>";
    // Guard bytes after the destination must survive.
    char buffer[256 + 8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetElementText(doc.c_str(), "a", buffer, 256), 255);
    EXPECT_EQ(std::string(buffer), body.substr(0, 255));
    for (std::size_t i = 256; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], '#') << i;

    char tiny[4];
    EXPECT_EQ(GetElementText(doc.c_str(), "a", tiny, sizeof tiny), 3);
    EXPECT_STREQ(tiny, "xxx");
    EXPECT_EQ(GetElementText(doc.c_str(), "a", tiny, 0), 0);
}

TEST(XmlReaderTest, DupElementTextCopiesWholeText) {
    struct Case {
        const char* name;
        std::string text;
        std::string tag;
        const char* expected;  // null: no copy
    };
    const std::string body(1000, 'y');
    const std::string attr_tag = "q " + std::string(62, 'z');  // 64 bytes with attribute text
    const Case cases[] = {
        {"longer than any buffer", "<a>" + body + "</a>", "A", body.c_str()},
        {"empty element is an empty copy", "<e></e>", "e", ""},
        {"closing tag from the name before the blank", "<w id=\"1\">v</w>", "w id=\"1\"", "v"},
        {"64-byte tag with attribute text", "<" + attr_tag + ">v</q>", attr_tag, "v"},
        {"missing", "<a>x</a>", "b", nullptr},
        {"unclosed", "<a>x", "a", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char* copy = DupElementText(c.text.c_str(), c.tag.c_str());
        if (!c.expected) {
            EXPECT_EQ(copy, nullptr);
        } else {
            ASSERT_NE(copy, nullptr);
            EXPECT_STREQ(copy, c.expected);
        }
        std::free(copy);
    }
    EXPECT_EQ(DupElementText(nullptr, "a"), nullptr);
}

TEST(XmlReaderTest, GetElementIntReadsFlagsAndNumbers) {
    struct Case {
        const char* text;
        long expected;
    };
    const Case cases[] = {
        {"<n>true</n>", 1},
        {"<n>false</n>", 0},
        {"<n>TRUE</n>", 0},
        {"<n>True</n>", 0},
        {"<n>12px</n>", 12},
        {"<n>  -7</n>", -7},
        {"<n>+3</n>", 3},
        {"<n>px</n>", 0},
        {"<n>0x1A</n>", 0},
        {"<n></n>", 99},
        {"<m>5</m>", 99},
        {"<n>5", 99},
        {"<n>99999999999999999999999</n>", LONG_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GetElementInt(c.text, "n", 99), c.expected);
    }
}

struct Visits {
    std::vector<std::string> elements;
    std::size_t stop_after = 0;  // 0: never stop
};

bool Record(const char* element, std::size_t length, void* context) {
    auto* visits = static_cast<Visits*>(context);
    EXPECT_EQ(std::strlen(element), length);
    visits->elements.emplace_back(element, length);
    return visits->stop_after == 0 || visits->elements.size() < visits->stop_after;
}

TEST(XmlReaderTest, ForEachElementVisitsInOrderOfOpeningTags) {
    const std::string long_tag(65, 'a');
    struct Case {
        const char* name;
        const char* text;
        const char* tag;
        std::size_t stop_after;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"siblings", "<r><i>1</i><x/><I>2</I></r>", "i", 0, {"<i>1</i>", "<I>2</I>"}},
        {"nested", "<c><c>x</c></c>", "c", 0, {"<c><c>x</c>", "<c>x</c>"}},
        {"stop on false", "<i>1</i><i>2</i><i>3</i>", "i", 2, {"<i>1</i>", "<i>2</i>"}},
        {"unclosed last element ends the walk", "<i>1</i><i>2", "i", 0, {"<i>1</i>"}},
        {"unclosed first element ends the walk", "<i>1<j/>", "i", 0, {}},
        {"attribute text in the tag",
         "<w k=\"a\">1</w><w>2</w><w k=\"a\">3</w>",
         "w k=\"a\"",
         0,
         {"<w k=\"a\">1</w>", "<w k=\"a\">3</w>"}},
        {"none", "<a>1</a>", "b", 0, {}},
        {"empty tag", "<a>1</a>", "", 0, {}},
        {"tag over 64 bytes", "<a>1</a>", long_tag.c_str(), 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Visits visits;
        visits.stop_after = c.stop_after;
        ForEachElement(c.text, c.tag, Record, &visits);
        EXPECT_EQ(visits.elements, c.expected);
    }
}

// The walker's copy is what the visitor reads its children from.
TEST(XmlReaderTest, VisitorReadsChildrenOfTheCopy) {
    const char* doc =
        "<list><item><name>A</name><size>10</size></item>"
        "<item><name>B</name></item></list>";
    std::vector<std::string> seen;
    ForEachElement(
        doc, "item",
        [](const char* element, std::size_t, void* context) {
            char name[256] = "";
            GetElementText(element, "name", name, sizeof name);
            long size = GetElementInt(element, "size", -1);
            static_cast<std::vector<std::string>*>(context)->push_back(std::string(name) + "=" +
                                                                       std::to_string(size));
            return true;
        },
        &seen);
    EXPECT_EQ(seen, (std::vector<std::string>{"A=10", "B=-1"}));
}

}  // namespace
}  // namespace glyphoria
