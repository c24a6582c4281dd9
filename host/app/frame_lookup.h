// Naming frames in scripts and on the command line: by name, or "#n" for
// the n-th frame (from 0) in the layout's order of the front document.
#pragma once

#include <string>
#include <vector>

#include "host/core/model.h"

namespace hostapp {

// Frames of the document in the layout's order.
std::vector<UID> FramesInLayoutOrder(const hostcore::DocModel& m);
// false with *error set when a name matches no frame.
bool LookUpFrames(const hostcore::DocModel& m, const std::vector<std::string>& names,
                  std::vector<UID>* out, std::string* error);
// "name (uid N)" or "#i (uid N)" for transcripts.
std::string DescribeFrame(const hostcore::DocModel& m, UID uid);

}  // namespace hostapp
