// Opening the X display for a gui test. An X server whose last client has
// left regenerates itself, and a connection that arrives meanwhile is
// dropped: under `xvfb-run -a`, where test programs come and go, a test can
// start just then. Xvfb's -noreset (scripts/test passes it) prevents that;
// this bridges it where the server was started without. A test program that
// only starts other programs on the display holds a connection with it too,
// so the server cannot regenerate under them.
#pragma once

namespace glyphoria::testing {

// Opens GTK's default display, trying a few times over about a second; true
// once it is open (then it stays open for the process).
bool OpenGuiDisplay();

}  // namespace glyphoria::testing
