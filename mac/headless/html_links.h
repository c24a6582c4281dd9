// The links of an HTML page, as the headless web view's user sees them: each
// <a> element with an href, in document order. A plain scan of the tags, not
// a parser: enough for pages whose anchors are well formed (the stand-in
// shop's). Attribute values and link texts have their character references
// (&amp; &lt; &gt; &quot; &#39; &#NN; &#xNN;) decoded; inner tags are dropped
// from the text and runs of white space become one blank.
#pragma once

#include <string>
#include <vector>

namespace glyphoria::mac {

struct HtmlLink {
    std::string href;
    std::string text;
    std::string id;
    std::string target;  // empty when the link opens in its own frame
};

std::vector<HtmlLink> ParseHtmlLinks(const std::string& html);

// Decodes the character references named above; anything else stays as is.
std::string DecodeHtmlText(const std::string& text);

}  // namespace glyphoria::mac
