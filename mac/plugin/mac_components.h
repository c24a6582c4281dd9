// The Mac form's host components, registered under the same identifiers as
// the Windows form's (shell/ids.h), so one resource description serves both:
// the start-up/shutdown service, the idle task and the action component.
//
// Startup brings the platform up (mac_platform.h), then runs the Mac
// start-up (mac_lifecycle.h) with the idle task installed in the session;
// the idle task binds the shortcut once; Shutdown closes the sampler window
// and takes the platform down. The menu entries are the Mac form's: the
// sampler window of the Mac forms, the about alert, the restore entry named
// from the Mac string dictionary.
#pragma once

#include "host/sdk/plugin.h"
#include "host/sdk/services.h"
#include "shell/ids.h"

namespace glyphoria::mac {

class MyStartupShutdown : public CPMUnknown<IStartupShutdownService> {
  public:
    explicit MyStartupShutdown(IPMUnknown* boss);
    ~MyStartupShutdown() override;
    void Startup() override;
    void Shutdown() override;
};

class MyIdleTask : public CIdleTask {
  public:
    explicit MyIdleTask(IPMUnknown* boss);
    ~MyIdleTask() override;
    uint32 RunTask(uint32 appFlags, IdleTimer* timeCheck) override;
    const char* TaskName() override;
};

class MyAction : public CActionComponent {
  public:
    explicit MyAction(IPMUnknown* boss);
    ~MyAction() override;
    void UpdateActionStates(IActiveContext* ac, IActionStateList* list, GSysPoint mousePoint,
                            IPMUnknown* widget) override;
    void DoAction(IActiveContext* ac, ActionID id, GSysPoint mousePoint,
                  IPMUnknown* widget) override;
};

// The three components under their implementation IDs.
ErrorCode RegisterMacImplementations(IImplementationRegistry* registry);

// The plug-in object of the Mac module; more registers the selection suite.
class MacPlugIn : public IPlugIn {
  public:
    using RegistrationProc = ErrorCode (*)(IImplementationRegistry* registry);
    explicit MacPlugIn(RegistrationProc more) : more_(more) {}
    void SetPluginID(PluginID id) override { id_ = id; }
    PluginID GetPluginID() const override { return id_; }
    ErrorCode RegisterImplementations(IImplementationRegistry* registry) override;

  private:
    RegistrationProc more_;
    PluginID id_ = kGlyphoriaPluginID;
};

}  // namespace glyphoria::mac
