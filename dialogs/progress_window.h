// The platform's progress window (platform/progress.h) in the toolkit's
// form: the described dialog "URLData", run modally (the owner disabled, the
// focus restored after), its caption the title, control 3 the bar, control 2
// the cancel button, and the dialog's own timer driving the ticks. Any end
// other than a procedure's End(kProgressDone) is a failure, a quit message
// included (the quit is posted again for the caller's loop).
#pragma once

#include "platform/progress.h"

namespace glyphoria {

const platform::ProgressForm& UrlDataProgressForm();

}  // namespace glyphoria
