#include "core/arpa/tracking.h"

#include "core/arpa/stabilisation.h"

#include "core/geometry.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {
constexpr double kDegrees = 3.14159265358979323846 / 180.0;
} // namespace

std::string TrackName(int id) {
    return "T" + std::to_string(id);
}

std::string TrackEventText(const TrackEvent& e) {
    switch (e.Kind) {
    case TrackEventKind::Acquired:
        return {};
    case TrackEventKind::Lost:
        return TrackName(e.Track) + " lost";
    case TrackEventKind::Swapped: {
        const auto echo = [](int slot) {
            return slot >= 0 ? VesselLetter(slot) : std::string("?");
        };
        return TrackName(e.Track) + " swapped from " + echo(e.FromEcho) + " to " + echo(e.ToEcho);
    }
    case TrackEventKind::CapacityWarning:
        return "Tracks all in use";
    case TrackEventKind::Refused:
        return "Acquisition refused: tracks all in use";
    }
    return {};
}

std::string TrackAlertText(const TrackAlert& alert, const std::vector<TrackView>& views) {
    std::string line;
    switch (alert.Kind) {
    case TrackAlertKind::Danger:
        line = TrackName(alert.Track) + "  CPA";
        for (const TrackView& v : views)
            if (v.Id == alert.Track)
                line += " " + MilesText(v.Aid.Cpa.CPA) + " in " + MinutesText(v.Aid.Cpa.TCPA);
        break;
    case TrackAlertKind::NewTarget:
        line = TrackName(alert.Track) + "  new target";
        break;
    case TrackAlertKind::Lost:
        line = TrackName(alert.Track) + "  lost";
        break;
    case TrackAlertKind::Capacity:
        line = "tracks all in use";
        break;
    }
    if (alert.Acknowledged) line += "  (acknowledged)";
    return line;
}

TargetDataTexts TrackData(const TrackView& track) {
    TargetDataTexts t = TargetData(track.Aid);
    t.Name = TrackName(track.Id);
    const bool lost = track.State == TrackState::Lost;
    if (lost || !track.Trend) t.Course = t.Speed = t.TrueVector = "-";
    if (lost || !track.Prediction) t.CPA = t.TCPA = t.RelativeVector = "-";
    return t;
}

uint64_t TrackingSeed(const std::string& scenarioName) {
    // FNV-1a: the same name gives the same seed on every machine.
    uint64_t h = 14695981039346656037ull;
    for (const char c : scenarioName) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

void TrackingPicture::Start(uint64_t seed, double time) {
    tracker_ = Tracker{};
    radar_ = RadarSettings{};
    radar_.Exercise = seed;
    radar_.Epoch = time;
    radar_.GyroError = gyroError_;
    radar_.LogError = logError_;
    alerts_.clear();
    events_.clear();
    SetAutoZone(autoZone_);
}

bool TrackingPicture::Step(const std::vector<PointD>& before, double from, double now,
                           const VesselTables& vessels) {
    if (vessels.NumVessels <= 0 || before.size() != vessels.VesselPos.size()) return false;
    for (const Scan& scan : ScansOverTick(radar_, from, now, before, vessels))
        tracker_.Update(scan);
    bool raised = false;
    const auto add = [this, &raised](TrackAlertKind kind, int track) {
        // One standing alert of a kind for a track: a second is no news.
        const TrackAlert fresh{kind, track, false};
        if (std::find(alerts_.begin(), alerts_.end(), fresh) != alerts_.end()) return;
        alerts_.push_back(fresh);
        raised = true;
    };
    for (const TrackEvent& e : tracker_.TakeEvents()) {
        events_.push_back(e);
        // Acquisitions by hand are taken in Acquire: any seen here came from the zone.
        if (e.Kind == TrackEventKind::Acquired) add(TrackAlertKind::NewTarget, e.Track);
        if (e.Kind == TrackEventKind::Lost) add(TrackAlertKind::Lost, e.Track);
        if (e.Kind == TrackEventKind::CapacityWarning || e.Kind == TrackEventKind::Refused)
            add(TrackAlertKind::Capacity, 0);
    }
    return raised;
}

bool TrackingPicture::UpdateDanger(const std::vector<TrackView>& views, const AlarmLimits& limits) {
    bool raised = false;
    std::vector<TrackAlert> kept;
    for (const TrackAlert& a : alerts_) {
        // An acknowledged event has been seen: it goes. A danger stays while it lasts.
        if (a.Kind != TrackAlertKind::Danger && !a.Acknowledged) kept.push_back(a);
    }
    for (const TrackView& v : views) {
        if (!v.Prediction || AlarmFor(v.Aid, limits) == AlarmCause::None) continue;
        const auto was = std::find_if(alerts_.begin(), alerts_.end(), [&v](const TrackAlert& a) {
            return a.Kind == TrackAlertKind::Danger && a.Track == v.Id;
        });
        if (was == alerts_.end()) raised = true;
        kept.push_back({TrackAlertKind::Danger, v.Id, was != alerts_.end() && was->Acknowledged});
    }
    alerts_ = std::move(kept);
    return raised;
}

std::optional<int> TrackingPicture::Acquire(const PointD& at, double time) {
    const std::optional<int> id = tracker_.Acquire(at, time);
    for (const TrackEvent& e : tracker_.TakeEvents()) {
        events_.push_back(e);
        if (e.Kind == TrackEventKind::Refused &&
            std::find(alerts_.begin(), alerts_.end(),
                      TrackAlert{TrackAlertKind::Capacity, 0, false}) == alerts_.end())
            alerts_.push_back({TrackAlertKind::Capacity, 0, false});
    }
    return id;
}

bool TrackingPicture::Cancel(int id) {
    if (!tracker_.Cancel(id)) return false;
    std::erase_if(alerts_, [id](const TrackAlert& a) { return a.Track == id; });
    return true;
}

void TrackingPicture::CancelAll() {
    tracker_.CancelAll();
    std::erase_if(alerts_, [](const TrackAlert& a) { return a.Track != 0; });
}

void TrackingPicture::SetAutoZone(bool on) {
    autoZone_ = on;
    std::vector<RingSector> zones;
    if (on) zones.push_back({kAutoZoneInner, kAutoZoneOuter, 0, 0});
    tracker_.SetAutoZones(zones);
}

std::vector<TrackView> TrackingPicture::Views(const VesselTables& vessels,
                                              const SeaCurrent& current, double vectorMinutes,
                                              bool seaStabilised) const {
    std::vector<TrackView> views;
    if (vessels.NumVessels <= 0) return views;
    const auto ownIdx = static_cast<size_t>(vessels.OwnVessel);
    const PointD own = vessels.VesselPos.at(ownIdx);
    const VesselData& ownData = vessels.Vessel.at(ownIdx);
    // The track's motion is over the ground, so the own vessel's must be too.
    const CourseSpeed ground = OverGround(ownData.Heading, ownData.Speed, current);
    const double ownVX = ground.Speed * std::cos(ground.Course * kDegrees);
    const double ownVY = ground.Speed * std::sin(ground.Course * kDegrees);
    const double hours = vectorMinutes / 60.0;
    const TrackerSettings& s = tracker_.Settings();
    for (const Track& t : tracker_.Tracks()) {
        TrackView v;
        v.Id = t.Id;
        v.State = t.State;
        v.Trend = t.Trend(s);
        v.Prediction = t.Prediction(s);
        v.LastPlot = t.LastPlot;
        v.Past.assign(t.Past.begin(), t.Past.begin() + std::clamp(t.PastCount, 0, 4));
        TargetAid& a = v.Aid;
        a.Vessel = t.Id;
        a.Position = t.Position;
        GetVector(own, t.Position, a.Bearing, a.Range);
        a.Course = t.Course();
        a.Speed = t.Speed();
        a.TrueEnd = TrackVectorEnd(t, vectorMinutes);
        if (seaStabilised) {
            const PointD water = SeaStabilised({t.VX, t.VY}, Current{current.Set, current.Drift});
            double speed = 0;
            GetVector(PointD{}, water, a.Course, speed);
            a.Speed = static_cast<float>(speed);
            a.TrueEnd = PointD{t.Position.X + water.X * hours, t.Position.Y + water.Y * hours};
        }
        a.Cpa =
            TrackCpa(t, own, static_cast<float>(ground.Course), static_cast<float>(ground.Speed));
        a.RelativeEnd =
            PointD{t.Position.X + (t.VX - ownVX) * hours, t.Position.Y + (t.VY - ownVY) * hours};
        views.push_back(std::move(v));
    }
    return views;
}

std::optional<int> TrackingPicture::Nearest(const PointD& at, double reach) const {
    std::optional<int> best;
    double bestDistance = reach;
    for (const Track& t : tracker_.Tracks()) {
        const PointD& p = t.State == TrackState::Lost ? t.LastPlot : t.Position;
        const double d = std::hypot(p.X - at.X, p.Y - at.Y);
        if (d <= bestDistance) bestDistance = d, best = t.Id;
    }
    return best;
}

void TrackingPicture::AcknowledgeAll() {
    for (TrackAlert& a : alerts_)
        a.Acknowledged = true;
}

bool TrackingPicture::AnyUnacknowledged() const {
    return std::any_of(alerts_.begin(), alerts_.end(),
                       [](const TrackAlert& a) { return !a.Acknowledged; });
}

bool TrackingPicture::InDanger(int id) const {
    return std::any_of(alerts_.begin(), alerts_.end(), [id](const TrackAlert& a) {
        return a.Kind == TrackAlertKind::Danger && a.Track == id;
    });
}

bool TrackingPicture::DangerUnacknowledged(int id) const {
    return std::any_of(alerts_.begin(), alerts_.end(), [id](const TrackAlert& a) {
        return a.Kind == TrackAlertKind::Danger && a.Track == id && !a.Acknowledged;
    });
}

} // namespace mv
