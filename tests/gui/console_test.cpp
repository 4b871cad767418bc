// Every control of the radar console pressed as a user presses it, each checked by the state it
// must change: a control whose connection is lost fails here. Then the collision report with
// two targets and a resize behind the first message box.

#include "display/radar_items.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

namespace {

class ConsoleTest : public mv::test::ExerciseFixture {
  protected:
    // What a picture item shows, read as any tool reads it: by name, through its properties.
    std::string Item(const QString& name, const char* property = "text") {
        const QObject* item = console->findChild<QObject*>(name);
        if (!item) return "missing";
        return item->property(property).toString().toStdString();
    }
    std::string Shown(const QString& name) { return Item(name, "visible"); }
};

TEST_F(ConsoleTest, EveryControlDoesItsJobWhenPressed) {
    // A crossing target 6 nm out, an exercise under way for five ticks at x30.
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    exercise->Start();
    for (int t = 0; t < 5; ++t)
        exercise->tmrSim_Timer();

    struct Case {
        const char* control;
        std::function<std::string()> probe;
        std::string before, after;
    };
    auto& d = display;
    const auto flag = [](bool b) { return std::string(b ? "on" : "off"); };
    const Case cases[] = {
        {"cmdRR", [&] { return flag(d.RingsOn) + " " + Shown(mv::item::lblRR); }, "on true",
         "off false"},
        {"cmdRR", [&] { return flag(d.RingsOn); }, "off", "on"},
        {"cmdSHL", [&] { return flag(d.Tick.ShowSHL) + " " + Shown(mv::item::lneSHL); }, "on true",
         "off false"},
        {"cmdHeading", [&] { return Item(mv::item::lblMode); }, "Heads-up RELATIVE",
         "Heads-up COURSE"},
        {"cmdRangeDown", [&] { return Item(mv::item::lblCRTRange); }, "RANGE  12", "RANGE  6"},
        {"cmdRangeUp", [&] { return Item(mv::item::lblCRTRange); }, "RANGE  6", "RANGE  12"},
        {"cmdPlot", [&] { return flag(d.Tick.PlotOn) + " " + Shown(mv::item::lblPlot); },
         "off false", "on true"},
        {"cmdFreq", [&] { return Item(mv::item::lblPlot); }, "Plot Continuous", "Plot 3 minutes"},
        {"cmdNav", [&] { return flag(d.NavOn) + " " + Shown(mv::item::lblVesselData); }, "on true",
         "off false"},
        {"cmdIdentify", [&] { return Shown(mv::item::lblVessel(1)); }, "false", "true"},
        {"cmdPause",
         [&] {
             return flag(exercise->isRunning()) + " " +
                    console->findChild<QPushButton*>("cmdPause")->text().toStdString();
         },
         "on Pause", "off Resume"},
        {"cmdRepeat",
         [&] {
             return std::string(sim.Vessels.VesselPos == sim.Vessels.StartPos ? "start" : "moved") +
                    " " + console->findChild<QLabel*>("lblTime")->text().toStdString();
         },
         "moved 12:07:30 x 30", "start 12:00:00"},
        {"cmdPause", [&] { return flag(exercise->isRunning()); }, "off", "on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        auto* button = console->findChild<QPushButton*>(c.control);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(c.probe(), c.before);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(c.probe(), c.after);
    }

    // The time factor follows the list, and the list follows the exercise.
    auto* factors = console->findChild<QComboBox*>("cboTimeFactor");
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
    auto* pause = console->findChild<QPushButton*>("cmdPause");
    auto* repeat = console->findChild<QPushButton*>("cmdRepeat");
    const QPoint pauseAt = pause->mapTo(console.get(), QPoint());
    const QPoint repeatAt = repeat->mapTo(console.get(), QPoint());
    QTest::mouseClick(pause, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(console->findChild<QLabel*>("lblPaused")->isVisible());
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
