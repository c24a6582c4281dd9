// The "MsgBox" dialog.
#include "dialogs/message_box.h"

#include <string>

#include "dialogs/toolkit.h"
#include "platform/win32/windows_api.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

using platform::win32::Widen;

constexpr int kTextId = 10;
constexpr int kButtonIds[3] = {1, 2, 3};
// Closing the box without a button.
constexpr int kClosed = 2;

struct Box {
    std::wstring text;
    const platform::MessageBoxContent* content;
};

// The height the text needs in the control's width, in the control's font.
int NeededHeight(HWND control, const std::wstring& text) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    if (!dc) return client.bottom;
    HGDIOBJ old = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)))
        old = SelectObject(dc, font);
    RECT needed = {0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.bottom - needed.top;
}

// Grows the child by dy (height) or moves it down by dy.
void Adjust(HWND dialog, HWND child, int dy, bool grow) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    if (grow)
        SetWindowPos(child, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(child, nullptr, rect.left, rect.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Initialise(HWND dialog, const Box& box) {
    SetWindowTextW(dialog, L"Glyphoria");
    HWND text = GetDlgItem(dialog, kTextId);
    SetWindowTextW(text, box.text.c_str());

    RECT control;
    GetClientRect(text, &control);
    const int growth = NeededHeight(text, box.text) - control.bottom;
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + growth,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreWindow(dialog);
    Adjust(dialog, text, growth, true);

    for (int i = 0; i < 3; ++i) {
        HWND button = GetDlgItem(dialog, kButtonIds[i]);
        if (!button) continue;
        const std::string& key = box.content->button_keys[i];
        if (key.empty()) {
            ShowWindow(button, SW_HIDE);
            continue;
        }
        const std::string& caption = box.content->buttons[i];
        if (!caption.empty()) {
            SetWindowTextW(button, Widen(caption.c_str()).c_str());
        } else {
            WideText localized = WideText::FromKey(key.c_str());
            SetWindowTextW(button, reinterpret_cast<const wchar_t*>(localized.get()));
        }
        // Every button stays below the text, the third as well.
        Adjust(dialog, button, growth, false);
        ShowWindow(button, SW_SHOW);
    }
}

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            Initialise(dialog, *reinterpret_cast<const Box*>(lparam));
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (id == 1 || id == 2 || id == 3) EndDialog(dialog, id);
            return TRUE;
        }
        case WM_CLOSE:
            EndDialog(dialog, kClosed);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int ShowMessageBox(const platform::MessageBoxContent& content) {
    Box box;
    box.content = &content;
    box.text = Widen(content.text.c_str());
    if (!content.detail.empty()) box.text += L"\r\r" + Widen(content.detail.c_str());

    MessageBeep(MB_OK);
    HWND focus = GetFocus();
    HWND host = HostMainWindow();
    const bool host_was_enabled = host && IsWindowEnabled(host);
    if (host) EnableWindow(host, FALSE);

    INT_PTR result = DialogBoxParamW(ToolkitInstance(), L"MsgBox", GetActiveWindow(),
                                     MessageBoxProc, reinterpret_cast<LPARAM>(&box));

    if (host && IsWindow(host)) EnableWindow(host, host_was_enabled ? TRUE : FALSE);
    if (focus && IsWindow(focus)) SetFocus(focus);
    // A box that could not be shown answers as a closed one: never "yes".
    if (result == -1 || result == 0) return kClosed;
    return static_cast<int>(static_cast<unsigned short>(result));
}

}  // namespace glyphoria
