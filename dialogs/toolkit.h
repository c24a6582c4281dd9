// The dialog toolkit's process-wide pieces: the module whose resources and
// window classes it uses, the host's main window, its own window classes and
// fonts, the centring rule and the notification code of the last command.
//
// Everything runs on the user-interface thread; nothing here is locked.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

// The module that holds this code (the plug-in, or a test program that links
// the toolkit statically): its resources hold the templates and descriptions,
// and the toolkit's classes are registered for it.
HINSTANCE ToolkitInstance();

// The host's main window (support/host_window.h), or null.
HWND HostMainWindow();

// Registers "Separator", "UserPane", "RadioGroup", "FontMenu" and "MyDialog"
// and creates the two fonts. Only the first call does anything; every
// dialog operation of the toolkit calls it before building a window.
void RegisterToolkitClasses();

// "MS Shell Dlg", height 12, weight 400 (normal) or 700 (bold); made by
// RegisterToolkitClasses and kept until the module goes.
HFONT ToolkitFont();
HFONT ToolkitBoldFont();

// Window class names of the toolkit.
constexpr wchar_t kSeparatorClass[] = L"Separator";
constexpr wchar_t kUserPaneClass[] = L"UserPane";
constexpr wchar_t kRadioGroupClass[] = L"RadioGroup";
constexpr wchar_t kFontMenuClass[] = L"FontMenu";
constexpr wchar_t kMyDialogClass[] = L"MyDialog";

// "RadioGroup": the 1-based position of the first checked child (0: none);
// check the child at the 1-based position in wParam and uncheck the rest.
constexpr UINT kRadioGroupGetChecked = WM_USER;      // 1024
constexpr UINT kRadioGroupSetChecked = WM_USER + 1;  // 1025
// "FontMenu": set owner window (wParam) and menu (lParam); get the menu; get
// the last chosen command.
constexpr UINT kFontMenuSetMenu = WM_USER + 3;   // 1027
constexpr UINT kFontMenuGetMenu = WM_USER + 4;   // 1028
constexpr UINT kFontMenuGetValue = WM_USER + 5;  // 1029

// Tab control notification of a changed selection (TCN_SELCHANGE).
constexpr int kTabSelectionChanged = -551;

// Moves the window (size and z-order kept) to the middle of the screen
// horizontally and a quarter of the free height down, where a dialog sits
// above the eye line.
void CentreWindow(HWND window);

// The notification code (high word of wParam) of the last command message
// any toolkit dialog received.
int LastNotificationCode();
void RememberNotificationCode(WPARAM command);

// The top-level window that a control belongs to.
HWND TopLevelOf(HWND window);

// The window procedure of the "MyDialog" class (class-based dialogs).
LRESULT CALLBACK MyDialogWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace glyphoria
