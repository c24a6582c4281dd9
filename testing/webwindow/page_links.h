// Reads the links of an HTML page the way the web-window library needs them:
// every <a> element with its attributes (names in lower case, values with
// character references decoded) and its text. Tolerant of what a browser
// tolerates: attribute values in double, single or no quotes, any letter
// case in names, a missing </a>. Nothing else of HTML is understood.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace glyphoria::testing::webwindow {

struct PageLink {
    std::map<std::string, std::string> attributes;
    std::string text;

    // The attribute's value, "" when absent.
    std::string attribute(const std::string& name) const;
    bool has_class(const std::string& name) const;
};

std::vector<PageLink> ParseLinks(const std::string& html);

// &amp; &lt; &gt; &quot; &#39; &apos; and numeric references (&#NN; &#xHH;)
// decoded to UTF-8; anything else stays as written.
std::string HtmlUnescape(const std::string& text);

// href made absolute against the page's address: addresses with a scheme
// stay, "//host/..." takes the page's scheme, "/path" the page's origin,
// anything else the page's folder.
std::string ResolveLink(const std::string& page_url, const std::string& href);

}  // namespace glyphoria::testing::webwindow
