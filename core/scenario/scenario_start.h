#pragma once
// The start of a scenario, shared by every source: once a source has filled the vessel tables,
// the same steps put the display, the clocks and the start state for Repeat into a fresh state.
// The steps that draw go to the view; everything else happens here, without windows.

#include "core/display/display_commands.h"
#include "core/display/display_state.h"
#include "core/simulation.h"
#include "core/vessel_view.h"

#include <string>

namespace mv {

// What the windows do for a scenario start, besides what the tick shows.
class ScenarioView : public DisplayView {
  public:
    // The range scale is set to `range` nautical miles: redraw the picture and its captions.
    virtual void SetRange(double range) = 0;
    // The vessel buttons and menus of the slots in use are enabled, the rest disabled.
    virtual void EnableVesselControls() = 0;
    // Vessel slot i's echo line on the radar and its label in the true-motion window.
    virtual void ShowSlotMarkers(int slot, bool radarLine, bool trueViewLabel) = 0;
    // The own vessel's label in the true-motion window turns red.
    virtual void MarkOwnVesselInTrueView() = 0;
    // The true-motion window's plot is cleared, when the window is open.
    virtual void ClearTrueView() = 0;
};

// Runs the start steps of `source` in that source's order, after the vessel tables were filled:
// 12-mile range (demo and own targets; random traffic keeps the range scale), start state saved
// for Repeat, markers of the slots in use, the first vessel pass with the clock at 12:00:00,
// and the plot clock at 00:00:00. Starting the timer is the caller's.
void StartScenario(ScenarioSource source, Simulation& sim, RadarDisplayState& display,
                   ScenarioView& view);

// The clocks back to the start: 12:00:00 and a plot clock of 00:00:00, the next plot mark a
// full interval away. Scenario start and Repeat share it.
void ResetClocks(Simulation& sim, RadarDisplayState& display, VesselView& view);

} // namespace mv
