#include "mac/headless/html_links.h"

#include <cctype>
#include <cstdlib>

namespace glyphoria::mac {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void AppendUtf8(std::string* out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The attributes of one start tag, from just after its name to its ">".
struct Tag {
    std::vector<std::pair<std::string, std::string>> attributes;
    std::size_t end = std::string::npos;  // just past ">"

    std::string get(const std::string& name) const {
        for (const auto& a : attributes)
            if (a.first == name) return a.second;
        return {};
    }
    bool has(const std::string& name) const {
        for (const auto& a : attributes)
            if (a.first == name) return true;
        return false;
    }
};

Tag ReadTag(const std::string& html, std::size_t pos) {
    Tag tag;
    const std::size_t n = html.size();
    while (pos < n) {
        while (pos < n && (IsSpace(html[pos]) || html[pos] == '/'))
            ++pos;
        if (pos >= n) break;
        if (html[pos] == '>') {
            tag.end = pos + 1;
            return tag;
        }
        std::size_t name_start = pos;
        while (pos < n && !IsSpace(html[pos]) && html[pos] != '=' && html[pos] != '>' &&
               html[pos] != '/')
            ++pos;
        std::string name = Lower(html.substr(name_start, pos - name_start));
        while (pos < n && IsSpace(html[pos]))
            ++pos;
        std::string value;
        if (pos < n && html[pos] == '=') {
            ++pos;
            while (pos < n && IsSpace(html[pos]))
                ++pos;
            if (pos < n && (html[pos] == '"' || html[pos] == '\'')) {
                const char quote = html[pos++];
                const std::size_t close = html.find(quote, pos);
                if (close == std::string::npos) return tag;  // unterminated: no tag
                value = html.substr(pos, close - pos);
                pos = close + 1;
            } else {
                const std::size_t start = pos;
                while (pos < n && !IsSpace(html[pos]) && html[pos] != '>')
                    ++pos;
                value = html.substr(start, pos - start);
            }
        }
        if (!name.empty() && !tag.has(name))
            tag.attributes.emplace_back(name, DecodeHtmlText(value));
    }
    return tag;
}

bool StartsTag(const std::string& html, std::size_t pos, const char* name) {
    const std::size_t len = std::char_traits<char>::length(name);
    if (html.size() < pos + 1 + len) return false;
    if (Lower(html.substr(pos + 1, len)) != name) return false;
    const std::size_t after = pos + 1 + len;
    return after == html.size() || IsSpace(html[after]) || html[after] == '>' || html[after] == '/';
}

std::string CollapseSpace(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (IsSpace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

}  // namespace

std::string DecodeHtmlText(const std::string& text) {
    static const struct {
        const char* name;
        char c;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i + 1);
        if (semi == std::string::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        const std::string name = text.substr(i + 1, semi - i - 1);
        bool decoded = false;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0' &&
                std::isxdigit(static_cast<unsigned char>(digits[0]))) {
                AppendUtf8(&out, code);
                decoded = true;
            }
        } else {
            for (const auto& entity : kNamed) {
                if (name == entity.name) {
                    out += entity.c;
                    decoded = true;
                    break;
                }
            }
        }
        if (decoded)
            i = semi;
        else
            out += '&';
    }
    return out;
}

std::vector<HtmlLink> ParseHtmlLinks(const std::string& html) {
    std::vector<HtmlLink> links;
    std::size_t pos = 0;
    while ((pos = html.find('<', pos)) != std::string::npos) {
        if (html.compare(pos, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", pos + 4);
            if (end == std::string::npos) break;
            pos = end + 3;
            continue;
        }
        if (!StartsTag(html, pos, "a")) {
            ++pos;
            continue;
        }
        const Tag tag = ReadTag(html, pos + 2);
        if (tag.end == std::string::npos) break;
        // The text runs to the closing tag (or to the next link, when an
        // author forgot to close this one); inner tags are left out.
        std::size_t stop = tag.end;
        std::string raw;
        while (stop < html.size()) {
            const std::size_t lt = html.find('<', stop);
            raw += html.substr(stop, lt == std::string::npos ? std::string::npos : lt - stop);
            if (lt == std::string::npos) {
                stop = html.size();
                break;
            }
            if (html.compare(lt, 3, "</a") == 0 || html.compare(lt, 3, "</A") == 0 ||
                StartsTag(html, lt, "a")) {
                stop = lt;
                break;
            }
            const std::size_t gt = html.find('>', lt);
            stop = gt == std::string::npos ? html.size() : gt + 1;
        }
        if (tag.has("href")) {
            const std::string target = tag.get("target");
            links.push_back({tag.get("href"), CollapseSpace(DecodeHtmlText(raw)), tag.get("id"),
                             target == "_self" ? std::string() : target});
        }
        pos = stop;
    }
    return links;
}

}  // namespace glyphoria::mac
