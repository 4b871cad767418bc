#include "core/geometry.h"

#include <cmath>

namespace mv {

int16_t GetVector(const PointD& a, const PointD& b, float& bearing, double& distance) {
    const double dN = b.X - a.X;
    const double dE = b.Y - a.Y;
    distance = std::sqrt(dN * dN + dE * dE);

    // The angle is formed within its quadrant and then lifted by the quadrant's offset; the
    // sentinel survives only when a coordinate is not a number.
    double r = -9.0;
    if (dN > 0 && dE >= 0)
        r = std::atan(dE / dN);
    else if (dN == 0 && dE >= 0)
        r = 0.0;
    else if (dN < 0 && dE > 0)
        r = std::fabs(std::atan(dN / dE));
    else if (dN < 0 && dE <= 0)
        r = std::atan(std::fabs(dE) / std::fabs(dN));
    else if (dN == 0 && dE < 0)
        r = 0.0;
    else if (dN > 0 && dE < 0)
        r = std::atan(std::fabs(dN) / std::fabs(dE));
    if (r < 0) return kGetVectorFailed;

    float brg = static_cast<float>(r / kDegToRad);
    if (dN <= 0 && dE > 0)
        brg += 90.0f;
    else if (dN < 0 && dE <= 0)
        brg += 180.0f;
    else if (dN >= 0 && dE < 0)
        brg += 270.0f;
    // A hair west of north comes to 360 in single precision; north is stored as 0.
    if (brg >= 360.0f) brg -= 360.0f;
    bearing = brg;
    return 0;
}

void PolarOffset(const PointD& origin, PointD& result, float bearing, double distance) {
    const double a = static_cast<double>(bearing) * kDegToRad;
    const PointD p{origin.X + std::cos(a) * distance, origin.Y + std::sin(a) * distance};
    result = p; // origin and result may be the same point
}

void MovePoint(PointD& point, float bearing, double distance) {
    PolarOffset(point, point, bearing, distance);
}

void RotateToHeading(const VesselData& vessel, PointD& point, const PointD& centre) {
    RotateBy(vessel.Heading, point, centre);
}

void RotateBy(float up, PointD& point, const PointD& centre) {
    const double a = -static_cast<double>(up) * kDegToRad;
    const double dN = point.X - centre.X;
    const double dE = point.Y - centre.Y;
    const double rotE = std::cos(a) * dE + std::sin(a) * dN;
    const double rotN = std::cos(a) * dN - std::sin(a) * dE;
    point = PointD{centre.X + rotN, centre.Y + rotE};
}

float FoldDegrees(float degrees) {
    if (degrees < 0.0f) degrees += 360.0f;
    if (degrees >= 360.0f) degrees -= 360.0f;
    return degrees;
}

int16_t FoldDegrees16(int16_t degrees) {
    int d = degrees;
    if (d < 0) d += 360;
    if (d >= 360) d -= 360;
    return static_cast<int16_t>(d);
}

std::array<CollisionChain, 2> CollisionMark(const PointD& own, double range) {
    // Strokes as (east, north) steps in units of the range scale.
    static constexpr double right[8][2] = {{0.15, 0.10},  {0.10, -0.15}, {0.15, 0.10},
                                           {0.10, -0.15}, {0.20, 0.10},  {0.10, -0.15},
                                           {0.15, 0.10},  {0.10, -0.15}};
    static constexpr double left[8][2] = {{-0.15, 0.10},  {-0.10, -0.15}, {-0.15, 0.10},
                                          {-0.15, -0.10}, {-0.20, 0.15},  {-0.15, -0.15},
                                          {-0.10, 0.15},  {-0.10, -0.15}};
    std::array<CollisionChain, 2> chains{};
    for (int c = 0; c < 2; ++c) {
        const auto& strokes = c == 0 ? right : left;
        PointD p = own;
        chains[c][0] = p;
        for (int s = 0; s < 8; ++s) {
            p.Y += strokes[s][0] * range;
            p.X += strokes[s][1] * range;
            chains[c][s + 1] = p;
        }
    }
    return chains;
}

} // namespace mv
