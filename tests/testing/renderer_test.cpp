// The shop's text renderer as the plug-in's sampler requests meet it: image
// size, colours, transparency, font choice, wrapping and refusals.
#include <gtest/gtest.h>

#include <map>

#include "tests/common/test_env.h"
#include "tests/testing/standin_test_support.h"

namespace glyphoria::testing::standin {
namespace {

using shop::Shop;

class RendererTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { shop_ = StartShop({0, false}).release(); }
    static void TearDownTestSuite() {
        delete shop_;
        shop_ = nullptr;
    }

    // A sampler request in the plug-in's form, with fields replaceable by name.
    static std::string Target(std::map<std::string, std::string> changes = {}) {
        std::map<std::string, std::string> fields = {
            {"shopid", "1001"},  {"Width", "200"},           {"Height", "50"},
            {"TextSize", "24"},  {"TextColor", "%23000000"}, {"BgColor", "%23ffffff"},
            {"RenderText", "Hi"}};
        for (const auto& change : changes)
            fields[change.first] = change.second;
        std::string target = "/render?imagetype=typeit";
        for (const char* name :
             {"shopid", "Width", "Height", "TextSize", "TextColor", "BgColor", "RenderText"}) {
            auto it = fields.find(name);
            if (it != fields.end() && it->second != "<absent>")
                target += std::string("&") + name + "=" + it->second;
        }
        return target;
    }

    static Image Render(std::map<std::string, std::string> changes) {
        HttpAnswer answer = Get(shop_->base_url(), Target(std::move(changes)));
        EXPECT_EQ(answer.status, 200) << answer.body;
        EXPECT_EQ(answer.header("Content-Type"), "image/png");
        std::optional<Image> image = DecodePng(answer.body);
        EXPECT_TRUE(image.has_value());
        return image.value_or(Image{});
    }

    static int CountPixels(const Image& image, uint32_t argb) {
        int count = 0;
        for (uint32_t pixel : image.pixels)
            count += pixel == argb;
        return count;
    }

    static Shop* shop_;
};

Shop* RendererTest::shop_ = nullptr;

TEST_F(RendererTest, AnswersAPngOfExactlyTheAskedSize) {
    struct Case {
        const char* width;
        const char* height;
    } cases[] = {{"1", "1"}, {"200", "50"}, {"37", "400"}, {"4000", "3"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.width) + "x" + c.height);
        HttpAnswer answer =
            Get(shop_->base_url(), Target({{"Width", c.width}, {"Height", c.height}}));
        ASSERT_EQ(answer.status, 200) << answer.body;
        auto size = PngHeaderSize(answer.body);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(size->first, static_cast<uint32_t>(std::stoi(c.width)));
        EXPECT_EQ(size->second, static_cast<uint32_t>(std::stoi(c.height)));
    }
}

TEST_F(RendererTest, PaintsTextColourOnBackgroundColourInEveryEncoding) {
    // "%23" reaches the renderer as "#"; a client that escapes its escape
    // once more sends "%2523", which reaches it as "%23".
    struct Case {
        const char* text_colour;
        const char* background;
    } cases[] = {
        {"%23cc0000", "%2300ff00"}, {"%2523cc0000", "%252300ff00"}, {"%23CC0000", "%2300FF00"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text_colour);
        Image image = Render({{"TextColor", c.text_colour},
                              {"BgColor", c.background},
                              {"TextSize", "120"},
                              {"Height", "150"},
                              {"RenderText", "H"}});
        EXPECT_EQ(image.at(199, 149), 0xFF00FF00u) << "background in the corner";
        EXPECT_GT(CountPixels(image, 0xFFCC0000u), 200) << "solid text pixels";
    }
}

TEST_F(RendererTest, TransparentBackgroundLeavesOnlyTheTextOpaque) {
    Image image = Render({{"BgColor", "transparent"},
                          {"TextSize", "120"},
                          {"Height", "150"},
                          {"TextColor", "%230000ff"},
                          {"RenderText", "H"}});
    EXPECT_EQ(image.at(0, 149) >> 24, 0u);
    EXPECT_EQ(image.at(199, 0) >> 24, 0u);
    EXPECT_GT(CountPixels(image, 0xFF0000FFu), 200);
}

TEST_F(RendererTest, ShopIdChoosesTheFont) {
    std::map<std::string, std::string> sample = {
        {"RenderText", "Glyphoria%20Sampler"}, {"Width", "400"}, {"TextSize", "40"}};
    sample["shopid"] = "1001";
    Image serif = Render(sample);
    sample["shopid"] = "1004";
    Image mono = Render(sample);
    sample["shopid"] = "1001";
    Image serif_again = Render(sample);
    EXPECT_NE(serif.pixels, mono.pixels);
    EXPECT_EQ(serif.pixels, serif_again.pixels);
}

TEST_F(RendererTest, WrapsLongTextToTheWidthAndLineEndsStartNewLines) {
    auto inked_rows = [](const Image& image) {
        int rows = 0;
        for (int y = 0; y < image.height; ++y) {
            bool ink = false;
            for (int x = 0; x < image.width && !ink; ++x)
                ink = image.at(x, y) != 0xFFFFFFFFu;
            rows += ink;
        }
        return rows;
    };
    Image one_line = Render({{"RenderText", "word"}, {"Height", "200"}, {"Width", "300"}});
    Image wrapped = Render({{"RenderText", "word%20word%20word%20word%20word%20word%20word"},
                            {"Height", "200"},
                            {"Width", "120"}});
    Image broken =
        Render({{"RenderText", "word%0Dword%0D%0Aword"}, {"Height", "200"}, {"Width", "300"}});
    EXPECT_GT(inked_rows(wrapped), 2 * inked_rows(one_line));
    EXPECT_GT(inked_rows(broken), 2 * inked_rows(one_line));
}

TEST_F(RendererTest, RefusesBadRequestsWithAClientError) {
    struct Case {
        const char* name;
        const char* value;
        int status;
    } cases[] = {
        {"shopid", "9999", 404},
        {"shopid", "<absent>", 400},
        {"Width", "0", 400},
        {"Width", "4001", 400},
        {"Width", "-5", 400},
        {"Width", "12.5", 400},
        {"Height", "<absent>", 400},
        {"Height", "99999999999", 400},
        {"TextSize", "0", 400},
        {"TextSize", "1001", 400},
        {"TextColor", "red", 400},
        {"TextColor", "transparent", 400},
        {"TextColor", "%23abcde", 400},
        {"BgColor", "%23gg0000", 400},
        {"BgColor", "%23", 400},
        {"BgColor", "%2523ff0000%23", 400},
        {"TextColor", "ff0000", 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        HttpAnswer answer = Get(shop_->base_url(), Target({{c.name, c.value}}));
        EXPECT_EQ(answer.status, c.status) << answer.body;
        EXPECT_NE(answer.header("Content-Type"), "image/png");
    }
    EXPECT_EQ(Get(shop_->base_url(), Target({{"RenderText", "cut%C3"}})).status, 200);
    HttpAnswer other_type = Get(shop_->base_url(),
                                "/render?imagetype=jpeg&shopid=1001&Width=9&"
                                "Height=9&TextSize=9");
    EXPECT_EQ(other_type.status, 400);
}

TEST(ExtraFontsTest, FontsFromAFolderGetIdsFrom9001InNameOrder) {
    TempDir fonts;
    std::string cursor = shop::Catalogue::Standard().Find("1004")->path;
    std::string sans = shop::Catalogue::Standard().Find("2001")->path;
    ASSERT_TRUE(WriteFileBytes(fonts.file("b.ttf"), ReadFileBytes(sans)));
    ASSERT_TRUE(WriteFileBytes(fonts.file("a.otf"), ReadFileBytes(cursor)));
    ASSERT_TRUE(WriteFileBytes(fonts.file("c.otf"), "not a font"));
    shop::ShopOptions options;
    options.https = false;
    options.fonts_dir = fonts.path();
    std::unique_ptr<Shop> shop = StartShop(options);
    ASSERT_NE(shop, nullptr);
    ASSERT_NE(shop->catalogue().Find("9001"), nullptr);
    EXPECT_EQ(shop->catalogue().Find("9001")->postscript_name, "TeXGyreCursor-Regular");
    EXPECT_TRUE(shop->catalogue().Find("9001")->opentype);
    ASSERT_NE(shop->catalogue().Find("9002"), nullptr);
    EXPECT_EQ(shop->catalogue().Find("9002")->postscript_name, "DejaVuSans");
    EXPECT_EQ(shop->catalogue().Find("9003"), nullptr);
    HttpAnswer answer = Get(shop->base_url(),
                            "/render?imagetype=typeit&shopid=9002&Width=50&"
                            "Height=20&TextSize=12&RenderText=Hi");
    EXPECT_EQ(answer.status, 200) << answer.body;
}

}  // namespace
}  // namespace glyphoria::testing::standin
