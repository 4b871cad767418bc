#include "core/aids/cpa_computer.h"
#include "core/number_text.h"
#include "tests/support/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using mv::ComputeFromSightings;
using mv::SightingEntries;
using mv::SightingRows;
using mv::test::AngleGap;

// A plot worked by hand: the own vessel, two sightings and what the computer must give.
struct Plot {
    float heading, speed;          // own vessel, degrees true and knots
    double t1, b1, r1, t2, b2, r2; // sightings: minutes of the day, degrees true, nautical miles
    float course, targetSpeed, cpa, bcpa; // bcpa < 0: meaningless on a collision course
    const char* timeOfCpa;
    float srm, drm;
};

void ExpectPlot(const Plot& p) {
    const auto got = ComputeFromSightings(p.heading, p.speed, {p.t1 / 1440, p.b1, p.r1},
                                          {p.t2 / 1440, p.b2, p.r2});
    const std::string name = p.timeOfCpa;
    ASSERT_TRUE(got.ok()) << name << ": " << got.Error;
    const auto& r = *got.Result;
    EXPECT_LT(AngleGap(r.TargetCourse, p.course), 0.01) << name << " course " << r.TargetCourse;
    EXPECT_NEAR(r.TargetSpeed, p.targetSpeed, 1e-3) << name;
    EXPECT_NEAR(r.CPA, p.cpa, 1e-3) << name;
    EXPECT_LT(p.bcpa < 0 ? 0 : AngleGap(r.BCPA, p.bcpa), 0.01) << name << " BCPA " << r.BCPA;
    EXPECT_EQ(mv::FormatClock(r.TimeOfCPA), p.timeOfCpa);
    EXPECT_NEAR(r.SRM, p.srm, 1e-3) << name;
    EXPECT_LT(AngleGap(r.DRM, p.drm), 0.01) << name << " DRM " << r.DRM;
    for (float angle : {r.TargetCourse, r.BCPA, r.DRM})
        EXPECT_TRUE(angle >= 0 && angle < 360) << name << " " << angle;
}

TEST(ComputeFromSightings, HandWorkedPlots) {
    // Target velocity = own velocity + relative velocity, as (north, east) knots.
    const Plot plots[] = {
        // Head-on: own 000/10, dead ahead 6 nm at 12:00, 4 nm at 12:06. Closing 20 kn along
        // 180, CPA 0 with 4 nm to run, 12 min. Target (10, 0) + (-20, 0): 180 at 10 kn.
        {0, 10, 720, 0, 6, 726, 0, 4, 180, 10, 0, -1, "12:18:00", 20, 180},
        // Crossing from starboard: constant bearing 045, 10 nm closing 1.4142 nm in 6 min;
        // 8.5858 nm to go at 14.142 kn is 36.43 min. Target (10, 0) + (-10, -10): 270 at 10.
        {0, 10, 720, 45, 10, 726, 45, 10 - 1.41421356, 270, 10, 0, -1, "12:42:26", 14.1421f, 225},
        // Passing astern: from (0, 8) at 090 to (-2, 6) 12 min later. The foot of the
        // perpendicular is (-4, 4): CPA 5.657 on 135, 2.8284 nm on at 14.142 kn, 12 min.
        {0, 10, 540, 90, 8, 552, 108.434949, 6.32455532, 270, 10, 5.65685f, 135, "09:24:00",
         14.1421f, 225},
        // Own 045/12, the echo stands still at 100, 5 nm: the CPA is where it is at the second
        // sighting; the target keeps pace with us.
        {45, 12, 720, 100, 5, 726, 100, 5, 45, 12, 5, 100, "12:06:00", 0, 0},
        // Dead ahead and opening, 4 nm at 00:02 and 4.5 nm at 00:05: a target on 000 at 20 kn
        // that passed through us 4.5/10 h = 27 min before, the evening before.
        {0, 10, 2, 0, 4, 5, 0, 4.5, 0, 20, 0, -1, "23:38:00", 10, 0},
    };
    for (const auto& p : plots)
        ExpectPlot(p);
}

TEST(ComputeFromSightings, CannotCompute) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const char* const order = "The second sighting must be later than the first.";
    const struct {
        float speed;
        double t1, b1, r1, t2, b2, r2; // minutes of the day, degrees true, nautical miles
        const char* error;
    } cases[] = {
        {0, 720, 0, 6, 726, 0, 4,
         "The own vessel is stopped: the target's course and speed cannot be found from two "
         "sightings."},
        // Closing a stopped target dead ahead, 5 nm then 4 nm in 6 min at 10 kn: the relative
        // motion is exactly the reversed own vector.
        {10, 720, 0, 5, 726, 0, 4, "The target is stopped: its course cannot be found."},
        {10, 726, 0, 5, 726, 0, 4, order},
        {10, 720, nan, 5, 726, 0, 4, nullptr},
    };
    for (const auto& c : cases) {
        const auto got =
            ComputeFromSightings(0, c.speed, {c.t1 / 1440, c.b1, c.r1}, {c.t2 / 1440, c.b2, c.r2});
        EXPECT_FALSE(got.ok() || got.Error.empty()) << c.r1;
        EXPECT_EQ(got.Error, c.error ? c.error : got.Error); // null: any message
    }
}

TEST(CpaComputer, Validation) {
    // The second sighting as typed after a first of 12:00:00, 045, 6 nm.
    const SightingEntries first{"12", "00", "00", "6", "45"};
    const std::pair<SightingEntries, bool> cases[] = {
        {{"12", "06", "00", "36", "44"}, true},  {{"12", "06", "00", "36.01", "44"}, false},
        {{"12", "06", "00", "0", "44"}, false},  {{"12", "06", "00", "5", "359.9"}, true},
        {{"12", "06", "00", "5", "360"}, false}, {{"24", "06", "00", "5", "44"}, false},
        {{"12", "60", "00", "5", "44"}, false},  {{"12", "6", "0", "5", "44"}, true},
        {{"12", "00", "00", "5", "44"}, false}, // the same time
        {{"11", "59", "59", "5", "44"}, false}, // earlier: a pair across midnight fails too
    };
    for (const auto& [second, valid] : cases)
        EXPECT_EQ(mv::ValidateSightings({first, second}).has_value(), valid)
            << second.Hour << ":" << second.Minute << " " << second.Bearing << " " << second.Range;
}

TEST(CpaComputer, FieldCeilings) {
    EXPECT_EQ(mv::TimeFieldCeiling("60", mv::TimePart::Second), "59");
    EXPECT_EQ(mv::TimeFieldCeiling("25", mv::TimePart::Hour), "24");
}

} // namespace
