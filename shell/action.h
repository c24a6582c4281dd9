// The menu entries: the about box, the sampler window toggle (also the
// shortcut's target) and the restore of the selected frames.
//
// UpdateActionStates enables the restore entry and gives it its localised
// name ("restore") only when a selected page item carries a frame label;
// otherwise it stays as the host has it. The toggle shows checked exactly
// while the sampler window shows. Other entries are left alone.
#pragma once

#include "host/sdk/services.h"

namespace glyphoria {

class MyAction : public CActionComponent {
  public:
    explicit MyAction(IPMUnknown* boss);
    ~MyAction() override;
    void UpdateActionStates(IActiveContext* ac, IActionStateList* list, GSysPoint mousePoint,
                            IPMUnknown* widget) override;
    void DoAction(IActiveContext* ac, ActionID id, GSysPoint mousePoint,
                  IPMUnknown* widget) override;
};

}  // namespace glyphoria
