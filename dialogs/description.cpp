// Building windows from window descriptions.
//
// Divisions: lookup, reading a control block, creating controls by type,
// building a window.
#include "dialogs/description.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "dialogs/controls.h"
#include "dialogs/focus.h"
#include "dialogs/four_cc.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "platform/resources.h"
#include "support/limits.h"
#include "support/string_table.h"
#include "support/text_convert.h"
#include "support/xml_reader.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

// The container new controls go into while a description is being built:
// module-wide, as only one window is ever built at a time.
HWND g_container = nullptr;
// The window being built; "####" never leaves it.
HWND g_building = nullptr;

// --- Lookup ---------------------------------------------------------------

const char* LanguageSuffix(int code) {
    switch (code) {
        case 3:
            return "_D";
        case 1:
            return "_F";
        case 5:
            return "_N";
        default:
            return nullptr;
    }
}

const char* TextOf(const platform::ResourceBytes& found) {
    const char* text = reinterpret_cast<const char*>(found.data);
    if (found.size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) text += 3;
    return text;
}

// --- Reading a control block ------------------------------------------------

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// "x y w h"; numbers that cannot be read are 0.
Rect ReadRect(const char* block) {
    Rect rect;
    char text[kValueBufferSize];
    if (GetElementText(block, "rect", text, sizeof text) > 0)
        std::sscanf(text, "%d %d %d %d", &rect.x, &rect.y, &rect.w, &rect.h);
    return rect;
}

// The description's type name as the toolkit's code: "rgrp" is 'radg',
// "etxt" and "eutx" are 'eutx'.
FourCC ReadType(const char* block) {
    char text[kValueBufferSize];
    if (GetElementText(block, "type", text, sizeof text) <= 0) return 0;
    FourCC type = FourCCFromText(text);
    if (std::strlen(text) != 4) return 0;
    if (type == MakeFourCC("rgrp")) return kTypeRadioGroup;
    if (type == MakeFourCC("etxt")) return kTypeEdit;
    return type;
}

struct Block {
    const char* xml;
    FourCC type;
    int id;
    Rect rect;
    char text[kValueBufferSize];
};

// Each "<menu>" item of the block, with exact letter case, in order; empty
// ones are skipped. Items are cut at 255 bytes like every element text.
void AddMenuItems(HWND popup, const char* block) {
    static const char kOpen[] = "<menu>";
    static const char kClose[] = "</menu>";
    const char* pos = block;
    while ((pos = std::strstr(pos, kOpen)) != nullptr) {
        const char* start = pos + sizeof kOpen - 1;
        const char* end = std::strstr(start, kClose);
        if (!end) return;
        std::size_t n =
            Utf8PrefixLength(start, static_cast<std::size_t>(end - start), kValueMaxLength);
        if (n > 0) {
            std::string item(start, n);
            AddPopupItem(popup, item.c_str());
        }
        pos = end + sizeof kClose - 1;
    }
}

// "text1", "text2", ... until the first missing or empty one.
void AddTabs(HWND tabs, const char* block) {
    for (int i = 1;; ++i) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "text%d", i);
        char label[kValueBufferSize];
        if (GetElementText(block, tag, label, sizeof label) <= 0) return;
        std::wstring wide = Widen(label);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = wide.data();
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i - 1),
                     reinterpret_cast<LPARAM>(&item));
    }
}

// --- Creating controls by type -----------------------------------------------

struct Shape {
    const wchar_t* window_class = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    Rect rect;
    bool keyboard = false;
    bool container = false;
    bool empty_text = false;
};

DWORD Justification(const char* block) {
    char just[kValueBufferSize];
    GetElementText(block, "just", just, sizeof just);
    if (std::strcmp(just, "center") == 0) return 1;
    if (std::strcmp(just, "right") == 0) return 2;
    return 0;
}

// Edit field style: tab stop and automatic horizontal scroll, or a password
// field; multi-line fields also want Return.
Shape EditShape(const Block& block, bool* multi_line) {
    Shape shape;
    shape.window_class = L"Edit";
    shape.style = GetElementInt(block.xml, "pass", 0) == 1 ? 0x500100A0 : 0x50010080;
    *multi_line = GetElementInt(block.xml, "multi", 0) == 1;
    if (*multi_line) shape.style |= 0x1004;
    shape.style |= Justification(block.xml);
    shape.rect = block.rect;
    if (!*multi_line) shape.rect.h = 19;
    return shape;
}

bool ShapeOf(const Block& block, Shape* out) {
    Shape shape;
    shape.rect = block.rect;
    Rect& r = shape.rect;
    switch (block.type) {
        case kTypePush:
            shape.window_class = L"Button";
            shape.style = block.id == 1 ? 0x50000001 : 0x50000000;
            r.y -= 3, r.h = 24;
            shape.keyboard = true;
            break;
        case kTypeCheckBox:
            shape.window_class = L"Button";
            shape.style = 0x50000003;
            r.y -= 3, r.h = 24;
            shape.keyboard = true;
            break;
        case kTypeRadio:
            shape.window_class = L"Button";
            shape.style = 0x50000009;
            r.y -= 3, r.h = 24;
            shape.keyboard = true;
            break;
        case kTypeCombo:
            shape.window_class = L"ComboBox";
            shape.style = 0x50210002;
            r.x += 3, r.w -= 5, r.h = 100;
            break;
        case kTypePopup:
            shape.window_class = L"ComboBox";
            shape.style = 0x50210003;
            r.x += 3, r.y -= 2, r.w -= 5, r.h = 200;
            break;
        case kTypeEdit: {
            bool multi_line = false;
            shape = EditShape(block, &multi_line);
            shape.rect.y -= 3;
            shape.ex_style = WS_EX_CLIENTEDGE;
            shape.keyboard = true;
            break;
        }
        case kTypeGroup:
            shape.window_class = L"Button";
            shape.style = 0x50000007;
            r.y -= 5;
            shape.keyboard = true;
            shape.container = true;
            break;
        case kTypeList:
            shape.window_class = L"ListBox";
            shape.style = 0x50210151;
            shape.ex_style = WS_EX_CLIENTEDGE;
            shape.keyboard = true;
            break;
        case kTypeProgress:
            shape.window_class = L"msctls_progress32";
            shape.style = 0x50000001;
            break;
        case kTypeRadioGroup:
            shape.window_class = kRadioGroupClass;
            shape.style = 0x50000000;
            r.y -= 3;
            shape.container = true;
            shape.empty_text = true;
            break;
        case kTypeSeparator:
            shape.window_class = kSeparatorClass;
            shape.style = 0x50000000;
            r.y -= 3;
            shape.empty_text = true;
            break;
        case kTypeStatic: {
            char selectable[kValueBufferSize];
            if (GetElementText(block.xml, "sap ", selectable, sizeof selectable) > 0) {
                // Selectable text: a read-only edit field without a frame,
                // at the given y, reached only by the mouse.
                bool multi_line = false;
                shape = EditShape(block, &multi_line);
                shape.style |= ES_READONLY;
                break;
            }
            shape.window_class = L"Static";
            const DWORD just = Justification(block.xml);
            shape.style = just == 1 ? 0x50000001 : just == 2 ? 0x50000002 : 0x5000000C;
            r.h = r.h < 20 ? 16 : 30;
            break;
        }
        case kTypeTabs:
            shape.window_class = L"SysTabControl32";
            shape.style = 0x50000100;
            shape.ex_style = WS_EX_CLIENTEDGE;
            shape.keyboard = true;
            shape.container = true;
            break;
        case kTypeUserPane:
            shape.window_class = kUserPaneClass;
            shape.style = 0x50000000;
            shape.container = true;
            shape.empty_text = true;
            break;
        default:
            return false;
    }
    *out = shape;
    return true;
}

void AttachProperties(HWND control, const char* block) {
    char cmd[kValueBufferSize];
    GetElementText(block, "cmd", cmd, sizeof cmd);
    SetValueProperty(control, kPropCommand, static_cast<std::intptr_t>(FourCCFromText(cmd)));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitFont()), FALSE);
    for (FourCC code : kStringPropertyCodes) {
        char tag[5];
        FourCCToText(code, tag);
        char value[kValueBufferSize];
        if (GetElementText(block, tag, value, sizeof value) > 0)
            SetStringProperty(control, code, value);
    }
}

// One "control" block: creates the control in the current container and
// moves the building state on.
bool BuildControl(const char* xml, std::size_t, void*) {
    Block block;
    block.xml = xml;
    block.type = ReadType(xml);
    block.id = static_cast<int>(GetElementInt(xml, "id", -1));
    block.rect = ReadRect(xml);
    block.text[0] = '\0';
    if (block.type == kTypeEndContainer) {
        if (g_container && g_container != g_building) g_container = GetParent(g_container);
        return true;
    }
    Shape shape;
    if (!ShapeOf(block, &shape)) return true;  // unknown type: nothing changes

    HWND control = nullptr;
    if (g_container) {
        WideText text;
        if (!shape.empty_text && GetElementText(xml, "text", block.text, sizeof block.text) > 0)
            text = WideText::FromKey(block.text);
        const Rect& r = shape.rect;
        control = CreateWindowExW(shape.ex_style, shape.window_class,
                                  text.get() ? reinterpret_cast<const wchar_t*>(text.get()) : L"",
                                  shape.style, r.x, r.y, r.w, r.h, g_container,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(block.id)),
                                  ToolkitInstance(), nullptr);
    }
    if (shape.container) g_container = control;  // a failed container stops the rest
    if (!control) return true;

    if (block.type == kTypePopup) {
        AddMenuItems(control, xml);
        SelectPopupItem(control, Widen(block.text).c_str());
        SendMessageW(control, CB_SETEXTENDEDUI, TRUE, 0);
    } else if (block.type == kTypeTabs) {
        AddTabs(control, xml);
    }
    if (shape.keyboard) SubclassForKeyboard(control);
    AttachProperties(control, xml);
    return true;
}

}  // namespace

const char* FindWindowDescription(const char* name) {
    if (!name || !*name) return nullptr;
    platform::ResourceBytes found;
    if (platform::FindModuleResource(name, "XML", &found)) return TextOf(found);
    if (const char* suffix = LanguageSuffix(LanguageCode())) {
        std::string localized = std::string(name) + suffix;
        if (platform::FindModuleResource(localized.c_str(), "XML", &found)) return TextOf(found);
    }
    std::string english = std::string(name) + "_E";
    if (platform::FindModuleResource(english.c_str(), "XML", &found)) return TextOf(found);
    return nullptr;
}

bool BuildWindowFromText(HWND window, const char* text) {
    if (!window || !text) return false;
    RegisterToolkitClasses();

    Rect rect = ReadRect(text);
    RECT frame = {0, 0, rect.w, rect.h};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, rect.x, rect.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    char name[kValueBufferSize];
    if (GetElementText(text, "name", name, sizeof name) > 0) {
        WideText title = WideText::FromKey(name);
        SetWindowTextW(window, reinterpret_cast<const wchar_t*>(title.get()));
    }

    HWND root = CreateWindowExW(0, kUserPaneClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                window, nullptr, ToolkitInstance(), nullptr);
    g_building = window;
    g_container = root;
    ForEachElement(text, "control", BuildControl, nullptr);
    g_building = nullptr;
    g_container = nullptr;
    return true;
}

bool BuildDescribedWindow(HWND window, const char* name) {
    const char* text = FindWindowDescription(name);
    if (!text) return false;
    return BuildWindowFromText(window, text);
}

}  // namespace glyphoria
