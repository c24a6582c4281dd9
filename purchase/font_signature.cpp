#include "purchase/font_signature.h"

#include <cstring>

namespace glyphoria {

namespace {

// The offset table: version, numTables, searchRange, entrySelector,
// rangeShift; then 16 bytes per table record.
constexpr std::size_t kOffsetTableSize = 12;
constexpr std::size_t kTableRecordSize = 16;

}  // namespace

bool BeginsAsFont(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < kOffsetTableSize) return false;
    static const unsigned char kVersions[][4] = {
        {'O', 'T', 'T', 'O'}, {0x00, 0x01, 0x00, 0x00}, {'t', 'r', 'u', 'e'}};
    bool known = false;
    for (const auto& version : kVersions)
        known = known || std::memcmp(bytes, version, 4) == 0;
    if (!known) return false;
    const std::size_t tables = static_cast<std::size_t>(bytes[4]) << 8 | bytes[5];
    return tables > 0 && kOffsetTableSize + tables * kTableRecordSize <= size;
}

}  // namespace glyphoria
