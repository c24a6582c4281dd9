// The Mac forms bound to the rest of the plug-in on this machine: the flows
// and host calls that mac_services.h and mac_lifecycle.h leave open, over the
// platform's Internet seam, the sampling actions, the font installation and
// the host framework. The seam objects (windows, web views, panels) are not
// bound here: whoever runs the Mac forms brings them (the headless stand-ins
// on this machine).
//
// Fetches fail on an HTTP error status: an error page is neither a
// configuration document nor a rendered sample. They are blocking, with the
// same stall limits as the other blocking fetches (purchase/fetch_limits.h).
#pragma once

#include <string>

#include "mac/mac_lifecycle.h"
#include "mac/mac_services.h"
#include "sampling/sampler_request.h"

namespace glyphoria::mac {

// The whole document at url, as its bytes; false with the error when it
// cannot be had (unreachable, HTTP error status, broken off).
bool FetchWholeDocument(const std::string& url, std::string* data, MacError* error);

// The renderer's settings from the Mac preferences ("mlSamplerUrl",
// "sampleSizeFactor", default 1).
SamplerSettings MacSamplerSettings();

// The previews of a Mac try, fetched together (ConcurrentPreviews): at each
// frame's turn a failure logs the error's description; an answer without
// data leaves no file; a preview logs "preview: <path>", as the one-by-one
// download says it.
PreviewFetcher MacConcurrentPreviews();

// Command-Z in a panel: the host undoes the last step of its front document
// through its undo utility (0x16422). False when there is no front document
// or it has no undo history.
bool HostUndoInFrontDocument();
// A panel's key to the host application's own key handling: the character,
// with the host's modifier value (the key alone is 4096, as the shortcut is
// bound; Shift, Control, Option and Command add their flags shifted down 16
// bits). False when no host action ran.
bool SendPanelKeyToHost(const PanelEvent& event);

// Fills the flows of services: load_document and the preview's synchronous
// request over the network, try and revert on the front document, the
// installation into the user's fonts folder, the host's modal-dialog state,
// the host's part of the panels' keys, the host's main window. The seam
// members are left as they are.
void BindMacFlows(MacServices* services);

// The start-up host calls over the host framework: the bundle is the
// resource folder, the idle task is installed in the host (it runs
// MacRunTask once), the shortcut is bound in the application's shortcut
// manager after the action's earlier shortcuts were removed.
MacHostCalls HostMacCalls();

}  // namespace glyphoria::mac
