#include "testing/webwindow/page_links.h"

#include <strings.h>

#include <cstdlib>

namespace glyphoria::testing::webwindow {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void AppendUtf8(unsigned long code, std::string* out) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Parses the attributes of a tag from pos (just after "<a") up to ">";
// returns the position after ">" (or the end of the text).
size_t ParseAttributes(const std::string& html, size_t pos, PageLink* link) {
    while (pos < html.size()) {
        while (pos < html.size() && (IsSpace(html[pos]) || html[pos] == '/'))
            ++pos;
        if (pos >= html.size()) break;
        if (html[pos] == '>') return pos + 1;
        size_t name_start = pos;
        while (pos < html.size() && !IsSpace(html[pos]) && html[pos] != '=' && html[pos] != '>')
            ++pos;
        std::string name = Lower(html.substr(name_start, pos - name_start));
        while (pos < html.size() && IsSpace(html[pos]))
            ++pos;
        std::string value;
        if (pos < html.size() && html[pos] == '=') {
            ++pos;
            while (pos < html.size() && IsSpace(html[pos]))
                ++pos;
            if (pos < html.size() && (html[pos] == '"' || html[pos] == '\'')) {
                char quote = html[pos++];
                size_t end = html.find(quote, pos);
                if (end == std::string::npos) end = html.size();
                value = html.substr(pos, end - pos);
                pos = end + 1;
            } else {
                size_t start = pos;
                while (pos < html.size() && !IsSpace(html[pos]) && html[pos] != '>')
                    ++pos;
                value = html.substr(start, pos - start);
            }
        }
        if (!name.empty()) link->attributes.emplace(name, HtmlUnescape(value));
    }
    return html.size();
}

std::string Origin(const std::string& url) {
    size_t scheme_end = url.find("://");
    if (scheme_end == std::string::npos) return {};
    size_t path_start = url.find('/', scheme_end + 3);
    return path_start == std::string::npos ? url : url.substr(0, path_start);
}

}  // namespace

std::string PageLink::attribute(const std::string& name) const {
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
}

bool PageLink::has_class(const std::string& name) const {
    std::string classes = " " + attribute("class") + " ";
    for (char& c : classes)
        if (IsSpace(c)) c = ' ';
    return classes.find(" " + name + " ") != std::string::npos;
}

std::vector<PageLink> ParseLinks(const std::string& html) {
    std::vector<PageLink> links;
    size_t pos = 0;
    while ((pos = html.find('<', pos)) != std::string::npos) {
        bool is_link = pos + 2 <= html.size() && (html[pos + 1] == 'a' || html[pos + 1] == 'A') &&
                       (pos + 2 == html.size() || IsSpace(html[pos + 2]) || html[pos + 2] == '>');
        if (!is_link) {
            ++pos;
            continue;
        }
        PageLink link;
        pos = ParseAttributes(html, pos + 2, &link);
        size_t end = pos;
        while (end < html.size()) {
            end = html.find('<', end);
            if (end == std::string::npos) {
                end = html.size();
                break;
            }
            if (strncasecmp(html.c_str() + end, "</a", 3) == 0) break;
            if (strncasecmp(html.c_str() + end, "<a", 2) == 0 &&
                (end + 2 == html.size() || IsSpace(html[end + 2]) || html[end + 2] == '>'))
                break;  // no </a>: the next link ends this one
            ++end;
        }
        link.text = HtmlUnescape(html.substr(pos, end - pos));
        links.push_back(std::move(link));
        pos = end;
    }
    return links;
}

std::string HtmlUnescape(const std::string& text) {
    static const std::pair<const char*, const char*> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string::npos;
        if (semicolon == std::string::npos || semicolon - i > 10) {
            out.push_back(text[i]);
            continue;
        }
        std::string name = text.substr(i + 1, semicolon - i - 1);
        bool done = false;
        if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0') {
                AppendUtf8(code, &out);
                done = true;
            }
        } else {
            for (const auto& named : kNamed) {
                if (name == named.first) {
                    out += named.second;
                    done = true;
                }
            }
        }
        if (done)
            i = semicolon;
        else
            out.push_back(text[i]);
    }
    return out;
}

std::string ResolveLink(const std::string& page_url, const std::string& href) {
    if (href.find("://") != std::string::npos &&
        href.find("://") < href.find_first_of("/?#"))  // a scheme comes before any path
        return href;
    if (href.rfind("//", 0) == 0) return page_url.substr(0, page_url.find("://") + 1) + href;
    if (href.rfind("/", 0) == 0) return Origin(page_url) + href;
    std::string base = page_url.substr(0, page_url.find_first_of("?#"));
    size_t slash = base.rfind('/');
    if (slash == std::string::npos || slash < base.find("://") + 3)
        return Origin(page_url) + "/" + href;
    return base.substr(0, slash + 1) + href;
}

}  // namespace glyphoria::testing::webwindow
