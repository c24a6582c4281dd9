// Controls of toolkit dialogs at run time: their type, finding them, and
// reading and setting their values by type.
//
// Every operation takes the control itself; the "Item" forms take a dialog
// (any window) and a key and look the control up with FindControl first.
// A missing control makes setters do nothing and getters return 0 or "".
#pragma once

#include <cstddef>

#include "dialogs/four_cc.h"
#include "platform/win32/windows_api.h"

namespace glyphoria {

// The type of an existing window from its class name (without regard to
// case) and style: "Static" 'stxt'; "Edit" 'eutx'; "Button" 'cbox' unless the
// two low style bits are both 0 ('push'); "ComboBox" 'popb' when both are 1
// (drop-down list), else 'comb'; "ListBox" 'lbox'; "GroupBox" 'grpb';
// "SysTabControl32" 'tabs'; "Separator" 'sepa'; "UserPane" 'upan';
// "RadioGroup" 'radg'; "msctls_progress32" 'prgb'; anything else 0.
FourCC ControlType(HWND control);

// Depth-first search of the window and all its descendants, the window
// itself first and children in window order: the first whose 'ccmd' code
// equals the key or whose 16-bit identifier equals it. Null when none does.
HWND FindControl(HWND window, FourCC key);

// 'cbox' check state; 'comb'/'popb' selected position + 1 (0 none); 'prgb'
// bar position; 'radg' checked position; 'tabs' selected tab + 1; else 0.
int GetControlValue(HWND control);
void SetControlValue(HWND control, int value);

// UTF-8 text into dest, cut at cap - 1 bytes on a character boundary ("" and
// 0 when there is none): 'lbox' and 'popb' the selected item, others the
// window text. Callers pass 256.
std::size_t GetControlText(HWND control, char* dest, std::size_t cap);
// 'lbox' nothing; 'popb' selects the first item equal to the text, else the
// first item; others the window text, taken as a string-table key.
void SetControlText(HWND control, const char* text);
// printf into 2048 bytes, then SetControlText.
void SetControlTextF(HWND control, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void SetControlNumber(HWND control, int number);
// The text with commas read as decimal points.
double GetControlNumber(HWND control);
int GetControlInt(HWND control);

// Focus; an edit field gets its whole text selected.
void FocusControl(HWND control);
// Focus and select characters [first, last) of an edit field.
void SelectControlRange(HWND control, int first, int last);
void ShowControl(HWND control, bool show);
void EnableControl(HWND control, bool enable);
// Appends a UTF-8 item to a combo box; the new item count (0 on failure).
int AddPopupItem(HWND control, const char* text);
// Selects the first item whose text is exactly the given one, else the first
// item.
void SelectPopupItem(HWND control, const wchar_t* text);

// The first control of the window's tree whose 'empt' marks it required (the
// value 1, or the description's text "1") and whose text is empty.
HWND FindEmptyRequiredField(HWND window);

// The same operations by key.
int GetItemValue(HWND dialog, FourCC key);
void SetItemValue(HWND dialog, FourCC key, int value);
std::size_t GetItemText(HWND dialog, FourCC key, char* dest, std::size_t cap);
void SetItemText(HWND dialog, FourCC key, const char* text);
void SetItemTextF(HWND dialog, FourCC key, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
void SetItemNumber(HWND dialog, FourCC key, int number);
double GetItemNumber(HWND dialog, FourCC key);
int GetItemInt(HWND dialog, FourCC key);
void FocusItem(HWND dialog, FourCC key);
void SelectItemRange(HWND dialog, FourCC key, int first, int last);
void ShowItem(HWND dialog, FourCC key, bool show);
void EnableItem(HWND dialog, FourCC key, bool enable);
int AddItemPopupItem(HWND dialog, FourCC key, const char* text);

}  // namespace glyphoria
