// Documents on disk: a JSON file (docs/host.md has the format). Loading
// accepts hand-written files (objects named, UIDs given out while loading,
// fonts by PostScript name) and files this host saved (every object with its
// UID, so labels that record UIDs stay true across save and load). Saving
// always writes the second form, pictures embedded as base64.
//
// Failures return false with a readable reason; nothing is half-loaded.
#pragma once

#include <string>

#include "host/core/model.h"

namespace hostapp {

bool ModelFromJsonText(const std::string& text, hostcore::DocModel* model, std::string* error);
std::string ModelToJsonText(const hostcore::DocModel& model);

// Relative picture paths in a hand-written file are taken from the file's
// folder.
bool LoadDocumentFile(const std::string& path, hostcore::DocModel* model, std::string* error);
bool SaveDocumentFile(const std::string& path, const hostcore::DocModel& model, std::string* error);

}  // namespace hostapp
