// Everything the Mac forms need, headless, in one object: the seam
// stand-ins, recording flows for try, revert and installation, the host's
// modal state as a counter, and a document loader that answers from a table.
// install() binds it all as the process-wide services; the destructor closes
// what is open and unbinds it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mac/headless/headless_application.h"
#include "mac/headless/headless_desktop.h"
#include "mac/headless/headless_nib_loader.h"
#include "mac/mac_services.h"

namespace glyphoria::mac {

class HeadlessMac {
  public:
    HeadlessMac();
    ~HeadlessMac();
    HeadlessMac(const HeadlessMac&) = delete;
    HeadlessMac& operator=(const HeadlessMac&) = delete;

    void install();

    HeadlessApplication application;
    HeadlessNibLoader nibs;
    HeadlessWorkspace workspace;
    HeadlessOpenPanel open_panel;
    HeadlessReachability reachability;
    HeadlessAlertPanel alerts;

    // Documents by address; a missing address fails with "not found".
    std::map<std::string, std::string> documents;
    std::vector<std::string> document_requests;
    std::vector<std::string> tries;
    std::vector<std::string> reverts;
    std::vector<std::string> installs;
    int modal_state_depth = 0;
    int modal_state_entries = 0;
};

}  // namespace glyphoria::mac
