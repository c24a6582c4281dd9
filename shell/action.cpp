#include "shell/action.h"

#include "shell/menu_entries.h"
#include "shell/web_window_bridge.h"
#include "support/limits.h"
#include "support/messages.h"
#include "support/string_table.h"
#include "support/vendor_addresses.h"

namespace glyphoria {

namespace {

void ShowAbout() {
    SetMessageDetail("copyright");
    ShowMessage("%s %s", kProductName, kProductVersion);
}

std::string RestoreName() {
    char name[kValueBufferSize];
    GetLocalizedText("restore", name, sizeof name);
    return name;
}

const MenuForm kWindowsForm = {&IsSamplerWindowVisible, &ToggleSamplerWindow, &ShowAbout,
                               &RestoreName};

}  // namespace

MyAction::MyAction(IPMUnknown* boss) : CActionComponent(boss) {}

MyAction::~MyAction() = default;

void MyAction::UpdateActionStates(IActiveContext*, IActionStateList* list, GSysPoint, IPMUnknown*) {
    UpdateMenuEntries(kWindowsForm, list);
}

void MyAction::DoAction(IActiveContext*, ActionID id, GSysPoint, IPMUnknown*) {
    RunMenuEntry(kWindowsForm, id);
}

}  // namespace glyphoria
