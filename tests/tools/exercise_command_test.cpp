#include "tools/plot/plot_tool.h"

#include "core/aids/cpa_data.h"
#include "core/exercise/answer_key.h"
#include "core/number_text.h"
#include "core/record/run_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The key after B has turned (12:12) at 12:18 is what the program's CPA data shows after a
// run to 12:18, and what the core's answer key gives.
TEST(PlotExercise, TheKeyIsTheCpaDataOfTheSameRun) {
    const std::string file = MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml";
    std::ostringstream out, err;
    ASSERT_EQ(mv::RunPlotTool({"exercise", file, "--at", "12:18", "--json"}, out, err), 0)
        << err.str();
    const std::string json = out.str();

    const auto read = mv::ReadExerciseFile(file);
    ASSERT_TRUE(read.ok()) << read.Error;
    mv::Simulation sim;
    ASSERT_EQ(mv::BuildExerciseSimulation(*read.Exercise, MAROVANE_DATA_DIR, {}, sim), "");
    const mv::Truth truth = mv::TruthAt(sim, 0.5 + 18.0 / 1440);
    mv::TickDisplay display;
    mv::UnseenView view;
    for (int t = 0; t < 360; ++t)
        sim.Tick(display, view);
    const mv::CpaDataTexts shown = mv::DoCPA(sim.Vessels, 1, false, mv::BearingMode::Course);

    const mv::TargetTruth& b = truth.Targets.at(0);
    EXPECT_EQ(b.Water.Course, 180); // the order has been carried out
    EXPECT_EQ(shown.CPA, mv::FormatNumber(b.Cpa.CPA, "##0.00") + " nm.");
    EXPECT_EQ(shown.TCPA, mv::FormatNumber(b.Cpa.TCPA, "##.0") + " min.");
    char cpa[64];
    std::snprintf(cpa, sizeof cpa, "\"cpa\":%.17g,", static_cast<double>(b.Cpa.CPA));
    EXPECT_NE(json.find(cpa), std::string::npos) << json;
    EXPECT_NE(json.find("\"at\":\"12:18:00\""), std::string::npos) << json;

    // A mistake in the file is told with its line, and exits with 1.
    std::ostringstream none, why;
    EXPECT_EQ(mv::RunPlotTool({"exercise", MAROVANE_DATA_DIR "/Default.dem"}, none, why), 1);
    EXPECT_NE(why.str().find("Default.dem, line 1"), std::string::npos) << why.str();
}

// Two students' runs of a head-on meeting in fog: Ann answers right and turns 60 degrees to
// starboard; Bob answers 0.5 mile off and turns to port. Every mark comes from the records.
TEST(PlotGrade, MarksAreWorkedFromTheExerciseAndTheRecords) {
    const mv::test::TempDir dir;
    const std::string file = dir.Write(
        "fog.toml", "restricted_visibility = true\n[scenario]\n[[scenario.vessel]]\ncourse = 0\n"
                    "speed = 12\n[[scenario.vessel]]\ncourse = 180\nspeed = 10\nbearing = 5\n"
                    "range = 8\n[[question]]\nat = 12:06:00\nfigures = [\"cpa\"]\n"
                    "[action]\nmin_cpa = 2\nact_by = 12:10:00\n");
    const auto exercise = *mv::ReadExerciseFile(file).Exercise;
    mv::Simulation start;
    ASSERT_EQ(mv::BuildExerciseSimulation(exercise, dir.path, {}, start), "");
    const double cpa = mv::TruthAt(start, exercise.Questions[0].At).Targets.at(0).Cpa.CPA;
    const auto record = [&](const std::string& student, int course, double answer) {
        std::string error;
        auto w = mv::RunWriter::Create(dir.path / (student + ".mvrun"),
                                       {"Fog", "fog.toml", "2026-12-07T14:30:15Z", "0"},
                                       {{0, "A", mv::kMedium}, {1, "B", mv::kMedium}}, error);
        ASSERT_TRUE(w) << error;
        w->AddEvent({0, 0.5, "exercise", -1, "Assessed exercise fog.toml for " + student});
        mv::Simulation sim = start;
        mv::TickDisplay display;
        mv::UnseenView view;
        for (int t = 0; t <= 600; ++t) {
            mv::RunTick tick;
            tick.Index = t;
            tick.SimTime = sim.Clock.SimTime;
            for (int i = 0; i < 2; ++i) {
                const mv::VesselData& v = sim.Vessels.Vessel[static_cast<size_t>(i)];
                tick.Vessels.push_back({sim.Vessels.VesselPos[static_cast<size_t>(i)], v.Heading,
                                        v.Speed, v.NewHeading, v.NewSpeed});
            }
            w->AddTick(tick);
            if (t == 100) { // 12:05:00
                sim.Vessels.Vessel[0].NewHeading = static_cast<int16_t>(course);
                sim.Maneuvering = sim.Turning = true;
                w->AddEvent({t, sim.Clock.SimTime, "answer", 1,
                             "Question 1: " + mv::AnswerText({0, 1, mv::Figure::Cpa, answer})});
            }
            sim.Tick(display, view);
        }
        ASSERT_TRUE(w->Commit());
    };
    record("Ann", 60, cpa);
    record("Bob", 300, cpa + 0.5);
    std::ostringstream out, err;
    const std::string csv = (dir.path / "class.csv").string();
    ASSERT_EQ(mv::RunPlotTool({"grade", "--exercise", file, (dir.path / "Ann.mvrun").string(),
                               (dir.path / "Bob.mvrun").string(), "--csv", csv},
                              out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "Ann (Ann.mvrun): 5 of 5\nBob (Bob.mvrun): 3 of 5\n");
    EXPECT_EQ(mv::test::Slurp(csv),
              "Student,Record,Q1 B CPA,B passed,In time,Apparent,Rule 19(d),Total,Written marks\r\n"
              "Ann,Ann.mvrun,1,1,1,1,1,5/5,-\r\nBob,Bob.mvrun,0,1,1,1,0,3/5,-\r\n");
}

} // namespace
