#include "core/geometry.h"
#include "core/simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using mv::PointD;

// Records every call of the tick, in order, with the figures a test wants to check.
class Recorder final : public mv::VesselView {
  public:
    std::vector<std::string> calls;
    std::vector<mv::EchoLine> echoes;
    std::string status, clock;

    void ShowIdentity(bool on) override { Add(on ? "identity on" : "identity off"); }
    void ManeuverStep(int i, const mv::ManeuverReadout&) override { Add("maneuver", i); }
    void StatusLine(const std::string& t) override { status = t, Add("status"); }
    void Clock(const std::string& t) override { clock = t, Add("clock"); }
    void PlotClock(const std::string&) override { Add("plot clock"); }
    void CentreOn(const PointD&) override { Add("centre"); }
    void TrueViewMark(int i, const PointD&) override { Add("track", i); }
    void Collision(int i, const std::array<mv::CollisionChain, 2>&) override {
        Add("collision", i);
    }
    void ShowEcho(int i, const mv::EchoLine& e) override { echoes.push_back(e), Add("echo", i); }
    void HideEcho(int i) override { Add("hide", i); }
    void PlotMark(int i, const mv::EchoLine&) override { Add("mark", i); }
    void OwnLabel(int i, const PointD&) override { Add("own label", i); }
    void HeadingLine(const PointD&, const PointD&) override { Add("heading"); }
    void CardinalLabels(const std::array<std::string, 4>&) override { Add("cardinals"); }
    void BearingFailed() override { Add("bearing failed"); }
    std::vector<std::string> Only(const std::string& what) const {
        std::vector<std::string> found;
        for (const std::string& c : calls)
            if (c.starts_with(what)) found.push_back(c);
        return found;
    }

  private:
    void Add(const std::string& what, int i = -1) {
        calls.push_back(i < 0 ? what : what + " " + std::to_string(i));
    }
};

struct Target {
    double size;
    float heading, speed, bearing;
    double range;
};

// Own vessel at the origin and targets at (bearing, range), all steady.
mv::Simulation World(double ownSize, float ownHeading, float ownSpeed,
                     const std::vector<Target>& targets = {}) {
    mv::Simulation sim;
    sim.Vessels.Create(static_cast<int16_t>(1 + targets.size()));
    sim.Vessels.Vessel[0] = {ownHeading, static_cast<int16_t>(ownHeading), ownSpeed, ownSpeed,
                             ownSize};
    for (size_t i = 0; i < targets.size(); ++i) {
        const Target& t = targets[i];
        sim.Vessels.Vessel[i + 1] = {t.heading, static_cast<int16_t>(t.heading), t.speed, t.speed,
                                     t.size};
        mv::PolarOffset({}, sim.Vessels.VesselPos[i + 1], t.bearing, t.range);
    }
    return sim;
}

mv::TickDisplay NorthUp() {
    mv::TickDisplay d;
    d.NorthUp = true;
    d.FirstFrame = false;
    d.PlotIntervals = {0.5 / 1440, 1.0 / 1440, 3.0 / 1440, 6.0 / 1440};
    return d;
}

class Tick : public ::testing::Test {
  protected:
    mv::TickDisplay display = NorthUp();
    Recorder r;
};

TEST_F(Tick, ClockAndDistanceOfEveryTimeFactor) {
    // The ends of the table and x30, whose entry once read 20.
    const std::tuple<int16_t, const char*, double> cases[] = {
        {0, "12:00:03 x 1", 0.01}, {4, "12:01:30 x 30", 0.3}, {6, "12:06:00 x 120", 1.2}};
    for (const auto& [index, clock, milesAt12Knots] : cases) {
        // A target with a negative speed is stopped, never moved astern.
        auto sim =
            World(mv::kLarge, 0, 12, {{mv::kLarge, 90, 12, 90, 3}, {mv::kLarge, 0, -5, 0, 3}});
        sim.Clock.SetTimeFactor(index);
        sim.Clock.SetTimeFactor(7); // the eighth entry is never selected: ignored
        sim.Tick(display, r);
        EXPECT_EQ(r.clock, clock);
        EXPECT_NEAR(sim.Vessels.VesselPos[0].X, milesAt12Knots, 1e-9) << clock;
        EXPECT_NEAR(sim.Vessels.VesselPos[1].Y, 3 + milesAt12Knots, 1e-9) << clock;
        EXPECT_EQ(sim.Vessels.VesselPos[2], (PointD{3, 0})) << clock;
    }
}

TEST_F(Tick, CourseAndSpeedOrderedTogetherBothRunToTheEnd) {
    // Guards against one finished change (speed in one tick) stopping the other (a turn).
    auto sim = World(mv::kLarge, 350, 10);
    auto& own = sim.Vessels.Vessel[0];
    own.NewHeading = 10;
    own.NewSpeed = 12;
    sim.Maneuvering = sim.Turning = true;
    for (int t = 0; t < 3; ++t)
        sim.Tick(display, r);
    EXPECT_TRUE(own.Heading == 5.0f && sim.Maneuvering && sim.Turning);
    sim.Tick(display, r);
    EXPECT_EQ(own.Heading, 10.0f);
    EXPECT_FALSE(sim.Maneuvering || sim.Turning);
}

TEST_F(Tick, YawColumnBySizeAndSea) {
    // Columns: small moderate, small heavy, medium moderate, medium heavy.
    const mv::YawTable yaw{{{1, 2, 3, 4}, {-1, -2, -3, -4}}};
    const std::tuple<double, int16_t, std::vector<float>, mv::YawTable> cases[] = {
        {mv::kSmall, 2, {98, 100, 98}, yaw},   {mv::kMedium, 1, {97, 100, 97}, yaw},
        {mv::kLarge, 2, {100, 100, 100}, yaw}, {mv::kSmall, 0, {100, 100, 100}, yaw},
        {mv::kSmall, 2, {100, 100, 100}, {}}, // an empty table neither hangs nor swings
    };
    for (const auto& [size, sea, expected, table] : cases) {
        auto sim = World(size, 100, 10);
        sim.Yaw = table;
        sim.YawIndex = 1; // the next tick uses row 0
        sim.SeaState = sea;
        std::vector<float> headings;
        for (int t = 0; t < 3; ++t) {
            sim.Tick(display, r);
            headings.push_back(sim.Vessels.Vessel[0].Heading);
        }
        EXPECT_EQ(headings, expected) << size << " sea " << sea;
        EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, 100); // yaw never orders a turn
    }
}

TEST_F(Tick, CollisionReportedOncePerApproach) {
    auto sim =
        World(mv::kMedium, 0, 0, {{mv::kSmall, 0, 0, 45, 0.005}, {mv::kSmall, 0, 0, 90, 0.005}});
    sim.Tick(display, r);
    using Calls = std::vector<std::string>;
    EXPECT_EQ(r.Only("collision"), (Calls{"collision 1", "collision 2"})); // in index order
    sim.Tick(display, r);
    EXPECT_EQ(r.Only("collision").size(), 2u); // still touching: no new report
    sim.Vessels.VesselPos[1] = {0.02, 0};
    sim.Tick(display, r);
    sim.Vessels.VesselPos[1] = {0.001, 0};
    sim.Tick(display, r);
    EXPECT_EQ(r.Only("collision"), (Calls{"collision 1", "collision 2", "collision 1"}));

    // Head on at 20 kn closing, 2 nm a tick: the hulls pass through each other between ticks.
    auto fast = World(mv::kMedium, 0, 10, {{mv::kMedium, 180, 10, 0, 5}});
    fast.Clock.SetTimeFactor(6);
    Recorder passing;
    for (int t = 0; t < 6; ++t)
        fast.Tick(display, passing);
    EXPECT_EQ(passing.Only("collision"), Calls{"collision 1"});
}

TEST_F(Tick, PlotMarksFallAtTheStoredIntervalsInWholeTicks) {
    // Guards against the stored intervals (a hair off 3, 6, 12 minutes) landing a tick late.
    // Time factor index, plot interval index, ticks between marks.
    const int16_t cases[][3] = {{0, 1, 60}, {6, 1, 1}, {2, 2, 24}, {3, 3, 24}};
    for (auto [factor, freq, n] : cases) {
        auto sim = World(mv::kMedium, 0, 0, {{mv::kSmall, 0, 0, 0, 5}});
        sim.Clock.SetTimeFactor(factor);
        mv::TickDisplay d;
        d.PlotOn = true;
        d.FirstFrame = false;
        d.PlotFreqIndex = freq;
        Recorder marks;
        std::vector<int> markTicks;
        for (int t = 1; t <= 3 * n; ++t) {
            sim.Tick(d, marks);
            if (marks.Only("mark").size() > markTicks.size()) markTicks.push_back(t);
        }
        EXPECT_EQ(markTicks, (std::vector<int>{n, 2 * n, 3 * n})) << factor << " " << freq;
    }
    // A mark falls when the time since the last reaches the interval, not a tick after.
    mv::TickDisplay due;
    due.PlotOn = true;
    due.SinceLastPlot = due.PlotIntervals[0];
    EXPECT_TRUE(due.PlotDue());
}

TEST_F(Tick, EchoLineAcrossTheLineOfSightHiddenAtTheRingAndARedrawMovesNothing) {
    // In single precision a hair inside the 12-mile ring rounds onto it and is hidden too.
    auto sim = World(mv::kMedium, 0, 10,
                     {{mv::kSmall, 90, 10, 0, 5},
                      {mv::kMedium, 0, 0, 0, 12},
                      {mv::kMedium, 0, 0, 0, 12 - 1e-7},
                      {mv::kMedium, 0, 0, 0, 11.999}});
    const auto before = sim.Vessels.VesselPos;
    sim.UpdateVessels(display, r, false);
    EXPECT_EQ(sim.Vessels.VesselPos, before);
    EXPECT_EQ(sim.Clock.SimTime, 0.5);
    EXPECT_EQ(r.Only("hide"), (std::vector<std::string>{"hide 2", "hide 3"}));
    EXPECT_EQ(r.Only("echo"), (std::vector<std::string>{"echo 1", "echo 4"}));
    // 12-mile scale: half-length 12/6 x 0.05 = 0.1 nm, east-west, 5 miles north.
    const mv::EchoLine& e = r.echoes[0];
    EXPECT_NEAR(std::hypot(e.P1.X - 5, e.P1.Y - 0.1) + std::hypot(e.P2.X - 5, e.P2.Y + 0.1), 0,
                1e-7);
}

TEST(CardinalCaptions, TrueInHeadsUpAndRelativeInNorthUp) {
    using Captions = std::array<std::string, 4>;
    const std::tuple<bool, mv::BearingMode, float, Captions> cases[] = {
        {false, mv::BearingMode::Course, 359.6f, {"000", "090", "180", "270"}},
        {true, mv::BearingMode::Relative, 100.0f, {"260", "350", "080", "170"}},
    };
    mv::TickDisplay d;
    for (const auto& [northUp, mode, heading, captions] : cases) {
        d.NorthUp = northUp;
        d.Bearing = mode;
        EXPECT_EQ(mv::CardinalCaptions(heading, d), captions) << heading;
    }
    d.Bearing = mv::BearingMode::Course; // north-up and true: the fixed captions stand
    EXPECT_FALSE(mv::CardinalCaptions(100.0f, d));
}

} // namespace

TEST_F(Tick, CurrentCarriesEveryVesselAlikeAndAFixedEchoShowsItsReciprocal) {
    // Set 045 at 2 knots. The own vessel stopped in the water; B a stationary echo (a buoy),
    // C stopped in the water 2 miles north.
    const mv::SeaCurrent current{45, 2};
    const mv::CourseSpeed buoy = mv::ThroughWater({0, 0}, current);
    EXPECT_NEAR(buoy.Course, 225, 1e-9);
    EXPECT_NEAR(buoy.Speed, 2, 1e-9);
    auto sim =
        World(mv::kLarge, 0, 0,
              {{mv::kLarge, static_cast<float>(buoy.Course), static_cast<float>(buoy.Speed), 90, 3},
               {mv::kLarge, 0, 0, 0, 2}});
    sim.Current = current;
    sim.Clock.SetTimeFactor(6); // x120: ten ticks are an hour
    for (int t = 0; t < 10; ++t)
        sim.Tick(display, r);
    const auto& pos = sim.Vessels.VesselPos;
    // The buoy has not moved over the ground; the own vessel and C went 2 miles north-east.
    EXPECT_NEAR(pos[1].X, 0, 1e-5);
    EXPECT_NEAR(pos[1].Y, 3, 1e-5);
    const double d = 2 * std::sqrt(0.5);
    EXPECT_NEAR(pos[0].X, d, 1e-9);
    EXPECT_NEAR(pos[0].Y, d, 1e-9);
    EXPECT_NEAR(pos[2].X - pos[0].X, 2, 1e-9);
    EXPECT_NEAR(pos[2].Y - pos[0].Y, 0, 1e-9);
    // The buoy's relative motion: 2 miles in the hour toward 225, the current's reciprocal.
    float bearing = 0;
    double distance = 0;
    mv::GetVector({0, 3}, {pos[1].X - pos[0].X, pos[1].Y - pos[0].Y}, bearing, distance);
    EXPECT_NEAR(bearing, 225, 1e-3);
    EXPECT_NEAR(distance, 2, 1e-5);
}

TEST(Current, CourseAndSpeedOverTheGroundAndThroughTheWater) {
    // Worked by hand: 000 at 10 knots in a set of 090 at 3 knots makes good
    // atan(3/10) = 016.7 at sqrt(109) = 10.44 knots; 270 at 12 in a set of 090 at 2 makes good
    // 270 at 10; steaming 180 at 4 against 000 at 4 makes no way at all.
    const struct {
        double heading, speed;
        mv::SeaCurrent current;
        double course, made;
    } cases[] = {{0, 10, {90, 3}, 16.699, 10.440},
                 {270, 12, {90, 2}, 270, 10},
                 {180, 4, {0, 4}, 0, 0},
                 {123, 7, {}, 123, 7}};
    for (const auto& c : cases) {
        const mv::CourseSpeed ground = mv::OverGround(c.heading, c.speed, c.current);
        EXPECT_NEAR(ground.Course, c.course, 1e-3) << c.heading;
        EXPECT_NEAR(ground.Speed, c.made, 1e-3) << c.heading;
        if (c.made == 0) continue;
        const mv::CourseSpeed water = mv::ThroughWater(ground, c.current);
        EXPECT_NEAR(water.Course, c.heading, 1e-9);
        EXPECT_NEAR(water.Speed, c.speed, 1e-9);
    }
}
