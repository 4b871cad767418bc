#pragma once
// The display commands a watch officer gives at the radar (rings, heading line, bearing
// reference, range scale, orientation, plotting, the own vessel's line, identification, the EBL
// and VRM and the input mode) as operations on the plain state. Each changes the state, then
// asks its view for exactly the drawing it needs; any front end, and a test without a window,
// can run them.

#include "core/display/display_state.h"
#include "core/simulation.h"
#include "core/vessel_view.h"

namespace mv {

// What the display commands ask of the window that shows the radar picture, besides what the
// tick shows.
class DisplayView : public VesselView {
  public:
    // The one full redraw of the picture around the own vessel, with its captions.
    virtual void RedrawRadar() = 0;
    // The vessels drawn once where they are, without moving them.
    virtual void RedrawVessels() = 0;
    // Every caption and overlay whose visibility or text follows the state: the rings' caption,
    // the heading line, the plot captions, the own vessel's line, the EBL and VRM with their
    // captions and the cursor's cross and read-outs.
    virtual void ShowDisplayItems() = 0;
    // The bearing line, the range ring and the cursor placed from the state.
    virtual void PlaceEBL() = 0;
    virtual void PlaceVRM() = 0;
    virtual void DrawCursor() = 0;
    // The cursor's range and bearing read-outs from the state.
    virtual void ShowCursorReadouts() = 0;
    // The true-motion window shows every vessel's present position again, when it is open.
    virtual void RepaintTrueView() = 0;
    // The picture is to be shown anew (no drawing of its own).
    virtual void Refresh() = 0;
};

// The display's calls of a view that shows nothing: the commands run on the state alone.
template <class View = DisplayView> class UnseenDisplay : public Unseen<View> {
  public:
    void RedrawRadar() override {}
    void RedrawVessels() override {}
    void ShowDisplayItems() override {}
    void PlaceEBL() override {}
    void PlaceVRM() override {}
    void DrawCursor() override {}
    void ShowCursorReadouts() override {}
    void RepaintTrueView() override {}
    void Refresh() override {}
};

// One step along the range scales: -1 shorter, +1 longer. False at either end. A shorter
// scale pulls the VRM in to the range; a longer one leaves the ring where it was.
bool StepRange(RadarDisplayState& state, int step);
// The range scale of `index` (0 for 0.125 nm to 9 for 36 nm), the VRM pulled in to it.
void SelectRange(RadarDisplayState& state, int index);

class DisplayCommands {
  public:
    DisplayCommands(Simulation& sim, RadarDisplayState& display) : sim_(sim), display_(display) {}
    // The window that shows the picture; none (a test, or before the window exists) runs the
    // commands on the state alone.
    void setView(DisplayView* view) { view_ = view; }

    void ToggleRings();
    void ToggleHeadingLine();
    // Relative bearings and true ones in turn; SetBearing chooses one (the same again redraws).
    void ToggleBearings();
    void SetBearing(BearingMode mode);
    void RangeDown();
    void RangeUp();
    void SelectRange(int index);
    // North-up, or heads-up; SetCourseUp puts the ordered course up (unless forbidden).
    void SetNorthUp(bool northUp);
    void SetCourseUp();
    // True trails (points over the water) or the grey relative ones; either way both start
    // afresh.
    void SetTrueTrails(bool on);
    // Plotting on or off: the trails are wiped and the plot clock starts again at 00:00:00.
    void TogglePlot();
    // Continuous, 3, 6 or 12 minutes between plot marks; NextPlotInterval goes round them.
    void SetPlotInterval(int index);
    void NextPlotInterval();
    void ToggleNav();
    // The letters beside the echoes on, or off again: they stay from one press to the next.
    void Identify();
    // A marker switched on is the one the arrows and the wheel move; switched off, its twin
    // takes them if it is on.
    void ToggleEBL();
    void ToggleVRM();
    void ToggleEBL2();
    void ToggleVRM2();
    // The second EBL's origin put on the cursor (cursor mode), or back on the own vessel.
    void OffsetEBL2();
    void CentreEBL2();
    void SetCursorMode(InputMode mode);
    // Calm (0), moderate (1) or heavy (2): the yaw the tick applies.
    void SetSeaState(int seaState);

  private:
    // The picture drawn anew in the orientation just set.
    void Reorient();
    // The EBL or VRM switched: after a cursor click the press shows the marker where the click
    // put it, otherwise it turns the marker on or off.
    void SwitchMarker(bool ebl);

    Simulation& sim_;
    RadarDisplayState& display_;
    DisplayView* view_ = nullptr;
};

} // namespace mv
