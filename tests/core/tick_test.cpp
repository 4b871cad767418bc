#include "core/geometry.h"
#include "core/simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using mv::PointD;

// Records every call of the tick, in order, with the figures a test wants to check.
class Recorder final : public mv::VesselView {
  public:
    std::vector<std::string> calls;
    std::vector<int> collisions, plotMarks;
    std::vector<std::pair<int, mv::EchoLine>> echoes;
    std::string status, clock, plotClock;
    std::array<std::string, 4> captions;
    PointD headingTo;

    void ShowIdentity(bool on) override { calls.push_back(on ? "identity on" : "identity off"); }
    void ManeuverStep(int i, const mv::ManeuverReadout&) override { Add("maneuver", i); }
    void StatusLine(const std::string& t) override { status = t, calls.push_back("status"); }
    void Clock(const std::string& t) override { clock = t, calls.push_back("clock"); }
    void PlotClock(const std::string& t) override { plotClock = t, calls.push_back("plot clock"); }
    void CentreOn(const PointD&) override { calls.push_back("centre"); }
    void TrueViewMark(int i, const PointD&) override { Add("track", i); }
    void Collision(int i, const std::array<std::array<PointD, 9>, 2>&) override {
        collisions.push_back(i);
        Add("collision", i);
    }
    void ShowEcho(int i, const mv::EchoLine& e) override {
        echoes.emplace_back(i, e);
        Add("echo", i);
    }
    void HideEcho(int i) override { Add("hide", i); }
    void PlotMark(int i, const mv::EchoLine&) override {
        plotMarks.push_back(i);
        Add("mark", i);
    }
    void OwnLabel(int i, const PointD&) override { Add("own label", i); }
    void HeadingLine(const PointD&, const PointD& to) override {
        headingTo = to;
        calls.push_back("heading line");
    }
    void CardinalLabels(const std::array<std::string, 4>& c) override {
        captions = c;
        calls.push_back("cardinals");
    }
    void BearingFailed() override { calls.push_back("bearing failed"); }

  private:
    void Add(const char* what, int i) {
        calls.push_back(std::string(what) + " " + std::to_string(i));
    }
};

// Own vessel at the origin and targets at (bearing, range), all steady.
mv::Simulation World(double ownSize, float ownHeading, float ownSpeed,
                     std::vector<std::tuple<double, float, float, float, double>> targets = {}) {
    mv::Simulation sim;
    sim.Vessels.Create(static_cast<int16_t>(1 + targets.size()));
    auto set = [](mv::VesselData& v, double size, float heading, float speed) {
        v.Size = size;
        v.NewHeading = static_cast<int16_t>(heading);
        v.Heading = heading;
        v.Speed = v.NewSpeed = speed;
    };
    set(sim.Vessels.Vessel[0], ownSize, ownHeading, ownSpeed);
    for (size_t i = 0; i < targets.size(); ++i) {
        const auto [size, heading, speed, bearing, range] = targets[i];
        set(sim.Vessels.Vessel[i + 1], size, heading, speed);
        mv::PolarOffset({}, sim.Vessels.VesselPos[i + 1], bearing, range);
    }
    sim.Running = true;
    return sim;
}

mv::TickDisplay NorthUp() {
    mv::TickDisplay d;
    d.NorthUp = true;
    d.FirstFrame = false;
    d.PlotIntervals = {0.5 / 1440, 1.0 / 1440, 3.0 / 1440, 6.0 / 1440};
    return d;
}

TEST(Tick, StepsInTheirFixedOrder) {
    auto sim =
        World(mv::kMedium, 0, 10, {{mv::kSmall, 180, 10, 0, 6}, {mv::kLarge, 90, 5, 90, 20}});
    auto display = NorthUp();
    display.TrueViewOn = true;
    display.PlotOn = true;
    display.PlotFreqIndex = 0;
    display.Bearing = mv::BearingMode::Relative;
    Recorder r;
    sim.Tick(display, r);
    const std::vector<std::string> expected = {
        "identity off", "status",       "clock",    "plot clock", "centre",
        "track 0",      "own label 0",  "track 1",  "echo 1",     "track 2",
        "hide 2",       "heading line", "cardinals"};
    EXPECT_EQ(r.calls, expected);
}

TEST(Tick, ClockAndDistanceOfEveryTimeFactor) {
    struct Case {
        int16_t index;
        const char* clock;
        double milesAt12Knots;
    };
    const Case cases[] = {{0, "12:00:03 x 1", 0.01}, {1, "12:00:06 x 2", 0.02},
                          {2, "12:00:15 x 5", 0.05}, {3, "12:00:30 x 10", 0.1},
                          {4, "12:01:30 x 30", 0.3}, {5, "12:03:00 x 60", 0.6},
                          {6, "12:06:00 x 120", 1.2}};
    for (const auto& c : cases) {
        auto sim = World(mv::kLarge, 0, 12, {{mv::kLarge, 90, 12, 90, 3}});
        sim.Clock.SetTimeFactor(c.index);
        auto display = NorthUp();
        Recorder r;
        sim.Tick(display, r);
        EXPECT_EQ(r.clock, c.clock);
        EXPECT_NEAR(sim.Vessels.VesselPos[0].X, c.milesAt12Knots, 1e-9) << c.clock;
        EXPECT_NEAR(sim.Vessels.VesselPos[1].Y, 3 + c.milesAt12Knots, 1e-9) << c.clock;
    }
}

TEST(Tick, TimeStepConstants) {
    mv::SimClock clock;
    EXPECT_DOUBLE_EQ(clock.TimeStep, 3000 * 1 * 0.001 * 1.15740741E-05);
    EXPECT_NEAR(clock.HoursPerTick, 1.0 / 1200, 1e-15);
    clock.SetTimeFactor(6);
    EXPECT_NEAR(clock.TimeStep * 1440, 6.0, 1e-6); // six minutes a tick
    clock.SetTimeFactor(7);                        // never selected: ignored
    EXPECT_EQ(clock.TimeFactor, 120);
}

TEST(Tick, StatusLineShowsSpeedAndCourse) {
    auto sim = World(mv::kMedium, 90, 12.5f);
    auto display = NorthUp();
    Recorder r;
    sim.Tick(display, r);
    EXPECT_EQ(r.status, "Speed = 12.5 kt\r\nCourse = 090 T");
}

TEST(Tick, TurnsOwnVesselThroughNorthAndClearsTheFlags) {
    auto sim = World(mv::kMedium, 350, 10);
    sim.Vessels.Vessel[0].NewHeading = 10;
    sim.Maneuvering = sim.Turning = true;
    auto display = NorthUp();
    Recorder r;
    sim.Tick(display, r);
    EXPECT_EQ(sim.Vessels.Vessel[0].Heading, 5.0f);
    EXPECT_TRUE(sim.Turning);
    sim.Tick(display, r);
    EXPECT_EQ(sim.Vessels.Vessel[0].Heading, 10.0f);
    EXPECT_FALSE(sim.Turning);
    EXPECT_FALSE(sim.Maneuvering);
}

TEST(Tick, CourseAndSpeedOrderedTogetherBothRunToTheEnd) {
    // The speed change is done in one tick, the turn takes four: neither stops the other.
    auto sim = World(mv::kLarge, 0, 10);
    auto& own = sim.Vessels.Vessel[0];
    own.NewHeading = 20;
    own.NewSpeed = 12;
    sim.Maneuvering = sim.Turning = true;
    auto display = NorthUp();
    Recorder r;
    for (int t = 0; t < 3; ++t)
        sim.Tick(display, r);
    EXPECT_EQ(own.Speed, 12.0f);
    EXPECT_EQ(own.Heading, 15.0f);
    EXPECT_TRUE(sim.Maneuvering);
    sim.Tick(display, r);
    EXPECT_EQ(own.Heading, 20.0f);
    EXPECT_FALSE(sim.Maneuvering);

    // And the other way round: a quick turn and a long slow-down.
    auto sim2 = World(mv::kSmall, 0, 20, {{mv::kLarge, 0, 10, 90, 5}});
    auto& target = sim2.Vessels.Vessel[1];
    target.NewHeading = 10;
    target.NewSpeed = 0;
    sim2.Maneuvering = true;
    for (int t = 0; t < 2; ++t)
        sim2.Tick(display, r);
    EXPECT_EQ(target.Heading, 10.0f);
    EXPECT_EQ(target.Speed, 0.0f);
    EXPECT_FALSE(sim2.Maneuvering);
}

TEST(Tick, YawSwingsSmallAndMediumVesselsOnly) {
    mv::YawTable yaw;
    yaw.Rows = {{1, 2, 3, 4}, {-1, -2, -3, -4}};
    struct Case {
        double size;
        int16_t sea;
        std::vector<float> headings;
    };
    const Case cases[] = {
        {mv::kSmall, 1, {99, 100, 99}},   {mv::kSmall, 2, {98, 100, 98}},
        {mv::kMedium, 1, {97, 100, 97}},  {mv::kMedium, 2, {96, 100, 96}},
        {mv::kLarge, 2, {100, 100, 100}}, {mv::kSmall, 0, {100, 100, 100}},
    };
    for (const auto& c : cases) {
        auto sim = World(c.size, 100, 10);
        sim.Yaw = yaw;
        sim.YawIndex = 1; // the next tick uses row 0
        sim.SeaState = c.sea;
        auto display = NorthUp();
        Recorder r;
        std::vector<float> headings;
        for (int t = 0; t < 3; ++t) {
            sim.Tick(display, r);
            headings.push_back(sim.Vessels.Vessel[0].Heading);
        }
        EXPECT_EQ(headings, c.headings) << c.size << " sea " << c.sea;
        EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, 100); // yaw never orders a turn
    }
    // An empty table with a seaway does not hang and changes nothing.
    auto sim = World(mv::kSmall, 100, 10);
    sim.SeaState = 2;
    auto display = NorthUp();
    Recorder r;
    sim.Tick(display, r);
    EXPECT_EQ(sim.Vessels.Vessel[0].Heading, 100.0f);
}

TEST(Tick, CollisionReportedOncePerApproach) {
    // Two stopped targets 0.005 nm from the own vessel, which is stopped too.
    auto sim =
        World(mv::kMedium, 0, 0, {{mv::kSmall, 0, 0, 45, 0.005}, {mv::kSmall, 0, 0, 90, 0.005}});
    auto display = NorthUp();
    Recorder r;
    sim.Tick(display, r);
    EXPECT_EQ(r.collisions, (std::vector<int>{1, 2})); // each in index order
    EXPECT_EQ(sim.Vessels.VesselFlag[1], mv::kTrue);
    sim.Tick(display, r);
    EXPECT_EQ(r.collisions.size(), 2u); // still touching: no new report
    sim.Vessels.VesselPos[1] = {0.02, 0};
    sim.Tick(display, r);
    EXPECT_EQ(sim.Vessels.VesselFlag[1], mv::kFalse);
    sim.Vessels.VesselPos[1] = {0.001, 0};
    sim.Tick(display, r);
    EXPECT_EQ(r.collisions, (std::vector<int>{1, 2, 1}));
}

TEST(Echo, NorthUpLineAcrossTheLineOfSight) {
    auto sim = World(mv::kMedium, 0, 0, {{mv::kSmall, 0, 0, 0, 5}});
    auto display = NorthUp();
    Recorder r;
    sim.UpdateVessels(display, r, false);
    ASSERT_EQ(r.echoes.size(), 1u);
    const auto& e = r.echoes[0].second;
    // 12-mile scale: half-length 12/6 x 0.05 = 0.1 nm, east-west, 5 miles north.
    EXPECT_NEAR(e.P1.X, 5, 1e-9);
    EXPECT_NEAR(e.P2.X, 5, 1e-9);
    EXPECT_NEAR(e.P1.Y, 0.1, 1e-7);
    EXPECT_NEAR(e.P2.Y, -0.1, 1e-7);
}

TEST(Echo, HeadsUpTurnsThePicture) {
    auto sim = World(mv::kMedium, 90, 0, {{mv::kMedium, 0, 0, 90, 5}});
    auto display = NorthUp();
    display.NorthUp = false;
    Recorder r;
    sim.UpdateVessels(display, r, false);
    ASSERT_EQ(r.echoes.size(), 1u);
    const auto& e = r.echoes[0].second;
    EXPECT_NEAR(e.Centre.X, 5, 1e-9); // dead ahead: straight up
    EXPECT_NEAR(e.Centre.Y, 0, 1e-9);
    EXPECT_NEAR(e.P1.X, e.P2.X, 1e-7); // horizontal
    EXPECT_NEAR(std::abs(e.P1.Y - e.P2.Y), 0.4, 1e-7);
    EXPECT_NEAR(r.headingTo.X, 12, 1e-12); // heading line straight up the range
}

TEST(Echo, AtTheRangeRingIsHidden) {
    auto sim =
        World(mv::kMedium, 0, 0, {{mv::kMedium, 0, 0, 0, 12}, {mv::kMedium, 0, 0, 0, 11.999}});
    auto display = NorthUp();
    Recorder r;
    sim.UpdateVessels(display, r, false);
    EXPECT_NE(std::find(r.calls.begin(), r.calls.end(), "hide 1"), r.calls.end());
    EXPECT_NE(std::find(r.calls.begin(), r.calls.end(), "echo 2"), r.calls.end());
}

TEST(PlotMarks, EveryIntervalAndAfterARedraw) {
    // Three minutes at x1 is 60 ticks: marks at ticks 60, 120, plus one after a redraw.
    auto sim = World(mv::kMedium, 0, 0, {{mv::kMedium, 0, 10, 45, 3}});
    auto display = NorthUp();
    display.PlotOn = true;
    display.PlotFreqIndex = 2;
    Recorder r;
    std::vector<int> marked;
    for (int t = 1; t <= 130; ++t) {
        if (t == 100) display.FirstFrame = true; // a full redraw before this tick
        const auto before = r.plotMarks.size();
        sim.Tick(display, r);
        if (r.plotMarks.size() > before) marked.push_back(t);
    }
    EXPECT_EQ(marked, (std::vector<int>{60, 100, 120}));
    EXPECT_EQ(r.plotClock, "00:06:30");
}

TEST(PlotMarks, RedrawWithoutSteppingMovesNothing) {
    auto sim = World(mv::kMedium, 0, 10, {{mv::kMedium, 0, 10, 45, 3}});
    auto display = NorthUp();
    const auto before = sim.Vessels.VesselPos;
    Recorder r;
    sim.UpdateVessels(display, r, false);
    EXPECT_EQ(sim.Vessels.VesselPos, before);
    EXPECT_EQ(sim.Clock.SimTime, 0.5);
}

TEST(CardinalCaptions, TrueInHeadsUpAndRelativeInNorthUp) {
    mv::TickDisplay d;
    d.NorthUp = false;
    d.Bearing = mv::BearingMode::Course;
    EXPECT_EQ(*mv::CardinalCaptions(359.6f, d),
              (std::array<std::string, 4>{"360", "090", "180", "270"}));
    EXPECT_EQ(*mv::CardinalCaptions(45.0f, d),
              (std::array<std::string, 4>{"045", "135", "225", "315"}));
    d.NorthUp = true;
    d.Bearing = mv::BearingMode::Relative;
    EXPECT_EQ(*mv::CardinalCaptions(0.0f, d),
              (std::array<std::string, 4>{"360", "090", "180", "270"}));
    EXPECT_EQ(*mv::CardinalCaptions(100.0f, d),
              (std::array<std::string, 4>{"260", "350", "080", "170"}));
    d.Bearing = mv::BearingMode::Course;
    EXPECT_FALSE(mv::CardinalCaptions(100.0f, d));
}

} // namespace
