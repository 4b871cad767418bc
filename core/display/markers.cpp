#include "core/display/markers.h"

#include "core/geometry.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// The VRM radius is kept at single precision, as the read-outs and the CPA computer expect.
double Single(double v) {
    return static_cast<double>(static_cast<float>(v));
}

bool StepVRM(RadarDisplayState& s, double step, bool out) {
    const double range = s.Tick.Range;
    if (out) {
        // Never past the edge of the picture: a step that would cross it is not taken.
        if (s.VRMRange > Single(range - step)) return false;
        s.VRMRange = Single(s.VRMRange + step);
    } else {
        // Never down to zero: a radius of one step or less stays where it is.
        if (s.VRMRange <= step) return false;
        s.VRMRange = Single(s.VRMRange - step);
    }
    return true;
}

void StepEBL(RadarDisplayState& s, float step, bool clockwise) {
    if (clockwise) {
        s.EBLBearing += step;
        if (s.EBLBearing >= 360.0f) s.EBLBearing -= 360.0f;
    } else {
        s.EBLBearing -= step;
        if (s.EBLBearing < 0.0f) s.EBLBearing += 360.0f;
    }
}

} // namespace

WorldSegment PlaceEBL(const RadarDisplayState& s, const PointD& own) {
    WorldSegment line{own, own};
    PolarOffset(own, line.To, s.EBLBearing, s.Tick.Range);
    return line;
}

int EBLReadBearing(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    const double screen = static_cast<double>(s.EBLBearing);
    const double heading = static_cast<double>(ownHeading);
    if (s.Tick.CourseUp && !s.Tick.NorthUp) {
        // Course-up: the top is the ordered course; a relative bearing is off the head.
        double b = screen + static_cast<double>(ownCourse);
        if (s.Tick.Bearing == BearingMode::Relative) b -= heading;
        int r = static_cast<int>(std::round(std::fmod(b, 360.0)));
        if (r < 0) r += 360;
        if (r >= 360) r -= 360;
        return r;
    }
    if (s.Tick.HeadsUp() && s.Tick.Bearing == BearingMode::Course) {
        // Heads-up: the top of the picture is the own heading, so add it for a true bearing.
        int b = static_cast<int>(std::round(screen + heading));
        if (b >= 360) b -= 360;
        return b;
    }
    if (s.Tick.NorthUp && s.Tick.Bearing == BearingMode::Relative) {
        // North-up: take the heading off the true bearing for a relative one.
        int b = static_cast<int>(std::round(screen - heading));
        if (b < 0) b += 360;
        return b;
    }
    return static_cast<int>(std::round(screen));
}

double EBLTrueBearing(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    double b = static_cast<double>(s.EBLBearing);
    if (!s.Tick.NorthUp) b += static_cast<double>(s.Tick.CourseUp ? ownCourse : ownHeading);
    b = std::fmod(b, 360.0);
    return b < 0.0 ? b + 360.0 : b;
}

std::string EBLCaption(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    const char* mode = s.Tick.Bearing == BearingMode::Course ? "COURSE" : "RELATIVE";
    return "EBL " + DirectionText(EBLReadBearing(s, ownHeading, ownCourse)) + " " + mode;
}

std::string VRMCaption(double vrmRange) {
    return "VRM " + MilesText(vrmRange);
}

CursorCross DrawCursor(const RadarDisplayState& s) {
    const double d = 0.05 * s.Tick.Range;
    const double e = s.CursorEast;
    const double n = s.CursorNorth;
    return {{{n, e - d}, {n, e + d}}, {{n - d, e}, {n + d, e}}};
}

void CursorToEBLVRM(RadarDisplayState& s, const PointD& own) {
    PointD p;
    PolarOffset(own, p, s.EBLBearing, s.VRMRange);
    s.CursorEast = p.Y;
    s.CursorNorth = p.X;
}

std::string CursorRangeCaption(double range) {
    return "R " + MilesText(range);
}

std::string CursorBearingCaption(float bearing) {
    return "B " + DirectionText(static_cast<double>(bearing));
}

bool CursorClick(RadarDisplayState& s, const PointD& own, double east, double north) {
    if (s.CursorMode != InputMode::Cursor) return false;
    float bearing = 0.0f;
    double distance = 0.0;
    if (GetVector(own, PointD{north, east}, bearing, distance) != 0) return false;
    // A click on the edge of the range circle still counts.
    if (Single(distance) > s.Tick.Range) return false;
    s.CursorEast = east;
    s.CursorNorth = north;
    // Anything that would read 360 reads 000.
    if (bearing >= 359.5f) bearing = 0.0f;
    s.EBLBearing = bearing;
    s.VRMRange = Single(distance);
    s.VRMPending = true;
    s.EBLPending = true;
    return true;
}

MarkerButton ButtonForKey(ArrowKey key) {
    switch (key) {
    case ArrowKey::Left:
        return MarkerButton::EBLCtrClock;
    case ArrowKey::Right:
        return MarkerButton::EBLClock;
    case ArrowKey::Up:
        return MarkerButton::VRMOut;
    case ArrowKey::Down:
        break;
    }
    return MarkerButton::VRMIn;
}

bool PressMarkerButton(RadarDisplayState& s, MarkerButton b) {
    const bool ebl = b == MarkerButton::EBLClock || b == MarkerButton::EBLCtrClock;
    if (ebl ? !s.EBLOn : !s.VRMOn) return false;
    s.HoldCount = 0;
    if (ebl) {
        s.MovementKind = Movement::EBL;
        s.EBLDir = b == MarkerButton::EBLClock ? 1 : 0;
    } else {
        s.MovementKind = Movement::VRM;
        s.VRMDir = b == MarkerButton::VRMOut ? 1 : 0;
    }
    return true;
}

bool ReleaseMarkerButton(RadarDisplayState& s, MarkerButton b) {
    const bool ebl = b == MarkerButton::EBLClock || b == MarkerButton::EBLCtrClock;
    // Only the movement this button started ends here, even if its marker was switched off
    // meanwhile, so a timer is never left running with nothing to stop it.
    if (s.MovementKind != (ebl ? Movement::EBL : Movement::VRM)) return false;
    s.HoldCount = 0;
    s.MovementKind = Movement::None;
    return true;
}

double VRMStep(double range, int16_t holdCount) {
    return (holdCount <= kSlowTicks ? 0.01 : 0.04) * range;
}

float EBLStep(int16_t holdCount) {
    return holdCount <= kSlowTicks ? 1.0f : 5.0f;
}

UtilityTickResult UtilityTick(RadarDisplayState& s) {
    if (s.HoldCount < INT16_MAX) ++s.HoldCount;
    switch (s.MovementKind) {
    case Movement::VRM:
        StepVRM(s, VRMStep(s.Tick.Range, s.HoldCount), s.VRMDir == 1);
        return UtilityTickResult::VRMMoved;
    case Movement::EBL:
        StepEBL(s, EBLStep(s.HoldCount), s.EBLDir == 1);
        return UtilityTickResult::EBLMoved;
    default:
        return UtilityTickResult::NoMovement;
    }
}

int UtilityTicksDue(int16_t holdCount, int64_t heldMs, bool firing) {
    const int64_t earned =
        std::min<int64_t>(std::max<int64_t>(heldMs, 0) / kUtilityIntervalMs, INT16_MAX);
    return static_cast<int>(std::max<int64_t>(earned - holdCount, firing ? 1 : 0));
}

bool WheelVRM(RadarDisplayState& s, int notches) {
    if (!s.VRMOn) return false;
    bool moved = false;
    const double step = VRMStep(s.Tick.Range, 0);
    for (int i = 0; i < std::abs(notches); ++i)
        moved = StepVRM(s, step, notches > 0) || moved;
    return moved;
}

} // namespace mv
