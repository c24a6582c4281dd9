// Building windows from window descriptions.
//
// Divisions: lookup, creating the planned controls, building a window. What
// a description means is read by dialogs/description_plan.h; this file only
// asks the system for the windows.
#include "dialogs/description.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/controls.h"
#include "dialogs/description_plan.h"
#include "dialogs/focus.h"
#include "dialogs/four_cc.h"
#include "dialogs/properties.h"
#include "dialogs/toolkit.h"
#include "platform/resources.h"
#include "support/string_table.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

// --- Lookup ---------------------------------------------------------------

const char* TextOf(const platform::ResourceBytes& found) {
    const char* text = reinterpret_cast<const char*>(found.data);
    if (found.size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) text += 3;
    return text;
}

// --- Creating the planned controls -------------------------------------------

void AddTabs(HWND tabs, const std::vector<std::string>& labels) {
    for (std::size_t i = 0; i < labels.size(); ++i) {
        std::wstring wide = Widen(labels[i].c_str());
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = wide.data();
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
}

void AttachProperties(HWND control, const PlannedControl& c) {
    SetValueProperty(control, kPropCommand, static_cast<std::intptr_t>(c.command));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitFont()), FALSE);
    for (const auto& [code, value] : c.properties)
        SetStringProperty(control, code, value.c_str());
}

HWND CreatePlanned(const PlannedControl& c, HWND parent) {
    WideText text;
    if (!c.text_key.empty()) text = WideText::FromKey(c.text_key.c_str());
    const std::wstring window_class = Widen(c.window_class);
    const PlanRect& r = c.geometry;
    HWND control = CreateWindowExW(c.ex_style, window_class.c_str(),
                                   text.get() ? reinterpret_cast<const wchar_t*>(text.get()) : L"",
                                   c.style, r.x, r.y, r.w, r.h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                   ToolkitInstance(), nullptr);
    if (!control) return nullptr;
    if (c.type == kTypePopup) {
        for (const std::string& item : c.menu_items)
            AddPopupItem(control, item.c_str());
        SelectPopupItem(control, Widen(c.text_key.c_str()).c_str());
        SendMessageW(control, CB_SETEXTENDEDUI, TRUE, 0);
    } else if (c.type == kTypeTabs) {
        AddTabs(control, c.tab_labels);
    }
    if (c.keyboard) SubclassForKeyboard(control);
    AttachProperties(control, c);
    return control;
}

}  // namespace

const char* FindWindowDescription(const char* name) {
    if (!name || !*name) return nullptr;
    platform::ResourceBytes found;
    if (platform::FindModuleResource(name, "XML", &found)) return TextOf(found);
    const char* suffix = LanguageSuffix(LanguageCode());
    if (*suffix) {
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
    const WindowPlan plan = PlanWindow(text);

    RECT frame = {0, 0, plan.rect.w, plan.rect.h};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, plan.rect.x, plan.rect.y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    if (!plan.name.empty()) {
        WideText title = WideText::FromKey(plan.name.c_str());
        SetWindowTextW(window, reinterpret_cast<const wchar_t*>(title.get()));
    }

    HWND root = CreateWindowExW(0, kUserPaneClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                window, nullptr, ToolkitInstance(), nullptr);
    // A control the system refuses is left out; a container it refuses has
    // no place for what follows, so the rest of the description is dropped.
    std::vector<HWND> made(plan.controls.size(), nullptr);
    for (std::size_t i = 0; root && i < plan.controls.size(); ++i) {
        const PlannedControl& c = plan.controls[i];
        const HWND parent = c.parent == kParentWindow ? window
                            : c.parent == kParentRootPane
                                ? root
                                : made[static_cast<std::size_t>(c.parent)];
        made[i] = CreatePlanned(c, parent);
        if (c.container && !made[i]) break;
    }
    return true;
}

bool BuildDescribedWindow(HWND window, const char* name) {
    const char* text = FindWindowDescription(name);
    if (!text) return false;
    return BuildWindowFromText(window, text);
}

}  // namespace glyphoria
