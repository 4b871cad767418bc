#pragma once
// An exercise with no screen (a class's seat, a session test): every drawing call of the tick,
// the display and a scenario start goes nowhere.

#include "core/display/display_commands.h"
#include "core/scenario/scenario_start.h"

namespace mv {

class NoPicture final : public UnseenDisplay<ScenarioView> {
  public:
    void SetRange(double) override {}
    void EnableVesselControls() override {}
    void ShowSlotMarkers(int, bool, bool) override {}
    void MarkOwnVesselInTrueView() override {}
    void ClearTrueView() override {}
};

} // namespace mv
