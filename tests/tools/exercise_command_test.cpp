#include "tools/plot/plot_tool.h"

#include "core/aids/cpa_data.h"
#include "core/classroom/class_messages.h"
#include "core/exercise/answer_key.h"
#include "core/exercise/results_file.h"
#include "core/number_text.h"
#include "core/record/run_writer.h"
#include "tests/support/fog_runs.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int code;
    std::string out, err;
};

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
    EXPECT_EQ(shown.CPA, mv::MilesText(b.Cpa.CPA));
    EXPECT_EQ(shown.TCPA, mv::MinutesText(b.Cpa.TCPA));
    const auto key = nlohmann::json::parse(json);
    EXPECT_EQ(key["targets"][0]["cpa"].get<float>(), b.Cpa.CPA); // the same single read back
    EXPECT_EQ(key["at"], "12:18:00");

    // A mistake in the file is told with its line, and exits with 1.
    std::ostringstream none, why;
    EXPECT_EQ(mv::RunPlotTool({"exercise", MAROVANE_DATA_DIR "/Default.dem"}, none, why), 1);
    EXPECT_NE(why.str().find("Default.dem, line 1"), std::string::npos) << why.str();
}

// Head-on meetings in fog, each student turning at 12:05 and answering B's CPA at 12:06 (the
// truth of her own run then, plus `off`).
struct PlotGrade : ::testing::Test {
    const mv::test::TempDir dir;
    const std::string text = mv::test::FogExercise("\"cpa\"");
    mv::Simulation start;
    void SetUp() override {
        dir.Write("fog.toml", text);
        const auto read = mv::ParseExercise(text, "fog.toml");
        ASSERT_TRUE(read.ok()) << read.Error;
        ASSERT_EQ(mv::BuildExerciseSimulation(*read.Exercise, dir.path, {}, start), "");
    }
    void Record(const std::string& student, int course, double off, bool keepText,
                const std::string& mark = "") {
        mv::Simulation turned = start;
        mv::TickDisplay display;
        mv::UnseenView view;
        for (int t = 0; t < 100; ++t)
            turned.Tick(display, view);
        turned.Vessels.Vessel[0].NewHeading = static_cast<int16_t>(course);
        turned.Maneuvering = turned.Turning = true;
        const double cpa = mv::TruthFrom(turned, 0.5 + 6.0 / 1440).Targets.at(0).Cpa.CPA + off;
        mv::test::RecordFogRun(
            dir.path, start, student, course, 600,
            [cpa](int t, std::vector<mv::Answer>& a) {
                if (t == 100) a = {{0, 1, mv::Figure::Cpa, cpa}};
            },
            keepText ? mark + text : "");
    }
    Outcome Grade(const Args& args) {
        std::ostringstream out, err;
        const int code = mv::RunPlotTool(args, out, err);
        return {code, out.str(), err.str()};
    }
    std::string In(const std::string& name) const { return (dir.path / name).string(); }
};

// Ann answers right and turns 60 degrees to starboard; a student who typed a formula for her
// name answers 0.5 mile off and turns to port. Score and maximum stand in columns of their own,
// and a cell that would start a formula is shown as text.
TEST_F(PlotGrade, TheClassTableKeepsScoresAsNumbersAndNamesAsText) {
    Record("Ann", 60, 0, true);
    Record("=HYPERLINK(\"x\")", 300, 0.5, true);
    const Outcome r = Grade({"grade", "--exercise", In("fog.toml"), In("Ann.mvrun"),
                             In("=HYPERLINK(\"x\").mvrun"), "--csv", In("class.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Ann (Ann.mvrun): 5 of 5\n=HYPERLINK(\"x\") (=HYPERLINK(\"x\").mvrun): 3 of 5\n");
    EXPECT_EQ(mv::test::Slurp(In("class.csv")),
              "Student,Record,Q1 B CPA,B passed,In time,Apparent,Rule 19(d),Score,Out of,"
              "Written marks\r\nAnn,Ann.mvrun,1,1,1,1,1,5,5,-\r\n"
              "\"'=HYPERLINK(\"\"x\"\")\",\"'=HYPERLINK(\"\"x\"\").mvrun\",0,1,1,1,0,3,5,-\r\n");
}

// Gathered from the students' machines into the folder the instructor works in: the results
// files name where their record and exercise lay on those machines.
TEST_F(PlotGrade, ARecordIsMarkedByTheExerciseItKeeps) {
    Record("Ann", 60, 0, true);
    Record("Cy", 60, 0, false); // an older record, without the exercise's text
    for (const char* student : {"Ann", "Cy"}) {
        mv::ExerciseResults written;
        written.Student = student;
        written.ExerciseFile = "/home/ann/Marovane/fog.toml";
        written.RecordFile = std::string("/home/ann/Marovane/") + student + ".mvrun";
        ASSERT_EQ(mv::WriteResultsFile(dir.path / (std::string(student) + ".json"), written), "");
    }
    // The copy on disk was edited since: it now asks for the TCPA.
    dir.Write("fog.toml", mv::test::FogExercise("\"tcpa\""));
    const auto was = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    const Outcome bare = Grade({"grade", "Ann.json", "Cy.json"});
    const Outcome given = Grade({"grade", "--exercise", "fog.toml", "Ann.json"});
    std::filesystem::current_path(was);
    // Ann by the text she took; Cy by the file, which sets him another question.
    EXPECT_EQ(bare.code, 1);
    EXPECT_TRUE(bare.out.starts_with("Ann (Ann.mvrun): 5 of 5\n")) << bare.out << bare.err;
    EXPECT_NE(bare.err.find("Cy.mvrun: its fog.toml asks other figures than Ann.mvrun's"),
              std::string::npos)
        << bare.err;
    // The instructor's file marks when given, and the difference is told.
    EXPECT_EQ(given.code, 0) << given.err;
    EXPECT_TRUE(given.out.starts_with("Ann (Ann.mvrun): 4 of 5\n")) << given.out;
    EXPECT_EQ(given.err,
              "marovane-plot: the exercise in Ann.mvrun differs from fog.toml; marked against "
              "fog.toml\n");
}

// A record of another exercise, or of none, is refused by name; the rest are still marked.
TEST_F(PlotGrade, ARecordOfAnotherExerciseIsRefused) {
    Record("Ann", 60, 0, false);
    dir.Write("Exam1.toml", text);
    std::string error;
    mv::RunOpening free{{"Free", "Head.dem", "2026-12-07T14:30:15Z", "0"}, {{0, "A", 1}}, {}, {}};
    free.First.Vessels.resize(1);
    ASSERT_TRUE(mv::RunWriter::Create(dir.path / "Free.mvrun", free, error)) << error;
    const Outcome other = Grade({"grade", "--exercise", In("Exam1.toml"), In("Ann.mvrun")});
    EXPECT_EQ(other.code, 1);
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(other.err, "marovane-plot: Ann.mvrun: a run of fog.toml, not of Exam1.toml\n");
    const Outcome none =
        Grade({"grade", "--exercise", In("fog.toml"), In("Free.mvrun"), In("Ann.mvrun")});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.out, "Ann (Ann.mvrun): 5 of 5\n");
    EXPECT_EQ(none.err, "marovane-plot: Free.mvrun: not a run of an assessed exercise\n");
    // A class seat's copy has no tolerances: only the instructor's file marks it.
    Record("Seat", 60, 0, true, std::string(mv::kSeatCopyMark));
    const Outcome seat = Grade({"grade", In("Seat.mvrun")});
    EXPECT_EQ(seat.code, 1);
    EXPECT_EQ(seat.err, "marovane-plot: Seat.mvrun: taken on a class seat, whose copy of the "
                        "exercise has no tolerances: give the instructor's fog.toml with "
                        "--exercise\n");
    const Outcome marked = Grade({"grade", "--exercise", In("fog.toml"), In("Seat.mvrun")});
    EXPECT_EQ(marked.code, 0) << marked.err;
    EXPECT_EQ(marked.err, "");
}

} // namespace
