// The registry on Windows: an existing key opened for setting values, one
// REG_DWORD written. A missing key is reported as such and nothing is
// created. A key that is there but not writable for this user counts as a
// write refused with the system's code, so that support can tell the two
// apart in the log.
#include "platform/registry.h"

#include "platform/win32/windows_api.h"

namespace glyphoria::platform {

RegistryWrite SetRegistryDword(RegistryHive hive, const char* key_path, const char* value_name,
                               std::uint32_t value) {
    RegistryWrite write;
    if (!key_path) return write;
    HKEY root = hive == kHiveLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(root, key_path, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_ACCESS_DENIED) {
        write.key_opened = true;
        write.result = opened;
        return write;
    }
    if (opened != ERROR_SUCCESS) return write;
    write.key_opened = true;
    const DWORD data = value;
    write.result = RegSetValueExA(key, value_name, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return write;
}

}  // namespace glyphoria::platform
