#include "core/arpa/tracker.h"

#include "core/geometry.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <tuple>

namespace mv {

namespace {

constexpr double kHoursPerDay = 24.0;
// A thousandth of a second, days: times summed tick by tick reach an age a hair early.
constexpr double kTimeSlack = 1e-3 / kSecondsPerDay;

double AgeSeconds(const Track& t) {
    return (t.Time - t.AcquiredAt) * kSecondsPerDay;
}

bool InAny(const std::vector<RingSector>& sectors, float bearing, double range) {
    return std::any_of(sectors.begin(), sectors.end(),
                       [&](const RingSector& s) { return s.Contains(bearing, range); });
}

} // namespace

bool RingSector::Contains(float bearing, double range) const {
    if (!(range >= Inner && range <= Outer)) return false;
    if (From == To) return true;
    const float b = FoldDegrees(bearing), from = FoldDegrees(From), to = FoldDegrees(To);
    // Clockwise from From to To: across north when To lies before From.
    return from < to ? (b >= from && b <= to) : (b >= from || b <= to);
}

bool Track::Trend(const TrackerSettings& s) const {
    return State != TrackState::Lost && Updates >= 2 &&
           AgeSeconds(*this) >= s.TrendSeconds - kTimeSlack * kSecondsPerDay;
}

bool Track::Prediction(const TrackerSettings& s) const {
    return Trend(s) && AgeSeconds(*this) >= s.PredictionSeconds - kTimeSlack * kSecondsPerDay;
}

float Track::Course() const {
    float course = 0;
    double speed = 0;
    GetVector(PointD{}, PointD{VX, VY}, course, speed);
    return course;
}

float Track::Speed() const {
    return static_cast<float>(std::hypot(VX, VY));
}

Tracker::Tracker(TrackerSettings settings) : settings_(settings) {}

std::optional<int> Tracker::Start(const PointD& at, double time) {
    const int capacity = settings_.Capacity;
    if (static_cast<int>(tracks_.size()) >= capacity) {
        events_.push_back({TrackEventKind::Refused, time, 0, at, -1, -1});
        return std::nullopt;
    }
    // The lowest number free, so that the numbers on the screen stay small.
    int id = 1;
    while (Find(id))
        ++id;
    Track t;
    t.Id = id;
    t.Position = t.LastPlot = at;
    t.Time = t.AcquiredAt = t.LastPlotTime = time;
    t.NextPastAt = time;
    tracks_.push_back(t);
    events_.push_back({TrackEventKind::Acquired, time, id, at, -1, -1});
    // Warned as the count passes 95 % of the capacity: with 40 tracks, at the 39th.
    const auto count = static_cast<double>(tracks_.size());
    if (count > 0.95 * capacity && count - 1 <= 0.95 * capacity)
        events_.push_back({TrackEventKind::CapacityWarning, time, id, at, -1, -1});
    return id;
}

std::optional<int> Tracker::Acquire(const PointD& at, double time) {
    if (!std::isfinite(at.X) || !std::isfinite(at.Y) || !std::isfinite(time)) return std::nullopt;
    return Start(at, time);
}

bool Tracker::SetAutoZones(const std::vector<RingSector>& zones) {
    if (zones.size() > 2) return false;
    zones_ = zones;
    return true;
}

void Tracker::SetExclusions(const std::vector<RingSector>& areas) {
    exclusions_ = areas;
}

bool Tracker::Cancel(int id) {
    const auto it =
        std::find_if(tracks_.begin(), tracks_.end(), [id](const Track& t) { return t.Id == id; });
    if (it == tracks_.end()) return false;
    tracks_.erase(it);
    return true;
}

void Tracker::CancelAll() {
    tracks_.clear();
}

const Track* Tracker::Find(int id) const {
    for (const Track& t : tracks_)
        if (t.Id == id) return &t;
    return nullptr;
}

std::vector<TrackEvent> Tracker::TakeEvents() {
    std::vector<TrackEvent> out;
    out.swap(events_);
    return out;
}

double Tracker::Gate(const Track& t, const PointD& own, double time) const {
    float bearing = 0;
    double range = 0;
    GetVector(own, t.Position, bearing, range);
    // One plot's error: about 0.015 nm at 3 nm, 0.03 nm at 10 nm, across the line of sight
    // mostly far out.
    const double across = range * std::sin(BearingSigma() * kDegToRad);
    const double plot = std::hypot(across, RangeSigma(range));
    // The error of the prediction itself, from a straight line through the last k plots
    // carried m scans on: large for a young track (its speed rests on two or three plots) or
    // one coasting, small for an old one. In units of one plot's variance.
    const double memory = std::max(2.0, settings_.MemorySeconds / settings_.ScanSeconds);
    const double k = std::min(static_cast<double>(t.Updates), memory);
    const double m = (time - t.LastPlotTime) * kSecondsPerDay / settings_.ScanSeconds;
    double prediction = 1.0 + m * m; // one plot and no speed: the target may have moved
    if (k >= 2)
        prediction = 1.0 / k + 12.0 * std::pow(m + (k - 1.0) / 2.0, 2) / (k * (k * k - 1.0));
    const double spread = 3.0 * plot * std::sqrt(1.0 + prediction);
    const bool tracked = t.State == TrackState::Tracked;
    return std::max(tracked ? settings_.TrackGate : settings_.AcquireGate, spread);
}

void Tracker::TakeIn(Track& t, const Plot& p, double time) {
    ++t.Updates;
    if (t.Echo < 0 || p.Echo == t.Echo) {
        t.Echo = p.Echo;
        t.OtherRun = 0;
    } else {
        t.OtherRun = p.Echo == t.OtherEcho ? t.OtherRun + 1 : 1;
        t.OtherEcho = p.Echo;
        if (t.OtherRun >= 3) {
            events_.push_back({TrackEventKind::Swapped, time, t.Id, p.Position, t.Echo, p.Echo});
            t.Echo = p.Echo;
            t.OtherRun = 0;
        }
    }
    if (t.Updates == 1) {
        // The first plot only places the track: a speed needs two.
        t.Position = p.Position;
    } else {
        // An alpha-beta filter: constant velocity, two gains, cheap, and what many ARPA sets
        // use; its lag after a manoeuvre is the behaviour a navigator must learn to expect (a
        // Kalman filter would weigh the same way once settled). The gains are those of a
        // least-squares straight line through the k plots so far, so a young track follows
        // its plots closely and an old one smooths them, down to the memory's floor.
        const double memory = std::max(2.0, settings_.MemorySeconds / settings_.ScanSeconds);
        const double k = std::min(static_cast<double>(t.Updates), memory);
        const double alpha = 2.0 * (2.0 * k - 1.0) / (k * (k + 1.0));
        const double beta = 6.0 / (k * (k + 1.0));
        const double hours = std::max((time - t.LastPlotTime) * kHoursPerDay, 1e-9);
        const double rx = p.Position.X - t.Position.X, ry = p.Position.Y - t.Position.Y;
        t.Position.X += alpha * rx;
        t.Position.Y += alpha * ry;
        t.VX += beta * rx / hours;
        t.VY += beta * ry / hours;
    }
    t.LastPlot = p.Position;
    t.LastPlotTime = time;
    t.Hits |= 1;
}

void Tracker::Update(const Scan& scan) {
    const double time = scan.Time;
    // A scan no later than the last one (a replay run back, a repeated tick) changes nothing.
    if (!(time > lastScan_)) return;
    lastScan_ = time;
    struct Pair {
        double Distance2; // square nautical miles
        size_t Track, Plot;
    };
    std::vector<Pair> pairs;
    for (size_t i = 0; i < tracks_.size(); ++i) {
        Track& t = tracks_[i];
        if (t.State == TrackState::Lost) continue;
        // Coast to the scan's time; a plot taken in below corrects the coasted position.
        const double hours = (time - t.Time) * kHoursPerDay;
        t.Position.X += t.VX * hours;
        t.Position.Y += t.VY * hours;
        t.Time = time;
        t.Hits = static_cast<uint16_t>((t.Hits << 1) & 0x3FF);
        t.Scans = std::min(t.Scans + 1, 10);
        // Squared distances: the same order, without a square root for every pair.
        const double gate = Gate(t, scan.Own, time), gate2 = gate * gate;
        for (size_t j = 0; j < scan.Plots.size(); ++j) {
            const double dx = scan.Plots[j].Position.X - t.Position.X;
            const double dy = scan.Plots[j].Position.Y - t.Position.Y;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= gate2) pairs.push_back({d2, i, j});
        }
    }
    // Nearest pairs first: where two echoes pass within both gates, each track takes the
    // nearer, which may be the other's; that is how a swap happens, and it is not prevented.
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::tie(a.Distance2, a.Track, a.Plot) < std::tie(b.Distance2, b.Track, b.Plot);
    });
    std::vector<bool> trackDone(tracks_.size(), false), plotTaken(scan.Plots.size(), false);
    for (const Pair& p : pairs) {
        if (trackDone[p.Track] || plotTaken[p.Plot]) continue;
        trackDone[p.Track] = plotTaken[p.Plot] = true;
        TakeIn(tracks_[p.Track], scan.Plots[p.Plot], time);
    }

    for (Track& t : tracks_) {
        if (t.State == TrackState::Lost) continue;
        const int misses = t.Scans - std::popcount(t.Hits);
        if (misses >= 5) {
            // Five scans of the last ten without a plot: the echo has faded or gone.
            t.State = TrackState::Lost;
            t.Position = t.LastPlot;
            t.VX = t.VY = 0;
            events_.push_back({TrackEventKind::Lost, time, t.Id, t.LastPlot, t.Echo, -1});
            continue;
        }
        if (t.State == TrackState::Acquiring && t.Trend(settings_)) t.State = TrackState::Tracked;
        if (t.Updates > 0 && time >= t.NextPastAt - kTimeSlack) {
            std::copy_backward(t.Past.begin(), t.Past.end() - 1, t.Past.end());
            t.Past[0] = t.Position;
            t.PastCount = std::min(t.PastCount + 1, 4);
            t.NextPastAt += settings_.PastSeconds / kSecondsPerDay;
        }
    }

    // Echoes nobody follows, inside a zone and outside every exclusion area, are acquired;
    // one near a track (a stray plot of its own echo) is not.
    if (zones_.empty()) return;
    for (size_t j = 0; j < scan.Plots.size(); ++j) {
        if (plotTaken[j]) continue;
        const Plot& p = scan.Plots[j];
        if (!InAny(zones_, p.Bearing, p.Range) || InAny(exclusions_, p.Bearing, p.Range)) continue;
        const bool nearTrack = std::any_of(tracks_.begin(), tracks_.end(), [&](const Track& t) {
            return t.State != TrackState::Lost &&
                   std::hypot(p.Position.X - t.Position.X, p.Position.Y - t.Position.Y) <=
                       std::max(settings_.AcquireGate, Gate(t, scan.Own, time));
        });
        // A full tracker acquires nothing more by itself; only a hand acquisition is refused
        // aloud, once, where the student asked.
        if (nearTrack || static_cast<int>(tracks_.size()) >= settings_.Capacity) continue;
        if (Start(p.Position, time)) {
            Track& t = tracks_.back();
            t.Scans = 1;
            TakeIn(t, p, time);
        }
    }
}

CpaResult TrackCpa(const Track& t, const PointD& own, float ownCourse, float ownSpeed) {
    CpaInput in;
    in.TargetCourse = t.Course();
    in.TargetSpeed = t.Speed();
    in.OwnCourse = ownCourse;
    in.OwnSpeed = ownSpeed;
    double range = 0;
    GetVector(own, t.Position, in.Bearing, range);
    in.Range = static_cast<float>(range);
    return ComputeCPA(in, BearingMode::Course);
}

PointD TrackVectorEnd(const Track& t, double minutes) {
    const double hours = minutes / 60.0;
    return PointD{t.Position.X + t.VX * hours, t.Position.Y + t.VY * hours};
}

} // namespace mv
