#pragma once
// Dead reckoning and the step-by-step approach to an ordered heading and speed.

#include "core/vessel.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mv {

// Knots gained or lost per tick at time factor 1, whatever the size.
inline constexpr int16_t kSpeedRatePerTick = 5;
// Degrees turned per tick at time factor 1: 30 small, 15 medium, 5 large, 0 otherwise.
int16_t TurnRate(double size);

// What a step shows on the manoeuvre panel of the vessel it steps. Unset fields are left as
// they are.
struct ManeuverReadout {
    std::optional<std::string> SpeedingCaption; // "^" or "v"
    std::optional<bool> SpeedingVisible;
    std::optional<std::string> SpeedText;      // "##.0"
    std::optional<std::string> TurningCaption; // ">" or "<"
    std::optional<bool> TurningVisible;
    std::optional<std::string> CourseText; // "000"
    // Set when a turn completes: the course entry shows the ordered heading and the
    // turn-by entries are cleared to "0".
    std::optional<std::string> CourseEntry;
    bool ClearTurnEntries = false;
};

// Moves the position Speed x hoursPerTick nautical miles along the heading.
void MoveVessel(const VesselData& vessel, PointD& position, double hoursPerTick);

// A tidal stream or ocean current, the same over the whole picture. Set: the direction it
// flows toward, degrees true; drift: its rate, knots. Every vessel is carried by it alike, so
// the relative picture is what it would be in still water, while each course and speed over
// the ground differ from those through the water. A stationary echo (a buoy, an anchored
// vessel) is one whose way through the water is the current's reciprocal.
struct SeaCurrent {
    float Set = 0;   // degrees true, toward
    float Drift = 0; // knots
    bool Flowing() const { return Drift != 0.0f; }
    friend bool operator==(const SeaCurrent&, const SeaCurrent&) = default;
};

// Carries the position drift x hoursPerTick nautical miles toward the set.
void DriftWithCurrent(const SeaCurrent& current, PointD& position, double hoursPerTick);

// A course (degrees true, [0, 360)) and speed (knots), through the water or over the ground.
struct CourseSpeed {
    double Course = 0;
    double Speed = 0;
};

// The course and speed made good over the ground by a vessel steering `heading` at `speed`
// through the water in the current. Course 0 when the vessel makes no way over the ground.
CourseSpeed OverGround(double heading, double speed, const SeaCurrent& current);
// The way through the water that gives `ground` over the ground in the current: the heading
// and speed a stationary echo (ground speed 0) must be given, for one.
CourseSpeed ThroughWater(const CourseSpeed& ground, const SeaCurrent& current);

// +1 turn right (heading increasing), -1 left, 0 on the ordered heading. The shorter way is
// taken; exactly 180 degrees apart turns right toward the larger number.
int TurnDirection(int16_t current, int16_t ordered);

// One tick toward NewSpeed. Returns true when the ordered speed has been reached.
bool SpeedStep(VesselData& vessel, int16_t timeFactor, ManeuverReadout& readout);

// One tick toward NewHeading. Returns true when the ordered heading has been reached.
bool TurnStep(VesselData& vessel, int16_t timeFactor, ManeuverReadout& readout);

// Whether a turn toward NewHeading can still make progress. A heading a fraction of a degree
// off (yaw, or a fractional start) that rounds to the ordered heading is already on course.
bool TurnPending(const VesselData& vessel, int16_t timeFactor);

} // namespace mv
