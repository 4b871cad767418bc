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

double& SelectedVRMRange(RadarDisplayState& s) {
    return s.SelectedVRM == 2 ? s.VRM2Range : s.VRMRange;
}

float& SelectedEBLBearing(RadarDisplayState& s) {
    return s.SelectedEBL == 2 ? s.EBL2Bearing : s.EBLBearing;
}

bool StepVRM(RadarDisplayState& s, double step, bool out) {
    const double range = s.Tick.Range;
    double& vrm = SelectedVRMRange(s);
    if (out) {
        // Never past the edge of the picture: a step that would cross it is not taken.
        if (vrm > Single(range - step)) return false;
        vrm = Single(vrm + step);
    } else {
        // Never down to zero: a radius of one step or less stays where it is.
        if (vrm <= step) return false;
        vrm = Single(vrm - step);
    }
    return true;
}

void StepEBL(RadarDisplayState& s, float step, bool clockwise) {
    float& ebl = SelectedEBLBearing(s);
    if (clockwise) {
        ebl += step;
        if (ebl >= 360.0f) ebl -= 360.0f;
    } else {
        ebl -= step;
        if (ebl < 0.0f) ebl += 360.0f;
    }
}

// A screen bearing (degrees clockwise from the picture's top) read in the navigator's
// reference, whole degrees.
int ReadScreenBearing(const RadarDisplayState& s, float screenBearing, float ownHeading,
                      float ownCourse) {
    const double screen = static_cast<double>(screenBearing);
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

const char* ReferenceWord(const RadarDisplayState& s) {
    return s.Tick.Bearing == BearingMode::Course ? "COURSE" : "RELATIVE";
}

} // namespace

WorldSegment PlaceEBL(const RadarDisplayState& s, const PointD& own) {
    WorldSegment line{own, own};
    PolarOffset(own, line.To, s.EBLBearing, s.Tick.Range);
    return line;
}

int EBLReadBearing(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    return ReadScreenBearing(s, s.EBLBearing, ownHeading, ownCourse);
}

double EBLTrueBearing(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    double b = static_cast<double>(s.EBLBearing);
    if (!s.Tick.NorthUp) b += static_cast<double>(s.Tick.CourseUp ? ownCourse : ownHeading);
    b = std::fmod(b, 360.0);
    return b < 0.0 ? b + 360.0 : b;
}

std::string EBLCaption(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    return "EBL " + DirectionText(EBLReadBearing(s, ownHeading, ownCourse)) + " " +
           ReferenceWord(s);
}

std::string VRMCaption(double vrmRange) {
    return "VRM " + MilesText(vrmRange);
}

std::string EBL2Caption(const RadarDisplayState& s, float ownHeading, float ownCourse) {
    return "EBL2 " + DirectionText(ReadScreenBearing(s, s.EBL2Bearing, ownHeading, ownCourse)) +
           " " + ReferenceWord(s);
}

std::string VRM2Caption(double vrmRange) {
    return "VRM2 " + MilesText(vrmRange);
}

BearingRange FromOrigin(const PointD& origin, const PointD& point) {
    const double dN = point.X - origin.X;
    const double dE = point.Y - origin.Y;
    const double range = std::hypot(dN, dE);
    if (range == 0.0) return {0.0, 0.0};
    double b = std::atan2(dE, dN) / kDegToRad;
    if (b < 0.0) b += 360.0;
    if (b >= 360.0) b -= 360.0;
    return {b, range};
}

std::optional<std::pair<double, double>> LineInCircle(const PointD& origin, double bearing,
                                                      const PointD& centre, double radius) {
    // Along the line, origin + t (cos b, sin b) meets the circle where
    // t^2 + 2 t (w.d) + |w|^2 - r^2 = 0, w the origin less the centre.
    const double a = bearing * kDegToRad;
    const double wN = origin.X - centre.X;
    const double wE = origin.Y - centre.Y;
    const double half = wN * std::cos(a) + wE * std::sin(a);
    const double disc = half * half - (wN * wN + wE * wE - radius * radius);
    if (!(disc > 0.0)) return std::nullopt; // it misses the circle, or only grazes it
    const double root = std::sqrt(disc);
    const double leave = -half + root;
    if (!(leave > 0.0)) return std::nullopt; // the circle lies behind the origin
    return std::pair{std::max(0.0, -half - root), leave};
}

float PictureUpOf(const TickDisplay& d, float ownHeading, float ownCourse) {
    if (d.NorthUp) return 0.0f;
    return d.CourseUp ? ownCourse : ownHeading;
}

PointD EBL2OriginOnPicture(const RadarDisplayState& s, const PointD& own, float up) {
    if (!s.EBL2Offset) return own;
    PointD p = s.EBL2Origin;
    RotateBy(up, p, own);
    return p;
}

std::optional<WorldSegment> PlaceEBL2(const RadarDisplayState& s, const PointD& own, float up) {
    const PointD origin = EBL2OriginOnPicture(s, own, up);
    const auto inside = LineInCircle(origin, static_cast<double>(s.EBL2Bearing), own, s.Tick.Range);
    if (!inside) return std::nullopt;
    WorldSegment line;
    PolarOffset(origin, line.From, s.EBL2Bearing, inside->first);
    PolarOffset(origin, line.To, s.EBL2Bearing, inside->second);
    return line;
}

std::string EBL2OriginCaption(const RadarDisplayState& s, const PointD& own, float ownHeading) {
    if (!s.EBL2Offset) return {};
    const BearingRange from = FromOrigin(own, s.EBL2Origin);
    double b = from.Bearing;
    // The origin is a sea position, so its bearing is true; RELATIVE counts it off the head.
    if (s.Tick.Bearing == BearingMode::Relative) b -= static_cast<double>(ownHeading);
    int whole = static_cast<int>(std::round(std::fmod(b, 360.0)));
    if (whole < 0) whole += 360;
    if (whole >= 360) whole -= 360;
    return "FROM " + DirectionText(whole) + " " + MilesText(from.Range);
}

bool OffsetEBL2(RadarDisplayState& s, const PointD& own, float up) {
    if (s.CursorMode != InputMode::Cursor) return false;
    // The cursor is a point on the picture; the origin is kept unrotated, on the sea.
    PointD p{s.CursorNorth, s.CursorEast};
    RotateBy(-up, p, own);
    s.EBL2Origin = p;
    s.EBL2Offset = true;
    s.EBL2On = true;
    s.SelectedEBL = 2;
    return true;
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

bool SelectedEBLOn(const RadarDisplayState& s) {
    return s.SelectedEBL == 2 ? s.EBL2On : s.EBLOn;
}

bool SelectedVRMOn(const RadarDisplayState& s) {
    return s.SelectedVRM == 2 ? s.VRM2On : s.VRMOn;
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
    if (ebl ? !SelectedEBLOn(s) : !SelectedVRMOn(s)) return false;
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
    if (!SelectedVRMOn(s)) return false;
    bool moved = false;
    const double step = VRMStep(s.Tick.Range, 0);
    for (int i = 0; i < std::abs(notches); ++i)
        moved = StepVRM(s, step, notches > 0) || moved;
    return moved;
}

} // namespace mv
