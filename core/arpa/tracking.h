#pragma once
// The student's tracking picture: the tracker stepped on the radar's plots tick by tick, and
// what the student sees of each track (position, course and speed over the ground, vectors,
// CPA/TCPA worked from the track, past positions) with the alerts an ARPA gives (a track in
// danger by the student's limits, a new target in the acquisition zone, a lost target, the
// tracks all in use), each standing until acknowledged. The truth stays in the vessel tables.
// Nautical miles (X north, Y east), knots, degrees true, minutes; times in days of sim time.

#include "core/aid_settings.h"
#include "core/aids/target_aids.h"
#include "core/arpa/tracker.h"
#include "core/motion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv {

// The default automatic acquisition zone: a ring all round from 5.5 to 6.5 nautical miles,
// about a quarter of an hour's warning of a target closing at twenty knots.
inline constexpr double kAutoZoneInner = 5.5, kAutoZoneOuter = 6.5;

// One track as the student sees it.
struct TrackView {
    int Id = 0;
    TrackState State = TrackState::Acquiring;
    bool Trend = false;      // a vector may be drawn (after about a minute)
    bool Prediction = false; // CPA/TCPA may be read (after about three minutes)
    // Where the track stands, its motion and CPA, and its vectors' ends, in the truth's terms
    // (Vessel holds the track number), so the same texts and alarm rule serve both.
    TargetAid Aid;
    std::vector<PointD> Past; // newest first
    PointD LastPlot;          // where a lost track's symbol stands
};

enum class TrackAlertKind : int16_t { Danger, NewTarget, Lost, Capacity };

struct TrackAlert {
    TrackAlertKind Kind = TrackAlertKind::Danger;
    int Track = 0; // 0 for the capacity warning
    bool Acknowledged = false;
    friend bool operator==(const TrackAlert&, const TrackAlert&) = default;
};

// "T3  CPA 0.40 nm in 8.5 min", "T3  lost", "T3  new target", "tracks all in use", with
// "  (acknowledged)" once acknowledged.
std::string TrackAlertText(const TrackAlert& alert, const std::vector<TrackView>& views);
// A tracker event as the run's log gives it: "T2 lost", "T1 swapped from B to C", "Tracks all
// in use", "Acquisition refused: tracks all in use"; empty for an acquisition.
std::string TrackEventText(const TrackEvent& event);
// "T3": a track's name in the target data and the alarm list.
std::string TrackName(int id);

// The target data of a track: its range and bearing always, its course, speed and true vector
// once it has its trend, its CPA, TCPA and relative vector once it has its prediction, and "-"
// for what it has not yet (and for all its motion once lost).
TargetDataTexts TrackData(const TrackView& track);

// A seed for the plots from a scenario's name: the same file gives the same plots.
uint64_t TrackingSeed(const std::string& scenarioName);

class TrackingPicture {
  public:
    // The own ship's fixed sensor errors the plots carry from the next start on: degrees the
    // gyro reads high, percent the log reads high.
    void SetSensorErrors(double gyroDegrees, double logPercent) {
        gyroError_ = gyroDegrees;
        logError_ = logPercent;
    }
    // Afresh, no tracks and no alerts, the plots seeded by `seed`; the auto zone and the
    // sensor errors kept.
    void Start(uint64_t seed, double time);
    // One tick: every scan between `from` and the clock's time, with each vessel taken from
    // `before` to where the tables hold it now. The tracker's events become alerts; true when
    // an alert came up that sounds.
    bool Step(const std::vector<PointD>& before, double from, double now,
              const VesselTables& vessels);
    // The danger alerts brought to this moment's figures (only tracks with their prediction
    // count); true when a track came into danger.
    bool UpdateDanger(const std::vector<TrackView>& views, const AlarmLimits& limits);

    std::optional<int> Acquire(const PointD& at, double time);
    bool Cancel(int id);
    void CancelAll();
    void SetAutoZone(bool on);
    bool autoZone() const { return autoZone_; }

    // Every track's view for a vector time (minutes), against the own vessel's course and
    // speed over the ground. Sea-stabilised, a track's course, speed and true vector are
    // through the water (the current taken off); otherwise over the ground. Its CPA and
    // relative vector are the same either way.
    std::vector<TrackView> Views(const VesselTables& vessels, const SeaCurrent& current,
                                 double vectorMinutes, bool seaStabilised = false) const;
    // The track (not lost first, then lost) whose position lies nearest `at` within `reach`.
    std::optional<int> Nearest(const PointD& at, double reach) const;

    const std::vector<TrackAlert>& alerts() const { return alerts_; }
    void AcknowledgeAll();
    bool AnyUnacknowledged() const;
    bool InDanger(int id) const;
    bool DangerUnacknowledged(int id) const;
    const Tracker& tracker() const { return tracker_; }
    // The tracker's events since the last call, for the record.
    std::vector<TrackEvent> TakeEvents() { return std::exchange(events_, {}); }

  private:
    void Forget(int id);

    Tracker tracker_;
    RadarSettings radar_;
    bool autoZone_ = false;
    double gyroError_ = 0, logError_ = 0; // degrees, percent
    std::vector<TrackAlert> alerts_;
    std::vector<TrackEvent> events_;
};

} // namespace mv
