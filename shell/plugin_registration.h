// The plug-in object the module hands the host, the implementations it
// registers and the resource description that tells the host which objects
// carry them:
//   - the start-up/shutdown service (MyStartupShutdown),
//   - the idle task (MyIdleTask) added to the session under 0x159841,
//   - the action component (MyAction) for the about box (0x159840), the
//     restore entry (0x159841) and the sampler toggle (0x159842),
//   - with the selection suite: its abstract-selection and layout-selection
//     implementations and its selection extension.
// The suite's implementations come from the frame-sampling code; the module
// passes their registration in, so the shell's own parts stand alone.
#pragma once

#include <string>

#include "host/sdk/plugin.h"
#include "shell/resource_description.h"

namespace glyphoria {

using RegistrationProc = ErrorCode (*)(IImplementationRegistry* registry);

class GlyphoriaPlugIn : public IPlugIn {
  public:
    explicit GlyphoriaPlugIn(RegistrationProc more = nullptr) : more_(more) {}
    void SetPluginID(PluginID id) override;
    PluginID GetPluginID() const override;
    ErrorCode RegisterImplementations(IImplementationRegistry* registry) override;

  private:
    RegistrationProc more_;
};

// The ID the host gave the plug-in, else its own.
PluginID GlyphoriaPluginID();

// MyStartupShutdown, MyIdleTask and MyAction under their implementation IDs.
ErrorCode RegisterShellImplementations(IImplementationRegistry* registry);

}  // namespace glyphoria
