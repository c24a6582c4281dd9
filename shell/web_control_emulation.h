// The embedded web control that the web-window library uses renders pages in
// an old compatibility mode unless the host's executable is listed under the
// system's browser-emulation key. Start-up sets that value (8000: standards
// mode of version 8) when the key exists and can be written; a missing key
// is skipped silently, a failed write only logged. Platforms without a
// registry skip the step.
#pragma once

namespace glyphoria {

void SetWebControlEmulation();

}  // namespace glyphoria
