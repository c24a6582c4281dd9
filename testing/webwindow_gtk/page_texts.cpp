#include "testing/webwindow_gtk/page_texts.h"

#include <glib.h>

namespace glyphoria::testing::webwindow_gtk {

namespace {

// Windows-1252 0x80..0x9F; 0 where the page has no character.
constexpr gunichar kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendChar(std::string* out, gunichar c) {
    char buf[6];
    out->append(buf, g_unichar_to_utf8(c, buf));
}

std::string WithoutEllipsis(std::string text) {
    for (const char* tail : {"\u2026", "..."}) {
        std::string end(tail);
        if (text.size() >= end.size() &&
            text.compare(text.size() - end.size(), end.size(), end) == 0)
            text.resize(text.size() - end.size());
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

std::string Utf8FromAnsi(const std::string& bytes) {
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) return bytes;
    std::string out;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else if (byte < 0xA0) {
            AppendChar(&out, kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : 0xFFFD);
        } else {
            AppendChar(&out, byte);
        }
    }
    return out;
}

std::string TitleFromAnswers(const std::string& first, const std::string& second) {
    for (const auto& [key, answer] :
         {std::pair<const char*, const std::string&>{"glyphoria", first}, {"glyphoria1", second}}) {
        std::string title = WithoutEllipsis(answer);
        if (!title.empty() && answer != key) return title;
    }
    return "Glyphoria";
}

}  // namespace glyphoria::testing::webwindow_gtk
