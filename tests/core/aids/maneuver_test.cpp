#include "core/aids/cpa_data.h"
#include "core/aids/maneuver.h"
#include "core/aids/numeric_key_filter.h"
#include "core/aids/trial_maneuver.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

namespace {

using mv::ManeuverEntries;
using mv::ManeuverField;

// Own vessel A and targets B and C, all steady: A 090/12 small, B 350/8 medium, C 010/15 large.
mv::Simulation Fleet() {
    mv::Simulation sim;
    sim.Vessels.Create(3);
    sim.Vessels.Vessel[0] = {90, 90, 12, 12, mv::kSmall};
    sim.Vessels.Vessel[1] = {350, 350, 8, 8, mv::kMedium};
    sim.Vessels.Vessel[2] = {10, 10, 15, 15, mv::kLarge};
    sim.Vessels.VesselPos = {{0, 0}, {3, 4}, {-1, 2}, {0, 0}};
    return sim;
}

TEST(Maneuver, OpeningThePanel) {
    mv::Simulation sim = Fleet();
    sim.Vessels.Vessel[2].Speed = 9.96f; // slowing down; the ordered heading is shown
    sim.Vessels.Vessel[2].NewHeading = 5;
    ManeuverEntries e;
    const auto c = mv::OpenManeuverPanel(sim.Vessels, 2, "C", e);
    EXPECT_EQ(c.Title + "|" + c.Type + "|" + c.PresentCourse + "|" + c.PresentSpeed,
              "Maneuver target vessel C|Type: Large (slow maneuvers)|005|10.0");
    EXPECT_EQ(e.Course + "|" + e.Speed, "005|10.0");
}

TEST(Maneuver, ExecuteChecksInOrder) {
    using F = ManeuverField;
    const char *const turn = "Turn must be less than 180 degrees", *const course =
                                                                       "Invalid course!";
    const struct {
        ManeuverEntries entries; // course, left, right, speed
        const char* text;
        const char* title;
        F field;
    } cases[] = {
        {{"360", "0", "0", "10"}, course, "Change course", F::Course},
        {{"400", "200", "200", ""}, course, "Change course", F::Course},
        {{"090", "200", "180", ""}, turn, "Turn Right", F::TurnRight},
        {{"090", "180", "0", "10"}, turn, "Turn Left", F::TurnLeft},
        // The keypad can type a second point; Execute refuses it.
        {{"090", "0", "0", "12.5.1"}, "Must enter speed!", "Change speed", F::Speed},
        // A speed no number can hold: reported, nothing emptied.
        {{"090", "0", "0", "1e39"}, "Overflow", "Maneuver Do IT", F::None},
    };
    for (auto c : cases) {
        mv::Simulation sim = Fleet();
        const auto before = sim.Vessels.Vessel;
        const auto msg = mv::ExecuteManeuver(c.entries, 1, sim);
        ASSERT_TRUE(msg) << c.text;
        EXPECT_EQ(*msg, (mv::ManeuverMessage{c.text, c.title, c.field}));
        EXPECT_EQ(c.field == F::None ? c.entries.Speed : *c.entries.Field(c.field),
                  c.field == F::None ? "1e39" : "")
            << c.title;
        EXPECT_EQ(sim.Vessels.Vessel, before) << c.title;
        EXPECT_FALSE(sim.Maneuvering);
    }
}

TEST(Maneuver, ExecuteOrders) {
    const struct {
        int vessel;
        int16_t ordered; // NewHeading before
        ManeuverEntries entries;
        int16_t heading; // NewHeading after
        bool turning;
    } cases[] = {
        {1, 350, {"350", "0", "20", "8"}, 10, false},  // right across north
        {1, 10, {"010", "20", "0", "8"}, 350, false},  // left across north
        {0, 90, {"090", "40", "30", "12"}, 50, true},  // both turns: the left one wins
        {0, 90, {"120", "0", "30", "12"}, 120, true},  // a typed course beats the turn
        {0, 90, {"359.6", "0", "0", "12"}, 0, true},   // rounds to 360: north
        {0, 90, {"090", "0", "0", "12"}, 90, false},   // no heading change: speed only
        {2, 0, {"000", "0", "179", "15"}, 179, false}, // a target never raises Turning
    };
    for (auto c : cases) {
        mv::Simulation sim = Fleet();
        sim.Vessels.Vessel[static_cast<size_t>(c.vessel)].NewHeading = c.ordered;
        c.entries.Speed = "12.5";
        EXPECT_FALSE(mv::ExecuteManeuver(c.entries, c.vessel, sim));
        const auto& v = sim.Vessels.Vessel[static_cast<size_t>(c.vessel)];
        EXPECT_EQ(v.NewHeading, c.heading) << c.entries.Course;
        EXPECT_EQ(v.NewSpeed, 12.5f);
        EXPECT_EQ(sim.Turning, c.turning) << c.entries.Course;
        EXPECT_TRUE(sim.Maneuvering);
    }
}

TEST(Maneuver, SelectorKeypadAndSpeedCeiling) {
    mv::Simulation sim = Fleet();
    ManeuverEntries e;
    mv::OpenManeuverPanel(sim.Vessels, 1, "B", e);
    mv::ActivateManeuverPanel(sim, e);
    EXPECT_TRUE(sim.Maneuvering);

    EXPECT_EQ(mv::SelectTurnLeft(e, 7), ManeuverField::TurnLeft);
    mv::KeyPad(e, 4);
    mv::KeyPad(e, 10);
    EXPECT_EQ(e.Course + "|" + e.TurnLeft + "|" + e.TurnRight, "007|4.|0");
    mv::SelectCourse(e);
    EXPECT_EQ(e.Course + "|" + e.TurnLeft, "|0");

    mv::SelectSpeed(e);
    for (int key : {1, 5})
        mv::KeyPad(e, key);
    EXPECT_EQ(e.Speed, "15");
    mv::KeyPad(e, 0); // the third digit: 150 knots is past the ceiling
    EXPECT_EQ(e.Speed, "99.9");
    EXPECT_EQ(mv::SpeedCeiling("99.95"), "99.9");
}

TEST(Maneuver, JumpToTarget) {
    mv::Simulation sim = Fleet();
    // C is mid-turn and has just been reported colliding with A; B was close to A.
    sim.Vessels.Vessel[2].NewHeading = 60;
    sim.Vessels.VesselFlag = {0, mv::kTrue, mv::kTrue, 0};
    const auto jump = mv::JumpToVessel(sim, 2);
    EXPECT_TRUE(jump.Former == 0 && jump.Own == 2 && sim.Vessels.OwnVessel == 2);
    EXPECT_EQ(jump.Centre, (mv::PointD{-1, 2}));
    EXPECT_EQ(jump.StatusLine, "Speed = 15.0 kn\r\nCourse = 010 T");
    // The A-C collision is not reported again; B is judged afresh against C.
    EXPECT_EQ(sim.Vessels.VesselFlag, (std::vector<int16_t>{mv::kTrue, 0, 0, 0}));
    EXPECT_TRUE(sim.Turning); // C goes on with its turn as the own vessel

    mv::JumpToVessel(sim, 1); // B is on its ordered heading
    EXPECT_FALSE(sim.Turning);
    EXPECT_EQ(sim.Vessels.Vessel[2].NewHeading, 60); // nobody's motion changes
}

TEST(NumericKeyFilter, DecidesEachKey) {
    const struct {
        char16_t key;
        const char* text;
        int caret;
        bool sign, decimal;
        char16_t expected;
    } cases[] = {
        {8, "12.5", 4, false, false, 8},    // backspace always works
        {u'.', "12", 2, false, true, u'.'}, // 12.5 in the speed field
        {u'.', "12.5", 0, false, true, 0},  // a second point, even over a selection holding one
        {u'.', "12", 2, false, false, 0},   // course and turn fields
        {u'-', "", 0, false, true, 0},      // no field of the program takes a sign
        {u'+', "5", 1, true, false, u'+'},  // where a sign is allowed: first two places
        {u'-', "55", 2, true, false, 0},    {u',', "12", 2, true, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mv::NumericKeyFilter(c.key, c.text, c.caret, c.sign, c.decimal), c.expected)
            << int(c.key) << " into '" << c.text << "'";
    // Whole degrees take no point; speeds may.
    EXPECT_EQ(mv::NumericFieldPermissions("frmManeuver", "txtCourse"), (mv::KeyPermissions{}));
    EXPECT_EQ(mv::NumericFieldPermissions("frmManeuver", "txtSpeed"),
              (mv::KeyPermissions{false, true}));
    EXPECT_FALSE(mv::NumericFieldPermissions("frmManeuver", "lblTitle"));
}

// A trial manoeuvre foretells exactly what the CPA data show once the same order is given
// after the same delay and carried out by the tick: for each size class, a small and a large
// turn, a speed change, with and without delay, in a heavy sea where the own ship yaws.
TEST(TrialManeuver, ForetellsTheCpaDataOfTheOrderCarriedOut) {
    const struct {
        double size;
        int16_t course;
        float speed;
        double delay;   // minutes
        int16_t factor; // time factor index
    } trials[] = {{mv::kSmall, 120, 12, 0, 0},  {mv::kMedium, 150, 12, 6, 0},
                  {mv::kLarge, 200, 12, 3, 1},  {mv::kLarge, 90, 4, 0, 0},
                  {mv::kMedium, 60, 20, 12, 4}, {mv::kSmall, 270, 0, 1, 2}};
    mv::TickDisplay display;
    for (const auto& t : trials) {
        SCOPED_TRACE(std::to_string(t.course) + " after " + std::to_string(t.delay));
        mv::Simulation sim = Fleet();
        sim.Vessels.Vessel[0].Size = t.size;
        sim.SeaState = 2;
        sim.Yaw.Rows = {{1.5f, -2, 1, -1}, {-1, 2, -0.5f, 0.7f}, {0.3f, -1, 2, -2}};
        sim.Clock.SetTimeFactor(t.factor);
        const mv::TrialOrder order{t.course, t.speed, t.delay};
        const mv::TrialOutcome trial = mv::RunTrial(sim, display, order, mv::BearingMode::Course);
        ASSERT_TRUE(trial.Completed);
        ASSERT_EQ(trial.Targets.size(), 2u);

        mv::UnseenView view;
        mv::TickDisplay shown = display;
        int ticks = 0;
        for (; ticks < trial.DelayTicks; ++ticks)
            sim.Tick(shown, view);
        ManeuverEntries entries = mv::TrialEntries(order);
        ASSERT_FALSE(mv::ExecuteManeuver(entries, 0, sim));
        for (; sim.Turning || sim.Vessels.Vessel[0].Speed != sim.Vessels.Vessel[0].NewSpeed;
             ++ticks)
            sim.Tick(shown, view);
        const double elapsed = ticks * sim.Clock.HoursPerTick * 60;
        EXPECT_DOUBLE_EQ(trial.DoneMinutes, elapsed);
        for (const mv::TrialTarget& target : trial.Targets) {
            const auto now = mv::DoCPA(sim.Vessels, target.Vessel, false, mv::BearingMode::Course);
            EXPECT_EQ(mv::MilesText(target.Trial.CPA), now.CPA);
            EXPECT_EQ(mv::MinutesText(target.Trial.TCPA - elapsed), now.TCPA);
            EXPECT_EQ(mv::DirectionText(target.Trial.DRM), now.DRM);
        }
    }
}

// The own ship 000 at 10 kn, a target 2 nm off on 000 at 5 kn: ahead, she is overtaken in 24
// minutes; astern, she passed 24 minutes ago and opens. A trial whose manoeuvre ends after the
// CPA has the target opening on the new motion: past too.
TEST(TrialManeuver, TableMarksACpaAlreadyPast) {
    const struct {
        float bearing;
        double from; // minutes from now the motion starts
        const char* tcpa;
    } cases[] = {{0, 0, "24.0 min"}, {180, 0, "past"}, {0, 30, "past"}, {0, 24, "24.0 min"}};
    for (const auto& c : cases) {
        const mv::CpaResult r =
            mv::ComputeCPA({0, 5, 0, 10, c.bearing, 2}, mv::BearingMode::Course);
        EXPECT_EQ(mv::TrialTcpaText(r, c.from), c.tcpa) << c.bearing << " from " << c.from;
        EXPECT_EQ(mv::TrialCpaText(r), "0.00 nm");
    }
}

} // namespace
