#include "core/scenario/scenario_start.h"

namespace mv {

namespace {

// Back to the 12-mile scale, in the radar picture and the true-motion window alike.
void TwelveMileRange(RadarDisplayState& display) {
    display.RangeIndex = kDefaultRangeIndex;
    display.TVRangeIndex = kDefaultRangeIndex;
    display.Tick.Range = 12.0;
    display.TVRange = 12.0;
}

// The view's SetRange sets the range, pulls the VRM in and redraws.
void SetRangeScale(const RadarDisplayState& display, ScenarioView& view) {
    view.SetRange(kRangeScales[static_cast<size_t>(display.RangeIndex)]);
}

// The own vessel has no echo line (it is the centre) but has its label in the true-motion
// window; the targets in use have both; the slots beyond them neither.
void ShowMarkersOfSlotsInUse(const VesselTables& vessels, ScenarioView& view) {
    for (int i = 0; i < kMaxVessels; ++i) {
        const bool inUse = i < vessels.NumVessels;
        const bool own = i == vessels.OwnVessel;
        view.ShowSlotMarkers(i, inUse && !own, inUse);
    }
    view.MarkOwnVesselInTrueView();
}

void CursorOnOwnVessel(const Simulation& sim, RadarDisplayState& display, ScenarioView& view) {
    const PointD& own = sim.Vessels.VesselPos[static_cast<size_t>(sim.Vessels.OwnVessel)];
    display.CursorEast = own.Y;
    display.CursorNorth = own.X;
    view.DrawCursor();
}

void FirstPass(Simulation& sim, RadarDisplayState& display, ScenarioView& view) {
    view.ClearTrueView();
    sim.UpdateVessels(display.Tick, view, false);
    // The new own vessel's speed and course at once, not the last scenario's until a tick.
    view.StatusLine(StatusLineText(sim.Vessels.Vessel[static_cast<size_t>(sim.Vessels.OwnVessel)]));
    sim.Clock.SimTime = 0.5;
    view.Clock("12:00:00");
}

} // namespace

void ResetClocks(Simulation& sim, RadarDisplayState& display, VesselView& view) {
    sim.Clock.SimTime = 0.5;
    view.Clock("12:00:00");
    display.Tick.SinceLastPlot = 0;
    display.Tick.PlotTime = 0;
    view.PlotClock("00:00:00");
}

void StartScenario(ScenarioSource source, Simulation& sim, RadarDisplayState& display,
                   ScenarioView& view) {
    sim.Maneuvering = false;
    sim.Turning = false;
    switch (source) {
    case ScenarioSource::Demo:
        ShowMarkersOfSlotsInUse(sim.Vessels, view);
        TwelveMileRange(display);
        SetRangeScale(display, view);
        view.EnableVesselControls();
        sim.Vessels.SaveStartState();
        FirstPass(sim, display, view);
        // A fresh plot: the first echo pass lays a mark, the next one a whole interval later.
        display.Tick.SinceLastPlot = 0;
        display.Tick.FirstFrame = true;
        break;
    case ScenarioSource::OwnTargets:
        sim.Vessels.SaveStartState();
        ShowMarkersOfSlotsInUse(sim.Vessels, view);
        TwelveMileRange(display);
        SetRangeScale(display, view);
        view.EnableVesselControls();
        CursorOnOwnVessel(sim, display, view);
        FirstPass(sim, display, view);
        break;
    case ScenarioSource::Random:
        sim.Vessels.SaveStartState();
        ShowMarkersOfSlotsInUse(sim.Vessels, view);
        view.EnableVesselControls();
        SetRangeScale(display, view); // random traffic keeps the range scale in use
        CursorOnOwnVessel(sim, display, view);
        FirstPass(sim, display, view);
        break;
    }
    display.Tick.PlotTime = 0;
    view.PlotClock("00:00:00");
    sim.TrafficSource = source;
}

} // namespace mv
