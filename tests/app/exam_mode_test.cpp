// An assessed exercise opened in the program: a broken file changes nothing; a good one waits
// on its briefing, then runs with its current and timed orders and only what it allows, keeps
// its results as it goes and ends when every question is answered or at its time limit;
// another scenario, or closing the program, ends it once the student says so.

#include "app/answer_form.h"
#include "app/application.h"
#include "app/main_window.h"
#include "app/menu_table.h"
#include "core/exercise/results_file.h"
#include "core/number_text.h"
#include "gui/world_picture_widget.h"
#include "session/exercise_results.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"
#include "tools/plot/plot_tool.h"

#include <QComboBox>
#include <QDir>
#include <QKeySequence>
#include <QPushButton>
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
    // The clock waits for the briefing's Start, though the exercise forbids pausing.
    EXPECT_FALSE(exercise->isRunning());
    exercise->EndBriefing();
    EXPECT_TRUE(exercise->isRunning());
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
    EXPECT_FALSE(form->isVisible());
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
    const std::string was = written.Results->Answers[0].Marked->Right ? "true," : "false,";
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

// Two questions at 12:03 and one at 12:06, of B and C, as the student meets them at the form.
TEST_F(ExamModeTest, QuestionsDueTogetherAreNamedTogetherAndTheFormTakesTheKeyboard) {
    Load("MEDIUM, 000, 12", {"MEDIUM, 180, 10, 000, 8", "MEDIUM, 270, 10, 045, 6"});
    WriteDemo("two.toml",
              "[scenario]\ndemo = \"Test.dem\"\n"
              "[[question]]\nat = 12:03:00\nfigures = [\"cpa\", \"tcpa\"]\n"
              "[[question]]\nat = 12:03:00\ntargets = [\"C\"]\nfigures = [\"aspect\"]\n"
              "[[question]]\nat = 12:06:00\ntargets = [\"B\"]\nfigures = [\"course\"]\n");
    ASSERT_TRUE(exercise->OpenAssessedExercise(folder.filePath("two.toml"), "Ann"));
    exercise->EndBriefing();
    std::vector<std::pair<int, double>> due; // question, sea time
    QString said;
    QObject::connect(exercise.get(), &mv::Exercise::questionDue, [&](int q) {
        due.push_back({q, sim.Clock.SimTime});
        said = mv::AnswerForm::OpenDue(*console, *exercise, dialogs, q);
    });
    const auto runTo = [&](size_t questions) {
        for (int t = 0; t < 400 && due.size() < questions; ++t)
            exercise->tmrSim_Timer();
        ASSERT_EQ(due.size(), questions);
    };
    runTo(2);
    EXPECT_EQ(due[0].first, 0);
    EXPECT_EQ(due[1].first, 1);
    EXPECT_EQ(due[0].second, due[1].second); // in the one tick
    EXPECT_EQ(said, "Questions 1 and 2 are due: their figures go in the answer form.");
    auto* form = console->findChild<mv::AnswerForm*>("frmAnswers");
    ASSERT_TRUE(form && form->isVisible());
    auto* question = Find<QComboBox>("cboQuestion", form);
    EXPECT_EQ(question->currentIndex(), 0);
    EXPECT_EQ(Text("lblDue", form), "Questions 1 and 2 are due.");
    // The student plots on while it is open: docked beside the picture, its centre in sight.
    ASSERT_FALSE(form->isWindow());
    const QWidget* picture = console->pictureWidget();
    EXPECT_FALSE(QRect(form->mapToGlobal(QPoint()), form->size())
                     .contains(picture->mapToGlobal(picture->rect().center())));

    // The keyboard: the first empty figure first; Tab from the question goes through B's row,
    // C's row, then to Hand In, in the dock as it would in a window of its own.
    auto* handIn = Find<QPushButton>("cmdHandIn", form);
    EXPECT_EQ(form->focusWidget(), form->Entry(1, 0));
    question->setFocus();
    std::vector<QWidget*> tabbed{form->focusWidget()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        tabbed.push_back(form->focusWidget());
    }
    EXPECT_EQ(tabbed, (std::vector<QWidget*>{question, form->Entry(1, 0), form->Entry(1, 1),
                                             form->Entry(2, 0), form->Entry(2, 1), handIn}));
    // Hand In's access key is none that the main window's menus or the console's buttons take.
    const QKeySequence key = QKeySequence::mnemonic(handIn->text());
    for (const mv::MenuEntry& m : mv::MenuTable()) {
        if (!m.parent.isEmpty()) continue;
        EXPECT_NE(QKeySequence::mnemonic(m.caption), key) << m.caption.toStdString();
    }
    for (const QAbstractButton* b : console->findChildren<QAbstractButton*>()) {
        if (b->window() != console.get() || form->isAncestorOf(b)) continue; // the form's own
        EXPECT_NE(QKeySequence::mnemonic(b->text()), key) << b->objectName().toStdString();
    }

    // Figures typed and not handed in survive a look at another question.
    Type(form->Entry(1, 0), "0.5");
    Type(form->Entry(1, 1), "12");
    question->setCurrentIndex(1);
    EXPECT_EQ(form->focusWidget(), form->Entry(2, 4));
    question->setCurrentIndex(0);
    EXPECT_EQ(Text("txtAnswer(1,0)", form), "0.5");
    EXPECT_EQ(form->focusWidget(), form->Entry(2, 0));
    // Enter in a figure hands in what is typed.
    QTest::keyClick(form->Entry(2, 0), Qt::Key_Return);
    ASSERT_EQ(exercise->answers().size(), 2u);
    EXPECT_EQ(exercise->answers()[1].Given.Value, 12);
    Type(form->Entry(2, 1), "7");

    runTo(3);
    EXPECT_EQ(said, "Question 3 is due: its figures go in the answer form.");
    EXPECT_EQ(question->currentIndex(), 2);
    EXPECT_EQ(Text("lblDue", form), "Question 3 is due.");
    question->setCurrentIndex(0);
    EXPECT_EQ(Text("txtAnswer(2,1)", form), "7"); // typed as question 3 came, still there

    // After a Repeat the questions come due again, from the first.
    exercise->Repeat();
    due.clear();
    runTo(2);
    EXPECT_EQ(due[0].first, 0);

    // At the end the form closes and is not offered again, and nothing more is taken.
    exercise->EndAssessed("ended by the student");
    EXPECT_FALSE(form->isVisible());
    form->Open();
    EXPECT_FALSE(form->isVisible());
    exercise->HandIn({{0, 1, mv::Figure::Cpa, 0.5}});
    EXPECT_EQ(exercise->answers().size(), 2u);
}

// In the program: Exam 1 opened from the menu, its briefing read and started, the program's
// closing and another exercise asked about first, a demo chosen during a briefing.
TEST(ExamModeProgram, TheBriefingHoldsTheClockAndLeavingIsAskedFirst) {
    QTemporaryDir dir;
    mv::test::CopyShippedData(dir.path());
    qputenv("MAROVANE_RUNS", dir.filePath("runs").toUtf8());
    qputenv("MAROVANE_RESULTS", dir.filePath("results").toUtf8());
    mv::ScriptedDialogs dialogs;
    QString closed;
    {
        mv::Application app(dir.path().toStdString(), dialogs);
        ASSERT_TRUE(app.Start());
        mv::MainWindow& main = app.mainWindow();
        main.resize(1366, 740);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        mv::Exercise& e = app.exercise();
        dialogs.texts = {dir.filePath("Exam1-AlteringTarget.toml"), "Ann"};
        ASSERT_TRUE(e.commands().Trigger("mnuOpenExercise"));
        ASSERT_TRUE(e.assessed()) << dialogs.messages().join("|").toStdString();
        EXPECT_TRUE(e.isBriefing());
        auto* briefing = app.console().findChild<QWidget*>("frmBriefing");
        ASSERT_TRUE(briefing && briefing->isVisible());
        EXPECT_FALSE(e.isRunning());
        const auto text = [briefing](const char* name) {
            return mv::test::Find<QLabel>(briefing, name)->text();
        };
        // Every wrapped line is read whole: each label as tall as its lines, inside the window.
        const auto readable = [briefing] {
            for (const QLabel* l : briefing->findChildren<QLabel*>()) {
                if (!l->isVisible()) continue;
                EXPECT_GE(l->height(), l->heightForWidth(l->width())) << l->text().toStdString();
                EXPECT_TRUE(briefing->rect().contains(l->geometry())) << l->text().toStdString();
            }
        };
        readable();
        EXPECT_EQ(text("lblBriefingTitle"), "Exam 1: a target that alters\nStudent: Ann");
        EXPECT_TRUE(
            text("lblTimeLimit").startsWith("Time limit: 24 minutes of sea time, to 12:24:00."));
        EXPECT_EQ(text("lblQuestions"),
                  "Questions (the answer form opens by itself at each time):\n"
                  "1. At 12:06:00: CPA, TCPA, course, speed and aspect of B.\n"
                  "2. At 12:18:00: CPA, TCPA, course, speed and aspect of B.");
        EXPECT_TRUE(text("lblAllowed")
                        .startsWith("Not allowed: CPA info, the CPA computer, the True View, "
                                    "vectors, target data and the "
                                    "CPA/TCPA alarm.\n"));
        // Clear of the radar picture's centre and of the control column.
        const QWidget* picture = app.console().pictureWidget();
        const QWidget* controls = mv::test::Find(&app.console(), "picControls");
        EXPECT_FALSE(
            briefing->frameGeometry().contains(picture->mapToGlobal(picture->rect().center())));
        EXPECT_FALSE(briefing->frameGeometry().intersects(
            QRect(controls->mapToGlobal(QPoint()), controls->size())));
        QTest::mouseClick(mv::test::Find<QPushButton>(briefing, "cmdStart"), Qt::LeftButton);
        EXPECT_FALSE(briefing->isVisible());
        EXPECT_TRUE(e.isRunning());

        // Exit asks; No keeps the exercise running and the window open.
        dialogs.answers = {mv::Dialogs::Answer::No};
        ASSERT_TRUE(e.commands().Trigger("mnuExit"));
        EXPECT_TRUE(
            dialogs.shown.back().text.startsWith("An assessed exercise is running. Leave it?"));
        EXPECT_TRUE(main.isVisible());
        EXPECT_TRUE(e.isRunning());
        // Another exercise: the running one is asked about before any file name.
        const size_t before = dialogs.shown.size();
        dialogs.answers = {mv::Dialogs::Answer::No};
        ASSERT_TRUE(e.commands().Trigger("mnuOpenExercise"));
        ASSERT_EQ(dialogs.shown.size(), before + 1);
        EXPECT_EQ(e.student(), "Ann");
        EXPECT_TRUE(e.isRunning());
        dialogs.answers = {mv::Dialogs::Answer::Yes};
        dialogs.texts = {dir.filePath("Exam3-Fog.toml"), "Bob"};
        ASSERT_TRUE(e.commands().Trigger("mnuOpenExercise"));
        EXPECT_EQ(e.student(), "Bob");
        EXPECT_TRUE(briefing->isVisible());
        readable();
        // A demo chosen during the briefing runs: the briefing's hold leaves with the exercise.
        dialogs.answers = {mv::Dialogs::Answer::Yes};
        ASSERT_TRUE(e.LoadDemo("Default.dem"));
        e.Start();
        EXPECT_TRUE(e.isRunning());
        EXPECT_FALSE(briefing->isVisible());

        dialogs.texts = {dir.filePath("Exam2-SetAndDrift.toml"), "Cy"};
        ASSERT_TRUE(e.commands().Trigger("mnuOpenExercise"));
        closed = app.results().path();
        ASSERT_TRUE(briefing->isVisible());
        // Resumed from the menu instead of Start: the briefing goes, the clock runs.
        ASSERT_TRUE(e.commands().Trigger("mnuPause"));
        EXPECT_TRUE(e.isRunning());
        EXPECT_FALSE(briefing->isVisible());
        dialogs.answers = {mv::Dialogs::Answer::Yes};
        main.close();
        EXPECT_FALSE(main.isVisible());
    }
    // Yes to closing ends the exercise as the program closes, not as one left for another.
    const auto cy = mv::ReadResultsFile(closed.toStdString());
    ASSERT_TRUE(cy.ok()) << cy.Error;
    EXPECT_EQ(cy.Results->Ended, "program closed");
    EXPECT_TRUE(cy.Results->Total.has_value());
}

} // namespace
