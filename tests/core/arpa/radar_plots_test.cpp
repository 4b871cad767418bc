// The radar's plots: their noise against the accuracy a radar must reach, misses and the
// horizon, and that one exercise gives the same plots on every run.

#include "core/arpa/radar_plots.h"
#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The own vessel at the origin and one target of a size at a bearing and range.
struct OneTarget {
    mv::VesselTables v;
    std::vector<mv::PointD> pos = std::vector<mv::PointD>(3);
    OneTarget(double size, double bearing, double range) {
        v.Create(2);
        v.Vessel[1].Size = size;
        mv::PolarOffset(mv::PointD{}, pos[1], static_cast<float>(bearing), range);
    }
};

// A plot's random error within 40 m (0.0216 nm) of range and 0.3 degrees of bearing 95 % of
// the time, near and far, unbiased. Bearing 359 degrees: errors across north count right.
TEST(RadarPlots, NoiseWithinTheStandardsLimitsNineteenTimesInTwenty) {
    for (const double range : {2.0, 10.0}) {
        SCOPED_TRACE(range);
        const double limit = 40.0 / 1852.0;
        const OneTarget w(mv::kLarge, 359.0, range);
        int plots = 0, rangeIn = 0, bearingIn = 0;
        double bias = 0;
        for (int64_t k = 0; k < 4000; ++k) {
            for (const auto& p : mv::MakeScan({.Exercise = 7}, k, w.v, w.pos).Plots) {
                ++plots;
                bias += p.Range - range;
                rangeIn += std::abs(p.Range - range) <= limit;
                bearingIn += std::abs(std::remainder(p.Bearing - 359.0, 360.0)) <= 0.3;
            }
        }
        ASSERT_GT(plots, 3000);
        EXPECT_NEAR(double(rangeIn) / plots, 0.95, 0.015);
        EXPECT_NEAR(double(bearingIn) / plots, 0.95, 0.015);
        EXPECT_NEAR(bias / plots, 0.0, 0.05 * limit);
    }
}

// The horizon for a 15 m antenna: 2.2 (3.873 + 5.000) = 19.52 nm for a large ship (25 m),
// 2.2 (3.873 + 1.732) = 12.33 nm for a small craft (3 m). Seen 8 scans in 10 at the reference
// range (11 nm large, 3.4 nm small), almost always at a third of it, rarely at twice it.
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
        SCOPED_TRACE(c.range);
        const OneTarget w(c.size, 90.0, c.range);
        double seen = 0;
        for (int64_t k = 0; k < 3000; ++k)
            seen += double(mv::MakeScan({.Exercise = 3}, k, w.v, w.pos).Plots.size()) / 3000;
        EXPECT_GE(seen, c.low);
        EXPECT_LE(seen, c.high);
    }
}

bool SamePlots(const mv::Scan& a, const mv::Scan& b) {
    const auto& p = a.Plots;
    const auto& q = b.Plots;
    return p.size() == q.size() && std::equal(p.begin(), p.end(), q.begin(), [](auto& x, auto& y) {
               return std::hypot(x.Position.X - y.Position.X, x.Position.Y - y.Position.Y) < 1e-9;
           });
}

// A tick of 30 s (x10) from 12:00:00 holds scans 1 to 12, 2.5 s apart; the next tick starts
// with scan 13. Scan k finds the target k/12 of the way along the tick's line (from 3 nm N to
// 3 nm N 1.2 nm E), and its plots are the same whenever they are made, and differ in another
// exercise or scan.
TEST(RadarPlots, OneExerciseOnePlotsAlongATick) {
    const mv::RadarSettings radar{.Exercise = 5}, other{.Exercise = 6};
    OneTarget w(mv::kMedium, 0, 3);
    const std::vector<mv::PointD> before = w.pos;
    w.v.VesselPos = {{0, 0}, {3, 1.2}, {}};
    const double to = 0.5 + 30.0 / 86400;
    const auto scans = mv::ScansOverTick(radar, 0.5, to, before, w.v);
    ASSERT_EQ(scans.size(), 12u);
    for (int64_t k = 12; k >= 1; --k) {
        const auto& s = scans[static_cast<size_t>(k - 1)];
        EXPECT_EQ(s.Index, k);
        EXPECT_NEAR((s.Time - 0.5) * 86400, 2.5 * double(k), 1e-6);
        const std::vector<mv::PointD> hand{{0, 0}, {3, 0.1 * double(k)}, {}};
        EXPECT_TRUE(SamePlots(s, mv::MakeScan(radar, k, w.v, hand)));
        EXPECT_FALSE(SamePlots(s, mv::MakeScan(other, k, w.v, hand)));
        EXPECT_FALSE(SamePlots(s, mv::MakeScan(radar, k + 1, w.v, hand)));
    }
    EXPECT_EQ(mv::ScansOverTick(radar, to, to + 30.0 / 86400, before, w.v).front().Index, 13);
    EXPECT_TRUE(mv::ScansOverTick(radar, 0.5, 1.5, before, w.v).empty()); // a day is no tick
    EXPECT_TRUE(mv::ScansOverTick(radar, 0.5, std::nan(""), before, w.v).empty());
}

} // namespace
