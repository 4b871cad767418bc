#include "core/aids/cpa.h"
#include "core/aids/cpa_data.h"
#include "tests/support/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

using mv::BearingMode;
using mv::ComputeCPA;
using mv::CpaInput;

constexpr float kAny = -1.0f; // BCPA is meaningless when the CPA is 0 (a collision course)

using mv::test::AngleGap;

TEST(ComputeCPA, HandWorkedPlots) {
    // Worked on the plotting sheet: relative velocity = target velocity - own velocity as
    // (north, east) knots; the relative track runs from the target along it, and the CPA is the
    // foot of the perpendicular from the own vessel. TCPA in minutes.
    const struct {
        const char* name;
        CpaInput in; // Ct, St, Co, So, B, R, T0
        float cpa, bcpa;
        double tcpa;
        float drm, srm;
    } cases[] = {
        // Own 000/10, target dead ahead 6 nm on 180/10: relative (-20, 0), down the heading
        // line, 6/20 h = 18 min, counted on from the clock at 30 min.
        {"head-on", {180, 10, 0, 10, 0, 6, 30}, 0, kAny, 48, 180, 20},
        // Own 000/10, target 045 at 10 nm on 270/10: relative (-10, -10) straight down the 045
        // line, constant bearing, 10/14.142 h.
        // The same target from 090 at 8 nm, (0, 8): the foot is (-4, 4), 5.657 nm on 135 (it
        // crosses astern), 5.657/14.142 h. Turned 300: every direction grows by 300.
        {"crossing, astern", {270, 10, 0, 10, 90, 8, 0}, 5.6569f, 135, 24, 225, 14.1421f},
        {"crossing, turned 300", {210, 10, 300, 10, 30, 8, 0}, 5.6569f, 75, 24, 165, 14.1421f},
        // Own 000/5, target 000/15 at (-4, 3) comes up from astern: relative (+10, 0), foot
        // (0, 3). Own 000/15 overtaking 000/5 at (4, 3): relative (-10, 0), the same foot.
        {"overtaking", {0, 5, 0, 15, 36.869898f, 5, 0}, 3, 90, 24, 180, 10},
        // The faster target already at (4, 3) went through its CPA abeam 4/10 h ago.
        {"past CPA", {0, 15, 0, 5, 36.869898f, 5, 0}, 3, 90, -24, 0, 10},
        // Own stopped: relative motion is the target's own, 000/12 from (-3, 4), foot (0, 4).
        {"own stopped", {0, 12, 0, 0, 126.869898f, 5, 0}, 4, 90, 15, 0, 12},
        // Own 000/10 past a stopped target at (7.071, 7.071): relative (-10, 0).
        {"target stopped", {0, 0, 0, 10, 45, 10, 0}, 7.0711f, 90, 42.4264, 180, 10},
        // No relative motion: the present range and bearing are the CPA, TCPA is the base.
        {"same course and speed", {90, 12, 90, 12, 200, 3, 0}, 3, 200, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto r = ComputeCPA(c.in, BearingMode::Course);
        EXPECT_NEAR(r.SRM, c.srm, 1e-3) << c.name;
        EXPECT_LT(AngleGap(r.DRM, c.drm), 0.01) << c.name << " DRM " << r.DRM;
        EXPECT_NEAR(r.CPA, c.cpa, 1e-3) << c.name;
        EXPECT_NEAR(r.TCPA, c.tcpa, 1e-2) << c.name;
        if (c.bcpa != kAny) {
            EXPECT_LT(AngleGap(r.BCPA, c.bcpa), 0.01) << c.name << " " << r.BCPA;
        }
    }
}

TEST(ComputeCPA, NeverNaNAcrossDegenerateTriangles) {
    // Equal and opposite courses, stopped vessels, equal speeds: the triangle's cosine lands on
    // or a hair past +-1. Course of each, the own speed and the target's.
    const std::tuple<float, float, float, float> cases[] = {
        {0, 0, 10, 10},   {0, 180, 10, 10},         {45, 45.0001f, 10, 10.000001f},
        {90, 270, 0, 0},  {0, 179.9999f, 0.1f, 10}, {135, 134.9999f, 10.000001f, 0.1f},
        {225, 45, 10, 0}, {315, 315, 0, 0.1f}};
    for (auto [co, ct, so, st] : cases) {
        const auto r = ComputeCPA({ct, st, co, so, 90, 5, 0}, BearingMode::Relative);
        EXPECT_TRUE(std::isfinite(r.TCPA) && r.DRM >= 0 && r.BCPA >= 0 && r.CPA <= 5.0001f) << ct;
    }
}

// Own vessel A on 090 at 10 kn; target B 8 nm due south on 000 at 10 kn. Relative motion (10, -10)
// kn: DRM 315, SRM 14.14 kn; from (-8, 0) the foot of the perpendicular is (-4, -4): CPA 5.66 nm
// on 225, 5.66 nm to run, 24 minutes. Ordered: B to 20 kn. Relative (20, -10): 22.36 kn on 333.4,
// the foot at (-1.6, -3.2): 3.58 nm on 243, 7.16 nm to run, 19.2 minutes.
TEST(DoCPA, CrossingTargetAndTheOwnVesselItself) {
    using mv::CpaDataTexts;
    mv::VesselTables t;
    t.Create(2);
    t.Vessel[0] = {90, 90, 10, 10, mv::kMedium};
    t.Vessel[1] = {0, 0, 10, 20, mv::kMedium};
    t.VesselPos[1] = {-8, 0};
    const CpaDataTexts present{"000", "10.0 kn", "090", "10.0 kn", "5.66 nm",
                               "225", "14.1 kn", "315", "24.0 min"};
    EXPECT_EQ(mv::DoCPA(t, 1, false, BearingMode::Course), present);
    // Relative bearings: the DRM is taken from the own course, the BCPA stays true.
    const auto relative = mv::DoCPA(t, 1, false, BearingMode::Relative);
    EXPECT_EQ(relative.DRM + " " + relative.BCPA, "225 225");
    const auto final = mv::DoCPA(t, 1, true, BearingMode::Course);
    EXPECT_EQ(final.TargetSpeed + " " + final.CPA + " " + final.TCPA, "20.0 kn 3.58 nm 19.2 min");
    // Its own button in CPA mode: no range, no relative motion.
    const auto own = mv::DoCPA(t, 0, false, BearingMode::Course);
    EXPECT_EQ(own.CPA + " " + own.SRM + " " + own.TCPA, "0.00 nm 0.0 kn 0.0 min");
    // A speed in force that the arithmetic cannot take: never shown as a CPA of 0.00 nm.
    t.Vessel[1].Speed = std::numeric_limits<float>::infinity();
    EXPECT_EQ(mv::DoCPA(t, 1, false, BearingMode::Course).CPA, mv::kCpaNotComputed);
}

} // namespace
