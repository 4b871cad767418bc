// The console's controls that neither a menu entry nor the range steps cover, pressed as a user
// presses them, each checked by the state it must change (the menu twins are pressed against
// their menu entries in the application test, the range buttons in the radar picture test).
// Then pausing, and the collision report with two targets and a resize behind the first
// message box.

#include "gui/radar_items.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <functional>
#include <string>

namespace {

using ConsoleTest = mv::test::ExerciseFixture;

TEST_F(ConsoleTest, EveryControlDoesItsJobWhenPressed) {
    // A crossing target 6 nm out, an exercise under way for five ticks at x30.
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    exercise->Start();
    for (int t = 0; t < 5; ++t)
        exercise->tmrSim_Timer();

    const auto flag = [](bool b) { return std::string(b ? "on" : "off"); };
    const struct {
        const char* control;
        std::function<std::string()> probe;
        std::string before, after;
    } cases[] = {
        {"cmdNav",
         [&] { return flag(display.NavOn) + " " + Item(mv::item::lblVesselData, "visible"); },
         "on true", "off false"},
        {"cmdRepeat",
         [&] {
             return std::string(sim.Vessels.VesselPos == sim.Vessels.StartPos ? "start" : "moved") +
                    " " + Text("lblTime").toStdString();
         },
         "moved 12:07:30 x 30", "start 12:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(c.probe(), c.before);
        Click(c.control);
        EXPECT_EQ(c.probe(), c.after);
    }

    // The time factor follows the list, and the list follows the exercise.
    auto* factors = Find<QComboBox>("cboTimeFactor");
    factors->setFocus();
    QTest::keyClick(factors, Qt::Key_Down);
    EXPECT_EQ(sim.Clock.TimeFactor, 60);
    exercise->SetTimeFactor(0);
    EXPECT_EQ(factors->currentText(), "x1");
    exercise->SetPaused(true);
}

TEST_F(ConsoleTest, PausingMovesNoButtonFromUnderThePointer) {
    LoadOwnAndTarget(0, {});
    exercise->Start();
    auto* pause = Find<QPushButton>("cmdPause");
    auto* repeat = Find<QPushButton>("cmdRepeat");
    const QPoint pauseAt = pause->mapTo(console.get(), QPoint());
    const QPoint repeatAt = repeat->mapTo(console.get(), QPoint());
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(pause->text(), "Resume");
    QApplication::processEvents();
    ASSERT_TRUE(Find("lblPaused")->isVisible());
    EXPECT_EQ(pause->mapTo(console.get(), QPoint()), pauseAt);
    EXPECT_EQ(repeat->mapTo(console.get(), QPoint()), repeatAt);
    // Repeat keeps a paused exercise paused, ready for the instructor's briefing.
    QTest::mouseClick(repeat, Qt::LeftButton);
    EXPECT_TRUE(exercise->isPaused());
    EXPECT_FALSE(exercise->isRunning());
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_TRUE(exercise->isRunning());
    exercise->SetPaused(true);
}

TEST_F(ConsoleTest, TwoTargetsCollidingAtOnceEachGetTheirOwnReport) {
    // Both stopped within 0.01 nm of a stopped own vessel: reported as the demo starts. While
    // the first box is open the user resizes the window, which redraws the picture and passes
    // the vessels again behind the box.
    int boxes = 0;
    dialogs.whileShown = [&] {
        if (++boxes != 1) return;
        console->resize(1000, 760);
        QApplication::processEvents();
    };
    LoadOwnAnd(0, {"SMALL, 180, 0, 000, 0.005", "SMALL, 000, 0, 090, 0.006"});
    for (int t = 0; t < 3; ++t)
        exercise->tmrSim_Timer();
    EXPECT_EQ(dialogs.messages().join(" | ").toStdString(), "COLLISION! | COLLISION!");
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(sim.Vessels.VesselFlag[1], mv::kTrue);
    EXPECT_EQ(sim.Vessels.VesselFlag[2], mv::kTrue);
}

} // namespace
