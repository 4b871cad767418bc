#pragma once
// Parallel index lines: straight lines on the radar picture that move with the own ship, each
// set by the true direction it runs in and its perpendicular distance from the own ship. A
// navigator lays one at the distance a fixed echo (a buoy, a headland) should pass, and sees at
// a glance whether the echo keeps to it. Degrees true, nautical miles.

#include "core/vessel.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

namespace mv {

inline constexpr int kIndexLineCount = 4;

struct IndexLine {
    bool On = false;
    float Bearing = 0.0f; // the way the line runs, degrees true
    // Perpendicular distance from the own ship, nautical miles: positive to the right of the
    // line's direction (starboard when it runs along the own course), negative to the left.
    double Offset = 0.0;
    double Length = 0.0; // nautical miles, centred abeam of the own ship; 0: across the picture
    friend bool operator==(const IndexLine&, const IndexLine&) = default;
};

using IndexLines = std::array<IndexLine, kIndexLineCount>;

// The two ends of a line relative to the own ship (X north, Y east, nautical miles) within a
// picture of radius `range`; none when the line is off or lies wholly outside it.
std::optional<std::pair<PointD, PointD>> IndexLineEnds(const IndexLine& line, double range);

// The offset that makes a line of this bearing pass through a point given relative to the own
// ship: how a click on the picture lays a line through an echo.
double OffsetThrough(float bearing, const PointD& point);

// "PI 1  000  3.00R" as the picture's legend gives it.
std::string IndexLineCaption(int index, const IndexLine& line);

} // namespace mv
