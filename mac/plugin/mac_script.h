// The Mac module's scripting entry: the user's hands on its windows as words,
// for the host program's "mac" verb and the demo (through the module's
// exports glyphoria_mac_act and glyphoria_mac_record, module/entry.cpp).
//
// Actions (PANE is "sampler", "purchase" or "sheet"):
//   try ID          follow the sampler page's try link of the shop's font ID
//   revert, homepage, cart
//                   follow the sampler page's link of that id
//   link PANE WHICH follow the page's link whose text, href or id is WHICH
//   click PANE ID   click a control (button, check box)
//   key PANE CHORD  press a key: "z", "shift+a", "ctrl+z" (Control here is
//                   the Mac's Command), "caps+ctrl+c", "alt+x", "macctrl+x"
//   close PANE      the window's close control
//   page PANE       record the page the pane shows
//   snapshot PANE FILE
//                   a PNG of the window as the screen shows it ("screen": the
//                   whole screen); 0 where the windows are headless
//   folder [PATH]   the folder chooser's next answer (none: cancel)
//   modal ACTION [ARGUMENT]
//                   the action, run inside the next modal loop
//   wait MS         let the window system work for MS milliseconds
//   vendor SERVER   the vendor's built-in addresses (start page, cart
//                   service, ...) on another server ("http://host:port"),
//                   as a deployment would set them; empty: the vendor's own
// The answer: 1 done, 0 the window did not take it, -1 it cannot happen (no
// such window, link or action); a note in the record says why.
//
// The record, one line per fact, fields separated by tabs: "act ACTION
// ARGUMENT ANSWER", "page PANE URL", "bar VALUE MAX" (the progress bar after
// an action in the purchase panel), "note TEXT", and at the end the alerts
// shown ("alert MESSAGE INFORMATIVE") and the addresses given to the browser
// ("opened URL").
#pragma once

#include <cstdint>
#include <string>

#include "mac/hands.h"

namespace glyphoria::mac {

std::int32_t MacScriptAct(MacHands& hands, const std::string& action, const std::string& argument);
std::string MacScriptRecord(MacHands& hands);
void ForgetMacScriptRecord();

// A chord ("ctrl+z": modifiers, then one character) as a key-down event;
// false when it names no key or a modifier this machine has not.
bool ParseKeyChord(const std::string& chord, PanelEvent* event);

}  // namespace glyphoria::mac
