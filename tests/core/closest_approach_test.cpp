#include "core/clock.h"
#include "core/closest_approach.h"
#include "core/motion.h"

#include <gtest/gtest.h>

namespace {

using mv::PointD;
using mv::VesselData;

// Both vessels run one tick at the given time factor; the closest distance during it.
double OneTick(int16_t factorIndex, VesselData own, PointD ownPos, VesselData target,
               PointD targetPos) {
    mv::SimClock clock;
    clock.SetTimeFactor(factorIndex);
    const PointD ownStart = ownPos, targetStart = targetPos;
    mv::MoveVessel(own, ownPos, clock.HoursPerTick);
    mv::MoveVessel(target, targetPos, clock.HoursPerTick);
    return mv::ClosestApproachInTick(ownStart, ownPos, targetStart, targetPos);
}

TEST(ClosestApproachInTick, Cases) {
    const VesselData north{0, 0, 10, 10, mv::kMedium}, south{180, 180, 10, 10, mv::kMedium};
    const VesselData stopped{0, 0, 0, 0, mv::kMedium};
    const struct {
        const char* name;
        int16_t factorIndex; // 6 is x120: six minutes of sea time, 1 nm at 10 kn
        VesselData own;
        PointD ownPos;
        VesselData target;
        PointD targetPos;
        double expected;
    } cases[] = {
        // Head-on, 1 nm apart and 0.005 nm off the line: they pass within the tick, 1 nm
        // apart at both of its ends.
        {"head-on at x120", 6, north, {0, 0}, south, {1, 0.005}, 0.005},
        // The same pair at x1 closes only 0.0167 nm: the nearest is the end of the tick.
        {"head-on at x1", 0, north, {0, 0}, south, {1, 0.005}, 0.98334605},
        // Abeam on parallel tracks at the same speed: the distance holds.
        {"parallel", 6, north, {0, 0}, north, {0, 0.5}, 0.5},
        {"stationary pair", 6, stopped, {2, 3}, stopped, {2.3, 3.4}, 0.5},
        {"on top of each other", 6, stopped, {2, 3}, stopped, {2, 3}, 0},
        // Opening: the nearest was at the start of the tick.
        {"opening", 6, north, {0, 0}, south, {-0.2, 0}, 0.2},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(OneTick(c.factorIndex, c.own, c.ownPos, c.target, c.targetPos), c.expected,
                    1e-6)
            << c.name;
}

} // namespace
