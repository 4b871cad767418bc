// An assessed exercise opened in the program: a broken file changes nothing; a good one runs
// with its current and timed orders and only what it allows; another scenario ends it.

#include "app/answer_form.h"
#include "tests/support/exercise_fixture.h"

#include <QComboBox>
#include <QRadioButton>

namespace {

class ExamModeTest : public mv::test::ExerciseFixture {};

TEST_F(ExamModeTest, RunsWithWhatItAllowsAndEndsWithTheNextScenario) {
    Load("MEDIUM, 000, 12", {"MEDIUM, 180, 10, 000, 8"});
    WriteDemo("bad.toml", "[scenario]\ndemo = \"Test.dem\"\n[allow]\npause = 1\n");
    EXPECT_FALSE(exercise->OpenAssessedExercise(folder.filePath("bad.toml"), "Ann"));
    EXPECT_EQ(Last().text.toStdString(), "bad.toml, line 4, allow.pause: must be true or false");
    EXPECT_EQ(exercise->assessed(), nullptr);
    EXPECT_EQ(sim.Title, "Test");

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
    Click("cmdHandIn", form);
    ASSERT_EQ(exercise->answers().size(), 2u);
    EXPECT_EQ(exercise->answers()[1].Given.Value, -30);
    Click("cmdHandIn", form); // nothing changed, nothing handed in again
    EXPECT_EQ(exercise->answers().size(), 2u);

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
