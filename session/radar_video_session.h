#pragma once
// The radar video's model for the exercise in progress: the receiver's controls and band,
// whether the video is shown, the sea and the weather it paints, and the polar buffer the
// antenna's sweep fills. The tick only records the span of sea time to paint; the console's
// sweep frames paint it a slice at a time, so a tick costs the same with the video on or off.
// Kept apart from Exercise (which owns it, as it owns the tracking picture) because the video
// has its own commands and its own change signal: the console repaints the video on that,
// not on every command of the exercise. Qt Core only.

#include "core/radar_video/radar_video.h"

#include <QObject>

#include <optional>

namespace mv {

class Exercise;

class RadarVideoSession : public QObject {
    Q_OBJECT
  public:
    explicit RadarVideoSession(Exercise& exercise);

    bool on() const { return on_; }
    const VideoControls& controls() const { return controls_; }
    const RadarVideo& buffer() const { return buffer_; }
    const RadarSettings& radar() const { return radar_; }
    const VideoWorld& world() const { return world_; }
    // The sea state (0 calm .. 6 very rough) the clutter shows: the exercise's own until the
    // Seas menu changes the sea, then the menu's.
    int seaState() const { return world_.SeaState; }
    // The span of sea time (days) the last tick gave to paint, and how far it is painted.
    double from() const { return from_; }
    double to() const { return to_; }
    double painted() const { return painted_; }

    void SetOn(bool on);
    // A control (gain, sea, rain or tune) stepped and held within 0..100.
    void StepControl(int VideoControls::*level, int step);
    void SetBand(RadarBand band);
    // Paints the lines swept after what is painted and up to `target` (days), at most an
    // eighth of a turn of them: at a high time factor a frame spans turns of the antenna, and
    // an eighth (about 3 ms of painting) keeps the console responsive. False when nothing was
    // painted (the video off, no scenario, or nothing new).
    bool PaintUpTo(double target);

  signals:
    // Shown or hidden, a control, the band or the sea the clutter shows changed.
    void changed();
    // The buffer was wiped or painted a whole turn afresh: the picture is laid anew.
    void repainted();
    // A tick recorded a new span to paint (see from() and to()).
    void spanRecorded();

  private:
    // The antenna starts afresh at the clock's time, on the scenario's seed and weather.
    void Restart();
    void ApplyExercise();
    void Ticked();
    // One turn up to the clock's time, so that a paused exercise shows its picture too.
    void PaintLastTurn();
    int VideoSea() const;
    // The sea the clutter shows brought to the Seas menu's; true when it changed.
    bool FollowSea();

    Exercise& exercise_;
    RadarSettings radar_;
    VideoWorld world_;
    VideoControls controls_;
    RadarVideo buffer_;
    bool on_ = false;
    double from_ = 0.5, to_ = 0.5, painted_ = 0.5; // days of sea time
    std::optional<int> exerciseSea_;
    int16_t menuSea_ = 0; // the Seas menu's sea when the exercise's was set
};

// The video's commands: Radar Video on and off, the gain, sea, rain and tune steps and the
// S band, each greyed while the video is off.
void RegisterVideoCommands(Exercise& exercise);

} // namespace mv
