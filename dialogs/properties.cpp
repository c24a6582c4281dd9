// Window properties under "KWES"/"KWEV" names.
#include "dialogs/properties.h"

#include <cstdlib>
#include <cstring>

#include "support/text_convert.h"

namespace glyphoria {

namespace {

struct PropertyName {
    char text[9];
};

PropertyName NameOf(const char* prefix, FourCC code) {
    PropertyName name;
    std::memcpy(name.text, prefix, 4);
    char chars[5];
    FourCCToText(code, chars);
    std::memcpy(name.text + 4, chars, 5);
    return name;
}

void FreeStringProperty(HWND window, FourCC code) {
    PropertyName name = NameOf("KWES", code);
    if (void* old = RemovePropA(window, name.text)) std::free(old);
}

BOOL CALLBACK FreeChildProperties(HWND child, LPARAM) {
    for (FourCC code : kStringPropertyCodes)
        FreeStringProperty(child, code);
    return TRUE;
}

}  // namespace

bool SetStringProperty(HWND window, FourCC code, const char* text) {
    if (!window) return false;
    PropertyName name = NameOf("KWES", code);
    if (!text) {
        FreeStringProperty(window, code);
        return true;
    }
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return false;
    std::memcpy(copy, text, length + 1);
    void* old = GetPropA(window, name.text);
    if (!SetPropA(window, name.text, copy)) {
        std::free(copy);
        return false;
    }
    std::free(old);
    return true;
}

const char* GetStringProperty(HWND window, FourCC code) {
    if (!window) return nullptr;
    PropertyName name = NameOf("KWES", code);
    return static_cast<const char*>(GetPropA(window, name.text));
}

std::size_t GetStringProperty(HWND window, FourCC code, char* dest, std::size_t cap) {
    if (!dest || cap == 0) return 0;
    dest[0] = '\0';
    const char* text = GetStringProperty(window, code);
    if (!text) return 0;
    std::size_t n = Utf8PrefixLength(text, std::strlen(text), cap - 1);
    std::memcpy(dest, text, n);
    dest[n] = '\0';
    return n;
}

void FreeStringProperties(HWND window) {
    if (!window) return;
    FreeChildProperties(window, 0);
    EnumChildWindows(window, FreeChildProperties, 0);  // all descendants
}

void SetValueProperty(HWND window, FourCC code, std::intptr_t value) {
    if (!window) return;
    PropertyName name = NameOf("KWEV", code);
    if (value == 0) {
        RemovePropA(window, name.text);
        return;
    }
    SetPropA(window, name.text, reinterpret_cast<HANDLE>(value));
}

std::intptr_t GetValueProperty(HWND window, FourCC code) {
    if (!window) return 0;
    PropertyName name = NameOf("KWEV", code);
    return reinterpret_cast<std::intptr_t>(GetPropA(window, name.text));
}

}  // namespace glyphoria
