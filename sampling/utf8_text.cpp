#include "sampling/utf8_text.h"

#include <algorithm>

namespace glyphoria {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Bytes of the sequence a lead byte starts; 1 for anything that is not a
// lead byte of a longer sequence.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t Utf8CompleteLength(const char* bytes, std::size_t length) {
    if (length == 0) return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t lead = length - 1;
    while (lead > 0 && length - lead < 4 && IsContinuation(s[lead]))
        --lead;
    if (IsContinuation(s[lead])) return length;  // not UTF-8 at all: leave it
    return lead + SequenceLength(s[lead]) > length ? lead : length;
}

std::string Utf8Prefix(const std::string& text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return text;
    return text.substr(0, Utf8CompleteLength(text.data(), max_bytes));
}

std::string StorySampleUtf8(const char16_t* units, std::size_t unit_count,
                            std::int32_t story_length, bool* whole) {
    std::string out;
    if (whole) *whole = story_length <= 1;
    if (!units || story_length <= 1) return out;
    const std::size_t text_units = static_cast<std::size_t>(story_length - 1);
    // Everything before the end marker, as far as the caller handed it over.
    std::size_t available = std::min(unit_count, text_units);
    std::size_t taken = 0;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < available && characters < kSampleMaxCharacters; ++characters) {
        char32_t cp = units[i++];
        if (cp >= 0xD800 && cp <= 0xDBFF && i < available && units[i] >= 0xDC00 &&
            units[i] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i++] - 0xDC00);
        }
        std::size_t before = out.size();
        AppendUtf8(out, cp);
        if (out.size() > kSampleMaxUtf8Bytes) {
            out.resize(before);
            break;
        }
        taken = i;
    }
    if (whole) *whole = taken == text_units;
    return out;
}

}  // namespace glyphoria
