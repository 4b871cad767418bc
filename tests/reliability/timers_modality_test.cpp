// Timers and modal windows that meet: each row sets a situation up, lets a timer fire or a
// window close at the worst moment, and checks that no tick ran inside another, no window
// holds on to a vessel that is gone, and nothing crashed.

#include "app/application.h"
#include "app/cpa_computer_window.h"
#include "app/main_window.h"
#include "app/maneuver_window.h"
#include "app/marker_tools.h"
#include "app/radar_console.h"
#include "app/vessel_panel.h"
#include "session/exercise.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {

// Head on 0.5 nm apart at x120: the first tick ends in a collision.
const QByteArray kCloseTarget = "MEDIUM, 180, 10, 000, .5";

class TimersAndModality : public mv::test::ExerciseFixture {
  protected:
    mv::MarkerHold& markers() { return *console->findChild<mv::MarkerHold*>(); }
    mv::ManeuverWindow& maneuver() { return panel().maneuverWindow(); }
    void EBLOn() {
        if (!display.EBLOn) Click("cmdEBL");
    }
    int ticks = 0;
};

struct Row {
    const char* situation;
    std::function<void()> run;
};

TEST_F(TimersAndModality, WorstMoments) {
    const Row rows[] = {
        {"a collision while the CPA computer is open",
         [this] {
             LoadOwnAnd(0, {kCloseTarget});
             exercise->SetTimeFactor(6);
             panel().ShowCPAComputer();
             auto* cpa = panel().cpaComputer();
             ASSERT_TRUE(cpa && cpa->isVisible());
             double timeInBox = 0;
             dialogs.whileShown = [&] {
                 // The timer fires again behind the box: that tick is skipped.
                 exercise->tmrSim_Timer();
                 timeInBox = sim.Clock.SimTime;
             };
             const double before = sim.Clock.SimTime;
             exercise->tmrSim_Timer();
             EXPECT_EQ(dialogs.messages(), QStringList{"COLLISION!"});
             EXPECT_EQ(timeInBox, before + sim.Clock.TimeStep); // one tick, not two
             EXPECT_EQ(ticks, 1);
             EXPECT_TRUE(cpa->isVisible());
             EBLOn();
             QTest::mouseClick(cpa->findChild<QPushButton*>("cmdCopyEBLVRM(0)"), Qt::LeftButton);
             EXPECT_FALSE(cpa->findChild<QLineEdit*>("txtHour(0)")->text().isEmpty());
         }},
        {"the utility timer fires while the collision box waits",
         [this] {
             LoadOwnAnd(0, {kCloseTarget});
             exercise->SetTimeFactor(6);
             EBLOn();
             auto* clockwise = console->findChild<QPushButton*>("cmdEBLClock");
             const float bearing = display.EBLBearing;
             ASSERT_TRUE(display.EBLOn);
             ASSERT_TRUE(clockwise->isEnabled());
             bool inBox = false;
             dialogs.whileShown = [&] {
                 if (inBox) return; // only the collision box: no box inside a box
                 inBox = true;
                 QTest::mousePress(clockwise, Qt::LeftButton);
                 for (int i = 0; i < 30; ++i)
                     markers().tmrUtility_Timer();
                 QTest::mouseRelease(clockwise, Qt::LeftButton);
                 exercise->tmrSim_Timer();
             };
             exercise->tmrSim_Timer();
             EXPECT_EQ(dialogs.messages(), QStringList{"COLLISION!"});
             EXPECT_NE(display.EBLBearing, bearing);
             EXPECT_GE(display.EBLBearing, 0.0f);
             EXPECT_LT(display.EBLBearing, 360.0f);
             EXPECT_EQ(ticks, 1);
         }},
        {"range changes while the EBL is held",
         [this] {
             LoadOwnAnd(0, {"SMALL, 90, 10, 045, 4"});
             EBLOn();
             auto* clockwise = console->findChild<QPushButton*>("cmdEBLClock");
             QTest::mousePress(clockwise, Qt::LeftButton);
             for (int i = 0; i < 12; ++i) {
                 markers().tmrUtility_Timer();
                 Run("mnuRangeDown");
                 markers().tmrUtility_Timer();
                 exercise->tmrSim_Timer();
                 Run("mnuRangeUp");
             }
             QTest::mouseRelease(clockwise, Qt::LeftButton);
             EXPECT_FALSE(console->findChild<QTimer*>("tmrUtility")->isActive());
             EXPECT_TRUE(std::isfinite(display.EBLBearing));
             EXPECT_TRUE(console->findChild<QObject*>("lneEBL")->property("visible").toBool());
             EXPECT_TRUE(dialogs.messages().isEmpty())
                 << dialogs.messages().join('|').toStdString();
         }},
        {"a scenario started while the manoeuvre window is open on a vessel it does not have",
         [this] {
             LoadOwnAnd(0,
                        {"SMALL, 90, 10, 045, 4", "SMALL, 90, 10, 090, 4", "SMALL, 90, 10, 135, 4",
                         "SMALL, 90, 10, 180, 4", "LARGE, 90, 10, 225, 4"});
             Click("optManeuver");
             panel().cmdVessel_Click(5);
             ASSERT_TRUE(maneuver().isOpenOn(5));
             LoadOwnAnd(0, {"SMALL, 270, 10, 045, 4"});
             // The window no longer offers orders to a vessel that is not there.
             EXPECT_FALSE(maneuver().isOpenOn(5));
             // What the user can still reach: only a window that is up takes clicks.
             for (const char* b : {"cmdTurnLeft", "cmdTurnRight", "cmdExecute"})
                 if (auto* button = maneuver().findChild<QPushButton*>(b);
                     button && maneuver().isVisible())
                     button->click();
             exercise->tmrSim_Timer();
             EXPECT_EQ(sim.Vessels.NumVessels, 2);
             EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, 270);
         }},
        {"a jump to a vessel while its CPA data is shown",
         [this] {
             LoadOwnAnd(0, {"SMALL, 90, 10, 045, 4", "LARGE, 180, 8, 090, 6"});
             Click("optCPA");
             panel().cmdVessel_Click(2);
             ASSERT_TRUE(maneuver().isOpenOn(2));
             // The Jump menu entry of the slot, while the window is up.
             panel().findChild<QRadioButton*>("optJumpTo")->setChecked(true);
             panel().cmdVessel_Click(2);
             EXPECT_EQ(sim.Vessels.OwnVessel, 2);
             // No CPA of the own vessel with itself stays on the screen.
             EXPECT_FALSE(maneuver().isOpenOn(2));
             for (int i = 0; i < 3; ++i)
                 exercise->tmrSim_Timer();
             for (QLabel* l : maneuver().findChildren<QLabel*>())
                 EXPECT_FALSE(l->text().contains("nan", Qt::CaseInsensitive));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.situation);
        dialogs.shown.clear();
        dialogs.whileShown = nullptr;
        ticks = 0;
        const auto connection =
            QObject::connect(exercise.get(), &mv::Exercise::ticked, [this] { ++ticks; });
        row.run();
        QObject::disconnect(connection);
        dialogs.whileShown = nullptr;
        maneuver().hide();
        if (auto* cpa = panel().cpaComputer()) cpa->hide();
    }
}

// The main window closed, as by its close box, while a message box is up: the box returns
// into windows that still exist, and the exercise goes on or stops without a crash.
TEST(MainWindowClosedBehindABox, DuringACollisionAndDuringALoadMessage) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile::copy(QString(MAROVANE_DATA_DIR) + "/Yaw.txt", folder.filePath("Yaw.txt"));
    QFile demo(folder.filePath("Default.dem"));
    ASSERT_TRUE(demo.open(QIODevice::WriteOnly));
    demo.write("Default\r\n 2 \r\nMEDIUM, 000, 10\r\nMEDIUM, 180, 10, 000, .5\r\n");
    demo.close();
    mv::ScriptedDialogs dialogs;
    mv::Application app(folder.path().toStdString(), dialogs);
    ASSERT_TRUE(app.Start());
    app.mainWindow().show();
    app.exercise().SetTimeFactor(6);
    dialogs.whileShown = [&] {
        app.mainWindow().close();
        // What a real box's own event loop would do with deferred deletions.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.exercise().tmrSim_Timer();
    };
    app.exercise().tmrSim_Timer();
    EXPECT_EQ(dialogs.messages(), QStringList{"COLLISION!"});
    app.exercise().LoadDemo("Missing.dem");
    EXPECT_EQ(dialogs.shown.back().title, "LoadDemo");
    EXPECT_EQ(app.simulation().Title, "Default");
}

} // namespace
