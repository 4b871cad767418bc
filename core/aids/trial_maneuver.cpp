#include "core/aids/trial_maneuver.h"

#include "core/aids/cpa_data.h"
#include "core/geometry.h"
#include "core/number_text.h"

#include <cmath>

namespace mv {

namespace {

// A turn of 180 degrees at the slowest rate (5 degrees a tick) and a change of 100 knots (5
// knots a tick) are done well inside this many ticks.
constexpr int kMaxManeuverTicks = 200;

PointD Relative(const VesselTables& v, int vessel) {
    const PointD& own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    const PointD& p = v.VesselPos[static_cast<size_t>(vessel)];
    return {p.X - own.X, p.Y - own.Y};
}

CpaResult CpaNow(const VesselTables& v, int vessel, BearingMode mode, double minutesFromNow) {
    double range = 0;
    CpaInput in = PresentCpaInput(v, vessel, range);
    in.T0 = minutesFromNow;
    return ComputeCPA(in, mode);
}

} // namespace

int DelayTicks(const SimClock& clock, double minutes) {
    const double tickMinutes = clock.HoursPerTick * 60.0;
    if (minutes <= 0 || tickMinutes <= 0) return 0;
    // A hair's tolerance so that 6 minutes at 90-second ticks is 4 ticks, not 5.
    return static_cast<int>(std::ceil(minutes / tickMinutes - 1e-9));
}

ManeuverEntries TrialEntries(const TrialOrder& order) {
    ManeuverEntries e;
    e.Course = DirectionText(order.Course);
    e.Speed = FormatNumber(order.Speed, "#0.0");
    return e;
}

std::vector<TrialTarget> PresentTargets(const VesselTables& vessels, BearingMode mode) {
    std::vector<TrialTarget> targets;
    for (int i = 0; i < vessels.NumVessels; ++i)
        if (i != vessels.OwnVessel) {
            TrialTarget t;
            t.Vessel = i;
            t.Present = CpaNow(vessels, i, mode, 0.0);
            t.Track.push_back(Relative(vessels, i));
            targets.push_back(t);
        }
    return targets;
}

std::string TrialCpaText(const CpaResult& r) {
    return r.Computed ? MilesText(r.CPA) : kCpaNotComputed;
}

std::string TrialTcpaText(const CpaResult& r, double fromMinutes) {
    if (!r.Computed) return kCpaNotComputed;
    return r.TCPA < fromMinutes ? "past" : MinutesText(r.TCPA);
}

TrialOutcome RunTrial(const Simulation& sim, const TickDisplay& display, const TrialOrder& order,
                      BearingMode mode) {
    TrialOutcome out;
    const VesselTables& now = sim.Vessels;
    if (now.NumVessels <= 0 || sim.Clock.HoursPerTick <= 0) return out;
    Simulation ahead = sim;
    TickDisplay unseen = display;
    unseen.PlotOn = false;
    unseen.TrueViewOn = false;
    UnseenView view;
    const double tickMinutes = sim.Clock.HoursPerTick * 60.0;

    out.Targets = PresentTargets(now, mode);

    out.DelayTicks = DelayTicks(sim.Clock, order.DelayMinutes);
    for (int k = 0; k < out.DelayTicks; ++k)
        ahead.Tick(unseen, view);
    for (TrialTarget& t : out.Targets)
        t.Track.push_back(Relative(ahead.Vessels, t.Vessel));

    ManeuverEntries entries = TrialEntries(order);
    if (ExecuteManeuver(entries, ahead.Vessels.OwnVessel, ahead)) return out;
    int ticks = out.DelayTicks;
    const VesselData& own = ahead.Vessels.Vessel[static_cast<size_t>(ahead.Vessels.OwnVessel)];
    // The tick ends the turn by the Turning flag, not by the heading, which the yaw moves.
    const auto underWay = [&] { return ahead.Turning || own.Speed != own.NewSpeed; };
    for (int k = 0; k < kMaxManeuverTicks && underWay(); ++k, ++ticks)
        ahead.Tick(unseen, view);
    out.DoneMinutes = ticks * tickMinutes;
    out.Completed = !underWay();

    for (TrialTarget& t : out.Targets) {
        const PointD done = Relative(ahead.Vessels, t.Vessel);
        t.Track.push_back(done);
        t.Trial = CpaNow(ahead.Vessels, t.Vessel, mode, out.DoneMinutes);
        // On along the new relative motion to the CPA; a CPA already past ends the track here.
        const double hours = (t.Trial.TCPA - out.DoneMinutes) / 60.0;
        if (t.Trial.Computed && hours > 0) {
            PointD cpa = done;
            MovePoint(cpa, t.Trial.DRM + (mode == BearingMode::Course ? 0.0f : own.Heading),
                      t.Trial.SRM * hours);
            t.Track.push_back(cpa);
        }
    }
    return out;
}

} // namespace mv
