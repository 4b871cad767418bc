// Start-up as a newcomer meets it: the main window with the radar console inside, the
// default exercise running at x30 on the 12-mile scale with plotting on, and a clear message
// when the program's own files are missing or broken.

#include "display/radar_console.h"
#include "shell/application.h"
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

TEST(StartUp, TheDefaultExerciseRunsAtOnce) {
    QTemporaryDir dir;
    mv::ScriptedDialogs dialogs;
    mv::Application app(ProgramFolder(dir), dialogs);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(dialogs.shown.empty());

    auto& window = app.mainWindow();
    EXPECT_EQ(window.windowTitle(), "Marovane");
    EXPECT_EQ(window.objectName(), "frmRadarMDI");
    EXPECT_EQ(window.tmrSim().objectName(), "tmrSim");
    EXPECT_EQ(window.tmrSim().interval(), 3000);
    auto& console = app.console();
    EXPECT_EQ(console.objectName(), "frmRadar");
    EXPECT_EQ(console.windowTitle(), "Coastal passage: three ships in sight");
    EXPECT_EQ(app.simulation().Vessels.NumVessels, 4);
    EXPECT_TRUE(app.mainWindow().tmrSim().isActive());
    EXPECT_EQ(app.simulation().Clock.TimeFactor, 30);
    EXPECT_EQ(console.findChild<QComboBox*>("cboTimeFactor")->currentText(), "x30");
    EXPECT_EQ(app.display().Tick.Range, 12.0);
    EXPECT_TRUE(app.display().Tick.PlotOn);
    EXPECT_EQ(console.findChild<QLabel*>("lblTime")->text(), "12:00:00");
    EXPECT_FALSE(console.findChild<QLabel*>("lblPaused")->isVisibleTo(&console));
    EXPECT_FALSE(console.description().empty());
    for (const char* name : {"picRadarCRT", "pnlRadar", "picControls", "cmdRR", "cmdSHL",
                             "cmdHeading", "cmdRangeUp", "cmdRangeDown", "cmdPlot", "cmdFreq",
                             "cmdNav", "cmdIdentify", "cmdPause", "cmdRepeat", "Label1"})
        EXPECT_NE(console.findChild<QWidget*>(name), nullptr) << name;

    // One tick at x30 is 90 seconds of sea time.
    console.tmrSim_Timer();
    EXPECT_EQ(console.findChild<QLabel*>("lblTime")->text(), "12:01:30 x 30");
}

TEST(StartUp, MissingOrBrokenFilesAreReportedClearly) {
    struct Case {
        const char* what;
        const char* leaveOut;
        const char* yawText; // written over Yaw.txt when set
        bool starts;
        const char* title;
        mv::Dialogs::Icon icon;
    };
    const Case cases[] = {
        {"no yaw table", "Yaw.txt", nullptr, false, "LoadYaw", mv::Dialogs::Icon::Critical},
        {"a letter in the yaw table", nullptr, "2\r\n1, 2, x, 4, 5, 6, 7, 8\r\n", false, "LoadYaw",
         mv::Dialogs::Icon::Critical},
        {"no default exercise", "Default.dem", nullptr, true, "LoadDemo",
         mv::Dialogs::Icon::Exclamation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const fs::path folder = ProgramFolder(dir, c.leaveOut);
        if (c.yawText) std::ofstream(folder / "Yaw.txt", std::ios::binary) << c.yawText;
        mv::ScriptedDialogs dialogs;
        mv::Application app(folder, dialogs);
        EXPECT_EQ(app.Start(), c.starts);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].title, c.title);
        EXPECT_EQ(dialogs.shown[0].icon, c.icon);
        EXPECT_FALSE(dialogs.shown[0].text.isEmpty());
        if (c.starts) {
            EXPECT_EQ(app.simulation().Vessels.NumVessels, 0) << "nothing half-loaded";
            app.console().tmrSim_Timer(); // a stray tick with no exercise does nothing
        }
    }
}

} // namespace
