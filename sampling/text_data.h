// TextData: the record of one text frame while a font is tried on it, and the
// frame label it becomes ("id=5&fontsize=24.000&...").
//
// The record is an ordered list of key/value strings. Keys are compared byte
// for byte; setting a key that exists replaces its value in place, so a key
// keeps the position where it was first set, and a new key goes to the end.
// Values are typed only by how they are read and written: strings as they
// are, integers as "%d", reals as "%.3f"; see value_format.h for reading.
//
// The record owns fixed, zero-filled work buffers whose sizes are part of the
// behaviour: the 2048-byte query buffer (a parsed copy, the label, the
// sampler URL), the 512-byte preview path, the 2048-byte decoded text and the
// two 32-byte colour strings. Whatever would not fit one of them is refused
// (a null result), never cut into a wrong but valid-looking value.
//
// Pointers returned by the getters stay valid until the same key is set
// again or the record is destroyed (setting other keys does not move them);
// buffers returned by the builders until the next builder call that uses the
// same buffer.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "sampling/frame_facts.h"
#include "support/limits.h"

namespace glyphoria {

// The keys this system writes and reads. Other keys of a try argument travel
// through the label unchanged.
constexpr const char* kKeyId = "id";
constexpr const char* kKeyFontSize = "fontsize";
constexpr const char* kKeyTextSwatch = "textUID";
constexpr const char* kKeyPostScriptName = "ps0";
constexpr const char* kKeyText = "text";
constexpr const char* kKeyFillSwatch = "fillUID";
constexpr const char* kKeyWidth = "width";
constexpr const char* kKeyHeight = "height";

// The point size rule: a missing size is 24, anything below 6 is 12, both
// when it is written and when it is read.
constexpr float kDefaultFontSize = 24.0f;
constexpr float kMinFontSize = 6.0f;
constexpr float kSmallFontSize = 12.0f;

class TextData {
  public:
    static constexpr std::size_t kQuerySize = kQueryBufferSize;
    static constexpr std::size_t kPreviewPathSize = kPathBufferSize;
    static constexpr std::size_t kDecodedTextSize = 2048;
    static constexpr std::size_t kColourSize = 32;

    TextData();
    // Parses the text (see Parse) when it is not null.
    explicit TextData(const char* text);
    TextData(const TextData&) = delete;
    TextData& operator=(const TextData&) = delete;

    // Takes the part behind the first "?" (a whole address may be handed in),
    // cuts it at every "&" and each piece at its first "="; pieces without "="
    // or with an empty key are ignored. Values are stored as they appear,
    // nothing is decoded. Text of 2048 bytes or more (behind the "?") is not
    // parsed at all and the record keeps what it had. Always returns 1.
    int Parse(const char* text);

    // A null key is ignored; a null value is stored as "".
    void SetString(const char* key, const char* value);
    void SetInt(const char* key, int value);
    // "fontsize" follows the point size rule.
    void SetReal(const char* key, double value);

    // def when the key is missing.
    const char* GetString(const char* key, const char* def = nullptr) const;
    int GetInt(const char* key, int def = 0) const;
    // "fontsize" follows the point size rule and ignores def.
    float GetReal(const char* key, float def = 0.0f) const;

    float FontSize() const { return GetReal(kKeyFontSize); }
    void SetFontSize(double points) { SetReal(kKeyFontSize, points); }

    bool Has(const char* key) const { return Find(key) != nullptr; }
    // Pairs in list order.
    std::size_t PairCount() const { return entries_.size() / 2; }
    const char* KeyAt(std::size_t pair) const { return entries_[2 * pair].c_str(); }
    const char* ValueAt(std::size_t pair) const { return entries_[2 * pair + 1].c_str(); }

    // The label: every pair as "key=value", joined by "&", in the query
    // buffer. Null (and an empty query buffer) when it would need 2048 bytes
    // or more.
    const char* BuildLabel();

    // "text" percent-decoded into the decoded-text buffer; with decode false,
    // the stored value itself. "" when the record has no text.
    const char* DecodedText(bool decode = true);

    // The colour strings of the sampler request, computed afresh each time
    // (see swatch_colour.h): "%23rrggbb", or the defaults "%23000000" for
    // the text and "%23ffffff" for the background, or "transparent" for a
    // background filled with the None swatch.
    const char* TextColour(const SwatchSource& swatches);
    const char* BackgroundColour(const SwatchSource& swatches);

    // The page item the record describes; empty until filled from a frame.
    const FrameRef& frame() const { return frame_; }
    void set_frame(const FrameRef& frame) { frame_ = frame; }

    const char* query() const { return query_; }
    char* mutable_query() { return query_; }
    const char* preview_path() const { return preview_path_; }
    char* mutable_preview_path() { return preview_path_; }

  private:
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
    std::size_t ValueIndex(const char* key) const;
    const std::string* Find(const char* key) const;

    // Position 2k is a key, 2k + 1 its value. A deque, so that appending
    // never moves the strings that earlier getters pointed into.
    std::deque<std::string> entries_;
    FrameRef frame_;
    char query_[kQuerySize] = {};
    char preview_path_[kPreviewPathSize] = {};
    char decoded_text_[kDecodedTextSize] = {};
    char text_colour_[kColourSize] = {};
    char background_colour_[kColourSize] = {};
};

}  // namespace glyphoria
