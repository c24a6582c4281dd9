// The host application's main window, as a platform window handle (Windows:
// an HWND), or null while it is not known. The plug-in's idle task finds the
// window at the first idle moment and sets it here; dialogs and message boxes
// disable it while they run, and the command bridge hands it out ("hostWnd").
// This is the one store of it: everything that needs the window reads it here.
//
// Process-wide, user-interface thread only.
#pragma once

namespace glyphoria {

void SetHostWindowHandle(void* window);
void* HostWindowHandle();

}  // namespace glyphoria
