// The system registry, as far as the plug-in writes it: one 32-bit value in
// an existing key.
//
// Windows: RegOpenKeyExA for writing, RegSetValueExA with REG_DWORD. POSIX has
// no registry: every key is missing, so callers skip their registry step.
#pragma once

#include <cstdint>

namespace glyphoria::platform {

enum RegistryHive {
    kHiveLocalMachine,
    kHiveCurrentUser,
};

struct RegistryWrite {
    bool key_opened = false;  // false: the key is missing
    long result = 0;          // the system's code of the write (0 success; the
                              // code of access denied for a key this user
                              // cannot write)
};

// Opens the existing key for writing and sets the value; nothing is created.
RegistryWrite SetRegistryDword(RegistryHive hive, const char* key_path, const char* value_name,
                               std::uint32_t value);

}  // namespace glyphoria::platform
