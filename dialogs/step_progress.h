// The step-progress dialog: works through a list of texts, one per timer
// tick (every 10 ms), under a progress bar with a cancel button, built from
// the window description "Progress".
//
// Each tick advances the bar and calls the step procedure with the next
// text; once all texts are done the dialog ends with 1. A step that returns
// anything but 1 ends it with 0; cancel or closing ends it with 2. A count of
// 0 or less returns 1 at once. The position is the dialog's own count, not
// read back from the bar, so the list is worked through exactly once even
// without a bar; ticks that arrive while a step is still running (a step
// that shows a box pumps messages) are skipped.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria {

// Returns 1 to go on.
using ProgressStepProc = int (*)(HWND dialog, const char* text, void* data);

// The title is a string-table key (or the text itself).
int RunStepProgress(const char* title, const char* const* texts, int count, ProgressStepProc step,
                    void* data);
// The same on another description (tests).
int RunStepProgressOn(const char* description, const char* title, const char* const* texts,
                      int count, ProgressStepProc step, void* data);

}  // namespace glyphoria
