// glyphoria strings: what the plug-in shows for a string-table key, in the
// interface language or a chosen one.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/resources.h"
#include "support/limits.h"
#include "support/string_table.h"
#include "support/xml_reader.h"
#include "tools/glyphoria/subcommand.h"

namespace glyphoria::tool {

namespace {

int RunStrings(int argc, char** argv);

const char kUsage[] =
    "  glyphoria strings get KEY [--lang de|en]   the key's text; exit 1 (and the key\n"
    "                                             itself) when the table has no entry\n";

GLYPHORIA_SUBCOMMAND(g_strings, "strings", kUsage, "look up string-table texts", RunStrings);

const Subcommand& Self() {
    for (const Subcommand& c : Subcommands()) {
        if (std::strcmp(c.name, "strings") == 0) return c;
    }
    return Subcommands().front();  // unreachable: this file registered it
}

int RunStrings(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "get") != 0) {
        return UsageError(Self(), "expected: get KEY");
    }
    const char* key = argv[2];
    unsigned short language = platform::UserInterfaceLanguage();
    if (argc == 5 && std::strcmp(argv[3], "--lang") == 0) {
        if (std::strcmp(argv[4], "de") == 0) {
            language = platform::kLangGerman;
        } else if (std::strcmp(argv[4], "en") == 0) {
            language = platform::kLangEnglishUS;
        } else {
            return UsageError(Self(), "--lang takes de or en");
        }
    } else if (argc != 3) {
        return UsageError(Self(), "unexpected arguments");
    }

    // The resource is followed by zero bytes, so it is a terminated text.
    platform::ResourceBytes table;
    if (!platform::FindModuleResourceLanguage("MyStrings", "xml", language, &table)) {
        std::fprintf(stderr, "glyphoria strings: no string table for language %u\n", language);
        return kExitNotFound;
    }
    const char* text = reinterpret_cast<const char*>(table.data);
    LoadStringsFromText(text);

    char value[kValueBufferSize];
    GetLocalizedText(key, value, sizeof value);
    std::printf("%s\n", value);
    char* entry = DupElementText(text, key);
    const bool found = entry && *entry;
    std::free(entry);
    UnloadStrings();
    return found ? kExitDone : kExitNotFound;
}

}  // namespace

}  // namespace glyphoria::tool
