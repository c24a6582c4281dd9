#include "shell/menu_entries.h"

#include "sampling/frame_actions.h"
#include "shell/ids.h"

namespace glyphoria {

void UpdateMenuEntries(const MenuForm& form, IActionStateList* list) {
    if (!list) return;
    for (int32 i = 0; i < list->Length(); ++i) {
        const ActionID id = list->GetNthAction(i);
        if (id == kRestoreAction) {
            if (!CanRestoreSelection()) continue;
            list->SetNthActionState(i, kEnabledAction);
            list->SetNthActionName(i, PMString(form.restore_name().c_str()));
        } else if (id == kSamplerToggleAction) {
            list->SetNthActionState(i, form.sampler_window_visible()
                                           ? kEnabledAction | kSelectedAction
                                           : kEnabledAction);
        }
    }
}

void RunMenuEntry(const MenuForm& form, ActionID id) {
    switch (id) {
        case kAboutAction:
            form.show_about();
            break;
        case kSamplerToggleAction:
            form.toggle_sampler_window();
            break;
        case kRestoreAction:
            RestoreSelectedFrames();
            break;
        default:
            break;
    }
}

}  // namespace glyphoria
