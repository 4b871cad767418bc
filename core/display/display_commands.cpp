#include "core/display/display_commands.h"

#include "core/display/markers.h"

namespace mv {

namespace {

// Commands run on the state alone when no window shows it.
class NoView final : public UnseenDisplay<> {};

DisplayView& Or(DisplayView* view) {
    static NoView none;
    return view ? *view : none;
}

constexpr int kLastRangeIndex = static_cast<int>(kRangeScales.size()) - 1;

} // namespace

bool StepRange(RadarDisplayState& state, int step) {
    // The scale itself is compared too: a range set from outside the table (a scenario's) still
    // stops at the shortest and longest scales.
    if (step < 0) {
        if (!(state.Tick.Range > kRangeScales.front()) || state.RangeIndex <= 0) return false;
        --state.RangeIndex;
        SetRadarRange(state, kRangeScales[static_cast<size_t>(state.RangeIndex)]);
        return true;
    }
    if (!(state.Tick.Range < kRangeScales.back()) || state.RangeIndex >= kLastRangeIndex)
        return false;
    ++state.RangeIndex;
    state.Tick.Range = kRangeScales[static_cast<size_t>(state.RangeIndex)];
    return true;
}

void SelectRange(RadarDisplayState& state, int index) {
    if (index < 0 || index > kLastRangeIndex) return;
    state.RangeIndex = static_cast<int16_t>(index);
    SetRadarRange(state, kRangeScales[static_cast<size_t>(index)]);
}

void DisplayCommands::ToggleRings() {
    display_.RingsOn = !display_.RingsOn;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.RedrawRadar();
    v.RedrawVessels();
}

void DisplayCommands::ToggleHeadingLine() {
    display_.Tick.ShowSHL = !display_.Tick.ShowSHL;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    if (display_.Tick.ShowSHL) v.RedrawVessels();
    v.Refresh();
}

void DisplayCommands::ToggleBearings() {
    display_.Tick.Bearing =
        display_.Tick.Bearing == BearingMode::Course ? BearingMode::Relative : BearingMode::Course;
    DisplayView& v = Or(view_);
    v.RedrawRadar();
    if (display_.EBLOn) v.PlaceEBL(); // the caption reads in the new reference
    v.RedrawVessels();
}

void DisplayCommands::SetBearing(BearingMode mode) {
    if (display_.Tick.Bearing != mode) {
        ToggleBearings();
        return;
    }
    DisplayView& v = Or(view_);
    v.RedrawRadar();
    v.RedrawVessels();
}

void DisplayCommands::RangeDown() {
    DisplayView& v = Or(view_);
    if (StepRange(display_, -1)) v.RedrawRadar();
    v.RedrawVessels();
    display_.VRMPending = true;
}

void DisplayCommands::RangeUp() {
    DisplayView& v = Or(view_);
    if (StepRange(display_, +1)) v.RedrawRadar();
    v.RedrawVessels();
    display_.VRMPending = true;
}

void DisplayCommands::SelectRange(int index) {
    mv::SelectRange(display_, index);
    DisplayView& v = Or(view_);
    v.RedrawRadar();
    if (display_.Tick.TrueViewOn) v.RepaintTrueView();
    v.RedrawVessels();
}

void DisplayCommands::SetNorthUp(bool northUp) {
    display_.Tick.NorthUp = northUp;
    display_.Tick.CourseUp = false;
    Reorient();
}

void DisplayCommands::SetCourseUp() {
    if (!display_.Aids.Allowed.CourseUp) return;
    display_.Tick.NorthUp = false;
    display_.Tick.CourseUp = true;
    Reorient();
}

void DisplayCommands::SetTrueTrails(bool on) {
    if (on && !display_.Aids.Allowed.TrueTrails) return;
    display_.Tick.TrueTrails = on;
    // Both kinds of trail start afresh, as at a range change.
    DisplayView& v = Or(view_);
    v.RedrawRadar();
    v.RedrawVessels();
}

void DisplayCommands::Reorient() {
    DisplayView& v = Or(view_);
    v.RedrawRadar();
    if (display_.EBLOn) v.PlaceEBL();
    v.RedrawVessels();
}

void DisplayCommands::TogglePlot() {
    display_.Tick.PlotOn = !display_.Tick.PlotOn;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.RedrawRadar();
    display_.Tick.PlotTime = 0;
    v.PlotClock("00:00:00");
    // The first marks appear at once.
    v.RedrawVessels();
}

void DisplayCommands::SetPlotInterval(int index) {
    if (index < 0 || index > 3) return;
    display_.Tick.PlotFreqIndex = static_cast<int16_t>(index);
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.Refresh();
}

void DisplayCommands::NextPlotInterval() {
    SetPlotInterval((display_.Tick.PlotFreqIndex + 1) % 4);
}

void DisplayCommands::ToggleNav() {
    display_.NavOn = !display_.NavOn;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.Refresh();
}

void DisplayCommands::Identify() {
    display_.Tick.IdentifyOn = !display_.Tick.IdentifyOn;
    DisplayView& v = Or(view_);
    v.ShowIdentity(display_.Tick.IdentifyOn);
    v.Refresh();
}

void DisplayCommands::SwitchMarker(bool ebl) {
    bool& on = ebl ? display_.EBLOn : display_.VRMOn;
    bool& pending = ebl ? display_.EBLPending : display_.VRMPending;
    if (display_.CursorMode == InputMode::Cursor && pending) {
        on = true;
        pending = false;
    } else {
        on = !on;
    }
    int16_t& selected = ebl ? display_.SelectedEBL : display_.SelectedVRM;
    const bool twinOn = ebl ? display_.EBL2On : display_.VRM2On;
    if (on)
        selected = 1;
    else if (twinOn)
        selected = 2;
    Or(view_).ShowDisplayItems();
}

void DisplayCommands::ToggleEBL2() {
    display_.EBL2On = !display_.EBL2On;
    if (display_.EBL2On)
        display_.SelectedEBL = 2;
    else if (display_.EBLOn)
        display_.SelectedEBL = 1;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.PlaceEBL();
}

void DisplayCommands::ToggleVRM2() {
    display_.VRM2On = !display_.VRM2On;
    if (display_.VRM2On)
        display_.SelectedVRM = 2;
    else if (display_.VRMOn)
        display_.SelectedVRM = 1;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.PlaceVRM();
    v.Refresh();
}

void DisplayCommands::OffsetEBL2() {
    if (sim_.Vessels.NumVessels <= 0) return;
    const VesselData& own = sim_.Vessels.Vessel[static_cast<size_t>(sim_.Vessels.OwnVessel)];
    if (!mv::OffsetEBL2(display_, sim_.OwnPosition(), PictureUp(own, display_.Tick))) return;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.PlaceEBL();
}

void DisplayCommands::CentreEBL2() {
    display_.EBL2Offset = false;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    v.PlaceEBL();
}

void DisplayCommands::ToggleEBL() {
    SwitchMarker(true);
    Or(view_).PlaceEBL();
}

void DisplayCommands::ToggleVRM() {
    SwitchMarker(false);
    DisplayView& v = Or(view_);
    if (display_.CursorMode == InputMode::Cursor) v.PlaceVRM();
    v.Refresh();
}

void DisplayCommands::SetCursorMode(InputMode mode) {
    display_.CursorMode = mode;
    DisplayView& v = Or(view_);
    v.ShowDisplayItems();
    if (mode == InputMode::Cursor) {
        // The cursor starts on the bearing line at the ring, and its read-outs with it.
        CursorToEBLVRM(display_, sim_.OwnPosition());
        v.DrawCursor();
        v.ShowCursorReadouts();
    }
    v.Refresh();
}

void DisplayCommands::SetSeaState(int seaState) {
    if (seaState < 0 || seaState > 2) return;
    sim_.SeaState = static_cast<int16_t>(seaState);
}

} // namespace mv
