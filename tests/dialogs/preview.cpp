// Shows the transfer window "URLData" and then a message box with a detail,
// each for a few seconds, so they can be looked at or photographed (for
// instance under Xvfb). Optional argument: "de" for the German texts.
#include <cstring>

#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include "support/messages.h"
#include "support/string_table.h"

namespace {
constexpr UINT kShowMs = 8000;

void CALLBACK CloseFront(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (HWND front = GetActiveWindow()) PostMessageW(front, WM_CLOSE, 0, 0);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "de") == 0)
        SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    glyphoria::LoadStrings();
    SetTimer(nullptr, 0, kShowMs, CloseFront);
    glyphoria::RunDescribedDialog(
        "URLData",
        [](HWND dialog, void*) {
            HWND bar = glyphoria::FindControl(dialog, glyphoria::MakeFourCC("prog"));
            SendMessageW(bar, PBM_SETRANGE32, 0, 100);
            SendMessageW(bar, PBM_SETPOS, 40, 0);
        },
        nullptr);
    SetTimer(nullptr, 0, kShowMs, CloseFront);
    glyphoria::SetMessageDetail("%s",
                                "A detail below the main text, after a blank line, long "
                                "enough to wrap onto a second line of the box.");
    glyphoria::AskYesNoCancel("Replace the font \"%s\" in the fonts folder?", "Mirabel Pro");
    return 0;
}
