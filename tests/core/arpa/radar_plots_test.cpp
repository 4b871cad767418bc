// The radar's plots: their noise against the accuracy a radar must reach, misses and the
// horizon, and that one exercise gives the same plots on every run.

#include "core/arpa/radar_plots.h"
#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

mv::VesselTables OwnAndOne(double size) {
    mv::VesselTables v;
    v.Create(2);
    v.Vessel[1].Size = size;
    return v;
}

std::vector<mv::PointD> OwnAtOriginTargetAt(double bearing, double range) {
    std::vector<mv::PointD> pos(3);
    mv::PolarOffset(mv::PointD{}, pos[1], static_cast<float>(bearing), range);
    return pos;
}

// Limits at 95 %: 50 m (0.027 nm) at 2 nm, where 1 % would be only 37 m; 1 % (0.10 nm) at
// 10 nm; 2 degrees of bearing at both. Bearing 359 degrees: errors across north count right.
TEST(RadarPlots, NoiseWithinTheStandardsLimitsNineteenTimesInTwenty) {
    for (const double range : {2.0, 10.0}) {
        const double limit = range == 2.0 ? 50.0 / 1852.0 : 0.10;
        mv::RadarSettings radar{.Exercise = 7};
        const auto v = OwnAndOne(mv::kLarge);
        const auto pos = OwnAtOriginTargetAt(359.0, range);
        int plots = 0, rangeIn = 0, bearingIn = 0;
        double rangeSum = 0;
        for (int64_t k = 0; k < 4000; ++k) {
            for (const auto& p : mv::MakeScan(radar, k, v, pos).Plots) {
                ++plots;
                rangeSum += p.Range - range;
                rangeIn += std::abs(p.Range - range) <= limit;
                const double off = std::remainder(p.Bearing - 359.0, 360.0);
                bearingIn += std::abs(off) <= 2.0;
            }
        }
        SCOPED_TRACE(range);
        ASSERT_GT(plots, 3000);
        EXPECT_NEAR(double(rangeIn) / plots, 0.95, 0.015);
        EXPECT_NEAR(double(bearingIn) / plots, 0.95, 0.015);
        EXPECT_NEAR(rangeSum / plots, 0.0, 0.05 * limit); // no bias
    }
}

// The horizon for a 15 m antenna: 2.2 (3.873 + 5.000) = 19.52 nm for a large ship (25 m),
// 2.2 (3.873 + 1.732) = 12.33 nm for a small craft (3 m). Seen 8 scans in 10 at the reference
// range (11 nm large, 3.4 nm small), almost always at a third of it, rarely far beyond it.
TEST(RadarPlots, DetectionByRangeSizeAndHorizon) {
    struct Case {
        double size, range, low, high;
    } cases[] = {
        {mv::kLarge, 11.0, 0.77, 0.83}, {mv::kSmall, 3.4, 0.77, 0.83},
        {mv::kSmall, 1.1, 0.99, 1.0},   {mv::kSmall, 6.8, 0.0, 0.04},
        {mv::kLarge, 19.4, 0.08, 0.15}, {mv::kLarge, 19.6, 0.0, 0.0},
        {mv::kSmall, 12.4, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        mv::RadarSettings radar{.Exercise = 3};
        const auto v = OwnAndOne(c.size);
        const auto pos = OwnAtOriginTargetAt(90.0, c.range);
        int seen = 0;
        for (int64_t k = 0; k < 3000; ++k)
            seen += static_cast<int>(mv::MakeScan(radar, k, v, pos).Plots.size());
        SCOPED_TRACE(c.range);
        EXPECT_GE(seen / 3000.0, c.low);
        EXPECT_LE(seen / 3000.0, c.high);
    }
}

bool SamePlots(const mv::Scan& a, const mv::Scan& b) {
    if (a.Plots.size() != b.Plots.size()) return false;
    for (size_t i = 0; i < a.Plots.size(); ++i)
        if (std::hypot(a.Plots[i].Position.X - b.Plots[i].Position.X,
                       a.Plots[i].Position.Y - b.Plots[i].Position.Y) > 1e-9)
            return false;
    return true;
}

TEST(RadarPlots, OneExerciseOnePlotsInAnyOrder) {
    const auto v = OwnAndOne(mv::kMedium);
    const auto pos = OwnAtOriginTargetAt(45.0, 4.0);
    const mv::RadarSettings a{.Exercise = 12}, b{.Exercise = 13};
    const auto later = mv::MakeScan(a, 500, v, pos);
    const auto first = mv::MakeScan(a, 3, v, pos);
    EXPECT_TRUE(SamePlots(first, mv::MakeScan(a, 3, v, pos)));
    EXPECT_TRUE(SamePlots(later, mv::MakeScan(a, 500, v, pos)));
    EXPECT_FALSE(SamePlots(first, mv::MakeScan(b, 3, v, pos)));
    EXPECT_FALSE(SamePlots(first, mv::MakeScan(a, 4, v, pos)));
}

// A tick of 30 s (x10) from 12:00:00 holds scans 1 to 12, at 2.5 s steps; the next tick
// starts with scan 13. Scan k finds the target k/12 of the way along the tick's line.
TEST(RadarPlots, ScansAlongATick) {
    mv::RadarSettings radar{.Exercise = 5};
    auto v = OwnAndOne(mv::kMedium);
    const std::vector<mv::PointD> before{{0, 0}, {3, 0}, {}};
    v.VesselPos[1] = {3, 1.2};
    const double from = 0.5, to = 0.5 + 30.0 / 86400;
    const auto scans = mv::ScansOverTick(radar, from, to, before, v);
    ASSERT_EQ(scans.size(), 12u);
    for (int64_t k = 1; k <= 12; ++k) {
        const auto& s = scans[static_cast<size_t>(k - 1)];
        EXPECT_EQ(s.Index, k);
        EXPECT_NEAR((s.Time - 0.5) * 86400, 2.5 * double(k), 1e-6);
        const std::vector<mv::PointD> hand{{0, 0}, {3, 0.1 * double(k)}, {}};
        EXPECT_TRUE(SamePlots(s, mv::MakeScan(radar, k, v, hand)));
    }
    EXPECT_EQ(mv::ScansOverTick(radar, to, to + 30.0 / 86400, before, v).front().Index, 13);
}

} // namespace
