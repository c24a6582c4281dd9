#include "mac/headless/html_links.h"

#include <gtest/gtest.h>

#include "mac/headless/web_network.h"

namespace glyphoria::mac {
namespace {

TEST(HtmlLinksTest, AnchorsWithTheirAddressesTextsIdsAndTargets) {
    const std::string html =
        "<p>Intro <a href=\"http://a.test/x?u=1&amp;v=2\" class=x>First <b>bold</b>\n link</a>"
        "<A ID='cart' HREF='glyphoria://try?id=1&#38;q=&#x41;'>Cart &lt;3&gt;</A>"
        "<!-- <a href=\"hidden\">hidden</a> -->"
        "<a name=\"anchor\">no href</a>"
        "<a href=unquoted target=_blank>New</a>"
        "<a href=\"self\" target=\"_self\">Self</a>"
        "<abbr href=\"not-a-link\">abbr</abbr>"
        "<a href=\"open\">Unclosed <a href=\"next\">Next</a>";
    const std::vector<HtmlLink> links = ParseHtmlLinks(html);
    ASSERT_EQ(6u, links.size());
    EXPECT_EQ("http://a.test/x?u=1&v=2", links[0].href);
    EXPECT_EQ("First bold link", links[0].text);
    EXPECT_EQ("glyphoria://try?id=1&q=A", links[1].href);
    EXPECT_EQ("Cart <3>", links[1].text);
    EXPECT_EQ("cart", links[1].id);
    EXPECT_EQ("unquoted", links[2].href);
    EXPECT_EQ("_blank", links[2].target);
    EXPECT_EQ("", links[3].target);
    EXPECT_EQ("Unclosed", links[4].text);
    EXPECT_EQ("next", links[5].href);
}

TEST(HtmlLinksTest, BrokenMarkupEndsTheScanWithoutReadingPastTheText) {
    EXPECT_TRUE(ParseHtmlLinks("<a href=\"never closed").empty());
    EXPECT_TRUE(ParseHtmlLinks("<a href=x").empty());
    EXPECT_TRUE(ParseHtmlLinks("<!-- <a href=x>").empty());
    EXPECT_EQ("&bogus; &#xZZ; & \xEF\xBF\xBD A \xC3\xA9",
              DecodeHtmlText("&bogus; &#xZZ; & &#0; &#x41; &#233;"));
}

TEST(HtmlLinksTest, DispositionFileNames) {
    EXPECT_EQ("a b.zip", DispositionFilename("attachment; filename=\"a b.zip\""));
    EXPECT_EQ("x.zip", DispositionFilename("attachment; FileName = x.zip ; size=3"));
    EXPECT_EQ("q\"d.zip", DispositionFilename("attachment; filename=\"q\\\"d.zip\""));
    EXPECT_EQ("../evil.zip", DispositionFilename("attachment; filename=\"../evil.zip\""));
    EXPECT_EQ("", DispositionFilename("attachment"));
    EXPECT_EQ("", DispositionFilename("attachment; filename=\"\""));
    EXPECT_EQ("x.zip",
              DispositionFilename("attachment; filename*=UTF-8''x.zip; filename=plain.zip"));
    EXPECT_EQ("", DispositionFilename("attachment; xfilename=\"x.zip\""));
}

}  // namespace
}  // namespace glyphoria::mac
