// The process's string table: one NUL-terminated copy of a table text,
// searched with the XML reader on every lookup.
#include "support/string_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/resources.h"
#include "support/limits.h"
#include "support/text_convert.h"
#include "support/xml_reader.h"

namespace glyphoria {

namespace {

constexpr int kNotFound = -1;
constexpr int kNoMemory = -108;

int g_language_code = 0;
char* g_table = nullptr;

// The table text with two zero bytes after it, as the resource loader
// delivers it, so a table without a terminator of its own is still safe.
int Adopt(const char* bytes, std::size_t size) {
    char* table = static_cast<char*>(std::malloc(size + 2));
    if (!table) return kNoMemory;
    if (size) std::memcpy(table, bytes, size);
    table[size] = '\0';
    table[size + 1] = '\0';
    g_table = table;
    return 0;
}

bool FindTable(platform::ResourceBytes* found) {
    if (platform::FindModuleResource("MyStrings", "xml", found)) return true;
    const char* suffix = LanguageSuffix(g_language_code);
    if (*suffix) {
        std::string name = std::string("MyStrings") + suffix;
        if (platform::FindModuleResource(name.c_str(), "xml", found)) return true;
    }
    return platform::FindModuleResource("MyStrings_E", "xml", found);
}

// The key's entry as a malloc'd copy, or null when the table has none.
// DupElementText refuses keys over 64 bytes, so those are never found.
char* LookUp(const char* key) {
    if (!g_table || !key) return nullptr;
    return DupElementText(g_table, key);
}

// Copies text into dest, cut at cap - 1 bytes on a character boundary.
void CopyCut(const char* text, char* dest, std::size_t cap) {
    std::size_t n = Utf8PrefixLength(text, std::strlen(text), cap - 1);
    std::memcpy(dest, text, n);
    dest[n] = '\0';
}

// The format for a message: the key's non-empty entry or the key itself,
// cut to one entry's 255 bytes.
void FormatOf(const char* key, char* format, std::size_t cap) {
    GetLocalizedText(key, format, cap);
}

}  // namespace

const char* LanguageSuffix(int code) {
    switch (code) {
        case 3:
            return "_D";
        case 1:
            return "_F";
        case 5:
            return "_N";
        default:
            return "";
    }
}

void SetLanguageCode(int code) {
    g_language_code = code;
}

int LanguageCode() {
    return g_language_code;
}

int LoadStrings() {
    UnloadStrings();
    platform::ResourceBytes found;
    if (!FindTable(&found)) return kNotFound;
    return Adopt(reinterpret_cast<const char*>(found.data), found.size);
}

int LoadStringsFromText(const char* xml) {
    UnloadStrings();
    if (!xml) return kNotFound;
    return Adopt(xml, std::strlen(xml));
}

void UnloadStrings() {
    std::free(g_table);
    g_table = nullptr;
}

void GetLocalizedText(const char* key, char* dest, std::size_t cap) {
    if (!dest || cap == 0) return;
    if (!key) {
        dest[0] = '\0';
        return;
    }
    char* entry = LookUp(key);
    // An empty entry counts as missing: the key shows instead of nothing.
    CopyCut(entry && *entry ? entry : key, dest, cap < kValueBufferSize ? cap : kValueBufferSize);
    std::free(entry);
}

char16_t* GetLocalizedWide(const char* key) {
    if (!key) return nullptr;
    char* entry = LookUp(key);
    char text[kValueBufferSize];
    CopyCut(entry ? entry : key, text, sizeof text);
    std::free(entry);
    return ToWide(text, kEncodingUtf8);
}

void FormatLocalizedUtf8V(char* dest, std::size_t cap, const char* key, std::va_list args) {
    if (!dest || cap == 0) return;
    dest[0] = '\0';
    if (!key) return;
    char format[kValueBufferSize];
    FormatOf(key, format, sizeof format);
    // A few bytes past the message size show whether the cut at 511 bytes
    // would split a character.
    char message[kMessageBufferSize + 4];
    int n = std::vsnprintf(message, sizeof message, format, args);
    if (n < 0) return;
    std::size_t length = Utf8PrefixLength(message, std::strlen(message), kMessageBufferSize - 1);
    message[length] = '\0';
    CopyCut(message, dest, cap);
}

void FormatLocalizedUtf8(char* dest, std::size_t cap, const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    FormatLocalizedUtf8V(dest, cap, key, args);
    va_end(args);
}

char16_t* FormatLocalizedV(const char* key, std::va_list args) {
    if (!key) return nullptr;
    char message[kMessageBufferSize];
    FormatLocalizedUtf8V(message, sizeof message, key, args);
    return ToWide(message, kEncodingUtf8);
}

char16_t* FormatLocalized(const char* key, ...) {
    std::va_list args;
    va_start(args, key);
    char16_t* result = FormatLocalizedV(key, args);
    va_end(args);
    return result;
}

}  // namespace glyphoria
