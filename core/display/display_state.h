#pragma once
// The radar display's state: range scales, orientation, bearing reference, rings, echo width,
// markers and plotting. Plain data, owned by the application and shared by reference.

#include "core/aid_settings.h"
#include "core/display/index_lines.h"
#include "core/display_fields.h"
#include "core/vessel.h"
#include "core/vessel_modes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mv {

inline constexpr std::array<float, 10> kRangeScales{0.125f, 0.25f, 0.5f,  0.75f, 1.5f,
                                                    3.0f,   6.0f,  12.0f, 24.0f, 36.0f};
inline constexpr std::array<float, 10> kRingSpacing{0.05f, 0.05f, 0.1f, 0.25f, 0.25f,
                                                    0.5f,  1.0f,  2.0f, 4.0f,  6.0f};
inline constexpr int16_t kDefaultRangeIndex = 7; // 12 nautical miles

// How the EBL and VRM are worked: by the buttons and arrow keys, by a click on the picture that
// puts the cursor on an echo, or by a click that picks an echo for its target data (the buttons
// and keys still work in both).
enum class InputMode : int16_t { Keys = 0, Cursor = 1, Pick = 2 };
// The colours of the whole program, for the light on the bridge: the watch at night keeps its
// dark-adapted eyes with a dim palette.
enum class DisplayPalette : int16_t { Day = 0, Dusk = 1, Night = 2 };
// The press and hold under way.
enum class Movement : int16_t { None = 0, VRM = 2, EBL = 3 };

struct RadarDisplayState {
    TickDisplay Tick; // range, orientation, bearing reference, heading line, plotting
    int16_t RangeIndex = kDefaultRangeIndex;
    bool RingsOn = true;
    int16_t EchoWidth = 2; // pixels
    bool NavOn = true;     // the own vessel's speed and course shown in the picture
    // Markers: the EBL's bearing is on the screen, clockwise from its top, in degrees; the VRM's
    // radius and the cursor's position are in nautical miles.
    bool EBLOn = false;
    bool VRMOn = false;
    float EBLBearing = 0.0f;
    double VRMRange = 0.0; // held at single precision
    // The second pair, dashed in the picture, for a second target or a bearing between echoes.
    bool EBL2On = false;
    bool VRM2On = false;
    float EBL2Bearing = 0.0f;
    double VRM2Range = 0.0; // held at single precision
    // The second EBL offset from the own vessel: its origin is a sea position (north X, east Y,
    // nautical miles, unrotated), so it stays on the echo it was put on while the own vessel
    // steams away from it.
    bool EBL2Offset = false;
    PointD EBL2Origin;
    // Which EBL (1 or 2) the left and right arrows and the hold buttons turn, and which VRM the
    // up and down arrows, the wheel and the hold buttons move: the one last switched on.
    int16_t SelectedEBL = 1;
    int16_t SelectedVRM = 1;
    double CursorEast = 0.0, CursorNorth = 0.0;
    InputMode CursorMode = InputMode::Keys;
    Movement MovementKind = Movement::None;
    // A cursor click loads the EBL and VRM: the next press of their buttons shows them there.
    bool VRMPending = false;
    bool EBLPending = false;
    int16_t HoldCount = 0; // utility-timer ticks (100 ms each) since the press began
    int16_t VRMDir = 0;    // 0 in, 1 out
    int16_t EBLDir = 0;    // 1 clockwise, 0 anticlockwise
    // The true-motion window's own scale.
    int16_t TVRangeIndex = kDefaultRangeIndex;
    double TVRange = 12.0;
    bool TVGridOn = false;
    DisplayPalette Colours = DisplayPalette::Day;
    // Vectors, target data and alarms; course-up and true trails are in Tick.
    AidSettings Aids;
    // Parallel index lines, kept at their true bearings and distances from the own vessel.
    IndexLines Index;
    // What a press of a vessel's button does: manoeuvre it, show its CPA data or jump to it.
    VesselMode VesselOrder = VesselMode::Maneuver;
};

// What a full redraw of the picture sets besides drawing: the cursor back to the centre (whole
// nautical miles), the echo width for the range, a plot mark due at the next echo pass and the
// VRM to be placed again.
void PrepareFullRedraw(RadarDisplayState& state, const PointD& centre);
// A new range scale (nautical miles); a VRM longer than it is pulled in to the range.
void SetRadarRange(RadarDisplayState& state, double range);
// Pixels of an echo line for a range scale: finer at long range, bolder close in.
int16_t EchoWidthFor(double range);
// Radii of the range rings: every spacing strictly inside the range, added up at single
// precision (so at 0.5 nm the fifth ring, equal to the range, is not drawn).
std::vector<double> RingRadii(double range, float spacing);
// The motion, the orientation and the bearing reference: "RM  H UP  RELATIVE",
// "RM  N UP  COURSE", "RM  C UP  RELATIVE". The picture always stands on the own vessel, so the
// motion is relative (RM).
std::string ModeCaption(const TickDisplay& d);
// The vectors shown and their time: "TRUE VECT 6 min", "REL VECT 12 min", nothing while off.
std::string VectorCaption(const AidSettings& aids);
// What the true vectors and trails are stabilised to: "GND" over the ground, "SEA" through
// the water.
std::string StabilisationCaption(const RadarDisplayState& s);
// The ring spacing in nautical miles: "RR 2 nm", "RR 0.05 nm".
std::string RingCaption(float spacing);
// The range scale in nautical miles as the menu lists it: "RANGE 6 nm", "RANGE 0.125 nm".
std::string RangeCaption(double range);
// A range scale as the menu lists it: "0.125", "1.5", "12".
std::string RangeFigure(float range);
// "Plot Continuous", "Plot 3 minutes", ...
std::string PlotCaption(int16_t plotFreqIndex);

} // namespace mv
