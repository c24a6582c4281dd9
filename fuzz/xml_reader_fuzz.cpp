// The XML tag search over any text and any tag. Input: the tag, a NUL, one
// byte for the destination size, then the text.
//
// Checked beyond memory safety: FindText finds the first case-insensitive
// match and nothing when there is none; GetElementText never writes past its
// capacity and returns what it copied; DupElementText gives the same text
// uncut; GetElementInt agrees with GetElementText; ForEachElement hands over
// whole elements from their opening to their closing tag.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "support/xml_reader.h"

namespace {

using glyphoria::fuzz::CString;
using glyphoria::fuzz::FuzzInput;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(const char* p, const char* pattern) {
    for (std::size_t i = 0; pattern[i]; ++i) {
        if (!p[i] || Lower(p[i]) != Lower(pattern[i])) return false;
    }
    return true;
}

const char* NaiveFind(const char* text, const char* pattern) {
    if (!*pattern) return text;
    for (const char* p = text; *p; ++p) {
        if (MatchesAt(p, pattern)) return p;
    }
    return nullptr;
}

// An exact-size heap copy, so that reading past the NUL shows.
std::unique_ptr<char[]> Exact(const std::string& s) {
    std::unique_ptr<char[]> copy(new char[s.size() + 1]);
    std::memcpy(copy.get(), s.c_str(), s.size() + 1);
    return copy;
}

struct Visit {
    const char* tag;
    std::size_t calls = 0;
    std::size_t stop_after;
};

bool Visitor(const char* element, std::size_t length, void* context) {
    Visit* visit = static_cast<Visit*>(context);
    if (std::strlen(element) != length) std::abort();
    if (element[0] != '<' || !MatchesAt(element + 1, visit->tag)) std::abort();
    if (element[length - 1] != '>') std::abort();
    return ++visit->calls < visit->stop_after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string tag_text = in.Until('\0');
    const std::size_t cap = in.Byte();
    const std::string text_bytes = CString(in.Rest());
    auto tag = Exact(tag_text);
    auto text = Exact(text_bytes);

    const char* found = glyphoria::FindText(text.get(), tag.get());
    if (found != NaiveFind(text.get(), tag.get())) std::abort();

    // Guard bytes behind the destination catch a write past cap.
    char dest[256 + 8];
    std::memset(dest, 0x5A, sizeof dest);
    const int copied = glyphoria::GetElementText(text.get(), tag.get(), dest, cap);
    for (std::size_t i = cap; i < sizeof dest; ++i) {
        if (dest[i] != 0x5A) std::abort();
    }
    if (copied < 0 || (cap > 0 && static_cast<std::size_t>(copied) > cap - 1)) std::abort();
    if (copied > 0 && std::strlen(dest) != static_cast<std::size_t>(copied)) std::abort();

    char* dup = glyphoria::DupElementText(text.get(), tag.get());
    // Without a blank both look for the same closing tag: the copy is the
    // uncut text that GetElementText cut.
    if (copied > 0 && tag_text.find(' ') == std::string::npos) {
        if (!dup || std::strncmp(dup, dest, static_cast<std::size_t>(copied)) != 0) std::abort();
    }
    std::free(dup);

    char value[256];
    const int got = glyphoria::GetElementText(text.get(), tag.get(), value, sizeof value);
    const long number = glyphoria::GetElementInt(text.get(), tag.get(), -7);
    if (got == 0 && number != -7) std::abort();
    if (got > 0 && std::strcmp(value, "true") == 0 && number != 1) std::abort();

    Visit visit{tag.get(), 0, 1 + cap % 8};
    glyphoria::ForEachElement(text.get(), tag.get(), &Visitor, &visit);
    if (visit.calls > visit.stop_after) std::abort();
    return 0;
}
