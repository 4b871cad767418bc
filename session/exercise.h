#pragma once
// The exercise in progress: it owns the simulation timer and the one truth of whether the
// exercise runs or is paused, starts scenarios, repeats them and sets the time factor. Every
// window reads its state from here and from the plain state values; none keeps a copy. After
// every command it emits changed(), so check marks and captions follow.

#include "core/display/display_state.h"
#include "core/scenario/scenario_start.h"
#include "core/simulation.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>

namespace mv {

class Dialogs;

class Exercise : public QObject {
    Q_OBJECT
  public:
    Exercise(Simulation& sim, RadarDisplayState& display, Dialogs& dialogs,
             std::filesystem::path programFolder, QObject* parent = nullptr);

    // The window that shows the exercise: the radar console.
    void setView(ScenarioView* view) { view_ = view; }
    QTimer& tmrSim() { return tmrSim_; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    // The user's own demos (the program folder may be read-only): listed after the shipped
    // ones, and where Store as Demo starts. Made when a demo is first stored there.
    const std::filesystem::path& userFolder() const { return userFolder_; }
    void setUserFolder(std::filesystem::path folder) { userFolder_ = std::move(folder); }
    Simulation& simulation() { return sim_; }
    RadarDisplayState& display() { return display_; }

    bool isLoaded() const { return sim_.Vessels.NumVessels > 0; }
    // The own vessel's position (nautical miles) and heading (degrees true); the origin and 000
    // before any scenario is loaded.
    PointD ownPos() const;
    float ownHeading() const;
    bool isPaused() const { return paused_; }
    // The timer runs: started and not paused.
    bool isRunning() const { return tmrSim_.isActive(); }

    // Reads a demo file (relative to the program folder, or a full path) and starts it; the
    // timer is the caller's. A file that cannot be read is reported under "LoadDemo" and the
    // running scenario goes on untouched.
    bool LoadDemo(const QString& fileName);
    // Runs the start steps of a source whose vessels are already in the tables.
    void StartScenario(ScenarioSource source);

    // The timer runs from now on, unless the user paused the exercise.
    void Start();
    void SetPaused(bool paused);
    void TogglePause() { SetPaused(!paused_); }
    // Back to the start positions and 12:00:00; a paused exercise stays paused.
    void Repeat();
    void SetTimeFactor(int index);

  signals:
    // After every command: scenario started, paused or resumed, repeated, time factor set.
    void changed();
    // After every tick, when the picture is to be shown anew.
    void ticked();

  public slots:
    void tmrSim_Timer();

  private:
    Simulation& sim_;
    RadarDisplayState& display_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    std::filesystem::path userFolder_;
    ScenarioView* view_ = nullptr;
    QTimer tmrSim_;
    bool paused_ = false;
    bool ticking_ = false;
};

} // namespace mv
