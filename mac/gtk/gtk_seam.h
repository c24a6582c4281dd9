// The GTK seam in one object (GTK must be up, on a display): application,
// window descriptions, workspace, folder chooser, reachability probe and
// alert panel. bindSeam puts them into the seam members of the Mac services
// and leaves the flows as they are. The object must outlive the binding.
#pragma once

#include "mac/gtk/gtk_application.h"
#include "mac/gtk/gtk_desktop.h"
#include "mac/gtk/gtk_nib_loader.h"
#include "mac/mac_services.h"

namespace glyphoria::mac {

class GtkSeam {
  public:
    void bindSeam(MacServices* services) { BindSeamMembers(*this, services); }

    GtkMacApplication application;
    GtkMacNibLoader nibs;
    GtkMacWorkspace workspace;
    GtkMacOpenPanel open_panel;
    GtkMacReachability reachability;
    GtkMacAlertPanel alerts;
};

// Whether GTK is up on a display in this process (the host runs a window
// system), so that the GTK seam can show windows.
bool GtkSeamUsable();

}  // namespace glyphoria::mac
