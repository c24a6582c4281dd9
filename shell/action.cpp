#include "shell/action.h"

#include "sampling/frame_actions.h"
#include "shell/ids.h"
#include "shell/web_window_bridge.h"
#include "support/limits.h"
#include "support/messages.h"
#include "support/string_table.h"
#include "support/vendor_addresses.h"

namespace glyphoria {

MyAction::MyAction(IPMUnknown* boss) : CActionComponent(boss) {}

MyAction::~MyAction() = default;

void MyAction::UpdateActionStates(IActiveContext*, IActionStateList* list, GSysPoint, IPMUnknown*) {
    if (!list) return;
    for (int32 i = 0; i < list->Length(); ++i) {
        const ActionID id = list->GetNthAction(i);
        if (id == kRestoreAction) {
            if (!CanRestoreSelection()) continue;
            list->SetNthActionState(i, kEnabledAction);
            char name[kValueBufferSize];
            GetLocalizedText("restore", name, sizeof name);
            list->SetNthActionName(i, PMString(name));
        } else if (id == kSamplerToggleAction) {
            list->SetNthActionState(
                i, IsSamplerWindowVisible() ? kEnabledAction | kSelectedAction : kEnabledAction);
        }
    }
}

void MyAction::DoAction(IActiveContext*, ActionID id, GSysPoint, IPMUnknown*) {
    switch (id) {
        case kAboutAction:
            SetMessageDetail("copyright");
            ShowMessage("%s %s", kProductName, kProductVersion);
            break;
        case kSamplerToggleAction:
            ToggleSamplerWindow();
            break;
        case kRestoreAction:
            RestoreSelectedFrames();
            break;
        default:
            break;
    }
}

}  // namespace glyphoria
