#include "core/geometry.h"
#include "core/vessel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using mv::PointD;

TEST(GetVector, CompassPointsAndQuadrants) {
    const struct {
        const char* name;
        PointD to;
        float bearing;
        double distance;
    } cases[] = {
        {"east", {0, 1}, 90.0f, 1.0},
        {"west", {0, -1}, 270.0f, 1.0},
        {"south-east", {-1, 1}, 135.0f, std::sqrt(2.0)},
        {"same point", {0, 0}, 0.0f, 0.0},
        // West of north by less than single precision can show: north, stored as 0, not 360.
        {"a hair west of north", {1, -1e-7}, 0.0f, 1.0},
    };
    for (const auto& c : cases) {
        float bearing = -1;
        double distance = -1;
        EXPECT_EQ(mv::GetVector({0, 0}, c.to, bearing, distance), 0) << c.name;
        EXPECT_NEAR(bearing, c.bearing, 2e-4) << c.name;
        EXPECT_NEAR(distance, c.distance, 1e-12) << c.name;
    }
    float bearing = 123.0f;
    double distance = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(mv::GetVector({0, 0}, {nan, 1}, bearing, distance), mv::kGetVectorFailed);
    EXPECT_EQ(bearing, 123.0f); // left alone
}

TEST(RotateToHeading, WhatIsAheadEndsUpUp) {
    // About a centre away from the origin; heading 225 puts a point to the south-west ahead.
    mv::VesselData v;
    v.Heading = 225.0f;
    PointD sw{10 - 1, 20 - 1};
    mv::RotateToHeading(v, sw, {10, 20});
    EXPECT_NEAR(sw.X, 10 + std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(sw.Y, 20.0, 1e-9);
}

} // namespace
