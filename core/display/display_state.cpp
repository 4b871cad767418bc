#include "core/display/display_state.h"

#include "core/number_text.h"

#include <locale>
#include <sstream>

namespace mv {

void PrepareFullRedraw(RadarDisplayState& state, const PointD& centre) {
    state.CursorEast = RoundToInt16(centre.Y);
    state.CursorNorth = RoundToInt16(centre.X);
    state.EchoWidth = EchoWidthFor(state.Tick.Range);
    state.Tick.FirstFrame = true;
    state.Tick.Trails.Clear(); // the true trails go with the grey ones
    state.VRMPending = true;
}

void SetRadarRange(RadarDisplayState& state, double range) {
    state.Tick.Range = range;
    if (state.VRMRange > range) state.VRMRange = range;
    if (state.VRM2Range > range) state.VRM2Range = range;
}

int16_t EchoWidthFor(double range) {
    if (range > 12) return 1;
    if (range > 6) return 2;
    if (range > 1.5) return 3;
    return 4;
}

std::vector<double> RingRadii(double range, float spacing) {
    std::vector<double> radii;
    if (!(spacing > 0.0f)) return radii;
    for (float r = spacing; static_cast<double>(r) < range; r += spacing)
        radii.push_back(static_cast<double>(r));
    return radii;
}

std::string ModeCaption(const TickDisplay& d) {
    const char* up = d.NorthUp ? "N UP" : d.CourseUp ? "C UP" : "H UP";
    const char* reference = d.Bearing == BearingMode::Course ? "COURSE" : "RELATIVE";
    return std::string("RM  ") + up + "  " + reference;
}

std::string VectorCaption(const AidSettings& aids) {
    if (aids.Vectors == VectorMode::Off) return {};
    const char* kind = aids.Vectors == VectorMode::True ? "TRUE VECT " : "REL VECT ";
    return kind + std::to_string(static_cast<int>(aids.VectorMinutes())) + " " + kMinutesUnit;
}

std::string StabilisationCaption(const RadarDisplayState& s) {
    return s.Aids.SeaStabilised ? "SEA" : "GND";
}

std::string RingCaption(float spacing) {
    return "RR " + RangeFigure(spacing) + " " + kMilesUnit;
}

std::string RangeCaption(double range) {
    return "RANGE " + RangeFigure(static_cast<float>(range)) + " " + kMilesUnit;
}

std::string RangeFigure(float range) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << range;
    return text.str();
}

std::string PlotCaption(int16_t plotFreqIndex) {
    switch (plotFreqIndex) {
    case 1:
        return "Plot 3 minutes";
    case 2:
        return "Plot 6 minutes";
    case 3:
        return "Plot 12 minutes";
    default:
        return "Plot Continuous";
    }
}

} // namespace mv
