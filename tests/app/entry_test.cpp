// Entering figures in the dialogs as a navigator does, and the windows telling the truth.

#include "app/application.h"
#include "app/cpa_computer_window.h"
#include "app/help_commands.h"
#include "app/main_window.h"
#include "app/set_targets.h"
#include "app/traffic_selector.h"
#include "gui/radar_items.h"
#include "tests/support/exercise_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>

namespace {

using mv::Dialogs;

class EntryTest : public mv::test::ExerciseFixture {
  protected:
    QWidget* OpenManeuver(int slot) {
        Click("optManeuver");
        Click(QStringLiteral("cmdVessel(%1)").arg(slot));
        return Find("frmManeuver");
    }
};

TEST_F(EntryTest, TabMovesOnEscapeClosesAndAltLetterPressesItsButton) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    mv::SetTargets& targets = console->traffic().setTargets();
    targets.Open();
    panel().ShowCPAComputer();
    QWidget* cpa = panel().cpaComputer();
    const struct {
        QWidget* dialog;
        const char* first;
        QStringList typed; // each after a Tab but the first
        const char *second, *want;
    } cases[] = {
        {&targets, "txtHeading(0)", {"9", "1"}, "txtSpeed(0)", "9 1"},
        {cpa, "txtHour(0)", {"12", "3"}, "txtMinute(0)", "12 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        auto* first = Find<QLineEdit>(c.first, c.dialog);
        first->clear();
        Find<QLineEdit>(c.second, c.dialog)->clear();
        first->setFocus();
        QTest::keyClicks(first, c.typed[0]);
        QTest::keyClick(first, Qt::Key_Tab);
        QWidget* next = c.dialog->focusWidget();
        ASSERT_EQ(next->objectName(), c.second);
        QTest::keyClicks(next, c.typed[1]);
        EXPECT_EQ(first->text() + " " + Find<QLineEdit>(c.second, c.dialog)->text(), c.want);
    }
    Click("cmdClose", cpa);
    targets.hide();

    QWidget* man = OpenManeuver(1);
    auto* course = Find<QLineEdit>("txtCourse", man);
    man->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(man));
    course->setFocus();
    QTest::keyClick(course, Qt::Key_L, Qt::AltModifier); // Turn &Left by
    QWidget* turnLeft = Find("txtTurnLeft", man);
    // The access key's click comes after the button's pressed look.
    EXPECT_TRUE(QTest::qWaitFor([&] { return man->focusWidget() == turnLeft; }, 2000));
    EXPECT_EQ(course->text(), "180");
    QTest::keyClick(course, Qt::Key_Escape);
    EXPECT_FALSE(man->isVisible());
}

TEST_F(EntryTest, PastedTextMeetsTheFieldsRulesAndIsCheckedWhenUsed) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    QWidget* man = OpenManeuver(1);
    auto* speed = Find<QLineEdit>("txtSpeed", man);
    QApplication::clipboard()->setText("-5");
    speed->setFocus();
    speed->selectAll();
    QTest::keyClick(speed, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(speed->text(), "10.0");
    // However a sign got in, Execute refuses it and orders nothing.
    speed->setText("-5");
    Click("cmdExecute", man);
    EXPECT_EQ(dialogs.messages(), QStringList{"Speed must be from 0 to 99.9 knots"});
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 10.0f);
}

TEST_F(EntryTest, SelectAllThenTypingReplacesTheFigure) {
    Load("MEDIUM, 180, 10", {});
    QWidget* man = OpenManeuver(0);
    // Course 180 and speed 10.0 stand in the fields; Ctrl+A and the new figure replace them.
    for (const auto& [field, typed] : {std::pair{"txtCourse", "060"}, {"txtSpeed", "12.5"}}) {
        auto* edit = Find<QLineEdit>(field, man);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, typed);
        EXPECT_EQ(edit->text(), typed) << field;
    }
    Click("cmdTurnToCourse", man);
    Click("cmdExecute", man);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.messages().join("|").toStdString();
    EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, 60);
    EXPECT_EQ(sim.Vessels.Vessel[0].NewSpeed, 12.5f);
}

TEST_F(EntryTest, ModeButtonsKeepTheValueJustTyped) {
    const struct {
        const char *field, *button, *typed;
        int ordered;
    } cases[] = {
        {"txtCourse", "cmdTurnToCourse", "060", 60},
        {"txtTurnRight", "cmdTurnRight", "60", 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        Load("MEDIUM, 90, 10", {});
        QWidget* man = OpenManeuver(0);
        Type(Find<QLineEdit>(c.field, man), c.typed);
        Click(c.button, man);
        Click("cmdExecute", man);
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.messages().join("|").toStdString();
        EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, c.ordered);
    }
}

TEST_F(EntryTest, WindowsShowTheStateAsItIsNow) {
    Load("MEDIUM, 90, 10", {"SMALL, 180, 10, 000, 5"});
    // The caution only while something manoeuvres, following the tick.
    Click("optCPA");
    Click("cmdVessel(1)");
    QWidget* w = Find("frmManeuver");
    auto* caution = Find<QLabel>("lblCaution", w);
    exercise->SetTimeFactor(0); // x1
    exercise->tmrSim_Timer();
    EXPECT_TRUE(caution->isHidden());
    sim.Vessels.Vessel[1].NewHeading = 0; // a half turn: many ticks
    exercise->tmrSim_Timer();
    EXPECT_FALSE(caution->isHidden());
    Click("cmdCPAClose", w);

    // The EBL caption follows a turn in heads-up COURSE.
    Run("mnuEBL");
    Click("cmdHeading"); // COURSE
    display.EBLBearing = 10.0f;
    console->view().PlaceEBL();
    sim.Vessels.Vessel[0].Heading = 100.0f;
    exercise->tmrSim_Timer();
    EXPECT_EQ(Item(mv::item::lblCRTEBL), "EBL 110 COURSE");

    // A new scenario's speed at once; an untitled demo goes by its file's name.
    WriteDemo("Untitled.dem", "\r\n 1 \r\nSMALL, 090, 5\r\n");
    ASSERT_TRUE(exercise->LoadDemo("Untitled.dem"));
    EXPECT_EQ(Item(mv::item::lblVesselData), "Speed = 5.0 kn\nCourse = 090 T");
    EXPECT_EQ(console->windowTitle(), "Untitled.dem");
}

TEST(EntryHelp, MenuEntriesSayWhatTheyCannotDo) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    mv::ScriptedDialogs dialogs;
    for (const char* file : {"Yaw.txt", "Default.dem"})
        QFile::copy(QString(MAROVANE_DATA_DIR "/") + file, dir.filePath(file));
    mv::Application app(folder, dialogs);
    ASSERT_TRUE(app.Start());
    QAction* mv3 = mv::test::Find<QAction>(&app.mainWindow(), "mnuMV3");
    EXPECT_FALSE(mv3->isEnabled());
    QFile(mv::CompanionPath(folder)).open(QIODevice::WriteOnly);
    emit app.exercise().changed();
    EXPECT_TRUE(mv3->isEnabled());
}

} // namespace
