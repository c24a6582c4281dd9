// The platform the Mac module's windows live on, on this machine: the seam
// (GTK with the real web engine when the host process runs GTK on a display,
// the headless stand-ins otherwise: then the windows browse for real over
// the network but nobody sees them, and the hands are the scripting entry's
// alone) bound with this machine's flows (mac/bindings). Brought up at
// start-up before anything opens a window (the scripting entry's record
// starts afresh), taken down at shutdown after the windows are closed (the
// vendor's addresses go back to the vendor's own).
#pragma once

#include "mac/hands.h"

namespace glyphoria::mac {

void BringUpMacPlatform();
void TakeDownMacPlatform();
// The user's hands on the platform's windows; null while it is down.
MacHands* PlatformHands();
// Whether the windows are on a screen (GTK) rather than headless.
bool PlatformOnScreen();

}  // namespace glyphoria::mac
