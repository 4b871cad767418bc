#include "core/exercise/answer_key.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Fog: B meets the own vessel nearly end on, 8 miles off, in a set of 090 at 2 knots.
const char* const kExercise = R"(restricted_visibility = true
[scenario]
[[scenario.vessel]]
course = 0
speed = 12
[[scenario.vessel]]
course = 180
speed = 10
bearing = 5
range = 8
[current]
set = 90
drift = 2
[[question]]
at = 12:06:00
figures = ["cpa", "tcpa", "course", "speed", "aspect", "set", "drift"]
[action]
min_cpa = 2
act_by = 12:10:00
)";

struct Fixture {
    mv::AssessedExercise exercise = *mv::ParseExercise(kExercise, "fog.toml").Exercise;
    mv::Simulation start;
    Fixture() { EXPECT_EQ(mv::BuildExerciseSimulation(exercise, {}, {}, start), ""); }
};

TEST(AnswerKey, RightWrongAndAtEachToleranceEdge) {
    Fixture f;
    const std::vector<mv::Truth> truths{mv::TruthAt(f.start, f.exercise.Questions[0].At)};
    const mv::TargetTruth& b = truths[0].Targets.at(0);
    // Through the water B steers 180 at 10 knots; the current sets her 2 knots east.
    EXPECT_NEAR(b.Water.Course, 180, 1e-9);
    EXPECT_NEAR(b.Ground.Course, 168.69, 0.01); // 180 - atan(2/10)
    EXPECT_EQ(mv::AspectText(b.Aspect).substr(0, 5), "Green");
    const struct {
        mv::Figure figure;
        double offset;
        bool right;
    } cases[] = {
        {mv::Figure::Cpa, 0, true},       {mv::Figure::Cpa, 0.2, true},
        {mv::Figure::Cpa, -0.21, false},  {mv::Figure::Tcpa, 2, true},
        {mv::Figure::Tcpa, 2.1, false},   {mv::Figure::Course, -3, true},
        {mv::Figure::Course, 3.1, false}, {mv::Figure::Speed, 1, true},
        {mv::Figure::Speed, -1.1, false}, {mv::Figure::Aspect, 10, true},
        {mv::Figure::Aspect, -11, false}, {mv::Figure::Set, -10, true},
        {mv::Figure::Set, 11, false},     {mv::Figure::Drift, 0.5, true},
        {mv::Figure::Drift, 0.6, false},
    };
    std::vector<mv::Mark> marks;
    for (const auto& c : cases) {
        const bool ofTarget = mv::IsTargetFigure(c.figure);
        mv::Answer a{0, ofTarget ? 1 : -1, c.figure, 0};
        a.Value = mv::MarkAnswer(f.exercise, truths, a).Truth + c.offset;
        marks.push_back(mv::MarkAnswer(f.exercise, truths, a));
        EXPECT_EQ(marks.back().Right, c.right)
            << mv::FigureName(c.figure) << " off by " << c.offset;
    }
    // Course 180 answered 358 is 182 degrees off the shorter way, so wrong; 177.5 is right.
    EXPECT_FALSE(mv::MarkAnswer(f.exercise, truths, {0, 1, mv::Figure::Course, 358}).Right);
    EXPECT_TRUE(mv::MarkAnswer(f.exercise, truths, {0, 1, mv::Figure::Course, 177.5}).Right);
    // The last answer to each figure counts, and each was wrong; with no action taken, the
    // action's three marks (in time, apparent, rules kept) are lost too.
    const mv::Score s = mv::TotalScore(f.exercise, truths, marks, {});
    EXPECT_EQ(s.OutOf, 7 + 3);
    EXPECT_EQ(s.Got, 0);
}

TEST(AnswerKey, FiguresAsTheStudentTypesThem) {
    const struct {
        mv::Figure figure;
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {mv::Figure::Aspect, "Red 30", -30}, {mv::Figure::Aspect, " g145", 145},
        {mv::Figure::Aspect, "-5", -5},      {mv::Figure::Aspect, "r 190", {}},
        {mv::Figure::Aspect, "rouge 3", {}}, {mv::Figure::Speed, "12.5", 12.5},
        {mv::Figure::Speed, "-1", {}},       {mv::Figure::Tcpa, "-3.5", -3.5},
        {mv::Figure::Course, "370", {}},     {mv::Figure::Cpa, "", {}},
        {mv::Figure::Drift, "1e400", {}},    {mv::Figure::Cpa, "0.7 nm", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mv::ParseFigure(c.figure, c.text), c.value) << c.text;
}

TEST(AnswerKey, ActionJudgedByOutcomeAndByTheRulesInFog) {
    const struct {
        const char* name;
        int course;
        bool kept, apparent, rulesKept;
    } cases[] = {
        {"60 degrees to starboard keeps 2 miles", 60, true, true, true},
        {"to port for a vessel ahead is marked down", 300, true, true, false},
        {"a 10 degree nudge is neither apparent nor enough", 10, false, false, true},
    };
    for (const auto& c : cases) {
        Fixture f;
        mv::Simulation sim = f.start;
        mv::ActionJudge judge(f.exercise, mv::ActionTargets(f.exercise, f.start));
        mv::TickDisplay display;
        mv::UnseenView view;
        judge.Observe(sim);
        for (int t = 0; t < 600; ++t) { // 30 minutes at x1
            if (t == 100) {             // 12:05:00, as the manoeuvre window orders it
                sim.Vessels.Vessel[0].NewHeading = static_cast<int16_t>(c.course);
                sim.Maneuvering = sim.Turning = true;
            }
            sim.Tick(display, view);
            judge.Observe(sim);
        }
        const mv::ActionVerdict& v = judge.Verdict();
        EXPECT_TRUE(v.Acted && v.InTime) << c.name;
        EXPECT_EQ(v.Outcomes.at(0).Kept, c.kept) << c.name << " " << v.Outcomes[0].Closest;
        EXPECT_EQ(v.Apparent, c.apparent) << c.name;
        EXPECT_EQ(v.RulesKept, c.rulesKept) << c.name;
        if (!c.rulesKept) {
            EXPECT_EQ(v.Alterations.at(0).Faults.at(0),
                      "Altered to port for B, forward of the beam");
        }
    }
}

} // namespace
