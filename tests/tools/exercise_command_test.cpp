#include "tools/plot/plot_tool.h"

#include "core/aids/cpa_data.h"
#include "core/exercise/answer_key.h"
#include "core/number_text.h"
#include "tests/support/fog_runs.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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
    const auto key = nlohmann::json::parse(json);
    EXPECT_EQ(key["targets"][0]["cpa"].get<float>(), b.Cpa.CPA); // the same single read back
    EXPECT_EQ(key["at"], "12:18:00");

    // A mistake in the file is told with its line, and exits with 1.
    std::ostringstream none, why;
    EXPECT_EQ(mv::RunPlotTool({"exercise", MAROVANE_DATA_DIR "/Default.dem"}, none, why), 1);
    EXPECT_NE(why.str().find("Default.dem, line 1"), std::string::npos) << why.str();
}

// Two students' runs of a head-on meeting in fog: Ann answers right and turns 60 degrees to
// starboard; Bob answers 0.5 mile off and turns to port. Every mark comes from the records.
TEST(PlotGrade, MarksAreWorkedFromTheExerciseAndTheRecords) {
    const mv::test::TempDir dir;
    const std::string file = dir.Write("fog.toml", mv::test::FogExercise("\"cpa\""));
    const auto exercise = *mv::ReadExerciseFile(file).Exercise;
    mv::Simulation start;
    ASSERT_EQ(mv::BuildExerciseSimulation(exercise, dir.path, {}, start), "");
    const double cpa = mv::TruthAt(start, exercise.Questions[0].At).Targets.at(0).Cpa.CPA;
    const auto record = [&](const std::string& student, int course, double answer) {
        mv::test::RecordFogRun(dir.path, start, student, course, 600,
                               [answer](int t, std::vector<mv::Answer>& a) {
                                   if (t == 100) a = {{0, 1, mv::Figure::Cpa, answer}};
                               });
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
