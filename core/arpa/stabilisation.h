#pragma once
// Ground and sea stabilisation of a track's true vector. The tracker works over the ground:
// its plots are laid off from the own position, which the own ship knows. Through the water
// (sea-stabilised) a vessel's motion is its motion over the ground less the current's, the
// picture a navigator needs for the collision regulations (a vessel's aspect and heading).
// Knots north (X) and east (Y), degrees true, the current's set the way it flows.

#include "core/vessel.h"

#include <cmath>

namespace mv {

struct Current {
    float Set = 0;    // degrees true, the direction the water flows towards
    double Drift = 0; // knots
};

// A velocity over the ground less the current: the velocity through the water, knots north
// and east. A fixed echo (a buoy) shows the current's reverse.
inline PointD SeaStabilised(const PointD& overGround, const Current& current) {
    const double set = current.Set * (3.14159265358979323846 / 180.0);
    return {overGround.X - current.Drift * std::cos(set),
            overGround.Y - current.Drift * std::sin(set)};
}

} // namespace mv
