#include "aids/cpa.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using mv::BearingMode;
using mv::ComputeCPA;
using mv::CpaInput;

constexpr float kAny = -1.0f; // BCPA is meaningless when the CPA is 0 (a collision course)

struct PlotCase {
    const char* name;
    CpaInput in; // Ct, St, Co, So, B, R, T0
    float cpa, bcpa;
    double tcpa;
    float drm, srm;
};

// Every case worked on the plotting sheet: relative velocity = target velocity - own velocity
// as (north, east) knots; the relative track runs from the target's position along it, and the
// CPA is the foot of the perpendicular from the own vessel.
const PlotCase kPlots[] = {
    // Own 000/10, target dead ahead 6 nm on 180/10. Relative (-20, 0): DRM 180, SRM 20,
    // straight down the heading line: CPA 0, TCPA 6/20 h = 18 min.
    {"head-on", {180, 10, 0, 10, 0, 6, 0}, 0.0f, kAny, 18.0, 180.0f, 20.0f},
    // Same, with the clock already at 30 minutes: the TCPA is counted from that base.
    {"head-on with time base", {180, 10, 0, 10, 0, 6, 30}, 0.0f, kAny, 48.0, 180.0f, 20.0f},
    // Own 270/8, target 4 nm dead ahead on 090/8: relative (0, +16), DRM 090, SRM 16,
    // TCPA 4/16 h = 15 min.
    {"head-on heading west", {90, 8, 270, 8, 270, 4, 0}, 0.0f, kAny, 15.0, 90.0f, 16.0f},
    // Own 000/10, target 045 at 10 nm on 270/10. Relative (-10, -10): DRM 225, SRM 14.142.
    // The target sits on the 045 line and moves down it: constant bearing, CPA 0,
    // TCPA 10/14.142 h = 42.43 min.
    {"crossing from starboard, collision",
     {270, 10, 0, 10, 45, 10, 0},
     0.0f,
     kAny,
     42.4264,
     225.0f,
     14.1421f},
    // Own 000/10, target 090 at 8 nm (0, 8) on 270/10. Relative (-10, -10), DRM 225. Along
    // (-0.7071, -0.7071) the foot is 5.657 nm on, at (-4, 4): CPA 5.657 on 135 (it crosses
    // astern), TCPA 5.657/14.142 h = 24 min.
    {"crossing from starboard, passes astern",
     {270, 10, 0, 10, 90, 8, 0},
     5.6569f,
     135.0f,
     24.0,
     225.0f,
     14.1421f},
    // The same picture turned 60 degrees: own 060, target bearing 150 on 330. Every direction
    // grows by 60: DRM 285, BCPA 195.
    {"crossing, turned 60", {330, 10, 60, 10, 150, 8, 0}, 5.6569f, 195.0f, 24.0, 285.0f, 14.1421f},
    // Turned 300: DRM 225 + 300 = 165, BCPA 135 + 300 = 075.
    {"crossing, turned 300", {210, 10, 300, 10, 30, 8, 0}, 5.6569f, 75.0f, 24.0, 165.0f, 14.1421f},
    // Own 000/5; a faster target 000/15 at (-4, 3), bearing 143.13, 5 nm, comes up from astern.
    // Relative (+10, 0): DRM 000, SRM 10; foot (0, 3): CPA 3 on 090, TCPA 4/10 h = 24 min.
    {"overtaken by a target from astern",
     {0, 15, 0, 5, 143.130102f, 5, 0},
     3.0f,
     90.0f,
     24.0,
     0.0f,
     10.0f},
    // Own 000/15 overtakes a target 000/5 at (4, 3), bearing 036.87, 5 nm. Relative (-10, 0):
    // DRM 180, SRM 10; foot (0, 3): CPA 3 on 090, TCPA 24 min.
    {"overtaking a slower target",
     {0, 5, 0, 15, 36.869898f, 5, 0},
     3.0f,
     90.0f,
     24.0,
     180.0f,
     10.0f},
    // The faster target already at (4, 3): it went through its CPA abeam (0, 3) 4/10 h ago.
    {"target past its CPA", {0, 15, 0, 5, 36.869898f, 5, 0}, 3.0f, 90.0f, -24.0, 0.0f, 10.0f},
    // Own stopped; target 000/12 at (-3, 4), bearing 126.87, 5 nm. Relative motion is the
    // target's own: DRM 000, SRM 12; foot (0, 4): CPA 4 on 090, TCPA 3/12 h = 15 min.
    {"own vessel stopped", {0, 12, 0, 0, 126.869898f, 5, 0}, 4.0f, 90.0f, 15.0, 0.0f, 12.0f},
    // Own 000/10 past a stopped target 045 at 10 nm, (7.071, 7.071). Relative (-10, 0): DRM
    // 180, SRM 10; foot (0, 7.071): CPA 7.071 on 090, TCPA 7.071/10 h = 42.43 min.
    {"target stopped", {0, 0, 0, 10, 45, 10, 0}, 7.0711f, 90.0f, 42.4264, 180.0f, 10.0f},
    // Own stopped at a stopped target: no relative motion, the present range and bearing stand.
    {"both stopped", {123, 0, 0, 0, 200, 3, 0}, 3.0f, 200.0f, 0.0, 0.0f, 0.0f},
    // Own 090/12 and target 090/12 at 200, 3 nm: no relative motion; CPA is the range now.
    {"same course and speed", {90, 12, 90, 12, 200, 3, 0}, 3.0f, 200.0f, 0.0, 0.0f, 0.0f},
    {"same course and speed, time base",
     {90, 12, 90, 12, 200, 3, 7.5},
     3.0f,
     200.0f,
     7.5,
     0.0f,
     0.0f},
    // Exactly opposite courses, unequal speeds: own 000/10, target 180/5 at (6, 1), bearing
    // 009.46, 6.083 nm. Relative (-15, 0): DRM 180, SRM 15; foot (0, 1): CPA 1 on 090,
    // TCPA 6/15 h = 24 min.
    {"opposite courses, unequal speeds",
     {180, 5, 0, 10, 9.462322f, 6.0827625f, 0},
     1.0f,
     90.0f,
     24.0,
     180.0f,
     15.0f},
};

double AngleGap(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

TEST(ComputeCPA, HandWorkedPlots) {
    for (const auto& c : kPlots) {
        const auto r = ComputeCPA(c.in, BearingMode::Course);
        EXPECT_NEAR(r.SRM, c.srm, 1e-3) << c.name;
        EXPECT_LT(AngleGap(r.DRM, c.drm), 0.01) << c.name << " DRM " << r.DRM;
        EXPECT_NEAR(r.CPA, c.cpa, 1e-3) << c.name;
        EXPECT_NEAR(r.TCPA, c.tcpa, 1e-2) << c.name;
        if (c.bcpa != kAny) {
            EXPECT_LT(AngleGap(r.BCPA, c.bcpa), 0.01) << c.name << " " << r.BCPA;
        }
        for (float angle : {r.DRM, r.BCPA}) {
            EXPECT_GE(angle, 0.0f) << c.name;
            EXPECT_LT(angle, 360.0f) << c.name;
        }
    }
}

TEST(ComputeCPA, RelativeModeTurnsOnlyTheDrm) {
    // DRM true minus own course; BCPA stays true.
    struct Case {
        const char* name;
        CpaInput in;
        float drmRelative, bcpa;
    };
    const Case cases[] = {
        {"own 060: 285 - 60", {330, 10, 60, 10, 150, 8, 0}, 225.0f, 195.0f},
        {"own 300: 165 - 300 + 360", {210, 10, 300, 10, 30, 8, 0}, 225.0f, 75.0f},
        {"own 000: unchanged", {270, 10, 0, 10, 90, 8, 0}, 225.0f, 135.0f},
    };
    for (const auto& c : cases) {
        const auto rel = ComputeCPA(c.in, BearingMode::Relative);
        const auto tru = ComputeCPA(c.in, BearingMode::Course);
        EXPECT_LT(AngleGap(rel.DRM, c.drmRelative), 0.01) << c.name << " " << rel.DRM;
        EXPECT_LT(AngleGap(rel.BCPA, c.bcpa), 0.01) << c.name;
        EXPECT_EQ(rel.BCPA, tru.BCPA) << c.name;
        EXPECT_EQ(rel.CPA, tru.CPA) << c.name;
        EXPECT_EQ(rel.TCPA, tru.TCPA) << c.name;
    }
    // Without relative motion the DRM reads 000 in either mode.
    EXPECT_EQ(ComputeCPA({90, 12, 90, 12, 200, 3, 0}, BearingMode::Relative).DRM, 0.0f);
}

TEST(ComputeCPA, OwnVesselAgainstItselfReadsZero) {
    // The panel opened for the own vessel: range 0, same course and speed.
    const auto r = ComputeCPA({37, 11, 37, 11, 0, 0, 0}, BearingMode::Course);
    EXPECT_EQ(r.CPA, 0.0f);
    EXPECT_EQ(r.BCPA, 0.0f);
    EXPECT_EQ(r.TCPA, 0.0);
    EXPECT_EQ(r.DRM, 0.0f);
    EXPECT_EQ(r.SRM, 0.0f);
}

TEST(ComputeCPA, NeverNaNAcrossDegenerateTriangles) {
    // Equal and opposite courses, stopped vessels, equal speeds: the triangle's cosine lands on
    // or just beyond +-1, and every figure must still be a number in range.
    const float speeds[] = {0.0f, 0.1f, 5.0f, 10.0f, 10.000001f, 30.0f};
    for (float co = 0; co < 360; co += 22.5f)
        for (float dc : {0.0f, 180.0f, 90.0f, 0.0001f, 179.9999f, 359.9999f})
            for (float so : speeds)
                for (float st : speeds)
                    for (float b : {0.0f, 90.0f, 359.9f}) {
                        const float ct = std::fmod(co + dc, 360.0f);
                        for (auto mode : {BearingMode::Course, BearingMode::Relative}) {
                            const auto r = ComputeCPA({ct, st, co, so, b, 5, 0}, mode);
                            ASSERT_TRUE(std::isfinite(r.CPA) && std::isfinite(r.BCPA) &&
                                        std::isfinite(r.TCPA) && std::isfinite(r.DRM) &&
                                        std::isfinite(r.SRM))
                                << ct << " " << st << " " << co << " " << so << " " << b;
                            ASSERT_GE(r.DRM, 0.0f);
                            ASSERT_LT(r.DRM, 360.0f);
                            ASSERT_GE(r.BCPA, 0.0f);
                            ASSERT_LT(r.BCPA, 360.0f);
                            ASSERT_LE(r.CPA, 5.0f + 1e-4f);
                        }
                    }
}

TEST(ComputeCPA, InputThatIsNotANumberGivesZeros) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const CpaInput in : {CpaInput{nan, 10, 0, 10, 0, 6, 0}, CpaInput{180, 10, 0, inf, 0, 6, 0},
                              CpaInput{180, 10, 0, 10, 0, nan, 0}}) {
        const auto r = ComputeCPA(in, BearingMode::Course);
        EXPECT_EQ(r.CPA, 0.0f);
        EXPECT_EQ(r.TCPA, 0.0);
        EXPECT_EQ(r.SRM, 0.0f);
    }
}

TEST(TriangleAngle, EndsAndMiddle) {
    EXPECT_EQ(mv::TriangleAngle(1.0), 0.0);
    EXPECT_EQ(mv::TriangleAngle(1.0000001), 0.0);
    EXPECT_EQ(mv::TriangleAngle(-1.0), 3.1415927);
    EXPECT_EQ(mv::TriangleAngle(-1.0000001), 3.1415927);
    EXPECT_NEAR(mv::TriangleAngle(0.0), std::numbers::pi / 2, 1e-5);
    EXPECT_NEAR(mv::TriangleAngle(0.5), std::numbers::pi / 3, 1e-5);
    EXPECT_NEAR(mv::TriangleAngle(-0.5), 2 * std::numbers::pi / 3, 1e-5);
}

} // namespace
