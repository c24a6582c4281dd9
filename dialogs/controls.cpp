// Run-time types and the control operations by type.
//
// Divisions: typing, finding, values, texts, numbers, focus and state, the
// key forms.
#include "dialogs/controls.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "support/limits.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// Room for one formatted control text.
constexpr std::size_t kFormatBufferSize = 2048;

bool ClassIs(const wchar_t* name, const wchar_t* wanted) {
    return lstrcmpiW(name, wanted) == 0;
}

// UTF-8 of a wide text into dest, cut on a character boundary.
std::size_t CopyOut(const std::wstring& wide, char* dest, std::size_t cap) {
    std::string utf8 = Narrow(wide.c_str());
    std::size_t n = Utf8PrefixLength(utf8.data(), utf8.size(), cap - 1);
    std::memcpy(dest, utf8.data(), n);
    dest[n] = '\0';
    return n;
}

// The text of an item of a list or combo box; asks for the length first, so
// no item text can overrun the buffer.
std::wstring ItemText(HWND control, UINT length_message, UINT text_message, LRESULT index) {
    LRESULT length = SendMessageW(control, length_message, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::wstring();
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(control, text_message, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.data()));
    if (copied < 0) return std::wstring();
    text[std::min<std::size_t>(static_cast<std::size_t>(copied), length)] = L'\0';
    return text.data();
}

std::wstring WindowText(HWND control) {
    int length = GetWindowTextLengthW(control);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    return text.data();
}

}  // namespace

// --- Typing ---------------------------------------------------------------

FourCC ControlType(HWND control) {
    wchar_t name[64] = L"";
    if (!control || !GetClassNameW(control, name, 64)) return 0;
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    const bool low_bits_clear = (style & 3) == 0;
    const bool low_bits_set = (style & 3) == 3;
    if (ClassIs(name, L"Static")) return kTypeStatic;
    if (ClassIs(name, L"Edit")) return kTypeEdit;
    if (ClassIs(name, L"Button")) return low_bits_clear ? kTypePush : kTypeCheckBox;
    if (ClassIs(name, L"ComboBox")) return low_bits_set ? kTypePopup : kTypeCombo;
    if (ClassIs(name, L"ListBox")) return kTypeList;
    if (ClassIs(name, L"GroupBox")) return kTypeGroup;
    if (ClassIs(name, L"SysTabControl32")) return kTypeTabs;
    if (ClassIs(name, kSeparatorClass)) return kTypeSeparator;
    if (ClassIs(name, kUserPaneClass)) return kTypeUserPane;
    if (ClassIs(name, kRadioGroupClass)) return kTypeRadioGroup;
    if (ClassIs(name, L"msctls_progress32")) return kTypeProgress;
    return 0;
}

// --- Finding --------------------------------------------------------------

HWND FindControl(HWND window, FourCC key) {
    if (!window) return nullptr;
    if (static_cast<FourCC>(GetValueProperty(window, kPropCommand)) == key) return window;
    const auto id = static_cast<std::uint16_t>(GetWindowLongPtrW(window, GWLP_ID));
    if (id == key) return window;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND found = FindControl(child, key)) return found;
    }
    return nullptr;
}

// --- Values ---------------------------------------------------------------

int GetControlValue(HWND control) {
    switch (ControlType(control)) {
        case kTypeCheckBox:
            return static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
        case kTypeCombo:
        case kTypePopup: {
            LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
            return selected < 0 ? 0 : static_cast<int>(selected) + 1;
        }
        case kTypeProgress:
            return static_cast<int>(SendMessageW(control, PBM_GETPOS, 0, 0));
        case kTypeRadioGroup:
            return static_cast<int>(SendMessageW(control, kRadioGroupGetChecked, 0, 0));
        case kTypeTabs: {
            LRESULT selected = SendMessageW(control, TCM_GETCURSEL, 0, 0);
            return selected < 0 ? 0 : static_cast<int>(selected) + 1;
        }
        default:
            return 0;
    }
}

void SetControlValue(HWND control, int value) {
    switch (ControlType(control)) {
        case kTypeCheckBox:
            SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
            break;
        case kTypeCombo:
        case kTypePopup:
            SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value - 1), 0);
            break;
        case kTypeProgress:
            SendMessageW(control, PBM_SETPOS, static_cast<WPARAM>(value), 0);
            break;
        case kTypeRadioGroup:
            SendMessageW(control, kRadioGroupSetChecked, static_cast<WPARAM>(value), 0);
            break;
        case kTypeTabs:
            SendMessageW(control, TCM_SETCURSEL, static_cast<WPARAM>(value - 1), 0);
            break;
        default:
            break;
    }
}

// --- Texts ----------------------------------------------------------------

std::size_t GetControlText(HWND control, char* dest, std::size_t cap) {
    if (!dest || cap == 0) return 0;
    dest[0] = '\0';
    if (!control) return 0;
    switch (ControlType(control)) {
        case kTypeList: {
            LRESULT selected = SendMessageW(control, LB_GETCURSEL, 0, 0);
            if (selected < 0) return 0;
            return CopyOut(ItemText(control, LB_GETTEXTLEN, LB_GETTEXT, selected), dest, cap);
        }
        case kTypePopup: {
            LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
            if (selected < 0) return 0;
            return CopyOut(ItemText(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, selected), dest, cap);
        }
        default:
            return CopyOut(WindowText(control), dest, cap);
    }
}

void SelectPopupItem(HWND control, const wchar_t* text) {
    if (!control) return;
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    LRESULT chosen = 0;
    for (LRESULT i = 0; text && i < count; ++i) {
        if (ItemText(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, i) == text) {
            chosen = i;
            break;
        }
    }
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

void SetControlText(HWND control, const char* text) {
    if (!control || !text) return;
    switch (ControlType(control)) {
        case kTypeList:
            return;
        case kTypePopup:
            SelectPopupItem(control, Widen(text).c_str());
            return;
        default: {
            WideText wide = WideText::FromKey(text);
            SetWindowTextW(control, reinterpret_cast<const wchar_t*>(wide.get()));
            return;
        }
    }
}

namespace {
void SetControlTextV(HWND control, const char* format, std::va_list args) {
    if (!format) return;
    char text[kFormatBufferSize];
    std::vsnprintf(text, sizeof text, format, args);
    SetControlText(control, text);
}
}  // namespace

void SetControlTextF(HWND control, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    SetControlTextV(control, format, args);
    va_end(args);
}

// --- Numbers --------------------------------------------------------------

void SetControlNumber(HWND control, int number) {
    SetControlTextF(control, "%d", number);
}

namespace {
// The text with decimal commas turned into points.
void NumberText(HWND control, char (&text)[kValueBufferSize]) {
    GetControlText(control, text, sizeof text);
    for (char& c : text) {
        if (c == ',') c = '.';
    }
}
}  // namespace

double GetControlNumber(HWND control) {
    char text[kValueBufferSize];
    NumberText(control, text);
    return std::strtod(text, nullptr);
}

int GetControlInt(HWND control) {
    char text[kValueBufferSize];
    NumberText(control, text);
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

// --- Focus and state ------------------------------------------------------

void FocusControl(HWND control) {
    if (!control) return;
    SetFocus(control);
    if (ControlType(control) == kTypeEdit) SendMessageW(control, EM_SETSEL, 0, -1);
}

void SelectControlRange(HWND control, int first, int last) {
    if (!control) return;
    SetFocus(control);
    if (ControlType(control) == kTypeEdit)
        SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

void ShowControl(HWND control, bool show) {
    if (control) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void EnableControl(HWND control, bool enable) {
    if (control) EnableWindow(control, enable ? TRUE : FALSE);
}

int AddPopupItem(HWND control, const char* text) {
    if (!control || !text) return 0;
    if (SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str())) < 0)
        return 0;
    return static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
}

namespace {
bool IsRequired(HWND control) {
    if (GetValueProperty(control, kPropRequired) == 1) return true;
    const char* text = GetStringProperty(control, kPropRequired);
    return text && std::strcmp(text, "1") == 0;
}
}  // namespace

HWND FindEmptyRequiredField(HWND window) {
    if (!window) return nullptr;
    if (IsRequired(window)) {
        char text[kValueBufferSize];
        if (GetControlText(window, text, sizeof text) == 0) return window;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND found = FindEmptyRequiredField(child)) return found;
    }
    return nullptr;
}

// --- The key forms ----------------------------------------------------------

int GetItemValue(HWND dialog, FourCC key) {
    return GetControlValue(FindControl(dialog, key));
}

void SetItemValue(HWND dialog, FourCC key, int value) {
    SetControlValue(FindControl(dialog, key), value);
}

std::size_t GetItemText(HWND dialog, FourCC key, char* dest, std::size_t cap) {
    return GetControlText(FindControl(dialog, key), dest, cap);
}

void SetItemText(HWND dialog, FourCC key, const char* text) {
    SetControlText(FindControl(dialog, key), text);
}

void SetItemTextF(HWND dialog, FourCC key, const char* format, ...) {
    HWND control = FindControl(dialog, key);
    if (!control) return;
    std::va_list args;
    va_start(args, format);
    SetControlTextV(control, format, args);
    va_end(args);
}

void SetItemNumber(HWND dialog, FourCC key, int number) {
    SetControlNumber(FindControl(dialog, key), number);
}

double GetItemNumber(HWND dialog, FourCC key) {
    return GetControlNumber(FindControl(dialog, key));
}

int GetItemInt(HWND dialog, FourCC key) {
    return GetControlInt(FindControl(dialog, key));
}

void FocusItem(HWND dialog, FourCC key) {
    FocusControl(FindControl(dialog, key));
}

void SelectItemRange(HWND dialog, FourCC key, int first, int last) {
    SelectControlRange(FindControl(dialog, key), first, last);
}

void ShowItem(HWND dialog, FourCC key, bool show) {
    ShowControl(FindControl(dialog, key), show);
}

void EnableItem(HWND dialog, FourCC key, bool enable) {
    EnableControl(FindControl(dialog, key), enable);
}

int AddItemPopupItem(HWND dialog, FourCC key, const char* text) {
    return AddPopupItem(FindControl(dialog, key), text);
}

}  // namespace glyphoria
