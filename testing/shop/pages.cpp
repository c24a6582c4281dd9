#include "testing/shop/pages.h"

#include "testing/shop/download_modes.h"
#include "testing/shop/query.h"

namespace glyphoria::testing::shop {

namespace {

std::string PageHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           HtmlEscape(title) +
           "</title>\n<style>body{font-family:sans-serif;margin:2em}li{margin:.3em 0}"
           "code{color:#555}</style>\n</head>\n<body>\n<h1>" +
           HtmlEscape(title) + "</h1>\n";
}

const char kPageTail[] = "</body>\n</html>\n";

std::string JoinIds(const std::vector<const CatalogueFont*>& fonts) {
    std::string ids;
    for (const CatalogueFont* font : fonts)
        ids += (ids.empty() ? "" : ",") + font->id;
    return ids;
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string TryArgument(const CatalogueFont& font) {
    return "id=" + PercentEncode(font.id) + "&psname=" + PercentEncode(font.postscript_name);
}

std::string HomePage(const std::string& base) {
    return PageHead("Glyphoria") +
           "<p>Try the shop's fonts on your own layout, then buy the ones you like.</p>\n"
           "<p><a href=\"" +
           HtmlEscape(base) + "/glyphoria\">Open the sampler</a></p>\n" + kPageTail;
}

std::string SamplerPage(const std::string& base, const Catalogue& catalogue) {
    std::string html = PageHead("Glyphoria font sampler");
    html += "<p>Select text frames in your layout, then try a font.</p>\n<ul id=\"fonts\">\n";
    for (const CatalogueFont& font : catalogue.fonts()) {
        std::string argument = TryArgument(font);
        html += "<li><a class=\"try\" href=\"glyphoria://try?" + HtmlEscape(argument) +
                "\" data-id=\"" + HtmlEscape(font.id) + "\" data-try=\"" + HtmlEscape(argument) +
                "\">" + HtmlEscape(font.family + " " + font.style) + "</a> <code>" +
                HtmlEscape(font.id) + (font.opentype ? " OpenType" : " TrueType") +
                "</code> <a class=\"add\" href=\"" + HtmlEscape(base) +
                "/services/service.ashx?action=cart&amp;ids=" + HtmlEscape(font.id) +
                "\">Buy</a></li>\n";
    }
    html += "</ul>\n<p>";
    html +=
        "<a id=\"revert\" href=\"glyphoria://revert?all=1\" data-revert=\"all=1\">"
        "Restore the text frames</a> | ";
    html += "<a id=\"homepage\" href=\"glyphoria://homepage\">About Glyphoria</a> | ";
    html += "<a id=\"cart\" href=\"" + HtmlEscape(base) +
            "/services/service.ashx?action=cart\">Cart</a></p>\n";
    return html + kPageTail;
}

std::string CartPage(const std::string& base, const Catalogue& catalogue,
                     const std::vector<std::string>& ids) {
    std::vector<const CatalogueFont*> fonts;
    if (ids.empty()) {
        fonts = catalogue.OpenTypeFonts();
    } else {
        for (const std::string& id : ids)
            if (const CatalogueFont* font = catalogue.Find(id)) fonts.push_back(font);
    }
    std::string html = PageHead("Your cart");
    html += "<ul id=\"items\">\n";
    for (const CatalogueFont* font : fonts)
        html += "<li>" + HtmlEscape(font->family + " " + font->style) +
                " <a class=\"download\" "
                "href=\"" +
                HtmlEscape(base) + "/download/ok/" + PercentEncode(font->postscript_name) +
                ".zip?ids=" + HtmlEscape(font->id) + "\">Download</a></li>\n";
    html += "</ul>\n";
    std::string all = JoinIds(fonts);
    html += "<p><a id=\"download-all\" class=\"download\" href=\"" + HtmlEscape(base) +
            "/download/ok/GlyphoriaFonts.zip?ids=" + HtmlEscape(all) +
            "\">Download all</a></p>\n<h2>Test downloads</h2>\n<ul id=\"modes\">\n";
    for (const DownloadMode& mode : DownloadModes())
        html += "<li><a class=\"download\" href=\"" + HtmlEscape(base) + "/download/" + mode.name +
                "/GlyphoriaFonts.zip?ids=" + HtmlEscape(all) + "\">" + mode.name + "</a> " +
                HtmlEscape(mode.description) + "</li>\n";
    html += "</ul>\n";
    return html + kPageTail;
}

}  // namespace glyphoria::testing::shop
