// Reading a small XML text as one element with its child elements, the way
// the Mac reads its configuration document and its string files: a real
// parser (libxml2), so entities and character references are decoded and a
// text that is not well-formed is refused with the parser's description.
//
// Document type declarations are refused outright: nothing of ours has one,
// and entity definitions are the way to make a small text expand without end.
// Nothing is fetched from the network.
#pragma once

#include <string>
#include <vector>

#include "mac/seam/web_view.h"

namespace glyphoria::mac {

struct XmlChild {
    std::string name;   // with its prefix, if any
    std::string value;  // the text of all its descendants, decoded
};

struct XmlRoot {
    std::string name;
    std::vector<XmlChild> children;  // element children only, in document order
};

// False with a description in error (domain "XMLParser") when the text is
// not one well-formed element.
bool ParseXmlRoot(const std::string& text, XmlRoot* root, MacError* error);

}  // namespace glyphoria::mac
