// The shop's identifier of a font (the record's "id"), as far as this system
// can use it: it names the font in the sampler request and the preview file
// ("GL_<id>.png"), and a re-try keeps it aside in a 32-byte field.
//
// A usable id has 1 to 31 bytes, all letters, digits, "-", "_" or ".", and
// holds no "..". Anything else is refused whole rather than cut, because a cut
// id could name another font and an id with separators could name another
// file.
#pragma once

#include <cstddef>

namespace glyphoria {

constexpr std::size_t kShopIdBufferSize = 32;
constexpr std::size_t kShopIdMaxLength = kShopIdBufferSize - 1;

bool IsUsableShopId(const char* id);

}  // namespace glyphoria
