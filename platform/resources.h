// Resources carried inside the module: the string tables, window
// descriptions and optional default preferences.
//
// Windows: the resource section of the module that holds this code (the
// plug-in, never the program that loaded it), through FindResource and
// LoadResource; the loader picks the language version for the user's
// interface language (Wine: for the thread locale). Resource data is not
// terminated, so each resource is handed out as a copy made once.
// POSIX: a table compiled into the module at build time
// (glyphoria_embed_resources); the language is German for a de* locale
// (LC_ALL, LC_MESSAGES, LANG, in that order), English otherwise.
//
// The returned bytes belong to the module and live as long as it does; they
// are followed by two zero bytes that are not counted in size.
#pragma once

#include <cstddef>

namespace glyphoria::platform {

constexpr unsigned short kLangGerman = 1031;
constexpr unsigned short kLangEnglishUS = 1033;

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Name and type compared without regard to case. Picks the version in the
// user's interface language, else English (US), else the first one found.
bool FindModuleResource(const char* name, const char* type, ResourceBytes* out);

// The same with an explicit language; no fallback to other languages.
bool FindModuleResourceLanguage(const char* name, const char* type, unsigned short language,
                                ResourceBytes* out);

// 1031 when the user's interface language is German, else 1033. Windows: the
// language of the string table version the loader picks.
unsigned short UserInterfaceLanguage();

// One row of the compiled-in table (POSIX); generated at build time.
struct EmbeddedResourceRow {
    const char* name;
    const char* type;
    unsigned short language;
    const unsigned char* data;
    const std::size_t* size;
};
const EmbeddedResourceRow* EmbeddedResourceTable(std::size_t* count);

}  // namespace glyphoria::platform
