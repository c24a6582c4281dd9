// Shows the transfer window "URLData" and then a message box with a detail,
// so they can be looked at or photographed (for instance under Xvfb).
//
//   dialogs_preview [--ready DIR] [de]
//
// Without --ready each window shows for a few seconds. With it, once a
// window is up and painted the program writes DIR/<name>.ready ("urldata",
// "message-box") and keeps the window until DIR/<name>.done exists, so a
// photographer waits for the window itself instead of for a time. "de":
// the German texts.
#include <cstdio>
#include <cstring>
#include <string>

#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "dialogs/forms.h"
#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include "support/messages.h"
#include "support/string_table.h"

namespace {

constexpr UINT kShowMs = 8000;
constexpr UINT kPollMs = 50;
constexpr DWORD kGiveUpMs = 120000;

std::string g_ready_dir;
const char* g_name = "";
DWORD g_started = 0;
bool g_announced = false;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
}

void CloseFront() {
    if (HWND front = GetActiveWindow()) PostMessageW(front, WM_CLOSE, 0, 0);
}

void CALLBACK CloseAfterShowing(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CloseFront();
}

// Announces the front window once it is visible and painted, then waits for
// the photographer's word (or gives up after a while).
void CALLBACK Handshake(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND front = GetActiveWindow();
    if (!g_announced) {
        if (!front || !IsWindowVisible(front)) return;
        RedrawWindow(front, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        Touch(g_ready_dir + "\\" + g_name + ".ready");
        g_announced = true;
        return;
    }
    if (Exists(g_ready_dir + "\\" + g_name + ".done") || GetTickCount() - g_started > kGiveUpMs) {
        KillTimer(nullptr, timer);
        CloseFront();
    }
}

void WatchNext(const char* name) {
    g_name = name;
    g_announced = false;
    g_started = GetTickCount();
    if (g_ready_dir.empty())
        SetTimer(nullptr, 0, kShowMs, CloseAfterShowing);
    else
        SetTimer(nullptr, 0, kPollMs, Handshake);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ready") == 0 && i + 1 < argc) {
            g_ready_dir = argv[++i];
        } else if (std::strcmp(argv[i], "de") == 0) {
            SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
        }
    }
    glyphoria::InstallDialogForms();
    glyphoria::LoadStrings();
    WatchNext("urldata");
    glyphoria::RunDescribedDialog(
        "URLData",
        [](HWND dialog, void*) {
            HWND bar = glyphoria::FindControl(dialog, glyphoria::MakeFourCC("prog"));
            SendMessageW(bar, PBM_SETRANGE32, 0, 100);
            SendMessageW(bar, PBM_SETPOS, 40, 0);
        },
        nullptr);
    WatchNext("message-box");
    glyphoria::SetMessageDetail("%s",
                                "A detail below the main text, after a blank line, long "
                                "enough to wrap onto a second line of the box.");
    glyphoria::AskYesNoCancel("Replace the font \"%s\" in the fonts folder?", "Mirabel Pro");
    return 0;
}
