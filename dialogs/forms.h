// Makes the toolkit the platform's message box and progress window: the
// "MsgBox" dialog (message_box.h) and the "URLData" dialog
// (progress_window.h). The platform layer sits below the toolkit and cannot
// call it, so whatever runs the toolkit on Windows (the module's start-up,
// the glyphoria tool, the test programs) installs it before the first box or
// transfer. Calling it again changes nothing.
#pragma once

namespace glyphoria {

void InstallDialogForms();

}  // namespace glyphoria
