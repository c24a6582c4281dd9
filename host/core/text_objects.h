// Host interfaces of stories (ITextModel, IFrameList) and the attribute
// objects of text.h.
#pragma once

#include "host/sdk/types.h"

namespace hostcore {

class HostBoss;

bool AddStoryInterface(HostBoss* boss, PMIID iid);

}  // namespace hostcore
