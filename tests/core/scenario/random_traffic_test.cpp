#include "core/scenario/random_traffic.h"

#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

// Closest approach worked out by vectors (north, east), independent of the triangle that
// MissDistance solves: the target's position relative to the own vessel moves with the
// difference of the two velocities.
struct Approach {
    double Cpa;   // nautical miles
    double Hours; // to the closest approach; negative when it is past
};
Approach VectorApproach(double course, double speed, double ownCourse, double ownSpeed,
                        double bearing, double range) {
    const double k = kDegToRad;
    const double px = range * std::cos(bearing * k), py = range * std::sin(bearing * k);
    const double vx = speed * std::cos(course * k) - ownSpeed * std::cos(ownCourse * k);
    const double vy = speed * std::sin(course * k) - ownSpeed * std::sin(ownCourse * k);
    const double v2 = vx * vx + vy * vy;
    if (v2 == 0) return {range, 0};
    const double t = -(px * vx + py * vy) / v2;
    return {std::hypot(px + vx * t, py + vy * t), t};
}

TEST(CollisionTargets, DrawnNumberPicksTheTargets) {
    // Which of targets B to E are set on a collision course, for the number drawn (0 to 100).
    const std::pair<int, const char*> cases[] = {
        {0, "...."},  {1, "B..."},  {16, "B..."}, {17, ".C.."}, {40, "..D."},
        {41, "...E"}, {50, "B..E"}, {51, ".C.E"}, {57, ".CD."}, {72, "B.D."},
        {73, "BCD."}, {86, "BCD."}, {87, "...."}};
    for (auto [p, picked] : cases) {
        std::array<bool, 4> want{};
        for (size_t k = 0; k < 4; ++k)
            want[k] = picked[k] != '.';
        EXPECT_EQ(CollisionTargets(p), want) << p;
    }
}

TEST(GenerateRandomTraffic, InvariantsOverManyExercises) {
    for (Difficulty level : {Difficulty::Easy, Difficulty::Moderate, Difficulty::Difficult}) {
        int collisions = 0, passing = 0, stopped = 0;
        // 864124 draws a target at a bearing of 180.000015, a hair past dead astern.
        for (uint32_t n = 1; n <= 1501; ++n) {
            const RandomTraffic t = GenerateRandomTraffic(level, n <= 1500 ? n : 864124);
            SCOPED_TRACE(std::string(DifficultyName(level)) + " " + std::to_string(n));
            ASSERT_TRUE(t.Tables.NumVessels == 5 && t.Tables.OwnVessel == 0);
            EXPECT_TRUE(t.Tables.Vessel[0].Heading == 0.0f && t.Tables.Vessel[0].Speed == 5.0f);
            for (int i = 0; i < 5; ++i) {
                const VesselData& v = t.Tables.Vessel[static_cast<size_t>(i)];
                EXPECT_TRUE(v.Size == kMedium && v.Speed == v.NewSpeed && v.NewHeading >= 0 &&
                            v.NewHeading < 360);
            }
            for (size_t k = 0; k < 4; ++k) {
                const RandomTarget& g = t.Targets[k];
                float bearing = 0;
                double range = 0;
                GetVector(t.Tables.VesselPos[0], t.Tables.VesselPos[k + 1], bearing, range);
                EXPECT_TRUE(range >= 6.0 - 1e-9 && range <= 16.0 + 1e-9) << range;
                const Approach a = VectorApproach(g.Course, g.Speed, 0, 5, g.Bearing, g.Range);
                if (g.Stopped) {
                    ++stopped;
                    EXPECT_EQ(g.Speed, 0.0f);
                    if (g.Collide) {
                        EXPECT_EQ(g.Bearing, 0.0f); // lies dead ahead
                    }
                } else if (g.Collide) {
                    ++collisions;
                    // A steady bearing: the relative motion runs straight at the own vessel,
                    // and it arrives within three hours.
                    EXPECT_LT(a.Cpa, 1e-3 * g.Range);
                    EXPECT_GT(a.Hours, 0.0);
                    EXPECT_LE(a.Hours, 3.0 + 1e-4);
                    EXPECT_LE(g.Speed, 30.0f);
                } else {
                    ++passing;
                    if (level == Difficulty::Easy) {
                        EXPECT_LT(g.Speed, 20.0f);
                    } else {
                        const double least = level == Difficulty::Moderate ? 1.1 : 0.5;
                        EXPECT_GE(MissDistance(g.Course, g.Speed, 5, g.Bearing, g.Range),
                                  static_cast<float>(least));
                        EXPECT_GE(a.Cpa, least - 1e-6);
                    }
                }
            }
        }
        // Every kind of target turns up at every level.
        EXPECT_GT(collisions, 0);
        EXPECT_GT(passing, 0);
        EXPECT_GT(stopped, 0);
    }
}

} // namespace
} // namespace mv
