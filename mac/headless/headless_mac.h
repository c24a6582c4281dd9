// Everything the Mac forms need, headless, in one object: the seam
// stand-ins, recording flows for try, revert and installation, the host's
// modal state as a counter, the host's part of the panels' keys (an undo
// made when host_has_document, the keys the host got) and a document loader
// that answers from a table. install() binds it all as the process-wide
// services; the destructor closes what is open and unbinds it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mac/headless/headless_seam.h"

namespace glyphoria::mac {

class HeadlessMac : public HeadlessSeam {
  public:
    HeadlessMac();
    ~HeadlessMac();
    HeadlessMac(const HeadlessMac&) = delete;
    HeadlessMac& operator=(const HeadlessMac&) = delete;

    void install();

    // Documents by address; a missing address fails with "not found".
    std::map<std::string, std::string> documents;
    std::vector<std::string> document_requests;
    std::vector<std::string> tries;
    std::vector<std::string> reverts;
    std::vector<std::string> installs;
    int modal_state_depth = 0;
    int modal_state_entries = 0;
    bool host_has_document = false;
    int host_undos = 0;
    std::vector<PanelEvent> host_keys;
};

}  // namespace glyphoria::mac
