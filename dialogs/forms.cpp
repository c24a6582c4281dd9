#include "dialogs/forms.h"

#include "dialogs/message_box.h"
#include "dialogs/progress_window.h"
#include "platform/message_ui.h"
#include "platform/progress.h"

namespace glyphoria {

void InstallDialogForms() {
    platform::SetMessageBoxForm(&ShowMessageBox);
    platform::SetProgressForm(&UrlDataProgressForm());
}

}  // namespace glyphoria
