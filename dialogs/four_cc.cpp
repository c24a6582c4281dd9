#include "dialogs/four_cc.h"

namespace glyphoria {

FourCC FourCCFromText(const char* text) {
    if (!text) return 0;
    FourCC code = 0;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = ended ? 0 : static_cast<unsigned char>(text[i]);
        if (c == 0) ended = true;
        code = (code << 8) | c;
    }
    return code;
}

void FourCCToText(FourCC code, char (&out)[5]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    out[4] = '\0';
}

}  // namespace glyphoria
