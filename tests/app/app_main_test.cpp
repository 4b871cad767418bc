// The finished program as start-up leaves it, its menus against their console twins, and its
// closing.

#include "app/application.h"
#include "app/cpa_computer_window.h"
#include "app/main_window.h"
#include "app/maneuver_window.h"
#include "app/radar_console.h"
#include "app/scenario_list.h"
#include "app/startup.h"
#include "app/traffic_selector.h"
#include "app/vessel_panel.h"
#include "gui/palette.h"
#include "gui/qt_dialogs.h"
#include "gui/radar_picture.h"
#include "gui/world_picture_widget.h"
#include "tests/support/exercise_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

namespace {

namespace fs = std::filesystem;

// A program folder with the shipped demo files and yaw table, less what a case leaves out.
fs::path ProgramFolder(const QTemporaryDir& dir, const char* leaveOut = nullptr) {
    const fs::path folder = dir.path().toStdString();
    for (const auto& entry : fs::directory_iterator(MAROVANE_DATA_DIR))
        if (!leaveOut || entry.path().filename() != leaveOut)
            fs::copy_file(entry.path(), folder / entry.path().filename());
    return folder;
}

// What start-up leaves running, whether Default.dem could be read or not.
void ExpectRunningAtX2WithPlotting(mv::Application& app) {
    EXPECT_TRUE(app.exercise().isRunning() && app.display().Tick.PlotOn);
    EXPECT_EQ(app.exercise().tmrSim().interval(), 3000);
    EXPECT_EQ(app.console().findChild<QComboBox*>("cboTimeFactor")->currentText(), "x2");
    EXPECT_EQ(app.display().Tick.Range, 12.0);
    // The face's green edge at the top of the circle, 0.1 range below the top of the picture.
    const auto& picture = app.console().picture();
    const QPointF top =
        picture.toPixel(picture.left() + picture.width() / 2, picture.top() - 0.1 * 12);
    EXPECT_GT(picture.pixel(static_cast<int>(top.x()), static_cast<int>(top.y()) + 1).green(), 100);
}

class AppMain : public testing::Test {
  protected:
    void SetUp() override { ProgramFolder(dir); }
    void TearDown() override {
        if (app) app->exercise().SetPaused(true);
    }
    void Start(std::chrono::milliseconds hold = std::chrono::milliseconds(0)) {
        mv::StartupSeam seam;
        seam.splashHold = hold;
        seam.showDescription = describe;
        seam.programFolder = dir.path().toStdString();
        seam.dialogs = &dialogs;
        app = mv::Main(seam);
        ASSERT_NE(app, nullptr);
    }
    QAction* Action(const char* name) {
        QAction* a = app->mainWindow().action(name);
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    template <class T = QWidget> T* Control(const char* name) {
        return mv::test::Find<T>(&app->console(), name);
    }
    std::string Item(const QString& name, const char* property = "text") {
        return mv::test::Item(&app->console(), name, property);
    }
    bool WindowOpen(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) return true;
        return false;
    }

    QTemporaryDir dir;
    mv::ScriptedDialogs dialogs;
    std::unique_ptr<mv::Application> app;
    bool describe = false;
};

TEST_F(AppMain, StartsWithTheDefaultExerciseReadyToWatch) {
    Start();
    EXPECT_TRUE(dialogs.shown.empty());
    // The first picture is whole at the size it shows at: the face drawn in the image, its
    // rings crossing the row through the own ship, not an image left blank by a start-up
    // that put its drawing off.
    const QWidget* shown = app->console().pictureWidget();
    const QImage& face = app->console().picture().image();
    ASSERT_EQ(face.size(), shown->size() * shown->devicePixelRatio());
    std::set<QRgb> colours;
    for (int x = 0; x < face.width(); ++x)
        colours.insert(face.pixel(x, face.height() / 2));
    EXPECT_GE(colours.size(), 2u);
    ExpectRunningAtX2WithPlotting(*app);
    auto& d = app->display();
    EXPECT_TRUE(d.EBLOn && d.VRMOn && d.RingsOn);
    EXPECT_TRUE(app->mainWindow().isVisible());
    EXPECT_EQ(app->console().windowTitle(), "Coastal passage: three ships in sight");
    app->mainWindow().consoleWindow()->close(); // the console cannot be closed by itself
    EXPECT_TRUE(app->mainWindow().consoleWindow()->isVisible());
    EXPECT_FALSE(WindowOpen("frmSplash"));
    EXPECT_EQ(Item("lblNoExercise", "visible"), "false");
    EXPECT_EQ(Item("shpVRM", "visible") + Item("lblRR", "visible"), "truetrue");

    // Vessel A is the own vessel; Default.dem has four vessels.
    std::string marks;
    for (const char* name : {"mnuRangeRings", "mnuT(1)", "mnuRange(7)", "mnuHeadsUp", "mnuKeysMode",
                             "mnuBearingRelative", "mnuPlotOnOff", "mnuEBL", "mnuVRM", "mnuSHL",
                             "mnuSeas(0)", "mnuPlotFrequency(0)", "mnuPause", "mnuTrueView",
                             "mnuNorthup", "mnuRange(6)", "mnuSeas(2)"})
        marks += Action(name)->isChecked() ? '1' : '0';
    marks += ' ';
    for (const char* name : {"mnuCPAVessel(0)", "mnuJumptoVessel(0)", "mnuManeuverVessel(0)",
                             "mnuCPAVessel(3)", "mnuManeuverVessel(4)"})
        marks += Action(name)->isEnabled() ? '1' : '0';
    EXPECT_EQ(marks, "11111111111100000 00110");

    // One tick at x2 is 6 seconds of sea time. The markers lie clear of the heading line and
    // of the centre.
    app->exercise().tmrSim_Timer();
    EXPECT_EQ(Control<QLabel>("lblTime")->text(), "12:00:06 x 2");
    EXPECT_EQ(Item("lblCRTEBL") + " / " + Item("lblCRTVRM"), "EBL 030 RELATIVE / VRM 3.00 nm");
}

TEST(StartUp, MissingOrBrokenFilesAreReportedClearly) {
    // Without its yaw table the program cannot start; without its default exercise it can.
    const std::pair<const char*, const char*> cases[] = {
        {"Yaw.txt", nullptr}, // missing
        {"Default.dem", "Broken\r\n 3 \r\nSMALL, 0x0, 5\r\n"},
    };
    for (const auto& [file, contents] : cases) {
        SCOPED_TRACE(std::string(file) + (contents ? " broken" : " missing"));
        QTemporaryDir dir;
        const fs::path folder = ProgramFolder(dir, contents ? nullptr : file);
        if (contents) std::ofstream(folder / file, std::ios::binary | std::ios::trunc) << contents;
        mv::ScriptedDialogs dialogs;
        mv::Application app(folder, dialogs);
        const bool yaw = std::string(file) == "Yaw.txt";
        EXPECT_EQ(app.Start(), !yaw);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].title, yaw ? "LoadYaw" : "LoadDemo");
        if (yaw) continue;
        EXPECT_EQ(app.simulation().Vessels.NumVessels, 0) << "nothing half-loaded";
        app.mainWindow().show(); // the face is drawn when first shown
        ExpectRunningAtX2WithPlotting(app);
        EXPECT_EQ(app.console().windowTitle(), "No exercise loaded");
        EXPECT_EQ(app.console().findChild<QObject*>("lblNoExercise")->property("visible"), true);
        app.exercise().tmrSim_Timer(); // a tick with no exercise does nothing
        EXPECT_EQ(dialogs.shown.size(), 1u);
    }
}

TEST_F(AppMain, AKeyDismissesTheSplashAndThePaletteChosenIsKeptForTheNextStart) {
    // A minute's hold, cut short by a key a moment after the splash shows.
    bool heldOn = false;
    QTimer::singleShot(50, [this] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSplash" && w->isVisible()) QTest::keyClick(w, Qt::Key_Space);
    });
    QTimer::singleShot(30000, [&heldOn] { heldOn = true; });
    describe = true;
    Start(std::chrono::minutes(1));
    EXPECT_FALSE(heldOn);
    EXPECT_FALSE(WindowOpen("frmSplash"));
    // The first exercise's description is up where the student looks first.
    auto* viewer = QApplication::activeModalWidget();
    ASSERT_TRUE(viewer && viewer->isVisible());
    EXPECT_TRUE(viewer->findChild<QPlainTextEdit*>()->toPlainText().startsWith("You are a medium"));
    // Its clock held while it is read, running once it is closed; the viewer never over the
    // control column.
    EXPECT_TRUE(app->exercise().isPaused());
    const QWidget* column = Control("picControls");
    ASSERT_TRUE(column);
    EXPECT_FALSE(
        viewer->frameGeometry().intersects(QRect(column->mapToGlobal(QPoint()), column->size())));
    viewer->close();
    EXPECT_TRUE(app->exercise().isRunning());
    describe = false;

    ASSERT_TRUE(Action("mnuPalette(2)"));
    Action("mnuPalette(2)")->trigger();
    EXPECT_TRUE(Action("mnuPalette(2)")->isChecked());
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 40);
    // The own vessel's letter takes the night's colour too, not the day's blue.
    const auto* own = app->console().vesselPanel()->cmdVessel(app->simulation().Vessels.OwnVessel);
    EXPECT_EQ(own->palette().color(QPalette::ButtonText),
              mv::PaletteFor(mv::DisplayPalette::Night).ownButton);
    app.reset();
    Start();
    EXPECT_EQ(app->display().Colours, mv::DisplayPalette::Night);
    EXPECT_EQ(app->console().picture().colour("lblMode"),
              mv::PaletteFor(mv::DisplayPalette::Night).trace);
    Action("mnuPalette(0)")->trigger();
    EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 150);
}

TEST_F(AppMain, MenuEntriesShowTheStateTheirCommandsSet) {
    Start();
    auto& sim = app->simulation();
    const auto flag = [](bool b) { return std::string(b ? "on" : "off"); };
    // What a menu entry changes beyond the buttons' commands (those are in the console test).
    const struct {
        const char* menu;
        std::function<std::string()> probe;
        std::string after;
    } cases[] = {
        {"mnuNorthup", [&] { return Item("lblMode"); }, "RM  N UP  RELATIVE"},
        {"mnuBearingCourse", [&] { return Item("lblMode"); }, "RM  N UP  COURSE"},
        {"mnuRange(6)", [&] { return Item("lblCRTRange"); }, "RANGE 6 nm"},
        {"mnuSeas(2)", [&] { return std::to_string(sim.SeaState); }, "2"},
        {"mnuT(2)", [&] { return std::to_string(sim.Clock.TimeFactor); }, "5"},
        {"mnuJumptoVessel(2)",
         [&] {
             return std::to_string(sim.Vessels.OwnVessel) + " " +
                    flag(Action("mnuJumptoVessel(2)")->isEnabled()) +
                    flag(Action("mnuJumptoVessel(0)")->isEnabled()) +
                    flag(Action("mnuCPAVessel(2)")->isEnabled()) +
                    flag(Action("mnuManeuverVessel(2)")->isEnabled());
         },
         "2 offonoffon"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menu);
        QAction* a = Action(c.menu);
        ASSERT_TRUE(a && a->isEnabled());
        a->trigger();
        EXPECT_EQ(c.probe(), c.after);
        EXPECT_TRUE(!a->isCheckable() || a->isChecked());
    }
    // Exactly one range entry checked, whichever way the range was set.
    Control<QPushButton>("cmdRangeUp")->click();
    int ranges = 0;
    for (int i = 0; i < 10; ++i)
        ranges += Action(qPrintable(QString("mnuRange(%1)").arg(i)))->isChecked();
    EXPECT_EQ(ranges, 1);
    EXPECT_TRUE(Action("mnuRange(7)")->isChecked());
}

TEST_F(AppMain, WindowsOpenedFromTheMenusAndRepeatedChoicesOpenAgain) {
    Start();
    auto& traffic = app->console().traffic();
    for (int time = 0; time < 2; ++time) {
        Action("mnuDemos")->trigger();
        EXPECT_TRUE(traffic.scenarioList().isVisible()) << "time " << time;
        traffic.scenarioList().hide();
    }
    Action("mnuCPAVessel(1)")->trigger();
    EXPECT_TRUE(Control<QRadioButton>("optCPA")->isChecked());
    EXPECT_TRUE(app->console().vesselPanel()->maneuverWindow().isOpenOn(1));
    Action("mnuCPAComputer")->trigger();
    EXPECT_TRUE(app->console().vesselPanel()->cpaComputer()->isVisible());
    // F1 shows the page of the focused control.
    app->console().vesselPanel()->cpaComputer()->hide();
    app->mainWindow().activateWindow();
    Control("cmdEBL")->setFocus();
    emit app->mainWindow().findChild<QShortcut*>("shortcutContextHelp")->activated();
    EXPECT_TRUE(dialogs.shown.back().text.endsWith("::html/ebl.htm"));
}

TEST_F(AppMain, ClosingTheMainWindowClosesEverythingWhateverIsOpen) {
    for (const char* open :
         {"mnuTrueView", "mnuManeuverVessel(1)", "mnuCPAComputer", "mnuRandomTargets"}) {
        SCOPED_TRACE(open);
        Start();
        int ended = 0;
        app->mainWindow().endProgram = [&] { ++ended; };
        Action(open)->trigger();
        QApplication::processEvents();
        app->mainWindow().action("mnuExit")->trigger();
        QApplication::processEvents();
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(app->mainWindow().isVisible());
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
        app.reset();
    }
    // A real box left waiting when the main window closes would hang this test.
    Start();
    int ended = 0;
    app->mainWindow().endProgram = [&] { ++ended; };
    mv::QtDialogs boxes(&app->mainWindow());
    QTimer::singleShot(100, &app->mainWindow(), [&] { app->mainWindow().close(); });
    static_cast<mv::Dialogs&>(boxes).message("COLLISION!");
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(app->mainWindow().isVisible());
}

} // namespace
