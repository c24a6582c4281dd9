// Documents that are not what they claim: configuration and string texts
// that are not well-formed or try to expand, preference files damaged on
// disk, labels and ids longer than their buffers, broken escapes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "mac/plist_prefs.h"
#include "mac/xml_element.h"
#include "sampling/percent_codec.h"
#include "sampling/sampler_request.h"
#include "sampling/text_data.h"
#include "support/xml_reader.h"
#include "tests/common/test_env.h"

namespace {

using glyphoria::TextData;

// The tag search takes whatever it is given and never reads or writes past
// what it was handed: unclosed, nested, truncated, binary and huge texts.
TEST(HostileXml, TagSearchOverBrokenTexts) {
    const std::string huge_tag(65, 'a');
    const std::string huge_text = "<cartUrl>" + std::string(100000, 'x') + "</cartUrl>";
    struct Case {
        std::string text;
        const char* tag;
        int copied;
    } cases[] = {
        {"<cartUrl>http://x", "cartUrl", 0},
        {"<cartUrl></cartUrl", "cartUrl", 0},
        {"</cartUrl><cartUrl>", "cartUrl", 0},
        {"<cartUrl><cartUrl>a</cartUrl></cartUrl>", "cartUrl", 10},
        {"<", "cartUrl", 0},
        {"", "cartUrl", 0},
        {"<" + huge_tag + ">v</" + huge_tag + ">", huge_tag.c_str(), 0},
        {huge_text, "cartUrl", 255},
        {std::string("<a>\xff\xfe\x01</a>"), "a", 3},
        {"<A>v</a>", "a", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        char dest[256 + 4];
        std::memset(dest, 'G', sizeof dest);
        EXPECT_EQ(c.copied, glyphoria::GetElementText(c.text.c_str(), c.tag, dest, 256));
        EXPECT_EQ('G', dest[256]);
        char* dup = glyphoria::DupElementText(c.text.c_str(), c.tag);
        if (c.copied > 0) {
            ASSERT_NE(nullptr, dup);
            EXPECT_EQ(0, std::strncmp(dup, dest, static_cast<std::size_t>(c.copied)));
        }
        std::free(dup);
    }
}

// The Mac reader refuses what is not one well-formed element and every type
// declaration, so entity definitions cannot make a small text expand.
TEST(HostileXml, MacParserRefusesMalformedAndExpandingDocuments) {
    const char* laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "]><glyphoria><homepage>&c;</homepage></glyphoria>";
    const char* external =
        "<?xml version=\"1.0\"?><!DOCTYPE g [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<glyphoria><homepage>&x;</homepage></glyphoria>";
    for (const char* text :
         {laughs, external, "<glyphoria><a></glyphoria>", "<glyphoria>", "", "<a/><b/>",
          "<glyphoria>&undefined;</glyphoria>", "\xff\xfe<\0g\0>\0"}) {
        SCOPED_TRACE(text);
        glyphoria::mac::XmlRoot root;
        glyphoria::mac::MacError error;
        EXPECT_FALSE(glyphoria::mac::ParseXmlRoot(text, &root, &error));
        EXPECT_FALSE(error.localized_description.empty());
    }
}

// The property list inside a seed of the property-list fuzz target (two
// bytes of length, then the file).
std::string PlistOfFuzzSeed(const char* name) {
    const std::string seed = glyphoria::testing::ReadFileBytes(
        std::string(GLYPHORIA_SOURCE_DIR "/fuzz/corpus/plist_prefs/") + name);
    if (seed.size() < 2) return {};
    const std::size_t size =
        (static_cast<unsigned char>(seed[0]) | static_cast<unsigned char>(seed[1]) << 8) % 8192;
    return seed.substr(2, size);
}

// Found by fuzzing: a binary list that holds "config" twice answered with the
// first entry, and after the next save with the second.
TEST(HostilePlist, RepeatedKeysAnswerTheSameAcrossASave) {
    glyphoria::testing::TempDir dir;
    const std::string path = dir.file("Glyphoria.plist");
    ASSERT_TRUE(glyphoria::testing::WriteFileBytes(path, PlistOfFuzzSeed("repeated_key_binary")));
    glyphoria::mac::PlistPrefs prefs;
    prefs.Open(path, "");
    const std::string config = prefs.GetString("config", "default");
    EXPECT_EQ("http://126.0.0.1:18777/glyphoria/config.xml", config);
    EXPECT_TRUE(prefs.SetString("homepage", "http://home.test/", true));
    glyphoria::mac::PlistPrefs again;
    again.Open(path, "");
    EXPECT_EQ(config, again.GetString("config", "default"));
    const std::string described = again.Describe();
    EXPECT_EQ(described.find("\"config\""), described.rfind("\"config\""));
}

// Found by fuzzing: a preference file with a NUL byte inside a string or a
// key (as a crash can leave zero-filled blocks) ended the process on the
// first read or when the preferences were logged. Such a file is damaged:
// the store starts empty, and the next save writes a whole file again.
TEST(HostilePlist, NulBytesInsideTextsMakeTheFileDamaged) {
    glyphoria::testing::TempDir dir;
    const std::string path = dir.file("Glyphoria.plist");
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    const std::string nul("\x01\0\0\x01", 4);
    // Binary: one dictionary {"ab\0c": "v"}, as Python's plistlib writes it.
    const std::string binary(
        "bplist00\xd1\x01\x02"
        "Tab\x00"
        "cQv\x08\x0b\x10"
        "\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x12",
        53);
    // What the fuzzer found: a binary list whose reading ended the process.
    const std::string found = PlistOfFuzzSeed("nul_inside_binary_key");
    ASSERT_FALSE(found.empty());
    struct Case {
        std::string file;
        bool refused;  // else read with the key cut at its NUL
    } cases[] = {
        {head + "<key>config</key><string>http://1" + nul + "</string></dict></plist>", true},
        {head + "<key>con" + nul + "fig</key><string>x</string></dict></plist>", false},
        {binary, false},
        {found, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 60));
        ASSERT_TRUE(glyphoria::testing::WriteFileBytes(path, c.file));
        glyphoria::mac::PlistPrefs prefs;
        prefs.Open(path, "");
        const std::string described = prefs.Describe();
        if (c.refused) {
            EXPECT_EQ("default", prefs.GetString("config", "default"));
            EXPECT_EQ("{\n}", described);
        }
        EXPECT_TRUE(prefs.SetString("homepage", "http://home.test/", true));
        glyphoria::mac::PlistPrefs again;
        again.Open(path, "");
        EXPECT_EQ("http://home.test/", again.GetString("homepage", ""));
        again.Describe();
    }
}

// Labels and ids longer than their buffers are refused whole, never cut
// into another valid-looking value.
TEST(HostileLabels, OverLongLabelsAndIds) {
    struct Case {
        const char* name;
        std::string text;
        bool parsed;
    } cases[] = {
        {"label of 2047 bytes", "id=5&x=" + std::string(2040, 'v'), true},
        {"label of 2048 bytes", "id=5&x=" + std::string(2041, 'v'), false},
        {"huge label behind an address", "glyphoria://try?id=5&x=" + std::string(100000, 'v'),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextData record("kept=1");
        record.Parse(c.text.c_str());
        EXPECT_EQ(c.parsed, record.Has("x"));
        EXPECT_STREQ("1", record.GetString("kept"));
    }

    TextData record;
    record.SetString("text", std::string(3000, 'a').c_str());
    EXPECT_EQ(nullptr, record.BuildLabel());
    EXPECT_STREQ("", record.query());

    glyphoria::SamplerSettings settings;
    settings.base_url = "http://render.test/r";
    struct NoSwatches : glyphoria::SwatchSource {
        bool Describe(int, glyphoria::SwatchFacts*) const override { return false; }
    } swatches;
    for (const std::string& id :
         {std::string(32, '1'), std::string("../../x"), std::string("a/b"), std::string("a\\b"),
          std::string("a b"), std::string("a%2F..%2Fb"), std::string("..")}) {
        SCOPED_TRACE(id);
        TextData r;
        r.SetString("id", id.c_str());
        EXPECT_EQ(nullptr, glyphoria::SamplerUrl(r, settings, swatches));
        EXPECT_EQ(nullptr, glyphoria::BuildPreviewPath(r, "/tmp", '/'));
    }
}

// Broken escapes decode as they stand, never past the text or the buffer.
TEST(HostileLabels, InvalidEscapes) {
    struct Case {
        const char* text;
        std::string decoded;
    } cases[] = {
        {"%", "%"},
        {"%4", "%4"},
        {"%G1", "%G1"},
        {"%%41", "%A"},
        {"%00a", std::string("\0a", 2)},
        {"%zz%C3%A9", "%zz\xC3\xA9"},
        {"+%2B", "++"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char out[16];
        const std::size_t n = glyphoria::PercentDecode(c.text, out, sizeof out);
        EXPECT_EQ(c.decoded, std::string(out, n));
    }
    // A cut inside a character keeps only whole characters.
    char small[4];
    EXPECT_EQ(3u, glyphoria::PercentDecode("a%C3%A9%C3%A9", small, sizeof small));
    EXPECT_STREQ("a\xC3\xA9", small);
    EXPECT_EQ(1u, glyphoria::PercentDecode("a%C3%A9", small, 3));
    EXPECT_STREQ("a", small);
}

}  // namespace
