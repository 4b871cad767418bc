// The console's buttons as views of their commands, the commands on the plain state without a
// window, check marks that follow the state at every moment, and what a jump, Repeat and a
// scenario started elsewhere must show at once. Then pausing, and the collision report with two
// targets and a resize behind the first message box. The tools never cover the picture or the
// column, and cursor mode works from the keyboard.

#include "app/control_column.h"
#include "app/cpa_computer_window.h"
#include "app/index_lines_window.h"
#include "app/maneuver_window.h"
#include "app/target_data_window.h"
#include "app/traffic_selector.h"
#include "app/trial_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "gui/command_actions.h"
#include "gui/palette.h"
#include "gui/radar_items.h"
#include "gui/tool_place.h"
#include "gui/world_picture_widget.h"
#include "tests/support/exercise_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>

#include <functional>
#include <string>
#include <tuple>

namespace {

using ConsoleTest = mv::test::ExerciseFixture;

TEST_F(ConsoleTest, EveryButtonIsAViewOfItsCommand) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    const std::pair<const char*, const char*> views[] = {
        {"cmdRR", "mnuRangeRings"},     {"cmdSHL", "mnuSHL"},
        {"cmdHeading", "actBearings"},  {"cmdRangeDown", "mnuRangeDown"},
        {"cmdRangeUp", "mnuRangeUp"},   {"cmdNav", "actNav"},
        {"cmdTrueView", "mnuTrueView"}, {"cmdEBL", "mnuEBL"},
        {"cmdVRM", "mnuVRM"},           {"optCursorMode", "mnuCursorMode"},
        {"optKeysMode", "mnuKeysMode"}, {"cmdPlot", "mnuPlotOnOff"},
        {"cmdFreq", "actFreq"},         {"cmdIdentify", "mnuIdentify"},
        {"cmdPause", "mnuPause"},       {"cmdRepeat", "mnuRepeat"},
        {"cmdHelp", "mnuHelpTopics"},   {"cmdTutorial", "mnuTutorial"},
    };
    for (const auto& [button, name] : views) {
        SCOPED_TRACE(button);
        QAction* a = console->actions().action(name);
        ASSERT_NE(a, nullptr);
        QSignalSpy triggered(a, &QAction::triggered);
        QSignalSpy changed(exercise.get(), &mv::Exercise::changed);
        Click(button);
        EXPECT_EQ(triggered.count(), 1);
        EXPECT_EQ(changed.count(), 1); // one notification, however much the command did
        const mv::Command* c = exercise->commands().find(name);
        if (c->checked) {
            EXPECT_EQ(a->isChecked(), c->checked());
        }
    }
    // Closed by its frame, the True View's entry is unchecked at once, no menu opened.
    QAction* trueView = console->actions().action("mnuTrueView");
    if (!display.Tick.TrueViewOn) trueView->trigger();
    ASSERT_TRUE(trueView->isChecked());
    console->trueView().close();
    EXPECT_FALSE(trueView->isChecked());
    exercise->SetPaused(true);
}

TEST_F(ConsoleTest, OnOffButtonsShowTheirStateHeldInWithTheirLampLit) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    exercise->SetPaused(true);
    using State = std::function<bool()>;
    const std::tuple<const char*, const char*, State> buttons[] = {
        {"cmdRR", "mnuRangeRings", [&] { return display.RingsOn; }},
        {"cmdSHL", "mnuSHL", [&] { return display.Tick.ShowSHL; }},
        {"cmdNav", "actNav", [&] { return display.NavOn; }},
        {"cmdTrueView", "mnuTrueView", [&] { return display.Tick.TrueViewOn; }},
        {"cmdEBL", "mnuEBL", [&] { return display.EBLOn; }},
        {"cmdVRM", "mnuVRM", [&] { return display.VRMOn; }},
        {"cmdEBL2", "mnuEBL2", [&] { return display.EBL2On; }},
        {"cmdVRM2", "mnuVRM2", [&] { return display.VRM2On; }},
        {"cmdPlot", "mnuPlotOnOff", [&] { return display.Tick.PlotOn; }},
        {"cmdIdentify", "mnuIdentify", [&] { return display.Tick.IdentifyOn; }},
    };
    const auto lampCentre = [](QPushButton* b, QIcon::State state) {
        const QImage lamp = b->icon().pixmap(QSize(16, 16), QIcon::Normal, state).toImage();
        return lamp.pixelColor(8, 8).alpha();
    };
    for (const auto& [name, command, on] : buttons) {
        SCOPED_TRACE(name);
        auto* b = Find<QPushButton>(name);
        ASSERT_TRUE(b->isCheckable());
        EXPECT_EQ(b->isChecked(), on());
        const bool before = on();
        Click(name);
        EXPECT_NE(on(), before);
        EXPECT_EQ(b->isChecked(), on());
        // Given from the menu or a shortcut, the button follows as well.
        console->actions().action(command)->trigger();
        EXPECT_EQ(on(), before);
        EXPECT_EQ(b->isChecked(), before);
        EXPECT_GT(lampCentre(b, QIcon::On), 0) << "lit";
        EXPECT_EQ(lampCentre(b, QIcon::Off), 0) << "dark, hollow";
    }
    // A lamp drawn once by day is drawn again in a new palette: at night it is lit in the
    // buttons' amber text colour.
    auto* rings = Find<QPushButton>("cmdRR");
    const auto litCentre = [rings] {
        return rings->icon()
            .pixmap(QSize(16, 16), QIcon::Normal, QIcon::On)
            .toImage()
            .pixelColor(8, 8);
    };
    litCentre();
    const QPalette day = QApplication::palette();
    QPalette night = day;
    night.setColor(QPalette::Button, QColor(40, 20, 0));
    night.setColor(QPalette::ButtonText, QColor(255, 160, 0));
    QApplication::setPalette(night);
    EXPECT_EQ(litCentre().name(), QColor(255, 160, 0).name());
    QApplication::setPalette(day);
}

TEST_F(ConsoleTest, AJumpRedrawsAboutTheNewOwnVesselAtOnceAndTheTrueViewFollows) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6", "LARGE, 90, 8, 000, 4"});
    console->actions().action("mnuTrueView")->trigger();
    exercise->SetPaused(true);
    auto* trueView = &console->trueView();
    trueView->picture().point(0, 0, QColor(255, 0, 255)); // a track the restart must clear
    panel().Choose(panel().optJumpTo(), 2);
    ASSERT_EQ(sim.Vessels.OwnVessel, 2);
    const auto colour = [&](int slot) {
        return trueView->picture().colour(mv::item::lblVessel(slot));
    };
    EXPECT_EQ(colour(2), mv::PaletteFor(mv::DisplayPalette::Day).trueOwn);
    EXPECT_EQ(colour(0), mv::PaletteFor(mv::DisplayPalette::Day).trueTarget);
    const QPointF old = trueView->picture().toPixel(0, 0);
    EXPECT_NE(trueView->picture().pixel(static_cast<int>(old.x()), static_cast<int>(old.y())),
              QColor(255, 0, 255));
    // Paused, the former own vessel's echo is already where it lies from the new one: 4 nm
    // due south, abeam to starboard of a ship heading 090, right of centre in heads-up.
    const QLineF echo = console->picture().overlayLine(mv::item::lneVessel(0));
    const mv::PointD own = sim.Vessels.VesselPos[2];
    const QPointF want = console->picture().toPixel(own.Y + 4, own.X);
    EXPECT_NEAR(echo.center().x(), want.x(), 2.0);
    EXPECT_NEAR(echo.center().y(), want.y(), 2.0);
    EXPECT_EQ(Item(mv::item::lneVessel(0), "visible"), "true");
}

TEST_F(ConsoleTest, RepeatKeepsItsPaceAndDropsAManoeuvreUnderWay) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    exercise->Start();
    sim.Vessels.Vessel[0].NewHeading = 90; // a turn to starboard, under way
    sim.Maneuvering = sim.Turning = true;
    exercise->tmrSim_Timer();
    Click("cmdRepeat");
    EXPECT_TRUE(exercise->isRunning());
    EXPECT_FALSE(sim.Maneuvering || sim.Turning);
    EXPECT_EQ(sim.Vessels.VesselPos, sim.Vessels.StartPos);
    for (int t = 0; t < 5; ++t)
        exercise->tmrSim_Timer();
    EXPECT_NEAR(sim.Vessels.Vessel[0].Heading, 0.0f, 5.0f); // yaw only, no turn
    // Paused, Repeat keeps it paused for the instructor's briefing.
    Click("cmdPause");
    Click("cmdRepeat");
    EXPECT_TRUE(exercise->isPaused() && !exercise->isRunning());
}

TEST_F(ConsoleTest, TheTrafficListShowsWhereAScenarioStartedElsewhereCameFrom) {
    LoadOwnAndTarget(0, {});
    auto* list = console->traffic().cboSetTraffic();
    EXPECT_EQ(list->currentIndex(), 0);
    exercise->StartScenario(mv::ScenarioSource::Random);
    EXPECT_EQ(list->currentIndex(), 2);
    for (QWidget* w : QApplication::topLevelWidgets()) // nothing opened
        EXPECT_FALSE(w != console.get() && w->isVisible()) << w->objectName().toStdString();
}

TEST_F(ConsoleTest, PauseCaptionAndTheTimeFactorListFollowTheExercise) {
    LoadOwnAndTarget(0, {});
    exercise->Start();
    // Pause says its state in its caption, so it is never left held in.
    auto* pause = Find<QPushButton>("cmdPause");
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(pause->text(), "Resume");
    EXPECT_FALSE(pause->isChecked());
    QApplication::processEvents();
    ASSERT_TRUE(Find("lblPaused")->isVisible());
    // The time factor follows the list, and the list follows the exercise.
    auto* factors = Find<QComboBox>("cboTimeFactor");
    factors->setFocus();
    QTest::keyClick(factors, Qt::Key_Down);
    EXPECT_EQ(sim.Clock.TimeFactor, 60);
    exercise->SetTimeFactor(0);
    EXPECT_EQ(factors->currentText(), "x1");
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

// A widget's rectangle in the console's pixels.
QRect In(const QWidget* console, const QWidget* w) {
    return QRect(w->mapTo(console, QPoint()), w->size());
}
// What shows of a tool: its dock, which may scroll it.
const QWidget* Shown(const QWidget* tool) {
    for (const QWidget* w = tool; w; w = w->parentWidget())
        if (qobject_cast<const QDockWidget*>(w)) return w;
    return tool;
}

TEST_F(ConsoleTest, ToolsNeverCoverThePictureOrTheColumnAndComeBackWhereLeft) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    QWidget* tools[] = {&console->targetData(), &console->trial(), &console->indexLines()};
    for (const char* command : {"mnuTargetData", "mnuTrialManeuver", "mnuIndexLines"})
        Run(command);
    // The console maximised below the menu bar at 1366 x 768 and 1920 x 1080, and at twice
    // the scale on the larger (960 x 540 logical pixels).
    for (const QSize size : {QSize(1366, 700), QSize(1920, 1010), QSize(960, 480)}) {
        SCOPED_TRACE(size.width());
        console->resize(size);
        QApplication::processEvents();
        const QRect picture = In(console.get(), Find("picRadarCRT"));
        const QRect column = In(console.get(), Find("picControls"));
        // The picture keeps its shape, a mile the same pixels both ways, whatever is left.
        EXPECT_NEAR(picture.width(), picture.height() * mv::kPictureAspect, 1.0);
        EXPECT_GE(picture.height(), 200);
        for (QWidget* tool : tools) {
            SCOPED_TRACE(tool->objectName().toStdString());
            ASSERT_TRUE(tool->isVisible());
            const QRect r = In(console.get(), Shown(tool));
            EXPECT_FALSE(r.intersects(picture)); // its centre and its read-outs
            EXPECT_FALSE(r.intersects(column));
            EXPECT_TRUE(console->rect().contains(r)); // on the screen
        }
    }
    // The close box of a dock closes its tool, and the command opens it again.
    auto* area = Find<QMainWindow>(mv::kToolArea);
    auto* trialDock = Find<QDockWidget>("dckTrialManeuver");
    ASSERT_EQ(Shown(&console->trial()), trialDock);
    trialDock->close();
    EXPECT_FALSE(console->trial().isVisible());
    // Put on the right of the picture, the trial is there again in the next console.
    area->addDockWidget(Qt::RightDockWidgetArea, trialDock);
    console.reset();
    console = std::make_unique<mv::RadarConsole>(*exercise, dialogs);
    console->resize(1366, 700);
    console->show();
    EXPECT_FALSE(console->trial().isVisible()); // places only: tools open when asked for
    Run("mnuTrialManeuver");
    EXPECT_TRUE(console->trial().isVisible());
    EXPECT_EQ(
        Find<QMainWindow>(mv::kToolArea)->dockWidgetArea(Find<QDockWidget>("dckTrialManeuver")),
        Qt::RightDockWidgetArea);
    // A run that never opens the trial keeps its place for the run after.
    for (const bool open : {false, true}) {
        console.reset();
        console = std::make_unique<mv::RadarConsole>(*exercise, dialogs);
        console->show();
        if (open) Run("mnuTrialManeuver");
    }
    EXPECT_EQ(
        Find<QMainWindow>(mv::kToolArea)->dockWidgetArea(Find<QDockWidget>("dckTrialManeuver")),
        Qt::RightDockWidgetArea);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marovane", "Marovane")
        .remove("console/toolPlaces");
}

// On a screen at twice the scale (960 x 540 logical pixels, 480 for the console) the column's
// rows close up so that no control needs the scroll bar, and come back at full height; the
// manoeuvre panel and the CPA computer open on the screen and clear of the own ship.
TEST_F(ConsoleTest, TheColumnFitsALowScreenAndTheAidWindowsKeepClearOfTheOwnShip) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    const auto* scroll = Find<QScrollArea>("scrControls");
    const auto* column = Find<mv::ControlColumn>("picControls");
    for (const auto& [size, compact] :
         {std::pair{QSize(1366, 700), false}, std::pair{QSize(800, 480), true},
          std::pair{QSize(1366, 700), false}}) {
        SCOPED_TRACE(size.height());
        console->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(column->compact(), compact);
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    }
    console->resize(800, 480);
    console->move(0, 0);
    QApplication::processEvents();
    const QWidget* pic = Find("picRadarCRT");
    // The own ship: across the middle, 1.1 of the picture's 2.23 ranges down.
    const QPoint own = pic->mapToGlobal(QPoint(pic->width() / 2, pic->height() * 110 / 223));
    panel().Order(mv::VesselMode::Maneuver, 1);
    Run("mnuCPAComputer");
    ASSERT_TRUE(panel().cpaComputer());
    for (const QWidget* w : {static_cast<QWidget*>(&panel().maneuverWindow()),
                             static_cast<QWidget*>(panel().cpaComputer())}) {
        SCOPED_TRACE(w->objectName().toStdString());
        ASSERT_TRUE(w->isVisible());
        EXPECT_FALSE(w->frameGeometry().contains(own));
        EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()));
    }
}

// The vessel buttons' mode is the exercise's, set by its commands: the options, the menus'
// vessel entries and the buttons all read it there.
TEST_F(ConsoleTest, TheVesselModeLivesInTheDisplayStateAndTheOptionsShowIt) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    auto& order = exercise->display().VesselOrder;
    EXPECT_EQ(order, mv::VesselMode::Maneuver);
    ASSERT_TRUE(exercise->commands().Trigger("actCpaMode"));
    EXPECT_EQ(order, mv::VesselMode::Cpa);
    EXPECT_TRUE(panel().optCPA()->isChecked() && !panel().optManeuver()->isChecked());
    // No CPA of the own vessel (A) with itself.
    EXPECT_FALSE(panel().cmdVessel(0)->isEnabled());
    EXPECT_TRUE(panel().cmdVessel(1)->isEnabled());
    panel().optJumpTo()->click();
    EXPECT_EQ(order, mv::VesselMode::JumpTo);
    Run("mnuManeuverVessel(1)");
    EXPECT_EQ(order, mv::VesselMode::Maneuver);
    EXPECT_TRUE(panel().optManeuver()->isChecked());
    EXPECT_TRUE(panel().maneuverWindow().isOpenOn(1));
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled()); // the own vessel is manoeuvred too
}

TEST_F(ConsoleTest, CursorModeFromTheKeyboard) {
    LoadOwnAndTarget(0, {});
    auto* pic = Find<mv::WorldPictureWidget>("picRadarCRT");
    // Nautical miles a pixel, from the picture's world window.
    const double nmPerPixel =
        pic->picture().toWorld(QPointF(100, 0)).x() - pic->picture().toWorld(QPointF(0, 0)).x();
    const struct {
        QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        float bearing; // degrees true from the own ship at the centre
        double pixels;
    } cases[] = {
        {{{Qt::Key_Right, {}}, {Qt::Key_Right, {}}, {Qt::Key_Right, {}}}, 90.0f, 12.0},
        {{{Qt::Key_Up, Qt::ShiftModifier}, {Qt::Key_Up, Qt::ShiftModifier}}, 0.0f, 48.0},
        {{{Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Down, Qt::ShiftModifier}},
         225.0f,
         24.0 * std::sqrt(2.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bearing);
        Run("mnuCursorMode");
        for (const auto& [key, modifiers] : c.keys)
            QTest::keyClick(pic, key, modifiers);
        EXPECT_NE(display.EBLBearing, c.bearing); // nothing taken before Enter
        QTest::keyClick(pic, Qt::Key_Return);
        EXPECT_NEAR(display.EBLBearing, c.bearing, 0.1);
        EXPECT_NEAR(display.VRMRange, c.pixels * nmPerPixel / 100, 0.01);
        QTest::keyClick(pic, Qt::Key_Escape);
        EXPECT_EQ(display.CursorMode, mv::InputMode::Keys);
    }
}

} // namespace
