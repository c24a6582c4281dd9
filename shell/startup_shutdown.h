// The plug-in's start-up and shutdown service.
//
// Startup brings the services up in this order: the module handle and file
// from the host's resource access, the preferences from the application-data
// folder, the string table, the log (mode 1, no vendor folder) with the lines
// "Glyphoria: CS 55" and the time, the web control's emulation value, and
// the idle task, installed to run at the first idle moment. Missing pieces
// do not stop it.
//
// Shutdown closes the sampler window and writes the preferences.
#pragma once

#include "host/sdk/services.h"

namespace glyphoria {

class MyStartupShutdown : public CPMUnknown<IStartupShutdownService> {
  public:
    explicit MyStartupShutdown(IPMUnknown* boss);
    ~MyStartupShutdown() override;
    void Startup() override;
    void Shutdown() override;
};

}  // namespace glyphoria
