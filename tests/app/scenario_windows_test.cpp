// The scenario windows as a user works them: each control reaches its rule and shows its result.

#include "app/random_window.h"
#include "app/scenario_list.h"
#include "app/set_targets.h"
#include "app/text_viewer.h"
#include "app/traffic_selector.h"
#include "core/scenario/random_traffic.h"
#include "gui/help_topics.h"
#include "tests/support/exercise_fixture.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class ScenarioWindowsTest : public mv::test::ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        WriteDemo("Head on.dem", "Head on\r\n 2 \r\nMEDIUM, 000, 12\r\nLARGE, 180, 10, 000, 8\r\n"
                                 "Keep to starboard.\r\n");
        WriteDemo("Apple.dem", "\r\n 1 \r\nSMALL, 090, 5\r\n");
        traffic = &console->traffic();
        ASSERT_TRUE(traffic->LoadDemoList());
        ASSERT_TRUE(exercise->LoadDemo("Head on.dem"));
    }
    QComboBox* Selector() { return traffic->cboSetTraffic(); }
    // The user picks an entry of the selector.
    void Choose(int index) {
        Selector()->setCurrentIndex(index);
        emit Selector()->activated(index);
    }
    QLineEdit* Field(const char* name, int row) {
        return Find<QLineEdit>(QString("%1(%2)").arg(name).arg(row), &traffic->setTargets());
    }
    QStringList Listed() {
        QStringList rows;
        for (int row = 0; row < traffic->scenarioList().lstScenarios()->count(); ++row)
            rows << traffic->scenarioList().lstScenarios()->item(row)->text();
        return rows;
    }

    mv::TrafficSelector* traffic = nullptr;
};

TEST_F(ScenarioWindowsTest, ChooserListsByTitleAndRunsTheChosenDemo) {
    Choose(0);
    mv::ScenarioList& list = traffic->scenarioList();
    ASSERT_TRUE(list.isVisible());
    QListWidget* lst = list.lstScenarios();
    ASSERT_EQ(Listed(), QStringList({"  \tApple.dem", "  Head on\tHead on.dem"}));

    // A double-click runs the small-craft demo; the chooser closes.
    const QPoint apple = lst->visualItemRect(lst->item(0)).center();
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, apple);
    QTest::mouseDClick(lst->viewport(), Qt::LeftButton, {}, apple);
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(sim.Vessels.NumVessels, 1);
    EXPECT_TRUE(sim.TrafficSource == mv::ScenarioSource::Demo && exercise->isRunning());

    // The preview of a demo shows its title in capitals and none of its vessel lines.
    Choose(0);
    lst->setCurrentRow(1);
    Click("cmdDescription", &list);
    mv::TextViewer& viewer = traffic->textViewer();
    EXPECT_EQ(viewer.txtDescription()->toPlainText(), "HEAD ON\n\nKeep to starboard.\n");
    Click("cmdCancel", &viewer);

    // A file gone since the list was built: said under the button's name, the chooser stays.
    QFile::remove(folder.filePath("Head on.dem"));
    Click("cmdDescription", &list);
    EXPECT_EQ(Last().title, "frmScenarioList.cmdDescription");
    EXPECT_TRUE(Last().text.contains("Head on.dem") && list.isVisible());
    // Run on it reports the load and leaves the running demo alone.
    const auto running = sim.Vessels.VesselPos;
    Click("cmdOK", &list);
    EXPECT_EQ(Last().title, "LoadDemo");
    EXPECT_EQ(sim.Vessels.VesselPos, running);
    EXPECT_TRUE(sim.Vessels.NumVessels == 1 && list.isVisible());
}

TEST_F(ScenarioWindowsTest, OwnTargetsCountMessagesAndKeyFilter) {
    Choose(1);
    mv::SetTargets& w = traffic->setTargets();
    ASSERT_TRUE(w.isVisible());
    auto* count = Find<QLineEdit>("txtTargets", &w);
    EXPECT_EQ(count->text(), " 1"); // from the demo in force
    EXPECT_EQ(Field("txtRange", 1)->text() + " " + Field("txtBearing", 1)->text(), "8.0 000");

    QTest::mouseClick(Find<QRadioButton>("optTargets(3)", &w), Qt::LeftButton);
    EXPECT_EQ(count->text(), " 3");
    EXPECT_TRUE(Field("txtHeading", 3)->isVisibleTo(&w) &&
                !Field("txtHeading", 4)->isVisibleTo(&w));

    Type(count, "6");
    EXPECT_EQ(dialogs.messages().back(), "May not have more than five targets");
    EXPECT_EQ(count->text(), "1");
    EXPECT_FALSE(Field("txtHeading", 2)->isVisibleTo(&w));
    EXPECT_TRUE(Find<QRadioButton>("optTargets(1)", &w)->isChecked());

    Type(Field("txtSpeed", 0), "1x2.5.3");
    EXPECT_EQ(Field("txtSpeed", 0)->text(), "12.53");
}

TEST_F(ScenarioWindowsTest, OwnTargetsValidateBuildAsideRunAndStore) {
    Choose(1);
    mv::SetTargets& w = traffic->setTargets();
    const auto inForce = sim.Vessels.VesselPos;

    // The first failing field gets the focus with its text selected; nothing starts.
    Field("txtBearing", 1)->setText("360");
    Click("cmdRun", &w);
    EXPECT_EQ(dialogs.messages().back(), "Invalid bearing");
    EXPECT_EQ(w.focusWidget(), Field("txtBearing", 1));
    EXPECT_EQ(Field("txtBearing", 1)->selectedText(), "360");
    EXPECT_EQ(sim.Title, "Head on");

    // Text that is no number as a whole fails its field's check; nothing starts.
    Field("txtBearing", 1)->setText("045");
    Field("txtSpeed", 1)->setText("12kn");
    Click("cmdRun", &w);
    EXPECT_EQ(dialogs.messages().back(), "Invalid speed");
    EXPECT_EQ(sim.Vessels.VesselPos, inForce);
    EXPECT_TRUE(sim.TrafficSource == mv::ScenarioSource::Demo && w.isVisible());
    EXPECT_FALSE(Find<QPushButton>("cmdSaveDemo", &w)->isEnabled());

    Field("txtSpeed", 1)->setText("14.50");     // refilled as "14.5" on opening: no edit
    sim.Description = "Two ships meet end on."; // the demo's, not the own targets'
    Click("cmdRun", &w);
    EXPECT_TRUE(!w.isVisible() && exercise->isRunning() && sim.Description.empty());
    EXPECT_TRUE(sim.TrafficSource == mv::ScenarioSource::OwnTargets &&
                Selector()->currentIndex() == 1);
    EXPECT_NEAR(sim.Vessels.VesselPos[1].Y, 8 * std::sin(45 * 0.0174532925), 1e-6); // 045, 8 nm

    // Store as Demo writes the run with the edited description, and the chooser lists it.
    Choose(1);
    ASSERT_TRUE(Find<QPushButton>("cmdSaveDemo", &w)->isEnabled()); // the rows are as run
    Click("cmdDescription", &w);
    mv::TextViewer& viewer = traffic->textViewer();
    EXPECT_FALSE(viewer.txtDescription()->isReadOnly());
    viewer.txtDescription()->setPlainText("Stand on.");
    Click("cmdCancel", &viewer);
    // A Greek title is kept, and a name without .dem gets it so that the chooser lists it.
    dialogs.texts = {"Διασταύρωση Zulu", folder.filePath("Crossing – Ærø.txt")};
    Click("cmdSaveDemo", &w);
    const auto& asked = dialogs.shown[dialogs.shown.size() - 2];
    EXPECT_EQ(asked.text + " | " + asked.title, "Enter a title for this demo | Saving as Demo");
    EXPECT_EQ(Last().title, "Save Demo As");
    const auto run = sim.Vessels.StartPos;
    ASSERT_TRUE(exercise->LoadDemo("Crossing – Ærø.txt.dem"));
    EXPECT_EQ(sim.Title, "Διασταύρωση Zulu");
    EXPECT_EQ(sim.Description, "Stand on.\r\n");
    EXPECT_EQ(sim.Vessels.Vessel[1].Speed, 14.5f);
    EXPECT_NEAR(sim.Vessels.VesselPos[1].Y, run[1].Y, 1e-9);
    EXPECT_TRUE(Listed().contains("  Διασταύρωση Zulu\tCrossing – Ærø.txt.dem"));

    // A cancelled save dialog writes and says nothing.
    const size_t shownBefore = dialogs.shown.size();
    dialogs.texts = {"Another", ""};
    Click("cmdSaveDemo", &w);
    EXPECT_EQ(dialogs.shown.size(), shownBefore + 2);
    Field("txtHeading", 1)->setText("181"); // a changed field disables Store
    EXPECT_FALSE(Find<QPushButton>("cmdSaveDemo", &w)->isEnabled());
}

TEST_F(ScenarioWindowsTest, UserDemosAreStoredApartListedAfterTheShippedOnesAndRun) {
    const QString user = folder.filePath("user");
    QListWidget* lst = traffic->scenarioList().lstScenarios();
    ASSERT_EQ(lst->count(), 2); // no user folder yet, and nothing said about it
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Store as Demo starts in the user's folder, made for it; a shipped demo's name is allowed.
    Choose(1);
    Click("cmdRun", &traffic->setTargets());
    Choose(1);
    dialogs.texts = {"Mine", user + "/Head on.dem"};
    Click("cmdSaveDemo", &traffic->setTargets());
    EXPECT_EQ(Last().kind + " " + Last().text, "save " + user);
    traffic->setTargets().hide();
    ASSERT_EQ(Listed(),
              QStringList({"  \tApple.dem", "  Head on\tHead on.dem", "  Mine\tHead on.dem"}));

    // Both demos of the one name run, each from its own file, and preview their own text.
    for (const auto& [row, title] : {std::pair{2, "Mine"}, {1, "Head on"}, {2, "Mine"}}) {
        Choose(0);
        lst->setCurrentRow(row);
        Click("cmdDescription", &traffic->scenarioList());
        EXPECT_TRUE(traffic->textViewer().txtDescription()->toPlainText().startsWith(
            QString(title).toUpper()));
        traffic->textViewer().hide();
        Click("cmdOK", &traffic->scenarioList());
        EXPECT_TRUE(sim.Title == title && sim.TrafficSource == mv::ScenarioSource::Demo) << title;
    }

    // A broken demo of the user's is said with its folder; the shipped ones stay listed.
    WriteDemo("user/Broken.dem", "");
    EXPECT_TRUE(traffic->LoadDemoList());
    EXPECT_EQ(Last().title, "LoadDemoList");
    EXPECT_TRUE(Last().text.contains(user)) << Last().text.toStdString();
    EXPECT_EQ(lst->count(), 3);
}

TEST_F(ScenarioWindowsTest, OneExerciseNumberGivesTheGeneratorsTraffic) {
    Choose(2);
    mv::RandomTargets& w = traffic->randomTargets();
    ASSERT_TRUE(w.isVisible());
    auto* number = Find<QLineEdit>("txtExercise", &w);
    Click("optModerate", &w);
    Click("cmdHelp", &w);
    EXPECT_EQ(Last().text, mv::HelpTopic("mvhe0wvn.htm"));
    Type(number, "4242");
    Click("cmdRun", &w);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(sim.TrafficSource == mv::ScenarioSource::Random);
    const mv::RandomTraffic drawn = mv::GenerateRandomTraffic(mv::Difficulty::Moderate, 4242);
    EXPECT_EQ(sim.Vessels.StartPos, drawn.Tables.VesselPos);

    // The number stays in the field for the next run; emptied, one comes from the clock, shown
    // after the run for the class to use.
    Choose(2);
    EXPECT_EQ(number->text(), "4242");
    number->clear();
    Click("cmdRun", &w);
    EXPECT_FALSE(number->text().isEmpty());

    // Random traffic can be stored as a demo at once.
    Choose(1);
    EXPECT_TRUE(Find<QPushButton>("cmdSaveDemo", &traffic->setTargets())->isEnabled());
    EXPECT_EQ(Find<QLineEdit>("txtTargets", &traffic->setTargets())->text(), " 4");
}

TEST_F(ScenarioWindowsTest, EveryCancelSetsTheSelectorBackWithoutOpeningAWindow) {
    sim.TrafficSource = mv::ScenarioSource::OwnTargets; // own targets in force
    QWidget* const windows[] = {&traffic->scenarioList(), &traffic->setTargets(),
                                &traffic->randomTargets()};
    for (int chosen = 0; chosen < 3; ++chosen) {
        SCOPED_TRACE(chosen);
        Choose(chosen);
        ASSERT_TRUE(windows[chosen]->isVisible());
        Click("cmdCancel", &*windows[chosen]);
        EXPECT_TRUE(Selector()->currentIndex() == 1 && Selector()->isEnabled());
        for (QWidget* w : windows)
            EXPECT_FALSE(w->isVisible());
    }
    // Escape is a Cancel too.
    Choose(2);
    QTest::keyClick(&traffic->randomTargets(), Qt::Key_Escape);
    EXPECT_EQ(Selector()->currentIndex(), 1);
    // A disabled selector ignores a choice.
    Selector()->setEnabled(false);
    traffic->cboSetTraffic_Click(2);
    EXPECT_FALSE(traffic->randomTargets().isVisible());
}

} // namespace
