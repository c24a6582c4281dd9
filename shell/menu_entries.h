// The three menu entries (about box, restore, sampler window toggle), for
// either form of the plug-in: the form brings its sampler window (toggle and
// whether it shows), its about box and its localised name of the restore
// entry; the restore itself is the frame sampling's, the same in both forms.
//
// UpdateMenuEntries enables the restore entry and gives it its name only
// when a selected page item carries a frame label; otherwise it stays as the
// host has it. The toggle shows checked exactly while the sampler window
// shows. Other entries are left alone.
#pragma once

#include <string>

#include "host/sdk/services.h"

namespace glyphoria {

struct MenuForm {
    bool (*sampler_window_visible)();
    void (*toggle_sampler_window)();
    void (*show_about)();
    std::string (*restore_name)();
};

void UpdateMenuEntries(const MenuForm& form, IActionStateList* list);
void RunMenuEntry(const MenuForm& form, ActionID id);

}  // namespace glyphoria
