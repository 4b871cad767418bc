#include "core/motion.h"

#include "core/geometry.h"
#include "core/number_text.h"

#include <cmath>

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

void DriftWithCurrent(const SeaCurrent& current, PointD& position, double hoursPerTick) {
    if (!current.Flowing()) return;
    MovePoint(position, current.Set, static_cast<double>(current.Drift) * hoursPerTick);
}

namespace {

// A course and speed as north and east components (knots), and back.
PointD Components(double course, double speed) {
    return {speed * std::cos(course * kDegToRad), speed * std::sin(course * kDegToRad)};
}

CourseSpeed FromComponents(const PointD& v) {
    const double speed = std::hypot(v.X, v.Y);
    // Below a thousandth of a knot the vessel is stopped and a course means nothing.
    if (speed < 1e-3) return {0, 0};
    double course = std::atan2(v.Y, v.X) / kDegToRad;
    if (course < 0) course += 360;
    if (course >= 360) course -= 360;
    return {course, speed};
}

} // namespace

CourseSpeed OverGround(double heading, double speed, const SeaCurrent& current) {
    const PointD water = Components(heading, speed);
    const PointD stream = Components(current.Set, current.Drift);
    return FromComponents({water.X + stream.X, water.Y + stream.Y});
}

CourseSpeed ThroughWater(const CourseSpeed& ground, const SeaCurrent& current) {
    const PointD over = Components(ground.Course, ground.Speed);
    const PointD stream = Components(current.Set, current.Drift);
    return FromComponents({over.X - stream.X, over.Y - stream.Y});
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
