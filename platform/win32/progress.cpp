// Windows has no progress window below the dialog toolkit: without the
// toolkit's form (dialogs/forms.h) a transfer fails at once instead of
// running unseen and impossible to cancel.
#include "platform/progress.h"

namespace glyphoria::platform {

namespace {

int RunWithoutWindow(const ProgressProc&, const ProgressProc&) {
    return kProgressFailed;
}

void NothingToCancel() {}

const ProgressForm kNoForm = {&RunWithoutWindow, &NothingToCancel};

}  // namespace

const ProgressForm& PlatformProgressForm() {
    return kNoForm;
}

}  // namespace glyphoria::platform
