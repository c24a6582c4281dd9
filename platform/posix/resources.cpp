// Module resources on POSIX: the table compiled in by glyphoria_embed_resources.
#include "platform/resources.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <strings.h>

namespace glyphoria::platform {

namespace {

bool Matches(const EmbeddedResourceRow& row, const char* name, const char* type) {
    return strcasecmp(row.name, name) == 0 && strcasecmp(row.type, type) == 0;
}

bool Fill(const EmbeddedResourceRow& row, ResourceBytes* out) {
    out->data = row.data;
    out->size = *row.size;
    return true;
}

// The first non-empty of the variables that decide the message language.
const char* MessageLocale() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return value;
    }
    return "";
}

}  // namespace

unsigned short UserInterfaceLanguage() {
    return std::strncmp(MessageLocale(), "de", 2) == 0 ? kLangGerman : kLangEnglishUS;
}

bool FindModuleResourceLanguage(const char* name, const char* type, unsigned short language,
                                ResourceBytes* out) {
    if (!name || !type || !out) return false;
    std::size_t count = 0;
    const EmbeddedResourceRow* rows = EmbeddedResourceTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i].language == language && Matches(rows[i], name, type)) return Fill(rows[i], out);
    }
    return false;
}

bool FindModuleResource(const char* name, const char* type, ResourceBytes* out) {
    if (FindModuleResourceLanguage(name, type, UserInterfaceLanguage(), out)) return true;
    if (FindModuleResourceLanguage(name, type, kLangEnglishUS, out)) return true;
    if (!name || !type || !out) return false;
    std::size_t count = 0;
    const EmbeddedResourceRow* rows = EmbeddedResourceTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (Matches(rows[i], name, type)) return Fill(rows[i], out);
    }
    return false;
}

}  // namespace glyphoria::platform
