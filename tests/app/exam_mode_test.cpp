// An assessed exercise opened in the program: a broken file changes nothing; a good one runs
// with its current and timed orders and only what it allows, keeps its results as it goes and
// ends when every question is answered or at its time limit; another scenario ends it.

#include "app/answer_form.h"
#include "core/exercise/results_file.h"
#include "core/number_text.h"
#include "session/exercise_results.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"
#include "tools/plot/plot_tool.h"

#include <QComboBox>
#include <QDir>
#include <QRadioButton>

#include <fstream>
#include <sstream>

namespace {

class ExamModeTest : public mv::test::ExerciseFixture {};

TEST_F(ExamModeTest, RunsWithWhatItAllowsAndEndsWithTheNextScenario) {
    Load("MEDIUM, 000, 12", {"MEDIUM, 180, 10, 000, 8"});
    WriteDemo("bad.toml", "[scenario]\ndemo = \"Test.dem\"\n[allow]\npause = 1\n");
    EXPECT_FALSE(exercise->OpenAssessedExercise(folder.filePath("bad.toml"), "Ann"));
    EXPECT_EQ(Last().text.toStdString(), "bad.toml, line 4, allow.pause: must be true or false");
    EXPECT_EQ(exercise->assessed(), nullptr);
    EXPECT_EQ(sim.Title, "Test");

    mv::RunRecorder recorder(*exercise, folder.filePath("runs"));
    mv::ResultsKeeper results(*exercise, recorder, folder.filePath("results"));
    WriteDemo("exam.toml", "title = \"Exam\"\n[scenario]\ndemo = \"Test.dem\"\n"
                           "[current]\nset = 90\ndrift = 2\n"
                           "[[order]]\nat = 12:00:00\nvessel = \"B\"\ncourse = 90\n"
                           "[allow]\ncpa_info = false\npause = false\ntime_factors = [1, 2]\n"
                           "[[question]]\nat = 12:00:00\nfigures = [\"cpa\", \"aspect\"]\n");
    ASSERT_TRUE(exercise->OpenAssessedExercise(folder.filePath("exam.toml"), "Ann"));
    exercise->Start();
    EXPECT_EQ(sim.Title, "Exam");
    EXPECT_EQ(exercise->student(), "Ann");
    EXPECT_EQ(sim.Current, (mv::SeaCurrent{90, 2}));
    EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, 90);       // ordered at the start
    EXPECT_FALSE(exercise->commands().Trigger("mnuT(2)")); // x5 is not allowed
    EXPECT_FALSE(exercise->commands().Trigger("mnuCPAVessel(1)"));
    EXPECT_FALSE(exercise->commands().Trigger("mnuManeuverVessel(1)"));
    EXPECT_FALSE(exercise->commands().Trigger("mnuJumptoVessel(1)"));
    EXPECT_FALSE(Find<QRadioButton>("optCPA")->isEnabled());
    Run("mnuT(1)");
    auto* factor = Find<QComboBox>("cboTimeFactor");
    factor->setCurrentIndex(2); // x5: refused, and the chooser shows x2 again
    EXPECT_EQ(factor->currentIndex(), 1);
    EXPECT_EQ(sim.Clock.TimeFactor, 2);
    exercise->TogglePause();
    EXPECT_FALSE(exercise->isPaused());
    // Repeat gives the order of the start again.
    exercise->tmrSim_Timer();
    Run("mnuRepeat");
    EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, 90);
    EXPECT_TRUE(sim.Maneuvering);

    // The answer form: a mistyped figure hands in nothing; then both are handed in, timed.
    Run("mnuAnswers");
    auto* form = console->findChild<mv::AnswerForm*>("frmAnswers");
    ASSERT_NE(form, nullptr);
    Type(form->Entry(1, 0), "0.7");
    Type(form->Entry(1, 4), "Rd 30");
    Click("cmdHandIn", form);
    EXPECT_EQ(Last().title, "Answers");
    EXPECT_TRUE(exercise->answers().empty());
    Type(form->Entry(1, 4), "Red 30");
    dialogs.answers = {mv::Dialogs::Answer::Yes}; // end it now
    Click("cmdHandIn", form);
    ASSERT_EQ(exercise->answers().size(), 2u);
    EXPECT_EQ(exercise->answers()[1].Given.Value, -30);
    EXPECT_EQ(Text("lblHandedIn", form).toStdString(), "2 figures handed in at 12:00:00.");
    // Every question answered: the exercise ends, its results whole beside a copy of the record.
    EXPECT_EQ(exercise->endedBy(), "all questions answered");
    EXPECT_FALSE(exercise->isRunning());
    EXPECT_FALSE(exercise->commands().Trigger("mnuAnswers"));
    EXPECT_FALSE(exercise->commands().Trigger("mnuRepeat"));
    const std::string path = results.path().toStdString();
    const auto written = mv::ReadResultsFile(path);
    ASSERT_TRUE(written.ok()) << written.Error;
    ASSERT_EQ(written.Results->Answers.size(), 2u);
    ASSERT_TRUE(written.Results->Total);
    EXPECT_EQ(written.Results->Ended, "all questions answered");

    // marovane-plot grade works the same marks from the results file and the record; a mark
    // edited in the results file is told.
    const auto grade = [&path] {
        std::ostringstream out, err;
        EXPECT_EQ(mv::RunPlotTool({"grade", path}, out, err), 0) << err.str();
        return out.str();
    };
    const std::string total = std::to_string(written.Results->Total->Got) + " of 2";
    EXPECT_NE(grade().find("Ann (" +
                           std::filesystem::path(written.Results->RecordFile).filename().string() +
                           "): " + total),
              std::string::npos)
        << grade();
    EXPECT_EQ(grade().find("differ"), std::string::npos);
    std::string text = mv::ResultsText(*written.Results);
    const std::string was = written.Results->Answers[0].Right ? "true," : "false,";
    const size_t at = text.find("\"right\": " + was);
    text.replace(at + 9, was.size(), was == "true," ? "false," : "true,");
    std::ofstream(path, std::ios::binary) << text;
    EXPECT_NE(grade().find("differ from the record's"), std::string::npos);

    // An exercise with a time limit ends at it; where its record cannot be copied (a folder
    // stands in the way) the results are still made whole, marked without it.
    WriteDemo("timed.toml", "time_limit = 1\n[scenario]\ndemo = \"Test.dem\"\n");
    ASSERT_TRUE(exercise->OpenAssessedExercise(folder.filePath("timed.toml"), "Bob"));
    const QString copy = QString(results.path()).replace(".json", ".mvrun");
    ASSERT_TRUE(QDir().mkpath(copy));
    for (int t = 0; t < 25 && !exercise->assessedEnded(); ++t)
        exercise->tmrSim_Timer();
    EXPECT_EQ(exercise->endedBy(), "time limit");
    EXPECT_EQ(mv::FormatClock(sim.Clock.SimTime), "12:01:00");
    const auto timed = mv::ReadResultsFile(results.path().toStdString());
    ASSERT_TRUE(timed.ok()) << timed.Error;
    EXPECT_NE(timed.Results->RecordFile, copy.toStdString()); // the runs folder's own
    EXPECT_EQ(timed.Results->Ended, "time limit");
    EXPECT_TRUE(timed.Results->Total);
    // Another scenario over a running exercise is asked about first; No keeps the exercise.
    ASSERT_TRUE(exercise->OpenAssessedExercise(folder.filePath("timed.toml"), "Bob"));
    dialogs.answers = {mv::Dialogs::Answer::No};
    EXPECT_FALSE(exercise->LoadDemo("Test.dem"));
    EXPECT_NE(exercise->assessed(), nullptr);
    dialogs.answers = {mv::Dialogs::Answer::Yes};

    ASSERT_TRUE(exercise->LoadDemo("Test.dem"));
    EXPECT_EQ(exercise->assessed(), nullptr);
    EXPECT_TRUE(exercise->answers().empty());
    EXPECT_FALSE(exercise->commands().Trigger("mnuAnswers"));
    EXPECT_FALSE(sim.Current.Flowing());
    EXPECT_TRUE(sim.Script.empty());
    Run("mnuT(2)");
    EXPECT_TRUE(Find<QRadioButton>("optCPA")->isEnabled());
}

} // namespace
