// A loadable module with resources of its own, as the plug-in is inside its
// host: its lookups must search the module, not the program that loaded it.
#include "platform/resources.h"

extern "C" __declspec(dllexport) bool ProbeFindResource(const char* name, const char* type,
                                                        glyphoria::platform::ResourceBytes* out) {
    return glyphoria::platform::FindModuleResource(name, type, out);
}
