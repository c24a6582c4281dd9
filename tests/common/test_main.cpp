// Main of every test program: gives the program a private home before any
// test runs and removes it afterwards. On Windows it puts the dialog
// toolkit's message box and progress window in place, as the module's
// start-up does.
#include <gtest/gtest.h>

#ifdef GLYPHORIA_DIALOG_FORMS
#include "dialogs/forms.h"
#endif

namespace glyphoria::testing {
void InitTestHome();
void RemoveTestHome();
}  // namespace glyphoria::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    glyphoria::testing::InitTestHome();
#ifdef GLYPHORIA_DIALOG_FORMS
    glyphoria::InstallDialogForms();
#endif
    int rc = RUN_ALL_TESTS();
    glyphoria::testing::RemoveTestHome();
    return rc;
}
