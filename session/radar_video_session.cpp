#include "session/radar_video_session.h"

#include "core/clock.h"
#include "session/exercise.h"

#include <algorithm>

namespace mv {

namespace {

// The trainer's sea (calm, moderate, heavy) as the sea states 0, 3 and 5.
int VideoSeaState(int16_t sea) {
    return sea <= 0 ? 0 : sea == 1 ? 3 : 5;
}

} // namespace

RadarVideoSession::RadarVideoSession(Exercise& exercise) : exercise_(exercise) {
    setObjectName("radarVideo");
    connect(&exercise_, &Exercise::scenarioStarted, this, &RadarVideoSession::Restart);
    connect(&exercise_, &Exercise::briefingBegun, this, &RadarVideoSession::ApplyExercise);
    connect(&exercise_, &Exercise::ticked, this, &RadarVideoSession::Ticked);
    // The Seas menu is a command of the exercise: its sea shows in the clutter from then on.
    connect(&exercise_, &Exercise::changed, this, [this] {
        if (FollowSea()) emit changed();
    });
    Restart();
}

int RadarVideoSession::VideoSea() const {
    const int16_t sea = exercise_.simulation().SeaState;
    if (exerciseSea_ && sea == menuSea_) return *exerciseSea_;
    return VideoSeaState(sea);
}

bool RadarVideoSession::FollowSea() {
    const int sea = VideoSea();
    if (sea == world_.SeaState) return false;
    world_.SeaState = sea;
    return true;
}

void RadarVideoSession::Restart() {
    const Simulation& sim = exercise_.simulation();
    const double now = sim.Clock.SimTime;
    // The scenario's name seeds the video as it seeds the plots: the same file, the same
    // picture. The antenna's first turn begins as the exercise does.
    radar_.Exercise = VideoSeed(sim.Title);
    radar_.Epoch = now;
    // An assessed exercise's weather and false echoes, placed from where its own ship starts;
    // any other scenario a calm day.
    const AssessedExercise* assessed = exercise_.assessed();
    world_ = VideoWorldFor(assessed ? assessed->Video : ExerciseVideo{}, sim.Vessels);
    exerciseSea_ = assessed ? assessed->Video.SeaState : std::nullopt;
    menuSea_ = sim.SeaState;
    world_.SeaState = VideoSea();
    from_ = to_ = painted_ = now;
    buffer_.Clear();
    PaintLastTurn();
    // The sea the start brings is recorded with the run's first moment, not as a change.
    emit repainted();
}

void RadarVideoSession::ApplyExercise() {
    const AssessedExercise* assessed = exercise_.assessed();
    if (!assessed) return;
    if (controls_.Band != assessed->Video.Band) {
        controls_.Band = assessed->Video.Band;
        emit changed();
    }
    SetOn(assessed->Video.Video);
}

void RadarVideoSession::Ticked() {
    const double now = exercise_.simulation().Clock.SimTime;
    // A repeat or a new scenario runs the clock back: the sweep starts again there.
    if (!(now >= painted_)) return Restart();
    // No painting here: the sweep's frames paint the span over the tick's 3 s of real time.
    from_ = painted_;
    to_ = now;
    emit spanRecorded();
}

void RadarVideoSession::PaintLastTurn() {
    if (!on_ || !exercise_.isLoaded()) return;
    FollowSea();
    const double now = exercise_.simulation().Clock.SimTime;
    buffer_.Paint(radar_, world_, controls_, exercise_.simulation().Vessels,
                  exercise_.display().Tick.Range, now - radar_.ScanSeconds / kSecondsPerDay, now);
    from_ = to_ = painted_ = now;
}

bool RadarVideoSession::PaintUpTo(double target) {
    if (!on_ || !exercise_.isLoaded() || !(target > painted_)) return false;
    const double eighth = radar_.ScanSeconds / kSecondsPerDay / 8;
    painted_ = std::max(painted_, target - eighth);
    // The Seas menu changes the sea while the exercise runs.
    if (FollowSea()) emit changed();
    buffer_.Paint(radar_, world_, controls_, exercise_.simulation().Vessels,
                  exercise_.display().Tick.Range, painted_, target);
    painted_ = target;
    return true;
}

void RadarVideoSession::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    // Off, nothing paints the buffers, and what they held is too old to show when the video
    // comes back: their two megabytes are given back.
    if (!on) buffer_.Release();
    emit changed();
    if (!on) return;
    PaintLastTurn();
    emit repainted();
}

void RadarVideoSession::StepControl(int VideoControls::*level, int step) {
    int& v = controls_.*level;
    const int was = v;
    v = std::clamp(v + step, 0, 100);
    if (v != was) emit changed();
}

void RadarVideoSession::SetBand(RadarBand band) {
    if (band == controls_.Band) return;
    controls_.Band = band;
    emit changed();
}

void RegisterVideoCommands(Exercise& exercise) {
    CommandRegistry& r = exercise.commands();
    RadarVideoSession* video = &exercise.video();
    r.add({"mnuRadarVideo", "Radar &Video", "Ctrl+Shift+R", [video] { video->SetOn(!video->on()); },
           [video] { return video->on(); }});
    // Keys rather than a panel: the controls are turned while watching the picture, and a
    // panel would take room from it on a small screen. Steps of 5, as a detented knob.
    struct Knob {
        const char* name;
        const char* caption;
        const char* shortcut;
        int VideoControls::*level;
        int step;
    };
    for (const Knob& k : {Knob{"mnuGainDown", "Gain &Down", "F5", &VideoControls::Gain, -5},
                          Knob{"mnuGainUp", "&Gain Up", "F6", &VideoControls::Gain, 5},
                          Knob{"mnuSeaDown", "Sea Clutter Down", "F7", &VideoControls::Sea, -5},
                          Knob{"mnuSeaUp", "&Sea Clutter Up", "F8", &VideoControls::Sea, 5},
                          Knob{"mnuRainDown", "Rain Clutter Down", "F9", &VideoControls::Rain, -5},
                          Knob{"mnuRainUp", "&Rain Clutter Up", "F10", &VideoControls::Rain, 5},
                          Knob{"mnuTuneDown", "Tune Down", "Shift+F5", &VideoControls::Tune, -5},
                          Knob{"mnuTuneUp", "&Tune Up", "Shift+F6", &VideoControls::Tune, 5}}) {
        const auto level = k.level;
        const int step = k.step;
        r.add({k.name,
               k.caption,
               k.shortcut,
               [video, level, step] { video->StepControl(level, step); },
               {},
               [video] { return video->on(); }});
    }
    r.add({"mnuBandS", "S &Band (10 cm)", "Ctrl+Shift+B",
           [video] {
               video->SetBand(video->controls().Band == RadarBand::S ? RadarBand::X : RadarBand::S);
           },
           [video] { return video->controls().Band == RadarBand::S; },
           [video] { return video->on(); }});
}

} // namespace mv
