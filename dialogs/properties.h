// Data attached to windows as named window properties. A property name is a
// four-character prefix and a four-character code in reading order: the
// command code 'ccmd' as a value is "KWEVccmd".
//
// "KWES" string properties hold a heap copy of a UTF-8 text and belong to the
// window: replacing one frees the old copy, and FreeStringProperties frees
// those of a whole window tree (dialogs do so when they are destroyed).
// "KWEV" value properties hold one pointer-sized value (a number, procedure
// or object) that the window does not own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialogs/four_cc.h"
#include "platform/win32/windows_api.h"

namespace glyphoria {

// Copies text (null removes the property). False when no copy could be made
// or attached; the old text is then left as it was.
bool SetStringProperty(HWND window, FourCC code, const char* text);
// The window's own copy, or null; valid until the property changes.
const char* GetStringProperty(HWND window, FourCC code);
// Copies the text into dest (cut at cap - 1 bytes on a character boundary)
// and returns its length; "" and 0 when there is none.
std::size_t GetStringProperty(HWND window, FourCC code, char* dest, std::size_t cap);
// Frees and removes the string properties of the description codes on the
// window and on all its descendants.
void FreeStringProperties(HWND window);

// Value 0 removes the property, so a cleared value leaves nothing behind.
void SetValueProperty(HWND window, FourCC code, std::intptr_t value);
std::intptr_t GetValueProperty(HWND window, FourCC code);

}  // namespace glyphoria
