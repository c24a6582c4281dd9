// The toolkit's own window classes and fonts.
//
// Divisions: Separator, UserPane, RadioGroup, FontMenu, registration.
#include "dialogs/toolkit.h"
// These need windows.h before them.
#include <commctrl.h>

#include <cstdint>

namespace glyphoria {

namespace {

HFONT g_normal_font = nullptr;
HFONT g_bold_font = nullptr;

// The classes that draw themselves draw the same picture for WM_PAINT and
// for WM_PRINTCLIENT, so a picture of a dialog (PrintWindow) shows them too.
template <void (*Paint)(HWND, HDC)>
bool PaintMessage(HWND window, UINT message, WPARAM wparam) {
    if (message == WM_PRINTCLIENT) {
        Paint(window, reinterpret_cast<HDC>(wparam));
        return true;
    }
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    Paint(window, dc);
    EndPaint(window, &paint);
    return true;
}

// --- Separator: a one-pixel grey line along the longer side ---------------

void PaintSeparator(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 0, 0, nullptr);
    if (client.right > client.bottom)
        LineTo(dc, client.right, 0);
    else
        LineTo(dc, 0, client.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

LRESULT CALLBACK SeparatorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (PaintMessage<PaintSeparator>(window, message, wparam)) return 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

// --- UserPane: a container that passes its children's news upwards --------

LRESULT CALLBACK UserPaneProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_DRAWITEM:
        case WM_COMMAND: {
            HWND top = TopLevelOf(window);
            if (top != window) return SendMessageW(top, message, wparam, lparam);
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            HWND top = TopLevelOf(window);
            if (header && header->code == static_cast<UINT>(kTabSelectionChanged) && top != window)
                return SendMessageW(top, message, wparam, lparam);
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// --- RadioGroup: one checked radio button among its children --------------

int CheckedPosition(HWND group) {
    int position = 1;
    for (HWND child = GetWindow(group, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT), ++position) {
        if (SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) return position;
    }
    return 0;
}

void CheckOnly(HWND group, HWND chosen) {
    for (HWND child = GetWindow(group, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, BM_SETCHECK, child == chosen ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND ChildAt(HWND group, int position) {
    if (position < 1) return nullptr;
    HWND child = GetWindow(group, GW_CHILD);
    for (int i = 1; child && i < position; ++i)
        child = GetWindow(child, GW_HWNDNEXT);
    return child;
}

LRESULT CALLBACK RadioGroupProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            HWND child = reinterpret_cast<HWND>(lparam);
            if (!child || GetParent(child) != window) break;
            CheckOnly(window, child);
            HWND top = TopLevelOf(window);
            if (top != window) {
                const int id = GetDlgCtrlID(window);
                SendMessageW(top, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(window));
            }
            return 0;
        }
        case kRadioGroupGetChecked:
            return CheckedPosition(window);
        case kRadioGroupSetChecked:
            // Position 0 (or one past the children) unchecks them all.
            CheckOnly(window, ChildAt(window, static_cast<int>(wparam)));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// --- FontMenu: a button that opens a pop-up menu --------------------------

// Window extra slots.
constexpr int kSlotOwner = 0;
constexpr int kSlotMenu = 1;
constexpr int kSlotValue = 2;
constexpr int kSlotFont = 3;
constexpr int kFontMenuSlots = 4;

LONG_PTR Slot(HWND window, int slot) {
    return GetWindowLongPtrW(window, slot * static_cast<int>(sizeof(LONG_PTR)));
}

void SetSlot(HWND window, int slot, LONG_PTR value) {
    SetWindowLongPtrW(window, slot * static_cast<int>(sizeof(LONG_PTR)), value);
}

void PaintFontMenu(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);

    wchar_t text[256] = L"";
    const int length = GetWindowTextW(window, text, 256);
    HGDIOBJ old_font = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(Slot(window, kSlotFont)))
        old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 2, 1, text, length);
    if (old_font) SelectObject(dc, old_font);

    const POINT triangle[3] = {{client.right - 10, client.top + 5},
                               {client.right - 10, client.top + 11},
                               {client.right - 7, client.top + 8}};
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, triangle, 3);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
}

void OpenFontMenu(HWND window) {
    HMENU menu = reinterpret_cast<HMENU>(Slot(window, kSlotMenu));
    if (!menu || !IsWindowEnabled(window)) return;
    RECT client;
    GetClientRect(window, &client);
    POINT corner = {client.right, client.top};
    ClientToScreen(window, &corner);
    HWND owner = reinterpret_cast<HWND>(Slot(window, kSlotOwner));
    const int chosen =
        static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                        corner.x, corner.y, 0, owner ? owner : window, nullptr));
    if (chosen <= 0) return;
    SetSlot(window, kSlotValue, chosen);
    HWND top = TopLevelOf(window);
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), 0),
                 reinterpret_cast<LPARAM>(window));
}

LRESULT CALLBACK FontMenuProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (PaintMessage<PaintFontMenu>(window, message, wparam)) return 0;
    switch (message) {
        case WM_SETFONT:
            SetSlot(window, kSlotFont, static_cast<LONG_PTR>(wparam));
            if (LOWORD(lparam)) InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return Slot(window, kSlotFont);
        case WM_LBUTTONDOWN:
            OpenFontMenu(window);
            return 0;
        case kFontMenuSetMenu:
            SetSlot(window, kSlotOwner, static_cast<LONG_PTR>(wparam));
            SetSlot(window, kSlotMenu, lparam);
            return 0;
        case kFontMenuGetMenu:
            return Slot(window, kSlotMenu);
        case kFontMenuGetValue:
            return Slot(window, kSlotValue);
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// --- Registration ---------------------------------------------------------

bool Register(const wchar_t* name, WNDPROC proc, int extra_slots, HBRUSH background) {
    WNDCLASSEXW type = {};
    type.cbSize = sizeof type;
    type.style = CS_HREDRAW | CS_VREDRAW;
    type.lpfnWndProc = proc;
    type.cbWndExtra = extra_slots * static_cast<int>(sizeof(LONG_PTR));
    type.hInstance = ToolkitInstance();
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.hbrBackground = background;
    type.lpszClassName = name;
    return RegisterClassExW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HFONT MakeFont(int weight) {
    return CreateFontW(12, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
}

}  // namespace

void RegisterToolkitClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    // The system's progress bar and tab control live in the common controls.
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&common);
    Register(kSeparatorClass, SeparatorProc, 0, nullptr);
    Register(kUserPaneClass, UserPaneProc, 0, nullptr);
    Register(kRadioGroupClass, RadioGroupProc, 0, nullptr);
    Register(kFontMenuClass, FontMenuProc, kFontMenuSlots, nullptr);
    // Class-based dialogs without a template paint like dialogs do.
    Register(kMyDialogClass, MyDialogWindowProc, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    g_normal_font = MakeFont(FW_NORMAL);
    g_bold_font = MakeFont(FW_BOLD);
}

HFONT ToolkitFont() {
    return g_normal_font;
}

HFONT ToolkitBoldFont() {
    return g_bold_font;
}

}  // namespace glyphoria
