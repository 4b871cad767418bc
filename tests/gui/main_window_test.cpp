// Start-up as a newcomer meets it: the main window with the radar console inside, the
// default exercise running at x30 on the 12-mile scale with plotting on, and a clear message
// when the program's own files are missing or broken.

#include "display/radar_console.h"
#include "display/radar_picture.h"
#include "shell/application.h"
#include "shell/exercise.h"
#include "shell/main_window.h"
#include "tests/support/scripted_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// What start-up leaves running, whether Default.dem could be read or not: x30, plotting on,
// the clock going, and a radar face to look at.
void ExpectRunningAtX30WithPlotting(mv::Application& app) {
    EXPECT_TRUE(app.exercise().isRunning());
    EXPECT_EQ(app.exercise().tmrSim().interval(), 3000);
    EXPECT_EQ(app.simulation().Clock.TimeFactor, 30);
    EXPECT_EQ(app.console().findChild<QComboBox*>("cboTimeFactor")->currentText(), "x30");
    EXPECT_EQ(app.display().Tick.Range, 12.0);
    EXPECT_TRUE(app.display().Tick.PlotOn);
    // The face's green edge at the top of the circle, 0.1 range below the top of the picture.
    const auto& picture = app.console().picture();
    const QPointF top =
        picture.toPixel(picture.left() + picture.width() / 2, picture.top() - 0.1 * 12);
    EXPECT_GT(picture.pixel(static_cast<int>(top.x()), static_cast<int>(top.y()) + 1).green(), 100);
}

TEST(StartUp, TheDefaultExerciseRunsAtOnce) {
    QTemporaryDir dir;
    mv::ScriptedDialogs dialogs;
    mv::Application app(ProgramFolder(dir), dialogs);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(dialogs.shown.empty());
    app.console().resize(1000, 700);
    ExpectRunningAtX30WithPlotting(app);
    auto& console = app.console();
    EXPECT_EQ(console.windowTitle(), "Coastal passage: three ships in sight");
    EXPECT_EQ(app.simulation().Vessels.NumVessels, 4);
    EXPECT_EQ(console.findChild<QLabel*>("lblTime")->text(), "12:00:00");
    EXPECT_FALSE(app.simulation().Description.empty());
    EXPECT_EQ(console.findChild<QObject*>("lblNoExercise")->property("visible"), false);
    // The bearing line and range ring are on, switched by their own buttons.
    EXPECT_TRUE(app.display().EBLOn && app.display().VRMOn);
    EXPECT_TRUE(console.findChild<QWidget*>("cmdEBLClock")->isEnabled());
    EXPECT_EQ(console.findChild<QObject*>("lblCRTEBL")->property("text"), "EBL 000 RELATIVE");
    EXPECT_EQ(console.findChild<QObject*>("shpVRM")->property("visible"), true);

    // One tick at x30 is 90 seconds of sea time.
    app.exercise().tmrSim_Timer();
    EXPECT_EQ(console.findChild<QLabel*>("lblTime")->text(), "12:01:30 x 30");
}

TEST(StartUp, MissingOrBrokenFilesAreReportedClearly) {
    struct Case {
        const char* what;
        const char* leaveOut;
        const char* file; // written over the file of that name when set
        const char* contents;
        bool starts;
        const char* title;
        mv::Dialogs::Icon icon;
    };
    const Case cases[] = {
        {"no yaw table", "Yaw.txt", nullptr, nullptr, false, "LoadYaw",
         mv::Dialogs::Icon::Critical},
        {"a letter in the yaw table", nullptr, "Yaw.txt", "2\r\n1, 2, x, 4, 5, 6, 7, 8\r\n", false,
         "LoadYaw", mv::Dialogs::Icon::Critical},
        {"no default exercise", "Default.dem", nullptr, nullptr, true, "LoadDemo",
         mv::Dialogs::Icon::Exclamation},
        {"a broken default exercise", nullptr, "Default.dem", "Broken\r\n 3 \r\nSMALL, 0x0, 5\r\n",
         true, "LoadDemo", mv::Dialogs::Icon::Exclamation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const fs::path folder = ProgramFolder(dir, c.leaveOut);
        if (c.file)
            std::ofstream(folder / c.file, std::ios::binary | std::ios::trunc) << c.contents;
        mv::ScriptedDialogs dialogs;
        mv::Application app(folder, dialogs);
        EXPECT_EQ(app.Start(), c.starts);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].title, c.title);
        EXPECT_EQ(dialogs.shown[0].icon, c.icon);
        EXPECT_FALSE(dialogs.shown[0].text.isEmpty());
        if (!c.starts) continue;
        // The program goes on as it would with the exercise, and says plainly that none is
        // loaded.
        EXPECT_EQ(app.simulation().Vessels.NumVessels, 0) << "nothing half-loaded";
        app.console().resize(1000, 700);
        ExpectRunningAtX30WithPlotting(app);
        EXPECT_EQ(app.console().windowTitle(), "No exercise loaded");
        EXPECT_EQ(app.console().findChild<QObject*>("lblNoExercise")->property("visible"), true);
        app.exercise().tmrSim_Timer(); // a tick with no exercise does nothing
        EXPECT_EQ(dialogs.shown.size(), 1u);
    }
}

} // namespace
