#include "core/display/index_lines.h"

#include "core/number_text.h"

#include <cmath>
#include <numbers>

namespace mv {

namespace {

constexpr double kRadPerDegree = std::numbers::pi / 180.0;

PointD Along(double degrees, double length) {
    return {length * std::cos(degrees * kRadPerDegree), length * std::sin(degrees * kRadPerDegree)};
}

} // namespace

std::optional<std::pair<PointD, PointD>> IndexLineEnds(const IndexLine& line, double range) {
    if (!line.On || std::fabs(line.Offset) >= range) return std::nullopt;
    // The half-length the picture's circle leaves the line, or the line's own.
    double half = std::sqrt(range * range - line.Offset * line.Offset);
    if (line.Length > 0) half = std::fmin(half, line.Length / 2);
    const PointD foot = Along(line.Bearing + 90.0, line.Offset);
    const PointD run = Along(line.Bearing, half);
    return std::pair{PointD{foot.X - run.X, foot.Y - run.Y},
                     PointD{foot.X + run.X, foot.Y + run.Y}};
}

double OffsetThrough(float bearing, const PointD& point) {
    // The point's component along the line's right-hand normal.
    const PointD normal = Along(bearing + 90.0, 1.0);
    return point.X * normal.X + point.Y * normal.Y;
}

std::string IndexLineCaption(int index, const IndexLine& line) {
    const char side = line.Offset < 0 ? 'L' : 'R';
    return "PI " + std::to_string(index + 1) + "  " + DirectionText(line.Bearing) + "  " +
           FormatNumber(std::fabs(line.Offset), "#0.00") + side;
}

} // namespace mv
