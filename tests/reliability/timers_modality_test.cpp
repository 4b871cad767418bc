// Timers and modal windows that meet: each row sets a situation up, lets a timer fire or a
// window close at the worst moment, and checks that no tick ran inside another, no window
// holds on to a vessel that is gone, and nothing crashed.

#include "app/cpa_computer_window.h"
#include "app/maneuver_window.h"
#include "app/radar_console.h"
#include "app/vessel_panel.h"
#include "session/exercise.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

namespace {

// Head on 0.5 nm apart at x120: the first tick ends in a collision.
const QByteArray kCloseTarget = "MEDIUM, 180, 10, 000, .5";

class TimersAndModality : public mv::test::ExerciseFixture {
  protected:
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
             panel().findChild<QRadioButton*>("optJumpTo")->click();
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

} // namespace
