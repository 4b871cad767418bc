#include "core/aids/cpa_data.h"
#include "core/aids/target_aids.h"
#include "core/display/markers.h"
#include "core/geometry.h"
#include "core/simulation.h"
#include "core/vessel_view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

struct Steady {
    float heading, speed, bearing;
    double range;
};

// Own vessel at the origin on 000, targets at (bearing, range) from it.
Simulation World(float ownHeading, float ownSpeed, const std::vector<Steady>& targets) {
    Simulation sim;
    sim.Vessels.Create(static_cast<int16_t>(1 + targets.size()));
    sim.Vessels.Vessel[0] = {ownHeading, static_cast<int16_t>(ownHeading), ownSpeed, ownSpeed,
                             kSmall};
    for (size_t i = 0; i < targets.size(); ++i) {
        const Steady& t = targets[i];
        sim.Vessels.Vessel[i + 1] = {t.heading, static_cast<int16_t>(t.heading), t.speed, t.speed,
                                     kMedium};
        PolarOffset({}, sim.Vessels.VesselPos[i + 1], t.bearing, t.range);
    }
    return sim;
}

class NoView final : public UnseenView {
  public:
    std::vector<PointD> relative; // each plot mark's echo less the own position of its pass
    std::vector<PointD> echoes;
    PointD own;
    void CentreOn(const PointD& p) override { own = p; }
    void ShowEcho(int, const EchoLine& e) override { echoes.push_back(e.Centre); }
    void PlotMark(int, const EchoLine& e) override {
        relative.push_back({e.Centre.X - own.X, e.Centre.Y - own.Y});
    }
};

// Largest distance of any point from the line through the first and last, nautical miles.
double OffLine(const std::vector<PointD>& p) {
    const PointD a = p.front(), b = p.back();
    const double len = std::hypot(b.X - a.X, b.Y - a.Y);
    double worst = 0;
    for (const PointD& q : p)
        worst =
            std::max(worst, std::abs((b.X - a.X) * (q.Y - a.Y) - (b.Y - a.Y) * (q.X - a.X)) / len);
    return worst;
}

TEST(TargetAid, VectorsAndDataFromTheCpaArithmetic) {
    // Head-on at 6 nm closing at 24 kt; a crossing target from starboard; own vessel stopped.
    const struct {
        float ownSpeed;
        Steady t;
        PointD rel, tru; // vector ends for 6 minutes, north and east
    } cases[] = {
        {12, {180, 12, 0, 6}, {3.6, 0}, {4.8, 0}},
        {10,
         {270, 10, 45, 4},
         {std::sqrt(8.0) - 1, std::sqrt(8.0) - 1},
         {std::sqrt(8.0), std::sqrt(8.0) - 1}},
        {0, {90, 15, 0, 2}, {2, 1.5}, {2, 1.5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t.bearing);
        const Simulation sim = World(0, c.ownSpeed, {c.t});
        const TargetAid aid = ComputeTargetAid(sim.Vessels, 1, 6);
        EXPECT_NEAR(aid.RelativeEnd.X, c.rel.X, 1e-4);
        EXPECT_NEAR(aid.RelativeEnd.Y, c.rel.Y, 1e-4);
        EXPECT_NEAR(aid.TrueEnd.X, c.tru.X, 1e-4);
        EXPECT_NEAR(aid.TrueEnd.Y, c.tru.Y, 1e-4);
        const TargetDataTexts t = TargetData(aid);
        const CpaDataTexts panel = DoCPA(sim.Vessels, 1, false, BearingMode::Relative);
        EXPECT_EQ(t.CPA, panel.CPA);
        EXPECT_EQ(t.TCPA, panel.TCPA);
        EXPECT_EQ(t.Course, panel.TargetCourse);
    }
    EXPECT_NEAR(OwnTrueVectorEnd(World(90, 12, {}).Vessels, 30).Y, 6.0, 1e-9);
}

TEST(TrueTrails, StraightOverTheWaterWhateverTheOwnVesselDoes) {
    TickDisplay d;
    d.NorthUp = true;
    d.PlotOn = true; // continuous: a mark every tick
    d.Range = 24;
    std::vector<std::vector<PointD>> trails(2);
    for (const bool trueTrails : {true, false}) {
        Simulation sim = World(0, 12, {{300, 10, 40, 5}, {0, 0, 90, 1}});
        sim.Clock.SetTimeFactor(4); // x30: 1.5 minutes a tick
        d.TrueTrails = trueTrails;
        d.Trails.Clear();
        NoView view;
        for (int t = 0; t < 30; ++t) {
            if (t == 5) { // hard to starboard and full ahead
                sim.Vessels.Vessel[0].NewHeading = 90;
                sim.Vessels.Vessel[0].NewSpeed = 20;
                sim.Maneuvering = sim.Turning = true;
            }
            if (t == 20) sim.Vessels.OwnVessel = 2; // jump to the stopped vessel
            sim.Tick(d, view);
        }
        if (trueTrails) {
            d.Trails.Points(1, trails[0]);
            EXPECT_TRUE(view.relative.empty()); // no grey marks while true trails are shown
        } else {
            trails[1].assign(view.relative.begin(), view.relative.begin() + 19);
        }
    }
    ASSERT_EQ(trails[0].size(), 30u);
    EXPECT_LT(OffLine(trails[0]), 1e-9);
    EXPECT_GT(OffLine(trails[1]), 0.5); // the relative trail bends with the own turn

    TrueTrailStore store; // bounded: the oldest points drop off
    for (int k = 0; k < 300; ++k)
        store.Add(3, {static_cast<double>(k), 0});
    std::vector<PointD> pts;
    store.Points(3, pts);
    ASSERT_EQ(pts.size(), kTrueTrailPoints);
    EXPECT_EQ(pts.front().X, 300.0 - kTrueTrailPoints);
    EXPECT_EQ(pts.back().X, 299.0);
}

TEST(CourseUp, PictureHoldsStillWhileTheOwnVesselYaws) {
    Simulation sim = World(100, 0, {{0, 0, 130, 4}});
    sim.Yaw = {{{3, 3, 3, 3}, {-3, -3, -3, -3}}};
    sim.SeaState = 2;
    for (const bool courseUp : {true, false}) {
        TickDisplay d;
        d.CourseUp = courseUp;
        d.Bearing = BearingMode::Course;
        NoView view;
        for (int t = 0; t < 4; ++t)
            sim.Tick(d, view);
        const bool still = std::abs(view.echoes[0].X - view.echoes[1].X) < 1e-9 &&
                           std::abs(view.echoes[0].Y - view.echoes[1].Y) < 1e-9;
        EXPECT_EQ(still, courseUp);
        if (courseUp) {
            // 30 degrees to starboard of the course, 4 nm: north 4 cos 30 and east 4 sin 30.
            EXPECT_NEAR(view.echoes[2].X, 4 * std::cos(30 * kDegToRad), 1e-9);
            EXPECT_NEAR(view.echoes[2].Y, 2, 1e-9);
            EXPECT_EQ(CardinalCaptions(sim.Vessels.Vessel[0].Heading, d, 100),
                      (std::array<std::string, 4>{"100", "190", "280", "010"}));
            d.Bearing = BearingMode::Relative; // the head yawed 3 degrees to port of 100
            EXPECT_EQ(CardinalCaptions(97.0f, d, 100)->front(), "003");
            RadarDisplayState s;
            s.Tick = d;
            s.EBLBearing = 30;
            EXPECT_EQ(EBLReadBearing(s, 97.0f, 100.0f), 33);
            EXPECT_DOUBLE_EQ(EBLTrueBearing(s, 97.0f, 100.0f), 130.0);
            EXPECT_EQ(PickTarget(sim.Vessels, d, view.echoes[2], 0.3), 1);
        }
    }
}

TEST(Alarms, LimitsAheadAndPastAcknowledged) {
    AlarmLimits limits{true, 1.0f, 12.0f, true, 2.0};
    const struct {
        float cpa;
        double tcpa, range;
        AlarmCause cause;
    } cases[] = {
        {0.5f, 10, 5, AlarmCause::Cpa},  {1.5f, 10, 5, AlarmCause::None},
        {0.5f, 13, 5, AlarmCause::None}, {0.5f, -1, 5, AlarmCause::None}, // past
        {0.5f, 0, 5, AlarmCause::Cpa},   {3.0f, -5, 1.5, AlarmCause::Guard},
    };
    for (const auto& c : cases) {
        TargetAid aid;
        aid.Cpa.CPA = c.cpa;
        aid.Cpa.TCPA = c.tcpa;
        aid.Range = c.range;
        EXPECT_EQ(AlarmFor(aid, limits), c.cause) << c.cpa << " nm in " << c.tcpa << " min";
    }
    AlarmState s;
    std::array<AlarmCause, kMaxVessels> now{};
    now[1] = AlarmCause::Cpa;
    EXPECT_TRUE(s.Update(now));  // sounds once
    EXPECT_FALSE(s.Update(now)); // not again while it stays
    s.AcknowledgeAll();
    EXPECT_FALSE(s.AnyUnacknowledged());
    now[2] = AlarmCause::Guard;
    EXPECT_TRUE(s.Update(now)); // a new target in danger
    EXPECT_TRUE(s.Unacknowledged(2) && !s.Unacknowledged(1));
    now[1] = AlarmCause::None;
    s.Update(now);
    now[1] = AlarmCause::Cpa;
    EXPECT_TRUE(s.Update(now) && s.Unacknowledged(1)); // back in danger: sounds again
}

} // namespace
} // namespace mv
