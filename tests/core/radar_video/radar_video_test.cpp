// The radar video against a navigator's reckoning: the horizon, the sea and rain controls, a
// blind sector, the beam's bearing discrimination, a SART's dots and the seeded picture.
#include "core/radar_video/radar_video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mv {
namespace {

constexpr double kLineDegrees = 360.0 / RadarVideo::kLines;

struct Target {
    double bearing; // degrees true from the own ship
    double range;   // nautical miles
    double size;
};

// The own ship at the origin heading north, and the targets.
VesselTables World(const std::vector<Target>& targets) {
    VesselTables v;
    v.Create(static_cast<int16_t>(targets.size() + 1));
    v.OwnVessel = 0;
    v.Vessel[0].Size = kLarge;
    for (size_t i = 0; i < targets.size(); ++i) {
        const double b = targets[i].bearing * kDegToRad;
        v.VesselPos[i + 1] = {targets[i].range * std::cos(b), targets[i].range * std::sin(b)};
        v.Vessel[i + 1].Size = targets[i].size;
    }
    return v;
}

int LineOf(double bearing) {
    return static_cast<int>(bearing / kLineDegrees);
}
double CentreOf(int line) {
    return (line + 0.5) * kLineDegrees;
}

struct Picture {
    RadarSettings radar;
    VideoWorld world;
    VideoControls controls;
    double scale = 12;
    std::vector<uint8_t> Line(const VesselTables& v, int line, int64_t scan = 3) const {
        std::vector<uint8_t> out(RadarVideo::kCells);
        RadarVideo::PaintLine(radar, world, controls, v, scale, 0.5, scan, line, out.data());
        return out;
    }
    int Cell(double range) const { return static_cast<int>(range / scale * RadarVideo::kCells); }
    // The brightest and the dimmest cell from range a to b (nautical miles) on a line.
    std::pair<int, int> Span(const VesselTables& v, int line, double a, double b) const {
        const auto out = Line(v, line);
        const auto [lo, hi] = std::minmax_element(out.begin() + Cell(a), out.begin() + Cell(b) + 1);
        return {*hi, *lo};
    }
};

TEST(RadarVideo, NothingFromBeyondTheRadarHorizon) {
    // A 1 m antenna and a large ship's 25 m superstructure: 2.2 (1 + 5) = 13.2 nm. At full
    // gain the floor is 25 - 30 = -5 dB. At 12.5 nm the echo is 20 (11 / 12.5)^4 = 12 times
    // the noise, at least 10.2 (10.1 dB) when it fades: every cell of it over 128 of 255. At
    // 13.5 nm it would still be 8.8 x 0.85 = 7.5 (8.7 dB, over 116), but it is below the
    // horizon: noise alone, which lights all eight cells over 60 (1.6 times its mean power)
    // once in 400 000.
    Picture p;
    p.radar.AntennaHeight = 1;
    p.controls.Gain = 100;
    p.scale = 24;
    EXPECT_GE(p.Span(World({{45, 12.5, kLarge}}), LineOf(45), 12.5, 12.8).second, 110);
    EXPECT_LT(p.Span(World({{45, 13.5, kLarge}}), LineOf(45), 13.5, 13.8).second, 60);
}

TEST(RadarVideo, OverdoneSeaControlWipesOutASmallCloseEcho) {
    // A small craft at 0.5 nm: 20 (3.4 / 0.5)^4 = 43 000 times the noise (46 dB), at worst a
    // tenth of it when it fades. The sea control's threshold at 0.5 nm is (0.3 / 0.5)^3 of
    // its peak: at 40, 10^2.4 x 0.216 = 54; at 100, 10^6 x 0.216 = 216 000, more than the
    // echo unless it flares fivefold (a chance of 1 in 200).
    Picture p;
    p.scale = 1.5;
    const auto v = World({{120, 0.5, kSmall}});
    p.controls.Sea = 40;
    EXPECT_GT(p.Span(v, LineOf(120), 0.5, 0.54).second, 200);
    p.controls.Sea = 100;
    // What is left is noise: 100 of 255 over the 4 dB floor of gain 70 is 15.8 dB.
    EXPECT_LT(p.Span(v, LineOf(120), 0.5, 0.54).first, 100);
}

TEST(RadarVideo, RainControlKeepsTheLeadingEdgeOfAShower) {
    // A heavy shower 3 nm north, 1 nm across each way: 25 dB of rain (316 times the noise)
    // from 2 to 4 nm on the line due north, bright on every cell at mean. The rain control at
    // full takes off the mean of the 25 cells before (twice the 0.15 nm pulse): inside the
    // shower about the rain's own mean, leaving only its speckle's peaks, less than half as
    // bright on average; at its near edge the cells before hold only noise, so it stays.
    Picture p;
    p.scale = 6;
    p.world.Rain = {{{3.0, 0.0}, 1.0, 1.0}};
    const auto mean = [&](int rain) {
        p.controls.Rain = rain;
        const auto out = p.Line(World({}), 0);
        double sum = 0;
        for (int c = p.Cell(2.5); c < p.Cell(3.5); ++c)
            sum += out[static_cast<size_t>(c)];
        return sum / (p.Cell(3.5) - p.Cell(2.5));
    };
    EXPECT_LT(mean(100), mean(0) / 2);
    p.controls.Rain = 100;
    EXPECT_GT(p.Span(World({}), 0, 2.0, 2.04).first, 150);
}

TEST(RadarVideo, SectorsOfTheSuperstructure) {
    // A coaster astern at 3 nm: 20 (8 / 3)^4 = 1000 times the noise (30 dB), shown bright.
    // Behind a funnel (blind 170 to 190 relative) nothing; behind a mast (10 dB down) still.
    Picture p;
    const auto v = World({{180, 3, kMedium}});
    const int line = LineOf(180);
    EXPECT_GT(p.Span(v, line, 3.0, 3.1).second, 200);
    p.world.Sectors = {{170, 190, true}};
    EXPECT_LT(p.Span(v, line, 3.0, 3.1).first, 100);
    p.world.Sectors = {{170, 190, false}};
    EXPECT_GT(p.Span(v, line, 3.0, 3.1).second, 100);
    // The sector is relative: the ship turned to 090, the coaster astern is now at 270 true.
    auto turned = World({{270, 3, kMedium}});
    turned.Vessel[0].Heading = 90;
    p.world.Sectors = {{170, 190, true}};
    EXPECT_LT(p.Span(turned, LineOf(270), 3.0, 3.1).first, 100);
}

TEST(RadarVideo, BeamWidthDecidesWhetherTwoShipsPart) {
    // Two large ships at 6 nm, 8 lines (1.41 degrees) apart. The two-way beam falls to
    // exp(-8 ln2 (0.70 / w)^2) at the line between them: with X band's 1 degree beam 0.065 of
    // each, 9 dB below the echoes, a dark gap; with S band's 2 degrees 0.50 of each, together
    // as bright as either: one blob. Echoes 20 (11 / 6)^4 = 226 (23.5 dB) over a floor of
    // 25 - 0.3 x 40 = 13 dB.
    struct Case {
        RadarBand band;
        bool parted;
    };
    for (const Case c : {Case{RadarBand::X, true}, Case{RadarBand::S, false}}) {
        SCOPED_TRACE(static_cast<int>(c.band));
        Picture p;
        p.controls.Band = c.band;
        p.controls.Gain = 40;
        const int first = 57;
        const auto v = World({{CentreOf(first), 6, kLarge}, {CentreOf(first + 8), 6, kLarge}});
        const int a = p.Span(v, first, 6.0, 6.3).first;
        const int b = p.Span(v, first + 8, 6.0, 6.3).first;
        const int mid = p.Span(v, first + 4, 6.0, 6.3).first;
        if (c.parted)
            EXPECT_LT(mid, std::min(a, b) / 2);
        else
            EXPECT_GT(mid, std::max(a, b) * 8 / 10);
    }
}

// A large ship half a mile abeam to starboard: a side-lobe arc 10 degrees off her bearing at
// her range, a second echo on her bearing at twice her range (1 nm), and by way of a mast
// shadowing 260 to 280 relative an echo on 270 at her range. Each goes with its switch.
TEST(RadarVideo, FalseEchoesGoWithTheirSwitches) {
    const VesselTables v = World({{90, 0.5, kLarge}});
    const struct {
        bool VideoWorld::*show;
        double bearing, from, to; // where the false echo lies: degrees, nautical miles
    } cases[] = {{&VideoWorld::SideLobes, 100, 0.5, 0.6},
                 {&VideoWorld::MultipleEchoes, 90, 1.0, 1.1},
                 {&VideoWorld::IndirectEchoes, 270, 0.52, 0.6}};
    for (const auto& c : cases) {
        Picture p;
        p.scale = 3;
        p.controls.Sea = 0;
        p.world.Sectors = {{260, 280, false}};
        EXPECT_GT(p.Span(v, LineOf(c.bearing), c.from, c.to).first, 80) << c.bearing;
        p.world.*c.show = false;
        EXPECT_LT(p.Span(v, LineOf(c.bearing), c.from, c.to).first, 60) << c.bearing;
    }
}

TEST(RadarVideo, SartShowsTwelveDotsOutward) {
    // A SART 2 nm north: dots from 2.0 nm out to 2 + 11 x 0.6 = 8.6 nm, 0.6 nm apart.
    Picture p;
    p.world.Sarts = {{2.0, 0.0}};
    const auto out = p.Line(World({}), 0);
    std::vector<double> starts;
    for (int c = 1; c < RadarVideo::kCells; ++c)
        if (out[static_cast<size_t>(c)] > 200 && out[static_cast<size_t>(c - 1)] <= 200)
            starts.push_back((c + 0.5) * p.scale / RadarVideo::kCells);
    ASSERT_EQ(starts.size(), 12u);
    EXPECT_NEAR(starts.front(), 2.0, 0.03);
    EXPECT_NEAR(starts.back(), 8.6, 0.03);
}

TEST(RadarVideo, SameSeedSamePictureInAnyOrder) {
    RadarSettings radar;
    radar.Exercise = 77;
    VideoWorld world;
    world.SeaState = 4;
    world.Rain = {{{3, 3}, 2, 0.8}};
    VideoControls controls;
    const auto v = World({{30, 2, kSmall}, {200, 5, kMedium}});
    // 3 s is 1.2 turns: the last turn, from 0.5 s on, is what shows.
    const double t0 = 0.5, t1 = 0.5 + 3.0 / kSecondsPerDay;
    const double lastTurn = 0.5 + 0.5 / kSecondsPerDay, mid = 0.5 + 1.3 / kSecondsPerDay;
    RadarVideo whole, halves, other;
    whole.Paint(radar, world, controls, v, 6, t0, t1);
    halves.Paint(radar, world, controls, v, 6, mid, t1);
    halves.Paint(radar, world, controls, v, 6, lastTurn, mid);
    radar.Exercise = 78;
    other.Paint(radar, world, controls, v, 6, t0, t1);
    EXPECT_EQ(whole.paintedCount(), RadarVideo::kLines);
    bool same = true, differs = false;
    for (int line = 0; line < RadarVideo::kLines; ++line)
        for (int c = 0; c < RadarVideo::kCells; ++c) {
            same = same && whole.At(line, c) == halves.At(line, c);
            differs = differs || whole.At(line, c) != other.At(line, c);
        }
    EXPECT_TRUE(same);
    EXPECT_TRUE(differs);
}

// A wipe, asked for or by a new range scale, leaves no echo and no afterglow, however often the
// buffer was painted and wiped before.
TEST(RadarVideo, WipesLeaveNothing) {
    RadarSettings radar;
    const VideoWorld world;
    const VideoControls controls;
    const auto v = World({{30, 2, kLarge}});
    const double t0 = 0.5, t1 = 0.5 + 3.0 / kSecondsPerDay;
    const auto blank = [](const RadarVideo& video) {
        for (int line = 0; line < RadarVideo::kLines; ++line)
            for (int c = 0; c < RadarVideo::kCells; ++c)
                if (video.Line(line)[c] != 0 || video.Glow(line)[c] != 0) return false;
        return true;
    };
    RadarVideo video;
    for (int round = 0; round < 2; ++round) {
        video.Paint(radar, world, controls, v, 6, t0, t1);
        ASSERT_FALSE(blank(video));
        video.Clear();
        EXPECT_TRUE(blank(video)) << "round " << round;
    }
    video.Paint(radar, world, controls, v, 6, t0, t1);
    video.Paint(radar, world, controls, v, 12, t1, t1); // a new scale, no time swept
    EXPECT_TRUE(blank(video));
}

} // namespace
} // namespace mv
