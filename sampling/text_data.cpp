#include "sampling/text_data.h"

#include <cstring>

#include "sampling/percent_codec.h"
#include "sampling/swatch_colour.h"
#include "sampling/value_format.h"

namespace glyphoria {

namespace {

bool IsFontSizeKey(const char* key) {
    return key && std::strcmp(key, kKeyFontSize) == 0;
}

}  // namespace

TextData::TextData() = default;

TextData::TextData(const char* text) : TextData() {
    if (text) Parse(text);
}

int TextData::Parse(const char* text) {
    if (!text) return 1;
    if (const char* question = std::strchr(text, '?')) text = question + 1;
    std::size_t length = std::strlen(text);
    if (length >= kQuerySize) return 1;
    std::memcpy(query_, text, length + 1);
    char* piece = query_;
    while (piece) {
        char* next = std::strchr(piece, '&');
        if (next) *next++ = '\0';
        char* equals = std::strchr(piece, '=');
        if (equals && equals != piece) {
            *equals = '\0';
            SetString(piece, equals + 1);
        }
        piece = next;
    }
    return 1;
}

std::size_t TextData::ValueIndex(const char* key) const {
    if (!key) return kNotFound;
    for (std::size_t i = 0; i + 1 < entries_.size(); i += 2) {
        if (entries_[i] == key) return i + 1;
    }
    return kNotFound;
}

const std::string* TextData::Find(const char* key) const {
    std::size_t index = ValueIndex(key);
    return index == kNotFound ? nullptr : &entries_[index];
}

void TextData::SetString(const char* key, const char* value) {
    if (!key) return;
    if (!value) value = "";
    std::size_t index = ValueIndex(key);
    if (index != kNotFound) {
        entries_[index] = value;
        return;
    }
    entries_.emplace_back(key);
    entries_.emplace_back(value);
}

void TextData::SetInt(const char* key, int value) {
    char text[kNumberTextSize];
    FormatInt(value, text);
    SetString(key, text);
}

void TextData::SetReal(const char* key, double value) {
    // NaN counts as small, so that what is written reads back the same.
    if (IsFontSizeKey(key) && !(value >= kMinFontSize)) value = kSmallFontSize;
    char text[kNumberTextSize];
    FormatReal(value, text);
    SetString(key, text);
}

const char* TextData::GetString(const char* key, const char* def) const {
    const std::string* value = Find(key);
    return value ? value->c_str() : def;
}

int TextData::GetInt(const char* key, int def) const {
    const std::string* value = Find(key);
    return value ? ParseInt(value->c_str()) : def;
}

float TextData::GetReal(const char* key, float def) const {
    const std::string* value = Find(key);
    if (IsFontSizeKey(key)) {
        if (!value) return kDefaultFontSize;
        float size = ParseReal(value->c_str());
        return size < kMinFontSize ? kSmallFontSize : size;
    }
    return value ? ParseReal(value->c_str()) : def;
}

const char* TextData::BuildLabel() {
    std::memset(query_, 0, sizeof query_);
    std::size_t length = 0;
    for (std::size_t i = 0; i + 1 < entries_.size(); i += 2) {
        const std::string& key = entries_[i];
        const std::string& value = entries_[i + 1];
        std::size_t piece = (i > 0 ? 1 : 0) + key.size() + 1 + value.size();
        if (length + piece >= kQuerySize) {
            std::memset(query_, 0, sizeof query_);
            return nullptr;
        }
        if (i > 0) query_[length++] = '&';
        std::memcpy(query_ + length, key.data(), key.size());
        length += key.size();
        query_[length++] = '=';
        std::memcpy(query_ + length, value.data(), value.size());
        length += value.size();
    }
    query_[length] = '\0';
    return query_;
}

const char* TextData::DecodedText(bool decode) {
    const char* text = GetString(kKeyText, "");
    if (!decode) return text;
    PercentDecode(text, decoded_text_, sizeof decoded_text_);
    return decoded_text_;
}

const char* TextData::TextColour(const SwatchSource& swatches) {
    WriteTextColour(GetInt(kKeyTextSwatch), swatches, text_colour_, sizeof text_colour_);
    return text_colour_;
}

const char* TextData::BackgroundColour(const SwatchSource& swatches) {
    WriteBackgroundColour(GetInt(kKeyFillSwatch), swatches, background_colour_,
                          sizeof background_colour_);
    return background_colour_;
}

}  // namespace glyphoria
