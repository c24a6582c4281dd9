// What the Mac forms are bound to: the seam objects of the platform (or of
// the headless stand-in) and the flows of other subsystems, which the shell
// binds when the plug-in starts. Process-wide, set once before the first
// window opens; tests set their own.
//
// A missing seam object makes the operation that needs it do nothing (and
// log why); a missing flow function is a no-op. Nothing here owns the seam
// objects: whoever binds them keeps them alive while they are bound.
#pragma once

#include <boost/function.hpp>
#include <cstdint>
#include <string>

#include "mac/seam/application.h"
#include "mac/seam/desktop.h"
#include "mac/seam/nib_loader.h"
#include "mac/seam/panel_event.h"
#include "mac/seam/web_view.h"

namespace glyphoria::mac {

// Loads the whole document at url as text (the encoding detected from the
// document); false with the error when it cannot.
using LoadDocumentText =
    boost::function<bool(const std::string& url, std::string* text, MacError* error)>;
// The try flow and the revert flow, given the query of a command address.
using QueryFlow = boost::function<void(const char* query)>;
// Installs the OpenType fonts of the archive at the path.
using InstallFonts = boost::function<void(const char* archive_path)>;
// The host's modal-dialog state, held while the purchase panel runs.
using HostModalState = boost::function<void()>;
// Command-Z in a panel: the host undoes in its front document through its
// undo utility; false when it has no front document or no undo history.
using HostPrepareUndo = boost::function<bool()>;
// A key a panel does not keep, to the host application's own key handling.
using SendKeyToHost = boost::function<void(const PanelEvent& event)>;
// The host's main window as the window system's handle (0 for none).
using HostMainWindow = boost::function<std::uintptr_t()>;

struct MacServices {
    // The seam.
    Application* application = nullptr;
    NibLoader* nibs = nullptr;
    Workspace* workspace = nullptr;
    OpenPanel* open_panel = nullptr;
    Reachability* reachability = nullptr;
    AlertPanel* alerts = nullptr;

    // Bound by the shell.
    LoadDocumentText load_document;
    QueryFlow try_fonts;
    QueryFlow revert_frames;
    InstallFonts install_fonts;
    HostModalState enter_modal_state;
    HostModalState leave_modal_state;
    HostPrepareUndo host_prepare_undo;
    SendKeyToHost send_key_to_host;
    HostMainWindow host_main_window;
};

// A seam's objects (its members application, nibs, workspace, open_panel,
// reachability and alerts) as the seam members of services; the flows stay.
template <class Seam>
void BindSeamMembers(Seam& seam, MacServices* services) {
    services->application = &seam.application;
    services->nibs = &seam.nibs;
    services->workspace = &seam.workspace;
    services->open_panel = &seam.open_panel;
    services->reachability = &seam.reachability;
    services->alerts = &seam.alerts;
}

void SetMacServices(const MacServices& services);
const MacServices& Services();

}  // namespace glyphoria::mac
