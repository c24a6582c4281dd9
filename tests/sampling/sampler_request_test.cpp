// The sampler URL and the preview path built from a record.
#include "sampling/sampler_request.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/sampling/fake_document.h"

namespace glyphoria {
namespace {

const char* kBase = "http://renderer.test/typeit";

std::string Url(const std::string& argument, float factor = 1.0f, const std::string& base = kBase) {
    TextData record(argument.c_str());
    SamplerSettings settings{base, factor};
    const char* url = SamplerUrl(record, settings, testing::FakeSwatches());
    EXPECT_STREQ(record.query(), url ? url : "");
    return url ? url : "(none)";
}

TEST(SamplerUrl, HasItsPiecesInOrder) {
    EXPECT_EQ(Url("id=77&width=200.600&height=50.200&fontsize=24.000&textUID=11&fillUID=10"
                  "&text=Hi"),
              std::string(kBase) +
                  "?imagetype=typeit&shopid=77&Width=200&Height=50&TextSize=24"
                  "&TextColor=%23000000&BgColor=transparent&RenderText=Hi");
    EXPECT_EQ(Url("id=5&textUID=20&fillUID=21&text=%C3%A9%20a", 1.0f, ""),
              "?imagetype=typeit&shopid=5&Width=0&Height=0&TextSize=24"
              "&TextColor=%23ff7f00&BgColor=%23336699&RenderText=%C3%A9%20a");
}

TEST(SamplerUrl, SizesAreTruncatedTowardZero) {
    struct Case {
        const char* sizes;  // stored values
        float factor;
        const char* expected;
    } cases[] = {
        {"", 1.0f, "Width=0&Height=0&TextSize=24"},
        {"&fontsize=4.000", 1.0f, "Width=0&Height=0&TextSize=12"},
        {"&fontsize=10.000", 1.5f, "Width=0&Height=0&TextSize=15"},
        {"&fontsize=9.500", 1.5f, "Width=0&Height=0&TextSize=14"},
        {"&fontsize=25.000", 0.5f, "Width=0&Height=0&TextSize=12"},
        {"&fontsize=24.000", -0.02f, "Width=0&Height=0&TextSize=0"},
        {"&width=-0.5&height=0.999", 1.0f, "Width=0&Height=0&TextSize=24"},
        {"&width=-7.9&height=1e30", 1.0f, "Width=-7&Height=2147483647&TextSize=24"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sizes) + " x " + std::to_string(c.factor));
        EXPECT_NE(Url(std::string("id=1") + c.sizes, c.factor)
                      .find(std::string("&shopid=1&") + c.expected + "&TextColor="),
                  std::string::npos);
    }
}

TEST(SamplerUrl, IsRefusedRatherThanCut) {
    // With "id=1" and an empty base, everything but the text.
    const std::size_t fixed = Url("id=1", 1.0f, "").size();
    struct Case {
        const char* name;
        std::string argument;
        std::string base;
        bool built;
    } cases[] = {
        {"base of 255 bytes", "id=1", std::string(255, 'b'), true},
        {"base of 256 bytes", "id=1", std::string(256, 'b'), false},
        {"no id", "text=Hi", kBase, false},
        {"id of 32 bytes", "id=" + std::string(32, '1'), kBase, false},
        {"2047 bytes", "id=1&text=" + std::string(2047 - fixed, 't'), "", true},
        {"2048 bytes", "id=1&text=" + std::string(2048 - fixed, 't'), "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Url(c.argument, 1.0f, c.base) != "(none)", c.built);
    }
}

TEST(PreviewPath, IsNamedAfterTheIdTheFrameAndTheDocumentInTheFolderOrRefused) {
    int documents[2] = {};
    // The document's part of the name, as the first frame of a case shows it.
    auto tag_of = [](const std::string& path) {
        const std::size_t end = path.rfind(".png");
        return end == std::string::npos || end < 8 ? std::string() : path.substr(end - 8, 8);
    };
    struct Case {
        const char* argument;
        std::string folder;
        char sep;
        std::uint32_t uid;
        const char* expected_head;  // before the document's 8 digits; null: refused
    } cases[] = {
        {"id=1234", "C:\\TEMP", '\\', 42, "C:\\TEMP\\GL_1234_42_"},
        {"id=a.b-c_d", "/tmp", '/', 7, "/tmp/GL_a.b-c_d_7_"},
        {"id=..", "/tmp", '/', 7, nullptr},
        {"x=1", "/tmp", '/', 7, nullptr},
        {"id=1", "", '/', 7, nullptr},
        // "/GL_1_7_01234567.png" is 20 bytes; the buffer holds 511 and a NUL.
        {"id=1", std::string(491, 'f'), '/', 7, "/GL_1_7_"},
        {"id=1", std::string(492, 'f'), '/', 7, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument + std::string(" in ") + c.folder.substr(0, 10));
        TextData record(c.argument);
        record.set_frame(FrameRef{&documents[0], c.uid});
        const char* path = BuildPreviewPath(record, c.folder.c_str(), c.sep);
        if (!c.expected_head) {
            EXPECT_EQ(path, nullptr);
            EXPECT_STREQ(record.preview_path(), "");
            continue;
        }
        ASSERT_NE(path, nullptr);
        const std::string built = path;
        const std::string head = c.folder.substr(0, 3) == "fff" ? c.folder + c.expected_head
                                                                : std::string(c.expected_head);
        EXPECT_EQ(built.substr(0, head.size()), head);
        EXPECT_EQ(built.size(), head.size() + 12);  // 8 hexadecimal digits and ".png"
        EXPECT_EQ(tag_of(built).find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_STREQ(record.preview_path(), path);
    }
    // Another frame of the same document differs by its UID only; the same
    // frame number in another document gets another name.
    TextData a("id=5"), b("id=5"), other("id=5");
    a.set_frame(FrameRef{&documents[0], 10});
    b.set_frame(FrameRef{&documents[0], 11});
    other.set_frame(FrameRef{&documents[1], 10});
    const std::string pa = BuildPreviewPath(a, "/t", '/');
    const std::string pb = BuildPreviewPath(b, "/t", '/');
    const std::string po = BuildPreviewPath(other, "/t", '/');
    EXPECT_EQ(pa.substr(0, 11), "/t/GL_5_10_");
    EXPECT_EQ(pb.substr(0, 11), "/t/GL_5_11_");
    EXPECT_EQ(tag_of(pa), tag_of(pb));
    EXPECT_NE(tag_of(pa), tag_of(po));
    EXPECT_NE(pa, po);
    // Another document at the address of a closed one: its name tells.
    TextData reopened("id=5");
    reopened.set_frame(FrameRef{&documents[0], 10});
    const std::string pn = BuildPreviewPath(reopened, "/t", '/', "Untitled-2");
    EXPECT_EQ(pn.substr(0, 11), "/t/GL_5_10_");
    EXPECT_NE(tag_of(pa), tag_of(pn));
}

}  // namespace
}  // namespace glyphoria
