// glyphoria prefs: reads and writes a preferences file the way the plug-in
// does, for support and scripts.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/prefs_store.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {
namespace {

int RunPrefs(int argc, char** argv);

constexpr const char* kUsage =
    "  glyphoria prefs get FILE SECTION KEY\n"
    "  glyphoria prefs set FILE SECTION KEY VALUE\n"
    "  glyphoria prefs float FILE SECTION KEY DEFAULT\n"
    "FILE gets the extension .ini when it has another one.\n";

GLYPHORIA_SUBCOMMAND(kPrefsCommand, "prefs", kUsage, "read or change a preferences file", RunPrefs);

const Subcommand& Self() {
    static const Subcommand self{"prefs", kUsage, "", RunPrefs};
    return self;
}

bool LoadStore(PrefsStore& store, const char* file) {
    if (store.Load(file) == 0) return true;
    std::fprintf(stderr, "glyphoria prefs: out of memory reading %s\n", file);
    return false;
}

int Get(const char* file, const char* section, const char* key) {
    PrefsStore store;
    if (!LoadStore(store, file)) return kExitNotFound;
    const int length = store.GetString(section, key, nullptr, 0);
    if (length < 0) {
        std::fprintf(stderr, "glyphoria prefs: [%s] %s not found\n", section, key);
        return kExitNotFound;
    }
    std::vector<char> value(static_cast<std::size_t>(length) + 1);
    store.GetString(section, key, value.data(), value.size());
    std::printf("%s\n", value.data());
    return kExitDone;
}

int Set(const char* file, const char* section, const char* key, const char* value) {
    PrefsStore store;
    if (!LoadStore(store, file)) return kExitNotFound;
    switch (store.SetString(section, key, value)) {
        case 0:
            break;
        case kPrefsBadKey:
            std::fprintf(
                stderr,
                "glyphoria prefs: section or key refused (empty, line break, '=', '[' or ']')\n");
            return kExitNotFound;
        case kPrefsBadValue:
            std::fprintf(stderr, "glyphoria prefs: value refused (line break)\n");
            return kExitNotFound;
        default:
            std::fprintf(stderr, "glyphoria prefs: out of memory\n");
            return kExitNotFound;
    }
    if (store.Save() != 0) {
        std::fprintf(stderr, "glyphoria prefs: cannot write %s\n", store.path());
        return kExitNotFound;
    }
    return kExitDone;
}

int Float(const char* file, const char* section, const char* key, const char* def_text) {
    double def = 0.0;
    const char* end = def_text + std::strlen(def_text);
    auto parsed = std::from_chars(def_text, end, def);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return UsageError(Self(), "DEFAULT must be a decimal number");
    PrefsStore store;
    if (!LoadStore(store, file)) return kExitNotFound;
    std::printf("%g\n", store.GetFloat(section, key, def));
    return kExitDone;
}

int RunPrefs(int argc, char** argv) {
    if (argc < 2) return UsageError(Self(), "missing action");
    const char* action = argv[1];
    if (!std::strcmp(action, "get")) {
        if (argc != 5) return UsageError(Self(), "get takes FILE SECTION KEY");
        return Get(argv[2], argv[3], argv[4]);
    }
    if (!std::strcmp(action, "set")) {
        if (argc != 6) return UsageError(Self(), "set takes FILE SECTION KEY VALUE");
        return Set(argv[2], argv[3], argv[4], argv[5]);
    }
    if (!std::strcmp(action, "float")) {
        if (argc != 6) return UsageError(Self(), "float takes FILE SECTION KEY DEFAULT");
        return Float(argv[2], argv[3], argv[4], argv[5]);
    }
    return UsageError(Self(), "unknown action");
}

}  // namespace
}  // namespace glyphoria::tool
