#include "shell/library_path.h"

#include <cstring>

namespace glyphoria {

bool WebWindowLibraryPath(const char* module_path, char* out, std::size_t cap, char separator,
                          const char* extension) {
    if (!out || cap == 0) return false;
    out[0] = '\0';
    if (!module_path || !*module_path || !extension) return false;
    const char* name = std::strrchr(module_path, separator);
    name = name ? name + 1 : module_path;
    const char* dot = std::strrchr(name, '.');
    std::size_t stem = dot ? static_cast<std::size_t>(dot - module_path) : std::strlen(module_path);
    std::size_t ext = std::strlen(extension);
    if (stem + ext >= cap) return false;
    std::memcpy(out, module_path, stem);
    std::memcpy(out + stem, extension, ext + 1);
    return true;
}

}  // namespace glyphoria
