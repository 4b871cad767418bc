#include "core/motion.h"

#include "core/geometry.h"
#include "core/number_text.h"

namespace mv {

int16_t TurnRate(double size) {
    if (size == kSmall) return 30;
    if (size == kMedium) return 15;
    if (size == kLarge) return 5;
    return 0;
}

void MoveVessel(const VesselData& vessel, PointD& position, double hoursPerTick) {
    const double distance = static_cast<double>(vessel.Speed) * hoursPerTick;
    MovePoint(position, vessel.Heading, distance);
}

int TurnDirection(int16_t current, int16_t ordered) {
    if (current < ordered) return ordered - current <= 180 ? 1 : -1;
    if (current > ordered) return current - ordered <= 180 ? -1 : 1;
    return 0;
}

bool SpeedStep(VesselData& vessel, int16_t timeFactor, ManeuverReadout& readout) {
    int direction = 0;
    if (vessel.NewSpeed > vessel.Speed) {
        direction = 1;
        readout.SpeedingCaption = "^";
    } else if (vessel.Speed > vessel.NewSpeed) {
        direction = -1;
        readout.SpeedingCaption = "v";
    } else {
        return true;
    }
    const int16_t rate = static_cast<int16_t>(kSpeedRatePerTick * timeFactor);
    vessel.Speed += static_cast<float>(rate * direction);
    readout.SpeedingVisible = true;
    bool reached = false;
    if ((direction > 0 && vessel.Speed >= vessel.NewSpeed) ||
        (direction < 0 && vessel.Speed <= vessel.NewSpeed)) {
        vessel.Speed = vessel.NewSpeed;
        readout.SpeedingVisible = false;
        reached = true;
    }
    readout.SpeedText = FormatNumber(vessel.Speed, "##.0");
    return reached;
}

bool TurnStep(VesselData& vessel, int16_t timeFactor, ManeuverReadout& readout) {
    const int direction = TurnDirection(RoundToInt16(vessel.Heading), vessel.NewHeading);
    readout.TurningCaption = direction > 0 ? ">" : "<";
    const int16_t step = static_cast<int16_t>(timeFactor * TurnRate(vessel.Size));
    bool reached = false;
    if (step >= 180) {
        // A half circle or more per tick: the turn is done within this tick.
        vessel.Heading = static_cast<float>(vessel.NewHeading);
        readout.TurningVisible = false;
        reached = true;
    } else if (direction != 0) {
        const int16_t next =
            FoldDegrees16(RoundToInt16(static_cast<double>(vessel.Heading) + direction * step));
        // Turn still needed and turn made, both measured the way the vessel is turning.
        const float ordered = static_cast<float>(vessel.NewHeading);
        const float remaining =
            FoldDegrees(direction > 0 ? ordered - vessel.Heading : vessel.Heading - ordered);
        const float moved = FoldDegrees(direction > 0 ? static_cast<float>(next) - vessel.Heading
                                                      : vessel.Heading - static_cast<float>(next));
        if (moved < remaining) {
            vessel.Heading = static_cast<float>(next);
            readout.TurningVisible = true;
        } else {
            vessel.Heading = ordered;
            readout.CourseEntry = std::to_string(vessel.NewHeading);
            readout.ClearTurnEntries = true;
            readout.TurningVisible = false;
            reached = true;
        }
    }
    readout.CourseText = DirectionText(vessel.Heading);
    return reached;
}

bool TurnPending(const VesselData& vessel, int16_t timeFactor) {
    if (vessel.Heading == static_cast<float>(vessel.NewHeading)) return false;
    const int16_t step = static_cast<int16_t>(timeFactor * TurnRate(vessel.Size));
    if (step >= 180) return true;
    if (step == 0) return false;
    return RoundToInt16(vessel.Heading) != vessel.NewHeading;
}

} // namespace mv
