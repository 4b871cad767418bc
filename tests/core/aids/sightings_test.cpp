#include "core/aids/action_to_steer.h"
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

// The course or speed to steer for a wanted CPA, checked by the program's own CPA arithmetic
// with the change made at the moment of action: the target then passes at the wanted distance,
// ahead, on the chosen side of the own bow's alteration.
TEST(ActionToSteer, GivesTheWantedCpaOrSaysThatNothingDoes) {
    const struct {
        const char* name;
        float ownCourse, ownSpeed, course, speed, bearing, range; // at 12:00, degrees, kn, nm
        double wanted;
        bool toPort;
        const char *newCourse, *newSpeed, *error;
        bool clear;
    } cases[] = {
        {"crossing, collision", 0, 12, 270, 12, 45, 8, 2.0, false, "037", "6.0", "", false},
        {"crossing, to port", 0, 12, 270, 12, 45, 8, 2.0, true, "323", "6.0", "", false},
        {"head-on", 90, 15, 270, 15, 91, 12, 2.0, false, "118", "none", "", false},
        {"overtaking", 0, 14, 355, 8, 10, 3, 1.0, false, "014", "8.9", "", false},
        {"fast target end-on", 0, 5, 180, 20, 0, 8, 3.0, false, "none", "none", "", false},
        {"opening astern", 0, 12, 0, 20, 0, 2, 1.0, false, "none", "none", "", true},
        {"already inside", 0, 12, 270, 12, 45, 3, 5.0, false, "none", "none",
         "The target will be closer than the wanted CPA when you act.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Her bearing and range at 12:06, when the own ship acts, from the true motion.
        mv::SteerInput in;
        in.Latest = {0.5, c.bearing, c.range};
        in.TargetCourse = c.course;
        in.TargetSpeed = c.speed;
        in.OwnCourse = c.ownCourse;
        in.OwnSpeed = c.ownSpeed;
        in.ActTime = 0.5 + 6.0 / 1440;
        in.WantedCPA = c.wanted;
        in.ToPort = c.toPort;
        const mv::SteerResult r = mv::ActionForCPA(in);
        EXPECT_EQ(r.Error, c.error);
        EXPECT_EQ(r.AlreadyClear, c.clear);
        EXPECT_EQ(mv::SteerCourseText(r), c.newCourse);
        EXPECT_EQ(mv::SteerSpeedText(r), c.newSpeed);
        // At 12:06 on the new course or speed, the CPA data give the wanted figure ahead.
        const auto rel = [&](float ownCourse, float ownSpeed) {
            const double h = 0.1;
            const double e = c.range * std::sin(c.bearing * M_PI / 180) +
                             h * (c.speed * std::sin(c.course * M_PI / 180) -
                                  c.ownSpeed * std::sin(c.ownCourse * M_PI / 180));
            const double n = c.range * std::cos(c.bearing * M_PI / 180) +
                             h * (c.speed * std::cos(c.course * M_PI / 180) -
                                  c.ownSpeed * std::cos(c.ownCourse * M_PI / 180));
            mv::CpaInput cpa{
                c.course,
                c.speed,
                ownCourse,
                ownSpeed,
                static_cast<float>(std::fmod(std::atan2(e, n) * 180 / M_PI + 360, 360)),
                static_cast<float>(std::hypot(e, n))};
            return mv::ComputeCPA(cpa, mv::BearingMode::Course);
        };
        if (r.Course) {
            const auto got = rel(*r.Course, c.ownSpeed);
            EXPECT_NEAR(got.CPA, c.wanted, 0.005);
            EXPECT_GT(got.TCPA, 0);
        }
        if (r.Speed) {
            const auto got = rel(c.ownCourse, *r.Speed);
            EXPECT_NEAR(got.CPA, c.wanted, 0.005);
            EXPECT_GT(got.TCPA, 0);
        }
    }
}

// A target on the starboard beam, crossing at 10 kn straight for the own ship (000, 10 kn) at
// the moment of action. Holding course, the own ship passes ahead of her at distance W when the
// relative track (-10, -s) leaves her W from the own ship: s = 10 W / sqrt(r^2 - W^2). At 4 nm
// that is 10 tan 30 = 5.8 kn; at 2.0025 nm some 200 kn, which nothing the ship can be ordered
// to gives.
TEST(ActionToSteer, OffersNoSpeedBeyondWhatCanBeOrdered) {
    const std::pair<float, const char*> cases[] = {{4.0f, "5.8"}, {2.0025f, "none within 99.9 kn"}};
    for (const auto& [range, speed] : cases) {
        mv::SteerInput in;
        in.Latest = {0.5, 90, range};
        in.TargetCourse = 270;
        in.TargetSpeed = 10;
        in.OwnCourse = 0;
        in.OwnSpeed = 10;
        in.ActTime = 0.5;
        in.WantedCPA = 2.0;
        EXPECT_EQ(mv::SteerSpeedText(mv::ActionForCPA(in)), speed) << range;
    }
}

} // namespace
