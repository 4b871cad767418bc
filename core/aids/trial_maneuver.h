#pragma once
// A trial manoeuvre of the own ship: what every target's CPA would become if the own ship held
// on for a delay and then turned and changed speed to a trial course and speed. Worked by
// running a copy of the simulation ahead tick by tick, with the order given as the manoeuvre
// window gives it, so the own ship turns and gathers or loses way at her size class's rates
// exactly as the tick will carry the real order out. Degrees true, knots, nautical miles,
// minutes.

#include "core/aids/cpa.h"
#include "core/aids/maneuver.h"
#include "core/simulation.h"

#include <optional>
#include <string>
#include <vector>

namespace mv {

struct TrialOrder {
    int16_t Course = 0;      // degrees true
    float Speed = 0;         // knots
    double DelayMinutes = 0; // until the order is given
};

struct TrialTarget {
    int Vessel = -1;
    CpaResult Present; // as both hold on; TCPA in minutes from now
    CpaResult Trial;   // after the trial manoeuvre; TCPA in minutes from now
    // Where the echo will be, relative to the own ship (X north, Y east, nautical miles): now,
    // when the order is given, when the manoeuvre is complete, and at the trial CPA (or as far
    // ahead as the look-ahead goes when the CPA is past).
    std::vector<PointD> Track;
};

struct TrialOutcome {
    std::vector<TrialTarget> Targets;
    int DelayTicks = 0;     // ticks at the present time factor before the order is given
    double DoneMinutes = 0; // when the own ship is on the trial course and speed
    bool Completed = false; // false: the manoeuvre cannot be carried out (a stopped clock)
};

// The ticks that a delay takes at the clock's time factor: the order goes at the first tick
// boundary at or after the delay.
int DelayTicks(const SimClock& clock, double minutes);

// The manoeuvre window's entries that order the trial course and speed.
ManeuverEntries TrialEntries(const TrialOrder& order);

// Every target with its present CPA and TCPA and where its echo is now; no trial yet.
std::vector<TrialTarget> PresentTargets(const VesselTables& vessels, BearingMode mode);

// The trial table's cells. A CPA in nautical miles ("1.23 nm."); its TCPA in minutes from now
// ("12.0 min."), or "past" when the target is already opening at `fromMinutes` from now (0 for
// the present motion, DoneMinutes for the trial's, which only begins then): a past CPA is not a
// danger to come, whatever its distance.
std::string TrialCpaText(const CpaResult& r);
std::string TrialTcpaText(const CpaResult& r, double fromMinutes);

TrialOutcome RunTrial(const Simulation& sim, const TickDisplay& display, const TrialOrder& order,
                      BearingMode mode);

} // namespace mv
