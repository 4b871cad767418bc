// The marking of a run from its record, against worlds worked by hand: positions in nautical
// miles (X north, Y east), the CPA from the relative position and velocity with a pencil.
#include "core/exercise/grading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kMinute = 1.0 / 1440; // days

// Own ship 000 at 12 knots; B 7 miles off on 045, heading 270 at 10 knots. One question at
// 12:06 on B's CPA, TCPA and aspect.
const char* const kCrossing = R"([scenario]
[[scenario.vessel]]
course = 0
speed = 12
[[scenario.vessel]]
course = 270
speed = 10
bearing = 45
range = 7
[[question]]
at = 12:06:00
targets = ["B"]
figures = ["cpa", "tcpa", "aspect"]
)";

struct Exam {
    mv::AssessedExercise exercise;
    mv::Simulation start;
    explicit Exam(const std::string& text) {
        const mv::ExerciseReadResult read = mv::ParseExercise(text, "exam.toml");
        EXPECT_TRUE(read.ok()) << read.Error;
        exercise = *read.Exercise;
        EXPECT_EQ(mv::BuildExerciseSimulation(exercise, {}, {}, start), "");
    }
};

struct Ship {
    double x, y; // nautical miles north and east
    float heading, speed;
};

// A moment of a run, every vessel steady on her course (ordered = present).
mv::RunTick Moment(int64_t index, double minutes, std::initializer_list<Ship> ships) {
    mv::RunTick t{index, 0.5 + minutes * kMinute, 1, 0, {}, {}};
    for (const Ship& s : ships)
        t.Vessels.push_back({{s.x, s.y}, s.heading, s.speed, static_cast<int>(s.heading), s.speed});
    return t;
}

mv::RunRecord Recorded(std::vector<mv::RunTick> ticks, size_t vessels = 2) {
    mv::RunRecord run;
    for (size_t i = 0; i < vessels; ++i)
        run.Vessels.push_back({static_cast<int>(i), std::string(1, char('A' + i)), mv::kMedium});
    run.Ticks = std::move(ticks);
    run.Exercise = mv::RunExercise{"exam.toml", "Ann", ""};
    return run;
}

mv::RunAnswer Given(int64_t tick, double minutes, mv::Figure f, double value) {
    return {tick, 0.5 + minutes * kMinute, 0, 1, f, value};
}

// At 12:06 she has turned to 090: own at (1.0, 0.5), B at (3.0, 5.5) heading 270 at 10 knots.
// B lies 2.0 north and 5.0 east of her and closes at 22 knots straight from the east: CPA
// 2.00 miles in 5/22 hours, 13.64 minutes. From B, the own ship bears 180 + atan(5/2) =
// 248.20, 21.80 on B's port bow: Red 21.80.
const mv::RunTick kStart = Moment(0, 0, {{0, 0, 0, 12}, {4.95, 4.95, 270, 10}});
const mv::RunTick kAfterTurn = Moment(1, 6, {{1.0, 0.5, 90, 12}, {3.0, 5.5, 270, 10}});
constexpr double kCpa = 2.0, kTcpa = 5.0 / 22 * 60, kAspect = -(270 - (180 + 68.19859051));

TEST(Grading, AQuestionAfterTheStudentTurnedIsMarkedAgainstHerOwnRun) {
    Exam exam(kCrossing);
    mv::RunRecord run = Recorded({kStart, kAfterTurn});
    run.Answers = {Given(1, 6.5, mv::Figure::Cpa, 1.96), Given(1, 6.5, mv::Figure::Tcpa, 13.6),
                   Given(1, 6.5, mv::Figure::Aspect, -21.8)};
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
    EXPECT_EQ(g.Source, mv::TruthSource::Run);
    ASSERT_EQ(g.Answers.size(), 3u);
    EXPECT_NEAR(g.Answers[0].Marked.Truth, kCpa, 1e-4);
    EXPECT_NEAR(g.Answers[1].Marked.Truth, kTcpa, 1e-3);
    EXPECT_NEAR(g.Answers[2].Marked.Truth, kAspect, 1e-3);
    for (const mv::GradedAnswer& a : g.Answers)
        EXPECT_TRUE(a.Marked.Right) << mv::FigureName(a.Marked.Given.Asked);
    EXPECT_EQ(g.Total.Got, 3);
    // The answer key, where she held on at 000, puts B elsewhere: the test tells them apart.
    EXPECT_GT(std::fabs(mv::QuestionTruths(exam.exercise, exam.start)[0].Targets[0].Cpa.CPA - kCpa),
              0.2);
}

TEST(Grading, BetweenTheMomentsOfAFastTimeFactorTheWorldIsCarriedOnToTheQuestion) {
    Exam exam(kCrossing);
    // At x30 the moments fall at 12:05:30 and 12:07:00. Half a minute before 12:06 each ship
    // is 1/120 hour short: own 0.1 mile west of (1.0, 0.5), B 10/120 mile east of (3.0, 5.5).
    mv::RunRecord run =
        Recorded({kStart, Moment(1, 5.5, {{1.0, 0.4, 90, 12}, {3.0, 5.5 + 10.0 / 120, 270, 10}}),
                  Moment(2, 7, {{1.0, 0.8, 90, 12}, {3.0, 5.25, 270, 10}})});
    run.Answers = {Given(2, 7, mv::Figure::Tcpa, kTcpa)};
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
    // Measured from 12:06, not from the moment before (14.14) nor after (12.14).
    EXPECT_NEAR(g.Answers.at(0).Marked.Truth, kTcpa, 0.01);
    EXPECT_NEAR(g.Truths.at(0).Targets.at(0).Cpa.CPA, kCpa, 1e-3);
}

// The run ends at 12:06; questions at 12:12 and then 12:09 are carried on from that moment at
// x1, the later one asked first. B keeps closing at 22 knots: TCPA 13.64 minutes at 12:06, so
// 7.64 at 12:12 and 10.64 at 12:09, the CPA 2.00 throughout.
TEST(Grading, QuestionsAfterTheRunAreCarriedOnInTheirOrderOfTime) {
    std::string text = kCrossing;
    text.replace(text.find("12:06:00"), 8, "12:12:00");
    Exam exam(text + "[[question]]\nat = 12:09:00\ntargets = [\"B\"]\nfigures = [\"tcpa\"]\n");
    const mv::RunRecord run = Recorded({kStart, kAfterTurn});
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
    ASSERT_EQ(g.Truths.size(), 2u);
    EXPECT_NEAR(g.Truths[0].Targets.at(0).Cpa.TCPA, kTcpa - 6, 0.01);
    EXPECT_NEAR(g.Truths[1].Targets.at(0).Cpa.TCPA, kTcpa - 3, 0.01);
    EXPECT_NEAR(g.Truths[0].Targets.at(0).Cpa.CPA, kCpa, 1e-3);
}

TEST(Grading, DecimalAspectsAreMarkedAsTypedAtTheToleranceEdge) {
    Exam exam(kCrossing);
    // Truth Red 21.80, tolerance 10. Rounded to whole degrees, each verdict would turn over.
    const struct {
        double typed;
        bool right;
    } cases[] = {{kAspect - 9.90, true},   // Red 31.70: 9.90 off (as 32, 10.20 off)
                 {kAspect + 10.10, false}, // Red 11.70: 10.10 off (as 12, 9.80 off)
                 {kAspect + 9.90, true},
                 {kAspect - 10.10, false}};
    for (const auto& c : cases) {
        mv::RunRecord run = Recorded({kStart, kAfterTurn});
        run.Answers = {Given(1, 6.5, mv::Figure::Aspect, c.typed)};
        EXPECT_EQ(mv::GradeRun(exam.exercise, exam.start, run).Answers.at(0).Marked.Right, c.right)
            << c.typed;
    }
}

TEST(Grading, WithNoMomentRecordedTheAnswerKeyIsTheTruth) {
    Exam exam(kCrossing);
    mv::RunRecord run = Recorded({});
    run.Answers = {Given(0, 6.5, mv::Figure::Cpa, 0)};
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
    EXPECT_EQ(g.Source, mv::TruthSource::Key);
    EXPECT_NEAR(g.Answers.at(0).Marked.Truth,
                mv::TruthAt(exam.start, 0.5 + 6 * kMinute).Targets.at(0).Cpa.CPA, 1e-9);
}

// Own ship 000 at 10 knots with D (slot 1) and a buoy (slot 2); every target to be passed at
// 2 miles.
std::string Passing(const std::string& action) {
    return "[scenario]\n[[scenario.vessel]]\ncourse = 0\nspeed = 10\n[[scenario.vessel]]\n"
           "course = 180\nspeed = 10\nbearing = 20\nrange = 8\n[[scenario.vessel]]\n"
           "fixed = true\nbearing = 300\nrange = 1\n[action]\nmin_cpa = 2\n" +
           action;
}

TEST(Grading, ATargetStillClosingAtTheEndIsJudgedByItsPredictedCpa) {
    Exam exam(Passing(""));
    // The student ends at 12:12:30 with D 4 miles ahead, 1.65 to starboard, meeting her at a
    // closing speed of 20 knots: 4.33 miles off now, 1.65 at her CPA in 12 minutes.
    const mv::RunTick first =
        Moment(0, 0, {{0, 0, 0, 10}, {8.17, 1.65, 180, 10}, {0.5, -0.87, 0, 0}});
    const mv::RunTick early =
        Moment(1, 12.5, {{2.08, 0, 0, 10}, {6.08, 1.65, 180, 10}, {0.5, -0.87, 0, 0}});
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, Recorded({first, early}, 3));
    // The buoy is no vessel to keep clear of: D alone is judged.
    ASSERT_EQ(g.Action.Outcomes.size(), 1u);
    const mv::TargetOutcome& d = g.Action.Outcomes[0];
    EXPECT_EQ(d.Vessel, 1);
    EXPECT_TRUE(d.Closing);
    EXPECT_NEAR(d.Predicted, 1.65, 1e-3);
    EXPECT_FALSE(d.Kept);
    // Once past, she is judged by the closest she came: D now 1.65 miles abeam and opening.
    const mv::RunTick past =
        Moment(2, 30, {{5.0, 0, 0, 10}, {3.17, 1.65, 180, 10}, {0.5, -0.87, 0, 0}});
    const mv::RunGrading later =
        mv::GradeRun(exam.exercise, exam.start, Recorded({first, past}, 3));
    EXPECT_FALSE(later.Action.Outcomes.at(0).Closing);
    EXPECT_FALSE(later.Action.Outcomes.at(0).Kept);
    EXPECT_LT(later.Action.Outcomes.at(0).Closest, 2.0);
    // Named by the exercise, the buoy is judged too.
    Exam named(Passing("targets = [\"B\", \"C\"]\n"));
    EXPECT_EQ(mv::GradeRun(named.exercise, named.start, Recorded({first, early}, 3))
                  .Action.Outcomes.size(),
              2u);
}

TEST(Grading, AfterARepeatTheLastPassIsTheOneJudged) {
    Exam exam(Passing(""));
    // First she held on and D passed 1.65 miles off; after the Repeat she came round to 300
    // and D's track relative to her ran from (8.17, 1.65) to (-0.83, 3.65): 3.38 miles at the
    // nearest, and opening at the end.
    const mv::RunTick start =
        Moment(0, 0, {{0, 0, 0, 10}, {8.17, 1.65, 180, 10}, {0.5, -0.87, 0, 0}});
    mv::RunTick again = start;
    again.Index = 2;
    const mv::RunRecord run = Recorded(
        {start, Moment(1, 30, {{5.0, 0, 0, 10}, {3.17, 1.65, 180, 10}, {0.5, -0.87, 0, 0}}), again,
         Moment(3, 30, {{4.0, -2.0, 300, 10}, {3.17, 1.65, 180, 10}, {0.5, -0.87, 0, 0}})},
        3);
    const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
    const mv::TargetOutcome& d = g.Action.Outcomes.at(0);
    EXPECT_NEAR(d.Closest, 3.38, 0.01);
    EXPECT_TRUE(d.Kept);
}

// One alteration of the own ship (000 at 12 knots) in fog with one target closing, as an
// examiner would judge it under the rule for restricted visibility.
TEST(Grading, AlterationsInFogAsAnExaminerJudgesThem) {
    Exam exam("restricted_visibility = true\n" + Passing(""));
    // Targets: one fine on the starboard bow, one overtaking on either quarter, one slower
    // ahead, one slow crosser ahead.
    const Ship bow{5.909, 1.042, 190, 10}, starboardQuarter{-1, 1.732, 0, 20},
        portQuarter{-1, -1.732, 0, 20}, slower{3, 0.5, 0, 6}, crosser{3, 0.5, 80, 6};
    const char* const toPort = "Altered to port for B, forward of the beam";
    const char* const towards = "Altered towards B, abeam or abaft the beam";
    const struct {
        const char* name;
        Ship target;
        int course;
        float speed;
        bool apparent;
        const char* fault; // empty: none
    } cases[] = {
        {"port for a vessel fine on the starboard bow", bow, 330, 12, true, toPort},
        {"29 degrees to starboard: not apparent", bow, 29, 12, false, ""},
        {"30 degrees to starboard: apparent", bow, 30, 12, true, ""},
        {"starboard towards one overtaking on the starboard quarter", starboardQuarter, 40, 12,
         true, towards},
        {"port away from one on the starboard quarter", starboardQuarter, 320, 12, true, ""},
        {"port towards one overtaking on the port quarter", portQuarter, 320, 12, true, towards},
        {"starboard away from one on the port quarter", portQuarter, 40, 12, true, ""},
        {"port while overtaking a slower vessel ahead", slower, 320, 12, true, ""},
        // She comes up from 19.5 degrees abaft the target's beam: crossing, not overtaking.
        {"port for a slow crosser ahead, not overtaken", crosser, 320, 12, true, toPort},
        {"speed halved", bow, 0, 6, true, ""},
        {"speed to 60 %", bow, 0, 7.2f, false, ""},
    };
    for (const auto& c : cases) {
        mv::Simulation before;
        before.Vessels.Create(2);
        before.Vessels.Vessel[0] = {0, 0, 12, 12, mv::kMedium};
        before.Vessels.Vessel[1] = {c.target.heading, static_cast<int16_t>(c.target.heading),
                                    c.target.speed, c.target.speed, mv::kMedium};
        before.Vessels.VesselPos[1] = {c.target.x, c.target.y};
        mv::ActionJudge judge(exam.exercise, {1});
        judge.Observe(before);
        mv::Simulation after = before;
        after.Vessels.Vessel[0].NewHeading = static_cast<int16_t>(c.course);
        after.Vessels.Vessel[0].NewSpeed = c.speed;
        judge.Observe(after);
        const mv::Alteration& a = judge.Verdict().Alterations.at(0);
        EXPECT_EQ(a.Apparent, c.apparent) << c.name;
        EXPECT_EQ(a.Faults.empty() ? std::string() : a.Faults[0], c.fault) << c.name;
    }
}

} // namespace

namespace {

// "Set up the display", judged on the video model with the own ship at the origin heading
// north in a calm sea unless a case gives a sea state. Worked from the radar equation: a large
// ship at 6 nm is 20 (11 / 6)^4 = 226 times the noise (23.5 dB); gain g puts black at
// 25 - 0.3 g dB and a cell shows from 7.5 dB above that. Noise (exponential, mean 1) shows
// where it passes that level: at gain 100, 2.5 dB, a share e^-1.78 = 0.169 of the cells; at
// gain 70, 11.5 dB, beyond the noise's tail (9.5 dB), none. A small craft at 1 nm is
// 20 (3.4 / 1)^4 = 2670 times the noise; full sea control takes 10^6 x 0.027 = 27000 off there.
TEST(Grading, SetUpTheDisplay) {
    const struct {
        const char* what;
        double size, range; // the one target, nautical miles, dead ahead
        int seaState, gain, sea;
        bool shown;
        double noiseFrom, noiseTo;
    } cases[] = {
        {"large ship at 6 nm, gain 70", mv::kLarge, 6, 0, 70, 30, true, 0, 0},
        {"gain at nought", mv::kLarge, 6, 0, 0, 30, false, 0, 0},
        {"gain full: the noise lit", mv::kLarge, 6, 0, 100, 30, true, 0.15, 0.19},
        {"small craft under full sea control", mv::kSmall, 1, 4, 70, 100, false, 0, 0.01},
    };
    for (const auto& c : cases) {
        mv::VesselTables v;
        v.Create(2);
        v.Vessel[0].Size = mv::kLarge;
        v.Vessel[1].Size = c.size;
        v.VesselPos[1] = {c.range, 0};
        mv::VideoWorld world;
        world.SeaState = c.seaState;
        mv::VideoControls controls;
        controls.Gain = c.gain;
        controls.Sea = c.sea;
        mv::DisplayQuestion q;
        q.NoiseLimit = 0.05;
        const mv::DisplayVerdict d = mv::JudgeDisplay(q, {}, world, controls, v, 12);
        EXPECT_EQ(d.Shown.size(), c.shown ? 1u : 0u) << c.what;
        EXPECT_EQ(d.Lost.size(), c.shown ? 0u : 1u) << c.what;
        EXPECT_GE(d.Noise, c.noiseFrom) << c.what;
        EXPECT_LE(d.Noise, c.noiseTo) << c.what;
        EXPECT_EQ(d.Right, c.shown && c.noiseTo <= 0.05) << c.what;
    }
    // The file's [[setup]]: the limit in percent of the screen.
    const auto read = mv::ParseExercise(
        "[scenario]\n[[scenario.vessel]]\ncourse = 0\n[[setup]]\nat = 12:05:00\nnoise = 150\n",
        "x.toml");
    EXPECT_NE(read.Error.find("line 6, setup[1].noise: must be a number of percent"),
              std::string::npos)
        << read.Error;
    const auto fine = mv::ParseExercise(
        "[scenario]\n[[scenario.vessel]]\ncourse = 0\n[[setup]]\nat = 12:05:00\nnoise = 2\n",
        "x.toml");
    ASSERT_TRUE(fine.ok()) << fine.Error;
    EXPECT_DOUBLE_EQ(fine.Exercise->Setups.at(0).NoiseLimit, 0.02);
    EXPECT_NEAR(fine.Exercise->Setups[0].At, 0.5 + 5 * kMinute, 1e-12);
}

} // namespace

namespace {

// A display set up at 12:06, marked by the controls in force then: B, a coaster 4 nm ahead,
// is 20 (8 / 4)^4 = 320 times the noise (25 dB); at gain 70 she shows and the noise does not,
// at gain 0 (black at 25 dB) she is lost, at gain 100 the noise lights 17 % of the screen.
// The sea she chose from the Seas menu counts, not the exercise's calm: a very rough sea (state
// 6, 41 dB at three cables falling as the cube of the range) shows over gain 70's 4 dB floor
// out to some 4.8 nm, about 16 % of the 12-mile screen.
TEST(Grading, TheDisplayIsMarkedByTheControlsInForceAtItsTime) {
    const Exam exam(R"([scenario]
[[scenario.vessel]]
course = 0
[[scenario.vessel]]
course = 180
bearing = 0
range = 4
[[setup]]
at = 12:06:00
)");
    // The controls set at a moment (0, 1, 2: 12:00, 12:06, 12:07) to a gain, video on or not.
    const auto gain = [](int tick, int value, bool video = true) {
        return mv::RunVideoSetting{
            tick, 0.5 + (tick ? 5 + tick : 0) * kMinute, video, value, 30, 0, 100, 0};
    };
    const struct {
        const char* what;
        std::vector<mv::RunVideoSetting> set;
        bool right;
        std::vector<mv::RunVideoSea> seas = {};
    } cases[] = {
        {"gain 70", {gain(0, 70)}, true},
        {"the plain echoes", {gain(0, 70, false)}, false},
        {"gain 0", {gain(0, 0)}, false},
        {"turned up at 12:06", {gain(0, 70), gain(1, 100)}, false},
        {"turned down by 12:06", {gain(0, 100), gain(1, 70)}, true},
        {"turned up after 12:06", {gain(0, 70), gain(2, 100)}, true},
        {"a very rough sea", {gain(0, 70)}, false, {{0, 0.5, 6}}},
        {"very rough after 12:06", {gain(0, 70)}, true, {{0, 0.5, 0}, {2, 0.5 + 7 * kMinute, 6}}},
    };
    for (const auto& c : cases) {
        std::vector<mv::RunTick> ticks{Moment(0, 0, {{0, 0, 0, 0}, {4, 0, 180, 0}}),
                                       Moment(1, 6, {{0, 0, 0, 0}, {4, 0, 180, 0}}),
                                       Moment(2, 7, {{0, 0, 0, 0}, {4, 0, 180, 0}})};
        for (auto& t : ticks)
            t.Display.Range = 12;
        mv::RunRecord run = Recorded(ticks);
        run.VideoSettings = c.set;
        run.VideoSeas = c.seas;
        const mv::RunGrading g = mv::GradeRun(exam.exercise, exam.start, run);
        ASSERT_EQ(g.Setups.size(), 1u) << c.what;
        EXPECT_EQ(g.Setups[0].Right, c.right) << c.what;
        EXPECT_EQ(g.Total.Got, c.right ? 1 : 0) << c.what;
        EXPECT_EQ(g.Total.OutOf, 1) << c.what;
        // The class table's column for it.
        const auto columns = mv::GradeColumns(exam.exercise, {}, exam.start);
        ASSERT_EQ(columns.size(), 1u);
        EXPECT_EQ(columns[0].Title, "S1 Display");
        EXPECT_EQ(mv::GradeCells(columns, g), std::vector<std::string>{c.right ? "1" : "0"})
            << c.what;
    }
}

} // namespace
