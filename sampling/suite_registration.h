// What the plug-in module registers for the selection suite: the three
// implementations and the add-ins that put them on the host's selection
// objects (the abstract suite on the abstract selection, the layout suite
// and its selection extension on the layout selection).
#pragma once

#include "host/sdk/plugin.h"

namespace glyphoria {

// Registers MySuiteASB (0x159845), MySuiteLayoutCSB (0x159847) and
// SelectionExt<MySuiteLayoutCSB> (0x159848). kSuccess, or the first failure.
ErrorCode RegisterSamplingImplementations(IImplementationRegistry* registry);

// The entries of the resource description's "addins" array that carry them,
// without the enclosing brackets:
//   {"to": "abstract-selection", ...}, {"to": "layout-selection", ...}
const char* SamplingResourceAddIns();

}  // namespace glyphoria
