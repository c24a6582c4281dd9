#include "support/content_disposition.h"

#include <cstring>
#include <map>

#include "support/text_convert.h"

namespace glyphoria {

namespace {

// RFC 9110 tchar.
bool IsTokenChar(char c) {
    if (c >= '0' && c <= '9') return true;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return c && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

class Scanner {
  public:
    explicit Scanner(const char* text) : p_(text) {}
    void SkipBlanks() {
        while (*p_ == ' ' || *p_ == '\t')
            ++p_;
    }
    bool AtEnd() const { return *p_ == '\0'; }
    bool Take(char c) {
        if (*p_ != c) return false;
        ++p_;
        return true;
    }
    bool Token(std::string* out) {
        out->clear();
        while (IsTokenChar(*p_))
            out->push_back(*p_++);
        return !out->empty();
    }
    // After the opening quote; false when the closing one never comes.
    bool QuotedRest(std::string* out) {
        out->clear();
        for (;;) {
            char c = *p_;
            if (c == '\0') return false;
            ++p_;
            if (c == '"') return true;
            if (c == '\\') {
                if (*p_ == '\0') return false;
                c = *p_++;
            }
            out->push_back(c);
        }
    }

  private:
    const char* p_;
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsValidUtf8Text(const std::string& text) {
    // Invalid sequences come back as U+FFFD, so only valid text survives.
    return Utf16ToUtf8(Utf8ToUtf16(text)) == text;
}

// charset'language'value-chars (RFC 8187); false for another charset or a
// broken encoding.
bool DecodeExtValue(const std::string& value, std::string* out) {
    const std::size_t first = value.find('\'');
    const std::size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
    if (second == std::string::npos) return false;
    const std::string charset = Lower(value.substr(0, first));
    const bool utf8 = charset == "utf-8";
    if (!utf8 && charset != "iso-8859-1") return false;
    std::string bytes;
    for (std::size_t i = second + 1; i < value.size(); ++i) {
        char c = value[i];
        if (c == '%') {
            const int hi = i + 2 < value.size() ? HexValue(value[i + 1]) : -1;
            const int lo = hi >= 0 ? HexValue(value[i + 2]) : -1;
            if (lo < 0) return false;
            c = static_cast<char>(hi * 16 + lo);
            i += 2;
        }
        bytes.push_back(c);
    }
    if (utf8) {
        if (!IsValidUtf8Text(bytes)) return false;
        *out = bytes;
        return true;
    }
    out->clear();
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            out->push_back(static_cast<char>(b));
        } else {
            out->push_back(static_cast<char>(0xC0 | (b >> 6)));
            out->push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return true;
}

// Every parameter by its lower-case name; false when the value breaks the
// grammar or gives a name twice.
bool Parameters(const char* value, std::map<std::string, std::string>* params) {
    Scanner s(value);
    s.SkipBlanks();
    std::string word;
    if (!s.Token(&word)) return false;
    s.SkipBlanks();
    // No type: the first word is already a parameter's name.
    bool have_name = s.Take('=');
    for (;;) {
        if (have_name) {
            s.SkipBlanks();
            std::string text;
            if (s.Take('"') ? !s.QuotedRest(&text) : !s.Token(&text)) return false;
            if (!params->emplace(Lower(word), text).second) return false;
            s.SkipBlanks();
        }
        if (s.AtEnd()) return true;
        if (!s.Take(';')) return false;
        s.SkipBlanks();
        if (s.AtEnd()) return true;  // a trailing ";" is harmless
        if (!s.Token(&word)) return false;
        s.SkipBlanks();
        if (!s.Take('=')) return false;
        have_name = true;
    }
}

}  // namespace

bool DispositionFileName(const char* value, std::string* name) {
    if (!value || !name) return false;
    std::map<std::string, std::string> params;
    if (!Parameters(value, &params)) return false;
    auto extended = params.find("filename*");
    if (extended != params.end() && DecodeExtValue(extended->second, name)) return true;
    auto plain = params.find("filename");
    if (plain == params.end()) return false;
    *name = plain->second;
    return true;
}

}  // namespace glyphoria
