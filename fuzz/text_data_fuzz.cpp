// The text sample record over any try argument or frame label: parse, build
// the label, parse the label again. Input: the text (up to its first NUL).
//
// Checked: the label fits its buffer; a label whose pairs hold no "?" reads
// back to the same pairs in the same order, so the label built from it is
// the same text: after the first round the record is a fixed point, and a
// frame keeps its text however often it is tried again. (A "?" in a key or
// value would be taken for an address's when the label is read back, which
// is why the try never writes such a record; those only have to stay inside
// their buffers.) The typed getters and the decoder stay inside theirs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "sampling/text_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text =
        glyphoria::fuzz::CString(std::string(reinterpret_cast<const char*>(data), size));

    glyphoria::TextData first(text.c_str());
    first.GetReal(glyphoria::kKeyFontSize);
    first.GetReal(glyphoria::kKeyWidth);
    first.GetInt(glyphoria::kKeyTextSwatch);
    const char* decoded = first.DecodedText();
    if (std::strlen(decoded) >= glyphoria::TextData::kDecodedTextSize) std::abort();

    const char* built = first.BuildLabel();
    // The parsed pairs came out of fewer than 2048 bytes and the label adds
    // nothing, so it always fits.
    if (!built || std::strlen(built) >= glyphoria::TextData::kQuerySize) std::abort();
    const std::string label = built;

    bool has_question_mark = false;
    for (std::size_t i = 0; i < first.PairCount(); ++i) {
        if (std::strchr(first.KeyAt(i), '?') || std::strchr(first.ValueAt(i), '?'))
            has_question_mark = true;
    }

    glyphoria::TextData second(label.c_str());
    if (!has_question_mark) {
        if (second.PairCount() != first.PairCount()) {
            std::fprintf(stderr, "label \"%s\": %zu pairs, read back %zu\n", label.c_str(),
                         first.PairCount(), second.PairCount());
            std::abort();
        }
        for (std::size_t i = 0; i < first.PairCount(); ++i) {
            if (std::strcmp(first.KeyAt(i), second.KeyAt(i)) != 0 ||
                std::strcmp(first.ValueAt(i), second.ValueAt(i)) != 0)
                std::abort();
        }
    }
    const char* again = second.BuildLabel();
    if (!again) std::abort();
    const std::string second_label = again;
    if (!has_question_mark && second_label != label) std::abort();

    return 0;
}
