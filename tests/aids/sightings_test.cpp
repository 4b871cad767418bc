#include "aids/cpa.h"
#include "core/geometry.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using mv::ComputeFromSightings;
using mv::Sighting;

double Clock(int h, int m, int s) {
    return (h * 3600.0 + m * 60.0 + s) / 86400.0;
}

double AngleGap(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

struct Expected {
    float course, speed, cpa, bcpa;
    const char* timeOfCpa;
    float srm, drm;
};

void ExpectPlot(const mv::SightingsOutcome& got, const Expected& e, const char* name) {
    ASSERT_TRUE(got.ok()) << name << ": " << got.Error;
    const auto& r = *got.Result;
    EXPECT_LT(AngleGap(r.TargetCourse, e.course), 0.01) << name << " course " << r.TargetCourse;
    EXPECT_NEAR(r.TargetSpeed, e.speed, 1e-3) << name;
    EXPECT_NEAR(r.CPA, e.cpa, 1e-3) << name;
    if (e.bcpa >= 0) {
        EXPECT_LT(AngleGap(r.BCPA, e.bcpa), 0.01) << name << " BCPA " << r.BCPA;
    }
    EXPECT_EQ(mv::FormatClock(r.TimeOfCPA), e.timeOfCpa) << name;
    EXPECT_NEAR(r.SRM, e.srm, 1e-3) << name;
    EXPECT_LT(AngleGap(r.DRM, e.drm), 0.01) << name << " DRM " << r.DRM;
    for (float angle : {r.TargetCourse, r.BCPA, r.DRM}) {
        EXPECT_GE(angle, 0.0f) << name;
        EXPECT_LT(angle, 360.0f) << name;
    }
}

TEST(ComputeFromSightings, HandWorkedPlots) {
    struct Case {
        const char* name;
        float heading, speed;
        Sighting first, second;
        Expected want;
    };
    const Case cases[] = {
        // Own 000/10. Dead ahead at 6 nm, then at 4 nm six minutes later: the echo closes
        // 2 nm in 0.1 h, SRM 20, DRM 180 (opposite its bearing), CPA 0. It has 4 nm to run at
        // 20 kn, 12 min: CPA at 12:18:00. Target velocity = own (10, 0) + relative (-20, 0)
        // = (-10, 0): course 180, 10 kn.
        {"head-on, constant bearing",
         0,
         10,
         {Clock(12, 0, 0), 0, 6},
         {Clock(12, 6, 0), 0, 4},
         {180, 10, 0, -1, "12:18:00", 20, 180}},
        // Own 000/10. Constant bearing 045 closing from 10 nm to 10 - 1.4142 nm in 6 min: SRM
        // 14.142, DRM 225, CPA 0; 8.5858 nm to go at 14.142 kn is 36.43 min, 12:42:26.
        // Target velocity (10, 0) + (-10, -10) = (0, -10): course 270, 10 kn.
        {"crossing from starboard, constant bearing",
         0,
         10,
         {Clock(12, 0, 0), 45, 10},
         {Clock(12, 6, 0), 45, 10 - 1.41421356},
         {270, 10, 0, -1, "12:42:26", 14.1421f, 225}},
        // Own 090/10 (heading east). Dead ahead at 8 nm then 6 nm after 6 min: relative
        // motion 270 at 20 kn; a target on 270 at 10 kn, CPA 0 after 6/20 h = 18 min.
        {"head-on, own heading east",
         90,
         10,
         {Clock(8, 30, 0), 90, 8},
         {Clock(8, 36, 0), 90, 6},
         {270, 10, 0, -1, "08:54:00", 20, 270}},
        // Own 000/10. Target (0, 8) at 090 then, 12 min later, moved 2.8284 nm along 225 to
        // (-2, 6): bearing 108.435, 6.3246 nm. SRM 14.142, DRM 225; from (-2, 6) the foot of
        // the perpendicular is (-4, 4): CPA 5.657 on 135, 2.8284 nm on, 12 min, at 09:24:00.
        // Target velocity (0, -10): course 270, 10 kn.
        {"crossing, passes astern",
         0,
         10,
         {Clock(9, 0, 0), 90, 8},
         {Clock(9, 12, 0), 108.434949, 6.32455532},
         {270, 10, 5.65685f, 135, "09:24:00", 14.1421f, 225}},
        // Own 045/12. The echo stands still at 100, 5 nm: SRM 0, DRM 000, CPA = the range now,
        // bearing = the bearing now, time of CPA = the second sighting; the target keeps pace
        // with us: 045, 12 kn.
        {"identical sightings",
         45,
         12,
         {Clock(12, 0, 0), 100, 5},
         {Clock(12, 6, 0), 100, 5},
         {45, 12, 5, 100, "12:06:00", 0, 0}},
        // Own 000/10. Dead ahead, 10 nm at 23:44 and 8 nm at 23:50: SRM 20, 8 nm to go takes
        // 24 min: CPA at 00:14:00 the next day.
        {"CPA after midnight",
         0,
         10,
         {Clock(23, 44, 0), 0, 10},
         {Clock(23, 50, 0), 0, 8},
         {180, 10, 0, -1, "00:14:00", 20, 180}},
        // Own 000/10. Dead ahead and opening, 4 nm at 00:02 and 4.5 nm at 00:05: SRM 10 along
        // 000, a target on 000 at 20 kn that passed through us 4.5/10 h = 27 min before the
        // second sighting, at 23:38:00 the evening before.
        {"CPA before midnight",
         0,
         10,
         {Clock(0, 2, 0), 0, 4},
         {Clock(0, 5, 0), 0, 4.5},
         {0, 20, 0, -1, "23:38:00", 10, 0}},
    };
    for (const auto& c : cases)
        ExpectPlot(ComputeFromSightings(c.heading, c.speed, c.first, c.second), c.want, c.name);
}

// A range r2 at bearing b2 whose distance ahead, as the computation forms it, is exactly the
// first sighting's, so the echo has moved straight across the bow (no movement along the
// heading at all).
double RangeAtSameDistanceAhead(double b1, double r1, double b2) {
    const double k = static_cast<double>(0.017453292f);
    const double ahead = r1 * std::cos(b1 * k);
    double r2 = ahead / std::cos(b2 * k);
    for (int i = 0; i < 64 && r2 * std::cos(b2 * k) != ahead; ++i)
        r2 = std::nextafter(r2, r2 * std::cos(b2 * k) < ahead ? 1e9 : 0.0);
    EXPECT_EQ(r2 * std::cos(b2 * k), ahead);
    return r2;
}

TEST(ComputeFromSightings, EchoMovingStraightAcrossTheBow) {
    // Own 000/10. The echo goes from 330 to 030 at 4 nm, 3.4641 nm ahead throughout, 4 nm
    // across in 30 min: relative motion due east at 8 kn. Its CPA was at bearing 000, 3.4641
    // nm, 2 nm back along the track: 15 min before the second sighting, 12:15:00. Target
    // velocity (10, 0) + (0, 8): course 038.66, speed 12.806.
    const double r2 = RangeAtSameDistanceAhead(330, 4, 30);
    ExpectPlot(ComputeFromSightings(0, 10, {Clock(12, 0, 0), 330, 4}, {Clock(12, 30, 0), 30, r2}),
               {38.6598f, 12.8062f, 3.4641f, 0, "12:15:00", 8, 90}, "moving to starboard");
    // The mirror image: from 030 to 330, relative motion due west, course 321.34.
    const double r2b = RangeAtSameDistanceAhead(30, 4, 330);
    ExpectPlot(ComputeFromSightings(0, 10, {Clock(12, 0, 0), 30, 4}, {Clock(12, 30, 0), 330, r2b}),
               {321.3402f, 12.8062f, 3.4641f, 0, "12:15:00", 8, 270}, "moving to port");
}

TEST(ComputeFromSightings, RecoversAKnownTargetTrack) {
    // Lay out both tracks in true motion, take the two sightings from them, and the target's
    // course and speed must come back; the CPA figures must agree with the speed triangle
    // worked from the second sighting.
    struct Track {
        float ownCourse, ownSpeed;
        float bearing;
        double range; // at the first sighting
        float course, speed;
        int minutes; // between the sightings
    };
    const Track tracks[] = {{75, 14, 10, 9, 200, 9, 12},   {0, 10, 300, 7, 90, 18, 6},
                            {300, 8, 150, 5, 45, 4, 9},    {180, 20, 181, 3, 182, 25, 3},
                            {90, 6, 45, 12, 270, 6, 15},   {359, 12, 0, 10, 181, 12, 6},
                            {10, 15, 350, 6, 10, 15.5, 6}, {222, 3.5, 5, 20, 333, 17, 30}};
    const double t1 = Clock(10, 0, 0);
    for (const auto& t : tracks) {
        const double t2 = t1 + t.minutes / 1440.0;
        const double hours = t.minutes / 60.0;
        mv::PointD own{0, 0}, target;
        mv::PolarOffset(own, target, t.bearing, t.range);
        mv::PointD own2 = own, target2 = target;
        mv::MovePoint(own2, t.ownCourse, t.ownSpeed * hours);
        mv::MovePoint(target2, t.course, t.speed * hours);
        float bearing2 = 0;
        double range2 = 0;
        mv::GetVector(own2, target2, bearing2, range2);

        const auto got = ComputeFromSightings(t.ownCourse, t.ownSpeed, {t1, t.bearing, t.range},
                                              {t2, bearing2, range2});
        ASSERT_TRUE(got.ok()) << got.Error;
        const auto& r = *got.Result;
        EXPECT_LT(AngleGap(r.TargetCourse, t.course), 0.01)
            << t.course << " got " << r.TargetCourse;
        EXPECT_NEAR(r.TargetSpeed, t.speed, 1e-3) << t.course;

        const auto cpa = mv::ComputeCPA(
            {t.course, t.speed, t.ownCourse, t.ownSpeed, bearing2, static_cast<float>(range2), 0},
            mv::BearingMode::Course);
        EXPECT_NEAR(r.SRM, cpa.SRM, 1e-3) << t.course;
        EXPECT_LT(AngleGap(r.DRM, cpa.DRM), 0.01) << t.course;
        EXPECT_NEAR(r.CPA, cpa.CPA, 1e-3) << t.course;
        // Single-precision SRM: a slow closing (0.5 kn) stretches its rounding over hours.
        EXPECT_NEAR((r.TimeOfCPA - t2) * 1440.0, cpa.TCPA, 1e-2 + 1e-4 * std::fabs(cpa.TCPA))
            << t.course;
        if (cpa.CPA > 0.01) {
            EXPECT_LT(AngleGap(r.BCPA, cpa.BCPA), 0.01) << t.course;
        }
    }
}

TEST(ComputeFromSightings, CannotCompute) {
    struct Case {
        const char* name;
        float heading, speed;
        Sighting first, second;
        const char* error;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"own vessel stopped",
         0,
         0,
         {Clock(12, 0, 0), 0, 6},
         {Clock(12, 6, 0), 0, 4},
         "The own vessel is stopped: the target's course and speed cannot be found from two "
         "sightings."},
        // Own 000/10 closing a stopped target dead ahead, 5 nm then 4 nm in 6 min: relative
        // (-10, 0) is exactly the reversed own vector, so the target has no speed.
        {"target stopped",
         0,
         10,
         {Clock(12, 0, 0), 0, 5},
         {Clock(12, 6, 0), 0, 4},
         "The target is stopped: its course cannot be found."},
        {"same time",
         0,
         10,
         {Clock(12, 6, 0), 0, 5},
         {Clock(12, 6, 0), 0, 4},
         "The second sighting must be later than the first."},
        {"second earlier",
         0,
         10,
         {Clock(12, 6, 0), 0, 5},
         {Clock(12, 0, 0), 0, 4},
         "The second sighting must be later than the first."},
        {"not a number", 0, 10, {Clock(12, 0, 0), nan, 5}, {Clock(12, 6, 0), 0, 4}, nullptr},
        {"negative range", 0, 10, {Clock(12, 0, 0), 0, -5}, {Clock(12, 6, 0), 0, 4}, nullptr},
    };
    for (const auto& c : cases) {
        const auto got = ComputeFromSightings(c.heading, c.speed, c.first, c.second);
        EXPECT_FALSE(got.ok()) << c.name;
        EXPECT_FALSE(got.Error.empty()) << c.name;
        if (c.error) {
            EXPECT_EQ(got.Error, c.error) << c.name;
        }
    }
}

} // namespace
