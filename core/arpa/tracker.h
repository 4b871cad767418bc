#pragma once
// Target tracking on the radar's plots, as a ship's ARPA does it: a target is acquired (by hand
// at a position, or automatically in a zone), followed from scan to scan by an alpha-beta
// filter, shows a trend within a minute and a prediction (vector, CPA, TCPA) within three, lags
// a manoeuvre, is lost when its echo fades, and can swap to another echo passing close.
// Positions in nautical miles over the ground (X north, Y east), velocities in knots over the
// ground, bearings degrees true, times in days of sim time.

#include "core/aids/cpa.h"
#include "core/arpa/radar_plots.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mv {

enum class TrackState : int16_t { Acquiring, Tracked, Lost };

// A ring sector about the own vessel: ranges from Inner to Outer (nautical miles) on bearings
// clockwise from From to To (degrees true); From equal to To is the whole ring.
struct RingSector {
    double Inner = 0, Outer = 0;
    float From = 0, To = 0;
    bool Contains(float bearing, double range) const;
};

struct TrackerSettings {
    int Capacity = 40;
    double ScanSeconds = 2.5;
    double TrendSeconds = 60;       // a trend vector from this age on
    double PredictionSeconds = 180; // the full prediction from this age on
    // The filter's memory at its narrowest: gains stop falling once it has this many seconds
    // of plots. Longer is steadier on a steady target and slower after a manoeuvre.
    double MemorySeconds = 180;
    double PastSeconds = 60; // between past positions
    // Least gate radii (nautical miles) while acquiring and once tracked; far out the gate
    // widens to three standard deviations of the bearing error.
    double AcquireGate = 0.5, TrackGate = 0.2;
};

struct Track {
    int Id = 0; // 1 .. capacity, the number shown beside the symbol
    TrackState State = TrackState::Acquiring;
    PointD Position;       // filtered, at Time
    double VX = 0, VY = 0; // filtered velocity, knots north and east
    double Time = 0;       // days: when Position holds
    double AcquiredAt = 0; // days
    int Updates = 0;       // plots taken in
    double LastPlotTime = 0;
    PointD LastPlot; // where the last plot put it: the lost symbol stands here
    // The last ten scans, newest in bit 0: 1 where a plot was taken in.
    uint16_t Hits = 0;
    int Scans = 0; // scans since acquisition, counted to ten
    // The vessel slot whose plots the track follows (truth, for the record), or -1. Another
    // echo's plots taken in three times running make a swap; one now and then, as two echoes
    // pass within the gate, does not.
    int Echo = -1;
    int OtherEcho = -1, OtherRun = 0;
    std::array<PointD, 4> Past{}; // newest first, PastSeconds apart
    int PastCount = 0;
    double NextPastAt = 0;

    bool Trend(const TrackerSettings& s) const;
    bool Prediction(const TrackerSettings& s) const;
    float Course() const; // degrees true over the ground
    float Speed() const;  // knots
};

enum class TrackEventKind : int16_t { Acquired, Lost, Swapped, CapacityWarning, Refused };

// What the session records and alerts on. Position: where the track was acquired, lost or
// swapped. FromEcho/ToEcho: the vessel slots of a swap.
struct TrackEvent {
    TrackEventKind Kind = TrackEventKind::Acquired;
    double Time = 0;
    int Track = 0; // 0 for a refusal
    PointD Position;
    int FromEcho = -1, ToEcho = -1;
    friend bool operator==(const TrackEvent&, const TrackEvent&) = default;
};

class Tracker {
  public:
    explicit Tracker(TrackerSettings settings = {});

    // A track at a point; none (and a Refused event) when every track is in use, none (and no
    // event) for a point or time that is not a number.
    std::optional<int> Acquire(const PointD& at, double time);
    // At most two zones; more are refused and the zones stay as they were.
    bool SetAutoZones(const std::vector<RingSector>& zones);
    void SetExclusions(const std::vector<RingSector>& areas);
    bool Cancel(int id);
    void CancelAll();

    // One scan: every live track takes in its nearest plot within its gate (nearest pairs
    // first), or coasts; plots nobody took in a zone start tracks. A scan no later than the
    // last is ignored.
    void Update(const Scan& scan);

    const std::vector<Track>& Tracks() const { return tracks_; }
    const Track* Find(int id) const;
    const TrackerSettings& Settings() const { return settings_; }
    // The events since the last call, oldest first.
    std::vector<TrackEvent> TakeEvents();

  private:
    std::optional<int> Start(const PointD& at, double time);
    double Gate(const Track& t, const PointD& own, double time) const;
    void TakeIn(Track& t, const Plot& p, double time);

    TrackerSettings settings_;
    std::vector<Track> tracks_;
    std::vector<RingSector> zones_, exclusions_;
    std::vector<TrackEvent> events_;
    double lastScan_ = -1e300; // days
};

// The CPA of a track by the same speed triangle as the truth's, from its filtered course and
// speed, against the own vessel's course and speed over the ground (OverGround of its heading
// and speed in the current: the track's are over the ground too).
CpaResult TrackCpa(const Track& t, const PointD& own, float ownCourse, float ownSpeed);
// The end of a track's true vector for a vector time in minutes.
PointD TrackVectorEnd(const Track& t, double minutes);

} // namespace mv
