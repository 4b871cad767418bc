#include "core/clock.h"
#include "core/motion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

mv::VesselData Vessel(double size, float heading, int16_t ordered, float speed = 10,
                      float orderedSpeed = 10) {
    return {heading, ordered, speed, orderedSpeed, size};
}

// Headings after each tick until the turn completes (or `maxTicks` pass).
std::vector<float> Turn(mv::VesselData v, int16_t factor, int maxTicks = 20) {
    std::vector<float> headings;
    for (int t = 0; t < maxTicks; ++t) {
        mv::ManeuverReadout r;
        const bool done = mv::TurnStep(v, factor, r);
        headings.push_back(v.Heading);
        if (done) break;
    }
    return headings;
}

TEST(TurnStep, NavigatorsCases) {
    const struct {
        const char* name;
        double size;
        float from;
        int16_t to, factor;
        std::vector<float> headings;
    } cases[] = {
        {"small 10 to 50", mv::kSmall, 10, 50, 1, {40, 50}},
        {"medium through north to starboard", mv::kMedium, 350, 10, 1, {5, 10}},
        {"small through north to port never shows 350", mv::kSmall, 20, 0, 1, {0}},
        {"large to port through north", mv::kLarge, 10, 350, 1, {5, 0, 355, 350}},
        {"opposite: right to the larger number", mv::kMedium, 0, 180, 5, {75, 150, 180}},
        {"opposite: left to the smaller number", mv::kMedium, 180, 0, 5, {105, 30, 0}},
        {"fractional start turns in whole degrees", mv::kMedium, 10.4f, 40, 1, {25, 40}},
        {"unknown size never turns", 0.0, 10, 90, 1, std::vector<float>(20, 10)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Turn(Vessel(c.size, c.from, c.to), c.factor), c.headings) << c.name;
    EXPECT_FALSE(mv::TurnPending(Vessel(0.0, 10, 90), 1)); // so the manoeuvre can end
}

TEST(TurnStep, StepSizeOfEveryTimeFactor) {
    // Heading after one tick from 000 toward 170 (starboard), per size class and factor: a
    // step of half a circle or more completes the turn at once.
    const double sizes[] = {mv::kSmall, mv::kMedium, mv::kLarge};
    const float expected[3][7] = {
        {30, 60, 150, 170, 170, 170, 170},
        {15, 30, 75, 150, 170, 170, 170},
        {5, 10, 25, 50, 150, 170, 170},
    };
    for (int s = 0; s < 3; ++s)
        for (int f = 0; f < mv::kTimeFactorCount; ++f)
            EXPECT_EQ(Turn(Vessel(sizes[s], 0, 170), mv::kTimeFactors[f], 1).front(),
                      expected[s][f])
                << "size " << sizes[s] << " x" << mv::kTimeFactors[f];
}

TEST(TurnStep, ReadoutsOfATurnThatCompletes) {
    auto v = Vessel(mv::kSmall, 10, 50);
    mv::ManeuverReadout first, second;
    mv::TurnStep(v, 1, first);
    EXPECT_EQ(first.TurningCaption, ">");
    EXPECT_EQ(first.TurningVisible, true);
    EXPECT_EQ(first.CourseText, "040");
    EXPECT_FALSE(first.CourseEntry);
    mv::TurnStep(v, 1, second);
    EXPECT_EQ(second.TurningVisible, false);
    EXPECT_EQ(second.CourseEntry, "50");
    EXPECT_TRUE(second.ClearTurnEntries);
}

TEST(TurnStep, RoundedOnCourseChangesNothing) {
    // A yawing heading of 090.3 is on an ordered 090: no turn, and none pending.
    auto v = Vessel(mv::kMedium, 90.3f, 90);
    mv::ManeuverReadout r;
    EXPECT_FALSE(mv::TurnStep(v, 1, r));
    EXPECT_EQ(v.Heading, 90.3f);
    EXPECT_FALSE(mv::TurnPending(v, 1));
}

TEST(SpeedStep, ApproachesAndClamps) {
    const struct {
        float from, to;
        int16_t factor;
        std::vector<float> speeds;
    } cases[] = {
        {10, 22, 1, {15, 20, 22}}, {10, 22, 5, {22}}, {22, 10, 1, {17, 12, 10}},
        {0, 100, 10, {50, 100}},   {5, 0, 120, {0}},  {3, -2, 1, {-2}},
    };
    for (const auto& c : cases) {
        auto v = Vessel(mv::kLarge, 0, 0, c.from, c.to);
        std::vector<float> speeds;
        for (int t = 0; t < 10; ++t) {
            mv::ManeuverReadout r;
            const bool done = mv::SpeedStep(v, c.factor, r);
            speeds.push_back(v.Speed);
            EXPECT_EQ(r.SpeedingCaption, c.to > c.from ? "^" : "v");
            EXPECT_EQ(r.SpeedingVisible, !done);
            if (done) break;
        }
        EXPECT_EQ(speeds, c.speeds) << c.from << " to " << c.to << " x" << c.factor;
    }
}

TEST(MoveVessel, NegativeSpeedGoesAstern) {
    mv::PointD p;
    mv::MoveVessel(Vessel(mv::kMedium, 90, 90, -12, -12), p, mv::SimClock{}.HoursPerTick);
    EXPECT_NEAR(p.Y, -0.01, 1e-12); // 12 kn for 3 s is 0.01 nm
    EXPECT_NEAR(p.X, 0.0, 1e-12);
}

} // namespace
