// The host interfaces of a document's stored objects, made on demand for the
// object's boss: what an object answers depends on what its UID names
// (root, workspace, spread, layer, frame, text container or column, image,
// story, swatch, font family, link).
#pragma once

#include "host/sdk/types.h"

namespace hostcore {

class HostBoss;

// Adds the implementation of iid to the boss; false if the object has none.
bool AddStoredInterface(HostBoss* boss, PMIID iid);

}  // namespace hostcore
