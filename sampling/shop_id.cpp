#include "sampling/shop_id.h"

#include <cstring>

namespace glyphoria {

namespace {

bool IsIdByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '_' || c == '.';
}

}  // namespace

bool IsUsableShopId(const char* id) {
    if (!id || !*id) return false;
    std::size_t length = 0;
    for (const char* p = id; *p; ++p, ++length) {
        if (length == kShopIdMaxLength || !IsIdByte(*p)) return false;
    }
    return std::strstr(id, "..") == nullptr;
}

}  // namespace glyphoria
