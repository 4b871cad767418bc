#pragma once
// The measuring markers of the radar picture: the electronic bearing line (EBL), the variable
// range marker (VRM) and the cursor cross, with their press-and-hold movement, their limits and
// their read-outs. Plain functions over the display state; the windows place the overlays and
// run the utility timer.
//
// World points are (north X, east Y) in nautical miles. The EBL bearing is a screen bearing:
// clockwise from the top of the picture, the own heading in heads-up and north in north-up.

#include "core/display/display_state.h"
#include "core/vessel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace mv {

inline constexpr int kUtilityIntervalMs = 100;
// Ticks of the utility timer (half a second) before a held marker speeds up.
inline constexpr int16_t kSlowTicks = 5;
inline constexpr char kUtilityTimerError[] =
    "Error - utility timer running when no movement in progress!";

struct WorldSegment {
    PointD From;
    PointD To;
};

struct CursorCross {
    WorldSegment Horizontal; // lneHCursor
    WorldSegment Vertical;   // lneVCursor
};

// The line from the own vessel to the edge of the picture along the EBL.
WorldSegment PlaceEBL(const RadarDisplayState& s, const PointD& own);
// The EBL in the navigator's reference, whole degrees: 0..359, or 360 for a screen bearing a
// hair under 360 in the fixed references.
// `ownCourse` is the ordered course, the top of a course-up picture.
int EBLReadBearing(const RadarDisplayState& s, float ownHeading, float ownCourse = 0);
// The EBL as a true bearing, 0 <= b < 360 degrees: in a heads-up picture the screen bearing
// is counted from the own heading, so the heading is added; in a north-up one it is true.
double EBLTrueBearing(const RadarDisplayState& s, float ownHeading, float ownCourse = 0);
// "EBL 045 RELATIVE", "EBL 030 COURSE"
std::string EBLCaption(const RadarDisplayState& s, float ownHeading, float ownCourse = 0);

// "VRM 6.00 nm", "VRM 11.88 nm"
std::string VRMCaption(double vrmRange);

// The second pair's read-outs in the same form: "EBL2 045 RELATIVE", "VRM2 3.25 nm".
std::string EBL2Caption(const RadarDisplayState& s, float ownHeading, float ownCourse = 0);
std::string VRM2Caption(double vrmRange);

// A point's true bearing (0 <= b < 360 degrees) and range (nautical miles) from an origin;
// (0, 0) for the origin itself.
struct BearingRange {
    double Bearing;
    double Range;
};
BearingRange FromOrigin(const PointD& origin, const PointD& point);
// Where a line from `origin` along `bearing` (degrees) lies inside the circle of `radius`
// about `centre`: the distances along it (nautical miles) where it enters (0 from an origin
// inside) and leaves the circle. None when it misses, only grazes, or the circle is behind.
std::optional<std::pair<double, double>> LineInCircle(const PointD& origin, double bearing,
                                                      const PointD& centre, double radius);

// The true bearing at the top of the picture: north, the ordered course or the own heading.
float PictureUpOf(const TickDisplay& d, float ownHeading, float ownCourse);
// The second EBL's origin on the picture (rotated by `up` about the own vessel), the own
// vessel itself unless it is offset.
PointD EBL2OriginOnPicture(const RadarDisplayState& s, const PointD& own, float up);
// The second EBL from its origin to the edge of the range circle about the own vessel; none
// while an offset origin has drifted out of the picture with the line pointing away.
std::optional<WorldSegment> PlaceEBL2(const RadarDisplayState& s, const PointD& own, float up);
// "FROM 120 3.20 nm": the offset origin's bearing from the own vessel, in the reference in
// force, and its range; empty while the line starts at the own vessel.
std::string EBL2OriginCaption(const RadarDisplayState& s, const PointD& own, float ownHeading);
// Puts the second EBL's origin on the cursor, shows the line and selects it. The origin is
// ground-stabilised: it stays on that sea position as the own vessel moves. False, and nothing
// changed, outside cursor mode, where no cursor marks a point.
bool OffsetEBL2(RadarDisplayState& s, const PointD& own, float up);

// The EBL and VRM the arrows, the wheel and the hold buttons move, switched on.
bool SelectedEBLOn(const RadarDisplayState& s);
bool SelectedVRMOn(const RadarDisplayState& s);

// The two arms of the cross, each 5 % of the range either side of the cursor.
CursorCross DrawCursor(const RadarDisplayState& s);
// Puts the cursor where the EBL crosses the VRM.
void CursorToEBLVRM(RadarDisplayState& s, const PointD& own);

// "R 4.20 nm", "R 0.50 nm"
std::string CursorRangeCaption(double range);
// "B 045"
std::string CursorBearingCaption(float bearing);

// A click on the picture at world point (east, north) in cursor mode: the cursor moves there
// and the EBL and VRM are loaded with its bearing and range, to be shown by the next press of
// their buttons. False, and nothing changed, in keys mode or outside the range circle.
bool CursorClick(RadarDisplayState& s, const PointD& own, double east, double north);

// The four press-and-hold buttons; the arrow keys act as the same buttons.
enum class MarkerButton { EBLClock, EBLCtrClock, VRMIn, VRMOut };
enum class ArrowKey { Left, Right, Up, Down };
// Left and right turn the selected EBL anticlockwise and clockwise; up moves the selected VRM
// out, down in.
MarkerButton ButtonForKey(ArrowKey key);

// Starts a movement when the button's marker is on; true when the utility timer must run.
bool PressMarkerButton(RadarDisplayState& s, MarkerButton b);
// Ends the button's movement; true when the utility timer must stop.
bool ReleaseMarkerButton(RadarDisplayState& s, MarkerButton b);

enum class UtilityTickResult { NoMovement, VRMMoved, EBLMoved };
// One 100 ms tick of a held button: 1 % of the range or 1 degree for the first half second,
// then 4 % or 5 degrees. NoMovement asks the window to show kUtilityTimerError.
UtilityTickResult UtilityTick(RadarDisplayState& s);

// The utility ticks to run now in a hold of heldMs milliseconds that has had holdCount: those
// it has earned and not yet had, and at least one at a `firing` of the timer. A timer that
// fires late or drops a beat catches up at its next firing and at the release, so a hold moves
// as far as its time says: one second of an EBL button is 5 ticks of 1 degree and 5 of 5
// degrees, 30 degrees.
int UtilityTicksDue(int16_t holdCount, int64_t heldMs, bool firing);

// One mouse-wheel notch per unit: positive moves the VRM out, one small step (1 % of the
// range) each, within the same limits as the buttons. True when the VRM moved.
bool WheelVRM(RadarDisplayState& s, int notches);

// The step of a hold that has lasted holdCount utility ticks.
double VRMStep(double range, int16_t holdCount);
float EBLStep(int16_t holdCount);

} // namespace mv
