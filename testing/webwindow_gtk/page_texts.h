// The texts the window shows come from the plug-in ("langString"), in the
// plug-in's 8-bit code page; GTK wants UTF-8.
#pragma once

#include <string>

namespace glyphoria::testing::webwindow_gtk {

// Valid UTF-8 stays as it is (the plug-in under a UTF-8 locale); anything
// else is read as Windows-1252, the plug-in's code page otherwise. Bytes
// that page leaves undefined become U+FFFD.
std::string Utf8FromAnsi(const std::string& bytes);

// The window title from the plug-in's answers for the product's two keys
// ("glyphoria" in one table, "glyphoria1" in the other; a table without the
// key answers the key itself): the first real text, without the trailing
// ellipsis it carries as a menu entry; "Glyphoria" when neither has one.
std::string TitleFromAnswers(const std::string& first, const std::string& second);

}  // namespace glyphoria::testing::webwindow_gtk
