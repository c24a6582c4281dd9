// The platform's path separator. Path rules elsewhere take the separator as a
// parameter (defaulting to this one), so the Windows rules are tested here too.
#pragma once

namespace glyphoria::platform {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kSharedLibraryExtension = ".dll";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kSharedLibraryExtension = ".so";
#endif

}  // namespace glyphoria::platform
