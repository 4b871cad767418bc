#include "core/geometry.h"
#include "core/vessel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using mv::PointD;

struct VectorCase {
    const char* name;
    PointD to;
    float bearing;
    double distance;
};

TEST(GetVector, CompassPointsAndQuadrants) {
    const VectorCase cases[] = {
        {"north", {1, 0}, 0.0f, 1.0},
        {"east", {0, 1}, 90.0f, 1.0},
        {"south", {-1, 0}, 180.0f, 1.0},
        {"west", {0, -1}, 270.0f, 1.0},
        {"north-west", {1, -1}, 315.0f, std::sqrt(2.0)},
        {"south-west", {-1, -1}, 225.0f, std::sqrt(2.0)},
        {"south-east", {-1, 1}, 135.0f, std::sqrt(2.0)},
        {"north-east", {1, 1}, 45.0f, std::sqrt(2.0)},
        {"same point", {0, 0}, 0.0f, 0.0},
        // 3-4-5 triangle: east 3, north 4 is 36.87 degrees east of north.
        {"three-four-five", {4, 3}, 36.8699f, 5.0},
        // West of north by less than single precision can show: north, stored as 0, not 360.
        {"a hair west of north", {1, -1e-9}, 0.0f, 1.0},
        {"just west of north", {1, -1e-7}, 0.0f, 1.0},
        {"a little west of north", {1, -1e-5}, 359.99943f, std::sqrt(1 + 1e-10)},
    };
    for (const auto& c : cases) {
        float bearing = -1;
        double distance = -1;
        EXPECT_EQ(mv::GetVector({0, 0}, c.to, bearing, distance), 0) << c.name;
        EXPECT_NEAR(bearing, c.bearing, 2e-4) << c.name;
        EXPECT_GE(bearing, 0.0f) << c.name;
        EXPECT_LT(bearing, 360.0f) << c.name;
        EXPECT_NEAR(distance, c.distance, 1e-12) << c.name;
    }
}

TEST(GetVector, NotANumberLeavesTheBearingAlone) {
    float bearing = 123.0f;
    double distance = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(mv::GetVector({0, 0}, {nan, 1}, bearing, distance), mv::kGetVectorFailed);
    EXPECT_EQ(bearing, 123.0f);
}

TEST(PolarOffset, NorthPairsWithCosineAndEastWithSine) {
    PointD p;
    mv::PolarOffset({0, 0}, p, 90.0f, 2.0);
    EXPECT_NEAR(p.X, 0.0, 1e-12);
    EXPECT_NEAR(p.Y, 2.0, 1e-12);
    mv::PolarOffset({1, 1}, p, 0.0f, 2.0);
    EXPECT_DOUBLE_EQ(p.X, 3.0);
    EXPECT_DOUBLE_EQ(p.Y, 1.0);
    // The round trip through GetVector gives back bearing and distance.
    mv::PolarOffset({0, 0}, p, 237.5f, 7.25);
    float bearing = 0;
    double distance = 0;
    mv::GetVector({0, 0}, p, bearing, distance);
    EXPECT_NEAR(bearing, 237.5f, 1e-4);
    EXPECT_NEAR(distance, 7.25, 1e-12);
}

TEST(MovePoint, InPlace) {
    PointD p{1, 2};
    mv::MovePoint(p, 180.0f, 3.0);
    EXPECT_NEAR(p.X, -2.0, 1e-12);
    EXPECT_NEAR(p.Y, 2.0, 1e-9);
}

TEST(RotateToHeading, WhatIsAheadEndsUpUp) {
    mv::VesselData v;
    v.Heading = 90.0f;
    PointD east{0, 1};
    mv::RotateToHeading(v, east, {0, 0});
    EXPECT_NEAR(east.X, 1.0, 1e-12);
    EXPECT_NEAR(east.Y, 0.0, 1e-12);
    PointD south{-1, 0};
    mv::RotateToHeading(v, south, {0, 0});
    EXPECT_NEAR(south.X, 0.0, 1e-12);
    EXPECT_NEAR(south.Y, 1.0, 1e-12);
    // About a centre away from the origin; heading 225 puts a point to the south-west ahead.
    v.Heading = 225.0f;
    PointD sw{10 - 1, 20 - 1};
    mv::RotateToHeading(v, sw, {10, 20});
    EXPECT_NEAR(sw.X, 10 + std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(sw.Y, 20.0, 1e-9);
}

TEST(Folding, OneCorrectionEachWay) {
    EXPECT_EQ(mv::FoldDegrees(-10.0f), 350.0f);
    EXPECT_EQ(mv::FoldDegrees(360.0f), 0.0f);
    EXPECT_EQ(mv::FoldDegrees(359.5f), 359.5f);
    EXPECT_EQ(mv::FoldDegrees16(-30), 330);
    EXPECT_EQ(mv::FoldDegrees16(365), 5);
}

TEST(SizeClasses, TypeIndexAndBack) {
    EXPECT_EQ(mv::SizeFromType(0), mv::kSmall);
    EXPECT_EQ(mv::SizeFromType(1), mv::kMedium);
    EXPECT_EQ(mv::SizeFromType(2), mv::kLarge);
    EXPECT_EQ(mv::SizeFromType(3), 0.0);
    EXPECT_EQ(mv::SizeFromType(-1), 0.0);
    for (int16_t t = 0; t < 3; ++t)
        EXPECT_EQ(mv::TypeFromSize(mv::SizeFromType(t)), t);
    EXPECT_EQ(mv::TypeFromSize(0.0), -1);
}

TEST(VesselTables, StartStateCopiesOnlyVesselsInUse) {
    mv::VesselTables t;
    t.Create(3);
    ASSERT_EQ(t.Vessel.size(), 4u); // a spare beyond the last vessel
    EXPECT_EQ(t.VesselFlag.size(), 4u);
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
    const auto mark = mv::CollisionMark({1, 2}, 12.0);
    EXPECT_EQ(mark[0][0], (PointD{1, 2}));
    EXPECT_EQ(mark[1][0], (PointD{1, 2}));
    // First stroke right: 0.15 east and 0.10 north of the range scale.
    EXPECT_NEAR(mark[0][1].Y, 2 + 1.8, 1e-12);
    EXPECT_NEAR(mark[0][1].X, 1 + 1.2, 1e-12);
    // Summing the strokes: the right chain ends 1.05 ranges east and 0.20 south of the own
    // vessel, the left one 1.10 ranges west and 0.05 south.
    EXPECT_NEAR(mark[0][8].Y - 2, 1.05 * 12, 1e-9);
    EXPECT_NEAR(mark[0][8].X - 1, -0.20 * 12, 1e-9);
    EXPECT_NEAR(mark[1][8].Y - 2, -1.10 * 12, 1e-9);
    EXPECT_NEAR(mark[1][8].X - 1, -0.05 * 12, 1e-9);
}

} // namespace
