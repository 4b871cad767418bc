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
