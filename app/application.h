#pragma once
// The one application object: it owns the simulation and display state, the exercise and the
// windows, and passes the state to the windows by reference.

#include "core/display/display_state.h"
#include "core/simulation.h"

#include <QPalette>

#include <filesystem>
#include <memory>

namespace mv {

class Dialogs;
class Exercise;
class MainWindow;
class RadarConsole;
class ResultsKeeper;
class RunRecorder;

// The time factor's index at the first start: x2.
inline constexpr int kFirstTimeFactor = 1;

class Application {
  public:
    // dialogs: the Qt boxes in the program, a scripted set in tests.
    Application(const std::filesystem::path& programFolder, Dialogs& dialogs);
    ~Application();

    // Reads the yaw table, builds the windows and starts Default.dem at x30 with plotting on.
    // False when the program cannot go on (the yaw table could not be read; the message has
    // been shown). A missing or broken Default.dem is reported and the program goes on with an
    // empty radar face.
    bool Start() { return Initialise() && StartDefaultExercise(); }
    // The first half: the yaw table, the windows (hidden) with their menus, the demo list.
    bool Initialise();
    // The second: Default.dem running at x30 on the 12-mile scale, plotting, EBL, VRM and
    // range rings on.
    bool StartDefaultExercise();

    Simulation& simulation() { return sim_; }
    RadarDisplayState& display() { return display_; }
    Exercise& exercise() { return *exercise_; }
    MainWindow& mainWindow() { return *main_; }
    RadarConsole& console() { return *console_; }
    RunRecorder& recorder() { return *recorder_; }
    ResultsKeeper& results() { return *results_; }
    // File > Open Run: a record chosen from the runs folder opens in a replay window beside the
    // exercise; one that cannot be read is reported and nothing else changes.
    void mnuOpenRun_Click();
    // The replay window of the record at `path`, or null after the message saying why not.
    QWidget* OpenRun(const QString& path);
    Dialogs& dialogs() { return dialogs_; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    // The whole program in a palette (picture, console, dialogs, True View), kept for the next
    // start.
    void SetPalette(DisplayPalette colours);

  private:
    void ShowWidgetPalette();
    // An assessed exercise has begun: the windows of what it forbids close.
    void CloseForbiddenWindows();
    // An assessed exercise has ended and its results file is whole: the report.
    void ShowExerciseEnd(const QString& resultsPath);

    std::filesystem::path programFolder_;
    Dialogs& dialogs_;
    Simulation sim_;
    RadarDisplayState display_;
    std::unique_ptr<MainWindow> main_;
    Exercise* exercise_ = nullptr;
    RadarConsole* console_ = nullptr;
    RunRecorder* recorder_ = nullptr;
    ResultsKeeper* results_ = nullptr;
    QPalette dayWidgets_; // the platform's own colours, which the day palette keeps
};

} // namespace mv
