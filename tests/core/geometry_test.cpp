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
        {"south", {-1, 0}, 180.0f, 1.0},
        {"west", {0, -1}, 270.0f, 1.0},
        {"south-east", {-1, 1}, 135.0f, std::sqrt(2.0)},
        {"south-west", {-1, -1}, 225.0f, std::sqrt(2.0)},
        {"north-west", {1, -1}, 315.0f, std::sqrt(2.0)},
        {"same point", {0, 0}, 0.0f, 0.0},
        {"three-four-five", {4, 3}, 36.8699f, 5.0}, // east 3, north 4
        // West of north by less than single precision can show: north, stored as 0, not 360.
        {"a hair west of north", {1, -1e-7}, 0.0f, 1.0},
        {"a little west of north", {1, -1e-5}, 359.99943f, std::sqrt(1 + 1e-10)},
    };
    for (const auto& c : cases) {
        float bearing = -1;
        double distance = -1;
        EXPECT_EQ(mv::GetVector({0, 0}, c.to, bearing, distance), 0) << c.name;
        EXPECT_NEAR(bearing, c.bearing, 2e-4) << c.name;
        EXPECT_LT(bearing, 360.0f) << c.name;
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

TEST(VesselTables, RestoreGivesBackTheSavedStart) {
    mv::VesselTables t;
    t.Create(3);
    ASSERT_EQ(t.Vessel.size(), 4u); // a spare beyond the last vessel
    t.Vessel[1].Speed = 12.0f;
    t.VesselPos[2] = {3, 4};
    t.SaveStartState();
    t.Vessel[1].Speed = 0.0f;
    t.VesselPos[2] = {0, 0};
    t.RestoreStartState();
    EXPECT_EQ(t.Vessel[1].Speed, 12.0f);
    EXPECT_EQ(t.VesselPos[2], (PointD{3, 4}));
}

TEST(CollisionMark, ChainsStartAtTheOwnVesselAndScaleWithRange) {
    const PointD own{1, 2};
    const auto at12 = mv::CollisionMark(own, 12.0), at6 = mv::CollisionMark(own, 6.0);
    for (size_t c = 0; c < 2; ++c) {
        EXPECT_EQ(at12[c][0], own);
        EXPECT_NEAR(at12[c][8].X - own.X, 2 * (at6[c][8].X - own.X), 1e-9) << c;
        EXPECT_NEAR(at12[c][8].Y - own.Y, 2 * (at6[c][8].Y - own.Y), 1e-9) << c;
    }
    EXPECT_GT(at12[0][8].Y, own.Y + 6); // one chain to each side
    EXPECT_LT(at12[1][8].Y, own.Y - 6);
}

} // namespace
