#include "core/clock.h"
#include "session/exercise.h"

#include <tuple>

namespace mv {

namespace {

QString Indexed(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

} // namespace

void RegisterExerciseCommands(Exercise& exercise) {
    CommandRegistry& r = exercise.commands();
    Simulation& sim = exercise.simulation();
    RadarDisplayState& d = exercise.display();
    TickDisplay& tick = d.Tick;
    DisplayCommands& show = exercise.displayCommands();
    Exercise* e = &exercise;

    // An assessed exercise that has ended is neither run on nor taken again.
    r.add({"mnuRepeat",
           "Re&peat",
           "Ctrl+R",
           [e] { e->Repeat(); },
           {},
           [e] { return !e->assessedEnded(); },
           {},
           "The assessed exercise has ended"});
    r.add({"mnuPause",
           "&Pause",
           "Ctrl+P",
           [e] { e->TogglePause(); },
           [e] { return e->isPaused(); },
           [e] { return !e->assessedEnded() && (e->isPaused() || e->allowed().Pause); },
           {},
           "The exercise does not allow pausing, or has ended"});
    for (int i = 0; i < kTimeFactorCount; ++i)
        r.add({Indexed("mnuT", i),
               QString("x%1").arg(kTimeFactors[static_cast<size_t>(i)]),
               {},
               [e, i] { e->SetTimeFactor(i); },
               [&sim, i] { return sim.Clock.TimeFactorIndex == i; },
               [e, i] { return e->TimeFactorAllowed(i); },
               "mnuT",
               "The exercise does not allow this time factor"});
    r.add({"mnuIdentify", "I&dentify", "Ctrl+I", [&show] { show.Identify(); },
           [&tick] { return tick.IdentifyOn; }});
    r.add({"mnuHeadsUp",
           "&Heads-up",
           {},
           [&show] { show.SetNorthUp(false); },
           [&tick] { return tick.HeadsUp(); },
           {},
           "mnuRadarMode"});
    r.add({"mnuNorthup",
           "&North-up",
           {},
           [&show] { show.SetNorthUp(true); },
           [&tick] { return tick.NorthUp; },
           {},
           "mnuRadarMode"});
    r.add({"mnuKeysMode",
           "&Keys Mode",
           {},
           [&show] { show.SetCursorMode(InputMode::Keys); },
           [&d] { return d.CursorMode == InputMode::Keys; },
           {},
           "mnuEBLVRMmode"});
    r.add({"mnuCursorMode",
           "&Cursor Mode",
           {},
           [&show] { show.SetCursorMode(InputMode::Cursor); },
           [&d] { return d.CursorMode == InputMode::Cursor; },
           {},
           "mnuEBLVRMmode"});

    // The vessel buttons' mode, chosen on the console's options or by a menu's vessel entry.
    const std::tuple<const char*, const char*, VesselMode> vesselModes[] = {
        {"actManeuverMode", "&Maneuver", VesselMode::Maneuver},
        {"actCpaMode", "CPA &info", VesselMode::Cpa},
        {"actJumpToMode", "&Jump to", VesselMode::JumpTo}};
    for (const auto& [name, caption, mode] : vesselModes) {
        const VesselMode m = mode;
        r.add({name,
               caption,
               {},
               [&d, m] { d.VesselOrder = m; },
               [&d, m] { return d.VesselOrder == m; },
               [e, m] {
                   return VesselModeAllowed(m, {e->assessed() != nullptr, e->allowed().CpaInfo});
               },
               "grpVesselMode",
               "The exercise does not allow this"});
    }

    r.add({"mnuRangeUp", "Range &Up", "Ctrl+Up", [&show] { show.RangeUp(); }});
    r.add({"mnuRangeDown", "Range &Down", "Ctrl+Down", [&show] { show.RangeDown(); }});
    for (int i = 0; i < static_cast<int>(kRangeScales.size()); ++i)
        r.add({Indexed("mnuRange", i),
               QString::fromStdString(RangeFigure(kRangeScales[static_cast<size_t>(i)])),
               {},
               [&show, i] { show.SelectRange(i); },
               [&d, i] { return d.RangeIndex == i; },
               {},
               "mnuRange"});
    r.add({"mnuRangeRings",
           "R&ange Rings",
           {},
           [&show] { show.ToggleRings(); },
           [&d] { return d.RingsOn; }});
    r.add({"mnuVRM", "&VRM", {}, [&show] { show.ToggleVRM(); }, [&d] { return d.VRMOn; }});
    r.add({"mnuEBL", "&EBL", {}, [&show] { show.ToggleEBL(); }, [&d] { return d.EBLOn; }});
    r.add({"mnuSHL",
           "&SHL",
           {},
           [&show] { show.ToggleHeadingLine(); },
           [&tick] { return tick.ShowSHL; }});
    r.add({"actBearings", "Bearings", {}, [&show] { show.ToggleBearings(); }});
    r.add({"mnuBearingRelative",
           "&Relative",
           {},
           [&show] { show.SetBearing(BearingMode::Relative); },
           [&tick] { return tick.Bearing == BearingMode::Relative; },
           {},
           "mnuBearings"});
    r.add({"mnuBearingCourse",
           "&Course",
           {},
           [&show] { show.SetBearing(BearingMode::Course); },
           [&tick] { return tick.Bearing == BearingMode::Course; },
           {},
           "mnuBearings"});
    r.add({"mnuPlotOnOff", "&On/Off", "Ctrl+L", [&show] { show.TogglePlot(); },
           [&tick] { return tick.PlotOn; }});
    const char* intervals[] = {"&Continuous", "&3 min", "&6 min", "&12 min"};
    for (int i = 0; i < 4; ++i)
        r.add({Indexed("mnuPlotFrequency", i),
               intervals[i],
               {},
               [&show, i] { show.SetPlotInterval(i); },
               [&tick, i] { return tick.PlotFreqIndex == i; },
               {},
               "mnuPlotFrequency"});
    r.add({"actFreq", "Freq", {}, [&show] { show.NextPlotInterval(); }});
    r.add({"actNav", "Nav", {}, [&show] { show.ToggleNav(); }, [&d] { return d.NavOn; }});
    const char* seas[] = {"&Calm", "&Moderate", "&Heavy"};
    for (int i = 0; i < 3; ++i)
        r.add({Indexed("mnuSeas", i),
               seas[i],
               {},
               [&show, i] { show.SetSeaState(i); },
               [&sim, i] { return sim.SeaState == i; },
               {},
               "mnuSeas"});
}

} // namespace mv
