// No registry on POSIX: every key is missing.
#include "platform/registry.h"

namespace glyphoria::platform {

RegistryWrite SetRegistryDword(RegistryHive, const char*, const char*, std::uint32_t) {
    return RegistryWrite{};
}

}  // namespace glyphoria::platform
