// The shop's configuration document and pages, read the way the plug-in and
// the web-window library read them.
#include <gtest/gtest.h>

#include <map>

#include "testing/shop/pages.h"
#include "testing/webwindow/page_links.h"
#include "tests/testing/standin_test_support.h"

namespace glyphoria::testing::standin {
namespace {

using shop::Shop;
using webwindow::PageLink;
using webwindow::ParseLinks;

class ShopPagesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { shop_ = StartShop({0, false}).release(); }
    static void TearDownTestSuite() {
        delete shop_;
        shop_ = nullptr;
    }

    static std::string Config(const std::string& query = "") {
        HttpAnswer answer =
            Get(shop_->base_url(), "/glyphoria/config.xml" + (query.empty() ? "" : "?" + query));
        EXPECT_EQ(answer.status, 200);
        return answer.body;
    }

    static Shop* shop_;
};

Shop* ShopPagesTest::shop_ = nullptr;

TEST_F(ShopPagesTest, ConfigurationPointsEveryServiceAtThisShop) {
    std::string base = shop_->base_url();
    std::string expected =
        "<glyphoria>\n"
        "  <cartUrl>" +
        base +
        "/services/service.ashx?action=cart</cartUrl>\n"
        "  <mlSamplerUrl>" +
        base +
        "/render</mlSamplerUrl>\n"
        "  <search>" +
        base +
        "/glyphoria</search>\n"
        "  <homepage>" +
        base +
        "/</homepage>\n"
        "  <sampleSizeFactor>1</sampleSizeFactor>\n"
        "</glyphoria>\n";
    EXPECT_EQ(Config(), expected);
    // Each address answers.
    for (const char* path : {"/services/service.ashx?action=cart", "/glyphoria", "/"})
        EXPECT_EQ(Get(base, path).status, 200) << path;
}

TEST_F(ShopPagesTest, ConfigurationVariantsByQuery) {
    struct Case {
        const char* query;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {"only=search", {"<search>http"}, {"<cartUrl>", "<homepage>", "<mlSamplerUrl>"}},
        {"omit=homepage,cartUrl", {"<search>", "<mlSamplerUrl>"}, {"<homepage>", "<cartUrl>"}},
        {"empty=homepage", {"<homepage></homepage>", "<search>http"}, {}},
        {"case=upper", {"<CARTURL>", "</SAMPLESIZEFACTOR>"}, {"<cartUrl>"}},
        {"case=lower", {"<mlsamplerurl>"}, {"<mlSamplerUrl>"}},
        {"case=capitalised", {"<CartUrl>", "<MlSamplerUrl>"}, {"<cartUrl>"}},
        {"extra=1", {"<?xml", "<!--", "<shopName>", "<version>2</version>", "<search>"}, {}},
        {"malformed=1", {"<broken>", "</glyphorie>"}, {"</glyphoria>"}},
        {"set.sampleSizeFactor=1.5&set.search=http://x/a%26b",
         {"<sampleSizeFactor>1.5</sampleSizeFactor>", "<search>http://x/a&amp;b</search>"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        std::string doc = Config(c.query);
        for (const std::string& text : c.present)
            EXPECT_NE(doc.find(text), std::string::npos) << text;
        for (const std::string& text : c.absent)
            EXPECT_EQ(doc.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(Get(shop_->base_url(), "/glyphoria/config.xml?status=503").status, 503);
    // Options set on the shop hold for requests without a query.
    shop::ConfigOptions options;
    options.name_case = shop::NameCase::kUpper;
    shop_->set_config_options(options);
    std::string doc = Config();
    shop_->set_config_options({});
    EXPECT_NE(doc.find("<SEARCH>"), std::string::npos);
}

TEST_F(ShopPagesTest, SamplerPageOffersEveryFontInBothTryForms) {
    HttpAnswer page = Get(shop_->base_url(), "/glyphoria");
    ASSERT_EQ(page.status, 200);
    std::vector<PageLink> links = ParseLinks(page.body);
    ASSERT_FALSE(shop_->catalogue().fonts().empty());
    for (const shop::CatalogueFont& font : shop_->catalogue().fonts()) {
        SCOPED_TRACE(font.id);
        std::string argument = shop::TryArgument(font);
        int found = 0;
        for (const PageLink& link : links) {
            if (link.attribute("data-id") != font.id) continue;
            ++found;
            EXPECT_EQ(link.attribute("href"), "glyphoria://try?" + argument);
            EXPECT_EQ(link.attribute("data-try"), argument);
        }
        EXPECT_EQ(found, 1);
        EXPECT_EQ(argument.rfind("id=" + font.id + "&", 0), 0u);
    }
    std::map<std::string, std::string> by_id;
    for (const PageLink& link : links)
        if (!link.attribute("id").empty()) by_id[link.attribute("id")] = link.attribute("href");
    // The Mac window runs a revert only for "glyphoria://revert?..." and the
    // homepage only for the bare address; the cart must carry a query to
    // open the purchase window.
    EXPECT_EQ(by_id["revert"].rfind("glyphoria://revert?", 0), 0u);
    EXPECT_EQ(by_id["homepage"], "glyphoria://homepage");
    EXPECT_EQ(by_id["cart"], shop_->base_url() + "/services/service.ashx?action=cart");
}

TEST_F(ShopPagesTest, CartLinksAreDownloadsThatAnswerWithArchives) {
    HttpAnswer cart = Get(shop_->base_url(), "/services/service.ashx?action=cart&ids=1001,1005");
    ASSERT_EQ(cart.status, 200);
    std::vector<std::string> downloads;
    for (const PageLink& link : ParseLinks(cart.body))
        if (link.has_class("download")) downloads.push_back(link.attribute("href"));
    ASSERT_GE(downloads.size(), 3u);  // one per font, all of them, the test modes
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(downloads[i]);
        ASSERT_EQ(downloads[i].rfind(shop_->base_url(), 0), 0u);
        EXPECT_NE(downloads[i].find("download"), std::string::npos);
        HttpAnswer answer = Get(shop_->base_url(), downloads[i].substr(shop_->base_url().size()));
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.header("Content-Type"), "application/zip");
    }
    EXPECT_EQ(cart.body.find("texgyreheros"), std::string::npos) << "only the fonts asked for";
}

TEST(PageLinksTest, ReadsAttributesAsABrowserWould) {
    std::vector<PageLink> links = ParseLinks(
        "<p><A HREF='one?a=1&amp;b=2' Data-Try=\"x=&quot;y&quot;\">One &amp; only</A>"
        "<a href=two class=\"download big\">Two"
        "<a\nhref=\"&#x2F;three&#47;\">Three</a><abbr title=x>no link</abbr>");
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].attribute("href"), "one?a=1&b=2");
    EXPECT_EQ(links[0].attribute("data-try"), "x=\"y\"");
    EXPECT_EQ(links[0].text, "One & only");
    EXPECT_EQ(links[1].attribute("href"), "two");
    EXPECT_TRUE(links[1].has_class("download"));
    EXPECT_FALSE(links[1].has_class("down"));
    EXPECT_EQ(links[1].text, "Two");
    EXPECT_EQ(links[2].attribute("href"), "/three/");
}

TEST(PageLinksTest, ResolvesLinksAgainstThePage) {
    struct Case {
        const char* page;
        const char* href;
        const char* expected;
    } cases[] = {
        {"http://h:1/a/b?q", "http://x/y", "http://x/y"},
        {"http://h:1/a/b?q", "glyphoria://try?id=1", "glyphoria://try?id=1"},
        {"http://h:1/a/b?q", "/c?u=http://z", "http://h:1/c?u=http://z"},
        {"http://h:1/a/b?q", "c", "http://h:1/a/c"},
        {"https://h:1/a/b", "//other/p", "https://other/p"},
        {"http://h:1", "c", "http://h:1/c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(webwindow::ResolveLink(c.page, c.href), c.expected) << c.page << " + " << c.href;
}

}  // namespace
}  // namespace glyphoria::testing::standin
