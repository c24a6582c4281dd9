// Command objects made by the host's utilities: the command's work is the
// given function of its item list (one of the operations of edits.h).
#pragma once

#include <functional>
#include <string>

#include "host/sdk/commands.h"

namespace hostcore {

// A new command (one reference, the caller's).
ICommand* MakeCommand(ClassID cls, const std::string& name,
                      std::function<ErrorCode(const UIDList& items)> run);

}  // namespace hostcore
