// The string table: one XML text ("root" with one element per key) loaded
// from the module's resources, searched by key on every lookup. A key without
// an entry stands for itself, so a format passed as key still works.
//
// One table per process, loaded by LoadStrings at start-up; lookups before
// that (or without any table) return the key.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace glyphoria {

// Language codes: 3 German ("_D"), 1 French ("_F"), 5 Dutch ("_N"), anything
// else English ("_E"). The Windows form runs with 0.
void SetLanguageCode(int code);
int LanguageCode();
// The resource-name suffix of a language code: "_D" for 3, "_F" for 1,
// "_N" for 5, "" for any other.
const char* LanguageSuffix(int code);

// (Re)loads the table: the resource "MyStrings" of type "xml" in the user's
// interface language, else "MyStrings" + the code's suffix, else
// "MyStrings_E". 0, or -1 when no table was found.
int LoadStrings();
// Loads a given table text instead (tests, tools); the text is copied.
int LoadStringsFromText(const char* xml);
// Frees the table; every lookup returns its key again.
void UnloadStrings();

// The key's UTF-8 text into a 256-byte dest (cut at 255 bytes); the key itself
// when it has no entry or an empty one.
void GetLocalizedText(const char* key, char* dest, std::size_t cap = 256);

// A malloc'd UTF-16 copy of the key's text (the empty text for an empty
// entry), or of the key when it has no entry; null for a null key. Cut at
// 255 bytes of UTF-8 like GetLocalizedText, so both forms show the same.
char16_t* GetLocalizedWide(const char* key);

// The key's text (or the key) used as a printf format for the arguments into
// 512 bytes; returned as malloc'd UTF-16. FormatLocalizedUtf8 writes UTF-8
// into dest instead (cut at cap - 1 bytes on a character boundary).
char16_t* FormatLocalized(const char* key, ...);
char16_t* FormatLocalizedV(const char* key, std::va_list args);
void FormatLocalizedUtf8(char* dest, std::size_t cap, const char* key, ...);
void FormatLocalizedUtf8V(char* dest, std::size_t cap, const char* key, std::va_list args);

}  // namespace glyphoria
