// The idle task: runs once, at the host's first idle moment after start-up.
// It records the host's top-level window (what "hostWnd" answers and what
// the dialogs disable while they are up) and binds the preference
// "shortcut", when it holds exactly one character, to the sampler toggle in
// the layout's shortcut context. A changed "shortcut" counts from the next
// start of the host.
#pragma once

#include "host/sdk/services.h"

namespace glyphoria {

class MyIdleTask : public CIdleTask {
  public:
    explicit MyIdleTask(IPMUnknown* boss);
    ~MyIdleTask() override;
    uint32 RunTask(uint32 appFlags, IdleTimer* timeCheck) override;
    const char* TaskName() override;
};

// The one character of a UTF-8 text, or 0 when it holds none, more than one,
// or a broken sequence.
UTF32TextChar SingleCharacter(const char* text);

}  // namespace glyphoria
