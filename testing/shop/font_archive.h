// Font archives as the shop delivers them after a purchase.
//
// A ZIP archive (deflated entries) with a folder entry "GlyphoriaFonts/", the
// font files below it under their own file names, and a licence text
// "GlyphoriaFonts/License.txt". Each font entry carries the modification time
// of its source file as broken-down UTC, since ZIP times have no zone and the
// fonts' installer reads them as UTC; the folder and the licence carry the
// newest of those times. The same fonts thus always give the same bytes.
//
// Padded to a size (a large family's archive, for transfers that take a
// while), it holds one more entry, "GlyphoriaFonts/Padding.bin", stored
// uncompressed, of pseudo-random bytes (the same for the same size), so that
// the whole archive has exactly that many bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "testing/shop/catalogue.h"

namespace glyphoria::testing::shop {

constexpr char kArchiveFolder[] = "GlyphoriaFonts/";

// The archive bytes, or nullopt with a reason in *error (a font file cannot
// be read, or the archive cannot be written, or is already larger than
// padded_size). scratch_dir receives a temporary file that is removed again.
// padded_size 0: no padding.
std::optional<std::string> BuildFontArchive(const std::vector<const CatalogueFont*>& fonts,
                                            const std::string& scratch_dir, std::string* error,
                                            std::size_t padded_size = 0);

// The largest padded size the shop builds.
constexpr std::size_t kMaxPaddedArchiveSize = std::size_t{1} << 30;

}  // namespace glyphoria::testing::shop
