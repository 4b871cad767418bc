#include "session/exercise.h"

#include "core/clock.h"
#include "core/scenario/demo_file.h"
#include "session/dialogs.h"

#include <QStandardPaths>

namespace mv {

Exercise::Exercise(Simulation& sim, RadarDisplayState& display, Dialogs& dialogs,
                   std::filesystem::path programFolder, QObject* parent)
    : QObject(parent), sim_(sim), display_(display), dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      userFolder_(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()),
      displayCommands_(sim, display), commands_(*this) {
    setObjectName("exercise");
    tmrSim_.setObjectName("tmrSim");
    tmrSim_.setParent(this);
    tmrSim_.setInterval(kTickIntervalMs);
    connect(&tmrSim_, &QTimer::timeout, this, &Exercise::tmrSim_Timer);
    RegisterExerciseCommands(*this);
    RegisterAidCommands(*this);
}

void Exercise::setView(ScenarioView* view) {
    view_ = view;
    displayCommands_.setView(view);
}

PointD Exercise::ownPos() const {
    return sim_.OwnPosition();
}

float Exercise::ownHeading() const {
    if (!isLoaded()) return 0.0f;
    return sim_.Vessels.Vessel[static_cast<size_t>(sim_.Vessels.OwnVessel)].Heading;
}

bool Exercise::LoadDemo(const QString& fileName) {
    std::filesystem::path path = fileName.toStdString();
    if (path.is_relative()) path = programFolder_ / path;
    // The whole file is read and checked before anything of the running scenario changes.
    const DemoReadResult read = ReadDemoFile(path);
    if (!read.ok()) {
        dialogs_.message(QString::fromStdString(read.Error), "LoadDemo",
                         Dialogs::Icon::Exclamation);
        return false;
    }
    PlaceDemoVessels(*read.Scenario, sim_.Vessels);
    // A demo without a title goes by its file's name, not by the exercise before it.
    sim_.Title = ExerciseTitle(read.Scenario->Title, path.filename().string());
    sim_.Description = read.Scenario->Description;
    scenarioFile_ = QString::fromStdString(path.filename().string());
    StartScenario(ScenarioSource::Demo);
    return true;
}

void Exercise::StartScenario(ScenarioSource source) {
    const ChangeScope change(*this);
    if (!view_) return;
    if (source == ScenarioSource::OwnTargets) scenarioFile_ = "own targets";
    if (source == ScenarioSource::Random) scenarioFile_ = "random traffic";
    mv::StartScenario(source, sim_, display_, *view_);
    emit scenarioStarted();
}

void Exercise::Start() {
    const ChangeScope change(*this);
    if (!paused_) tmrSim_.start();
}

void Exercise::SetPaused(bool paused) {
    const ChangeScope change(*this);
    if (paused != paused_ && isLoaded())
        Log(paused ? "pause" : "resume", -1, paused ? "Paused" : "Resumed");
    paused_ = paused;
    if (paused_)
        tmrSim_.stop();
    else
        tmrSim_.start();
}

void Exercise::Repeat() {
    if (!isLoaded() || !view_) return;
    const ChangeScope change(*this);
    tmrSim_.stop();
    sim_.Vessels.RestoreStartState();
    sim_.Maneuvering = false;
    sim_.Turning = false;
    view_->RedrawRadar();
    view_->ClearTrueView();
    sim_.UpdateVessels(display_.Tick, *view_, false);
    ResetClocks(sim_, display_, *view_);
    Log("repeat", -1, "Repeated from the start");
    emit moved();
    if (!paused_) tmrSim_.start();
}

void Exercise::SetTimeFactor(int index) {
    if (index < 0 || index >= kTimeFactorCount || index == sim_.Clock.TimeFactorIndex) return;
    const ChangeScope change(*this);
    sim_.Clock.SetTimeFactor(static_cast<int16_t>(index));
    if (isLoaded()) Log("time factor", -1, QString("Time factor x%1").arg(sim_.Clock.TimeFactor));
}

void Exercise::PassOnce() {
    const bool running = tmrSim_.isActive();
    tmrSim_.stop();
    if (view_) view_->RedrawVessels();
    if (running) tmrSim_.start();
}

void Exercise::tmrSim_Timer() {
    // A tick that reports a collision waits for the user inside the message box, where the
    // timer fires again: that tick is skipped, so one tick never runs inside another.
    if (ticking_ || !isLoaded() || !view_) return;
    ticking_ = true;
    sim_.Tick(display_.Tick, *view_);
    ticking_ = false;
    emit ticked();
}

} // namespace mv
