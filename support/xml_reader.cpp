// Tag search over small XML texts. Every search goes through FindText, so
// tags match without regard to ASCII case wherever they are looked for.
#include "support/xml_reader.h"

#include <cstdlib>
#include <cstring>

#include "support/limits.h"

namespace glyphoria {

namespace {

// "<" + 64-byte tag + ">" or "</" + name + ">", and a NUL.
constexpr std::size_t kTagBufferSize = kMaxTagLength + 4;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ValidTag(const char* tag) {
    if (!tag || !*tag) return false;
    return std::strlen(tag) <= kMaxTagLength;
}

// "<tag>"; the tag has been checked, so it always fits.
void BuildOpening(const char* tag, char* out) {
    std::size_t n = std::strlen(tag);
    out[0] = '<';
    std::memcpy(out + 1, tag, n);
    out[n + 1] = '>';
    out[n + 2] = '\0';
}

// "</name>", where name is the tag up to its first blank when
// name_only_to_blank is set (a tag may carry attribute text), else all of it.
void BuildClosing(const char* tag, bool name_only_to_blank, char* out) {
    std::size_t n = name_only_to_blank ? std::strcspn(tag, " ") : std::strlen(tag);
    out[0] = '<';
    out[1] = '/';
    std::memcpy(out + 2, tag, n);
    out[n + 2] = '>';
    out[n + 3] = '\0';
}

// The element text of the first element `tag`: [*begin, *begin + *length).
bool LocateElementText(const char* text, const char* tag, bool name_only_to_blank,
                       const char** begin, std::size_t* length) {
    if (!text || !ValidTag(tag)) return false;
    char opening[kTagBufferSize];
    char closing[kTagBufferSize];
    BuildOpening(tag, opening);
    BuildClosing(tag, name_only_to_blank, closing);
    const char* open = FindText(text, opening);
    if (!open) return false;
    const char* start = open + std::strlen(opening);
    const char* close = FindText(start, closing);
    if (!close) return false;
    *begin = start;
    *length = static_cast<std::size_t>(close - start);
    return true;
}

}  // namespace

const char* FindText(const char* text, const char* pattern) {
    if (!text || !pattern) return nullptr;
    if (!*pattern) return text;
    const char first = LowerAscii(*pattern);
    // Tags start with "<", which has no case: the library's strchr finds the
    // candidates many bytes at a time, which matters for long documents.
    const bool caseless_first = !(first >= 'a' && first <= 'z');
    for (const char* p = text;; ++p) {
        if (caseless_first) {
            p = std::strchr(p, first);
            if (!p) return nullptr;
        } else {
            if (!*p) return nullptr;
            if (LowerAscii(*p) != first) continue;
        }
        std::size_t i = 1;
        while (pattern[i] && p[i] && LowerAscii(p[i]) == LowerAscii(pattern[i]))
            ++i;
        if (!pattern[i]) return p;
        if (!p[i]) return nullptr;  // the rest of the text is shorter than the pattern
    }
}

int GetElementText(const char* text, const char* tag, char* dest, std::size_t cap) {
    const char* begin = nullptr;
    std::size_t length = 0;
    if (!dest || cap == 0) return 0;
    if (!LocateElementText(text, tag, false, &begin, &length)) return 0;
    // A text longer than the destination is cut; the result is what was
    // copied, so callers can use it as the length of dest.
    if (length > cap - 1) length = cap - 1;
    std::memcpy(dest, begin, length);
    dest[length] = '\0';
    return static_cast<int>(length);
}

char* DupElementText(const char* text, const char* tag) {
    const char* begin = nullptr;
    std::size_t length = 0;
    if (!LocateElementText(text, tag, true, &begin, &length)) return nullptr;
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, begin, length);
    copy[length] = '\0';
    return copy;
}

long GetElementInt(const char* text, const char* tag, long def) {
    char value[kValueBufferSize];
    if (GetElementText(text, tag, value, sizeof value) <= 0) return def;
    if (std::strcmp(value, "true") == 0) return 1;
    if (std::strcmp(value, "false") == 0) return 0;
    // strtol gives 0 for no digits and clamps on overflow, never undefined.
    return std::strtol(value, nullptr, 10);
}

void ForEachElement(const char* text, const char* tag, ElementVisitor visitor, void* context) {
    if (!text || !visitor || !ValidTag(tag)) return;
    char opening[kTagBufferSize];
    char closing[kTagBufferSize];
    BuildOpening(tag, opening);
    BuildClosing(tag, true, closing);
    const std::size_t opening_length = std::strlen(opening);
    const std::size_t closing_length = std::strlen(closing);

    const char* pos = text;
    while (*pos) {
        const char* open = FindText(pos, opening);
        if (!open) return;
        const char* after_open = open + opening_length;
        const char* close = FindText(after_open, closing);
        if (!close) return;
        std::size_t length = static_cast<std::size_t>(close - open) + closing_length;
        char* element = static_cast<char*>(std::malloc(length + 1));
        if (element) {
            std::memcpy(element, open, length);
            element[length] = '\0';
            bool go_on = visitor(element, length, context);
            std::free(element);
            if (!go_on) return;
        }
        // Continue inside the element, so nested elements of the same name
        // are visited too, in the order of their opening tags.
        pos = after_open;
    }
}

}  // namespace glyphoria
