#include "core/clock.h"
#include "core/closest_approach.h"
#include "core/motion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using mv::PointD;
using mv::VesselData;

VesselData Vessel(double size, float heading, int16_t ordered, float speed = 10,
                  float orderedSpeed = 10) {
    return {heading, ordered, speed, orderedSpeed, size};
}

// Headings after each tick until the turn completes (or `maxTicks` pass).
std::vector<float> Turn(VesselData v, int16_t factor, int maxTicks = 20) {
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
        {"small through north to port never shows 350", mv::kSmall, 40, 0, 1, {10, 0}},
        {"large to port through north", mv::kLarge, 10, 350, 1, {5, 0, 355, 350}},
        {"opposite: right to the larger number", mv::kMedium, 0, 180, 5, {75, 150, 180}},
        {"opposite: left to the smaller number", mv::kMedium, 180, 0, 5, {105, 30, 0}},
        {"fractional start turns in whole degrees", mv::kMedium, 10.4f, 40, 1, {25, 40}},
        {"unknown size never turns", 0.0, 10, 90, 1, std::vector<float>(20, 10)},
        {"yawing 090.3 is on an ordered 090", mv::kMedium, 90.3f, 90, 1,
         std::vector<float>(20, 90.3f)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Turn(Vessel(c.size, c.from, c.to), c.factor), c.headings) << c.name;
    // Neither has a turn pending, so the manoeuvre can end.
    EXPECT_FALSE(mv::TurnPending(Vessel(0.0, 10, 90), 1) ||
                 mv::TurnPending(Vessel(mv::kMedium, 90.3f, 90), 1));
}

TEST(SpeedStep, ApproachesAndClamps) {
    const struct {
        float from, to;
        int16_t factor;
        std::vector<float> speeds;
    } cases[] = {{10, 22, 1, {15, 20, 22}}, {22, 10, 1, {17, 12, 10}}, {5, 0, 120, {0}}};
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
}

TEST(ClosestApproachInTick, OpeningTakesTheStartOfTheTick) {
    // Opening astern, 0.2 nm apart at the start: not the track extended back through us.
    EXPECT_NEAR(mv::ClosestApproachInTick({0, 0}, {1, 0}, {-0.2, 0}, {-1.2, 0}), 0.2, 1e-6);
}

} // namespace
