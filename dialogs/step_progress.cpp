// The step-progress dialog on the description "Progress".
#include "dialogs/step_progress.h"

#include "platform/win32/windows_api.h"
// These need windows.h before them.
#include <commctrl.h>

#include "dialogs/controls.h"
#include "dialogs/dialog_runtime.h"
#include "dialogs/four_cc.h"
#include "support/text_convert.h"

namespace glyphoria {

namespace {

constexpr FourCC kProgressBar = MakeFourCC("prog");
constexpr float kTickSeconds = 0.01f;

struct Steps {
    const char* title;
    const char* const* texts;
    int count;
    ProgressStepProc step;
    void* data;
    HWND bar = nullptr;
    int position = 0;
    bool in_step = false;
};

void Tick(HWND dialog, void* data) {
    auto* steps = static_cast<Steps*>(data);
    if (steps->in_step) return;
    if (steps->position >= steps->count) {
        EndDescribedDialog(dialog, 1);
        return;
    }
    const int current = steps->position++;
    if (steps->bar) SendMessageW(steps->bar, PBM_SETPOS, static_cast<WPARAM>(steps->position), 0);
    steps->in_step = true;
    const int go_on = steps->step ? steps->step(dialog, steps->texts[current], steps->data) : 1;
    steps->in_step = false;
    if (go_on != 1) EndDescribedDialog(dialog, 0);
}

void Start(HWND dialog, void* data) {
    auto* steps = static_cast<Steps*>(data);
    SetItemText(dialog, IDCANCEL, "cancel");
    steps->bar = FindControl(dialog, kProgressBar);
    if (steps->title) {
        WideText title = WideText::FromKey(steps->title);
        SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(title.get()));
    }
    SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                      GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (steps->bar) SendMessageW(steps->bar, PBM_SETRANGE32, 0, steps->count);
    StartDialogTimer(dialog, Tick, kTickSeconds);
}

}  // namespace

int RunStepProgressOn(const char* description, const char* title, const char* const* texts,
                      int count, ProgressStepProc step, void* data) {
    if (count <= 0) return 1;
    if (!texts) return 0;
    Steps steps{title, texts, count, step, data};
    return RunDescribedDialog(description, Start, &steps);
}

int RunStepProgress(const char* title, const char* const* texts, int count, ProgressStepProc step,
                    void* data) {
    return RunStepProgressOn("Progress", title, texts, count, step, data);
}

}  // namespace glyphoria
