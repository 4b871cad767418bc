#pragma once
// Plane geometry on the sea: bearings in degrees true, distances in nautical miles.

#include "core/vessel.h"

#include <array>
#include <cstdint>

namespace mv {

inline constexpr int16_t kGetVectorFailed = -9;

// Bearing (degrees true) and distance (nautical miles) of b as seen from a. Returns 0, or
// kGetVectorFailed for non-finite input, in which case bearing is left untouched.
int16_t GetVector(const PointD& a, const PointD& b, float& bearing, double& distance);

// The point at `distance` along `bearing` from origin.
void PolarOffset(const PointD& origin, PointD& result, float bearing, double distance);
void MovePoint(PointD& point, float bearing, double distance);

// Turns point about centre by minus the vessel's heading: what lies dead ahead ends up "up".
void RotateToHeading(const VesselData& vessel, PointD& point, const PointD& centre);
// Turns point about centre by minus `up` degrees: what lies on that bearing ends up "up".
void RotateBy(float up, PointD& point, const PointD& centre);

// One addition of 360 below 0, then one subtraction at 360 or more.
float FoldDegrees(float degrees);
int16_t FoldDegrees16(int16_t degrees);

// The collision mark: two jagged chains of eight strokes each, starting at the own vessel.
// Points are in nautical miles; the first point of each chain is the own position.
using CollisionChain = std::array<PointD, 9>;
std::array<CollisionChain, 2> CollisionMark(const PointD& own, double range);

} // namespace mv
