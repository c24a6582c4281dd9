// The headless seam in one object: application, window descriptions,
// workspace, folder chooser, reachability probe and alert panel. bindSeam
// puts them into the seam members of the Mac services and leaves the flows
// as they are. The object must outlive the binding.
#pragma once

#include "mac/headless/headless_application.h"
#include "mac/headless/headless_desktop.h"
#include "mac/headless/headless_nib_loader.h"
#include "mac/mac_services.h"

namespace glyphoria::mac {

class HeadlessSeam {
  public:
    void bindSeam(MacServices* services) { BindSeamMembers(*this, services); }

    HeadlessApplication application;
    HeadlessNibLoader nibs;
    HeadlessWorkspace workspace;
    HeadlessOpenPanel open_panel;
    HeadlessReachability reachability;
    HeadlessAlertPanel alerts;
};

}  // namespace glyphoria::mac
