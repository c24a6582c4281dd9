// Windows has no progress window below the dialog toolkit: a program that
// never set the toolkit's form gets a failed transfer, not one that runs
// unseen and cannot be cancelled.
#include <gtest/gtest.h>

#include "dialogs/forms.h"
#include "platform/progress.h"

namespace {

namespace platform = glyphoria::platform;

TEST(Win32Progress, WithoutTheToolkitsFormATransferFailsAtOnce) {
    platform::SetProgressForm(nullptr);
    bool started = false;
    int result = platform::RunProgress([&](platform::ProgressWindow&) { started = true; },
                                       [](platform::ProgressWindow& w) { w.End(1); });
    platform::CancelProgress();       // nothing to cancel, and no crash
    glyphoria::InstallDialogForms();  // as the test main left it
    EXPECT_EQ(platform::kProgressFailed, result);
    EXPECT_FALSE(started);
}

}  // namespace
