#include "gui/radar_tracks.h"

#include "gui/palette.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace item {
QString shpTrack(int id) {
    return QString("shpTrack(%1)").arg(id);
}
QString ptsTrackAcquiring(int id) {
    return QString("ptsTrackAcquiring(%1)").arg(id);
}
QString lneTrackVector(int id) {
    return QString("lneTrackVector(%1)").arg(id);
}
QString ptsTrackPast(int id) {
    return QString("ptsTrackPast(%1)").arg(id);
}
QString lneTrackLost(int id, int stroke) {
    return QString("lneTrackLost(%1,%2)").arg(id).arg(stroke);
}
QString lneTrackSelected(int id, int side) {
    return QString("lneTrackSelected(%1,%2)").arg(id).arg(side);
}
QString lblTrack(int id) {
    return QString("lblTrack(%1)").arg(id);
}
} // namespace item

namespace {
constexpr double kPi = 3.14159265358979323846;
// Dots of the broken circle: enough to read as a ring, with gaps as wide as the dots.
constexpr int kBrokenDots = 16;
} // namespace

RadarTracks::RadarTracks(WorldPicture& picture, int capacity)
    : picture_(picture), capacity_(capacity) {
    using Kind = WorldPicture::ItemKind;
    names_.reserve(static_cast<size_t>(std::max(capacity_, 0)));
    for (int id = 1; id <= capacity_; ++id) {
        Names& n = names_.emplace_back();
        n.circle = item::shpTrack(id);
        n.acquiring = item::ptsTrackAcquiring(id);
        n.vector = item::lneTrackVector(id);
        n.past = item::ptsTrackPast(id);
        n.label = item::lblTrack(id);
        picture_.declare(n.circle, Kind::Circle, false);
        picture_.declare(n.acquiring, Kind::Points, false);
        picture_.declare(n.vector, Kind::Line, false);
        picture_.declare(n.past, Kind::Points, false);
        for (int k = 0; k < 2; ++k)
            picture_.declare(n.lost[k] = item::lneTrackLost(id, k), Kind::Line, false);
        for (int k = 0; k < 4; ++k)
            picture_.declare(n.selected[k] = item::lneTrackSelected(id, k), Kind::Line, false);
        picture_.declare(n.label, Kind::Label, false);
    }
}

void RadarTracks::HideAll() {
    // Only the items the last Show put up can be showing: every other one was declared hidden.
    for (const int id : shown_) {
        const Names& n = names_[static_cast<size_t>(id - 1)];
        for (const QString* name : {&n.circle, &n.acquiring, &n.vector, &n.past, &n.label})
            picture_.setVisible(*name, false);
        for (const QString& name : n.lost)
            picture_.setVisible(name, false);
        for (const QString& name : n.selected)
            picture_.setVisible(name, false);
    }
    shown_.clear();
}

void RadarTracks::Show(const Simulation& sim, const RadarDisplayState& state,
                       const std::vector<TrackView>& tracks, const std::vector<TrackAlert>& alerts,
                       bool flashOn) {
    HideAll();
    const VesselTables& v = sim.Vessels;
    if (!state.Aids.Arpa || v.NumVessels <= 0) return;
    const TickDisplay& tick = state.Tick;
    const AidSettings& a = state.Aids;
    const Palette& colours = PaletteFor(state.Colours);
    const PointD own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    // Symbols a fixed share of the range, so they look alike at every scale: about 6 mm on a
    // 30 cm picture, as a ship's display draws them.
    const double r = tick.Range / 40.0;
    const int dotPixels = std::max<int>(2, state.EchoWidth);
    for (const TrackView& t : tracks) {
        if (t.Id < 1 || t.Id > capacity_) continue;
        const bool lost = t.State == TrackState::Lost;
        const PointD at = lost ? t.LastPlot : t.Aid.Position;
        if (!(std::hypot(at.X - own.X, at.Y - own.Y) < tick.Range)) continue;
        const PointD p = ToPicture(v, tick, at);
        const auto alert = std::find_if(alerts.begin(), alerts.end(), [&t](const TrackAlert& x) {
            return x.Kind == TrackAlertKind::Danger && x.Track == t.Id;
        });
        const bool danger = alert != alerts.end();
        const bool flashing = danger && !alert->Acknowledged;
        // A flashing symbol is drawn in one half of the flash and gone in the other.
        if (flashing && !flashOn) continue;
        const QColor colour = danger ? colours.danger : colours.marker;
        const Names& n = names_[static_cast<size_t>(t.Id - 1)];
        shown_.push_back(t.Id);

        if (t.State == TrackState::Acquiring) {
            dots_.clear();
            for (int k = 0; k < kBrokenDots; ++k) {
                const double angle = 2 * kPi * k / kBrokenDots;
                dots_.emplace_back(p.Y + r * std::sin(angle), p.X + r * std::cos(angle));
            }
            picture_.setOverlayPoints(n.acquiring, dots_, colour, dotPixels);
            picture_.setVisible(n.acquiring, true);
        } else {
            picture_.setOverlayCircle(n.circle, p.Y, p.X, r, colour);
            picture_.setVisible(n.circle, true);
        }
        if (lost) {
            // The cross through the circle, corner to corner of its square.
            const double d = r * std::sqrt(0.5) * 1.6;
            picture_.setOverlayLine(n.lost[0], p.Y - d, p.X - d, p.Y + d, p.X + d, colour, 1);
            picture_.setOverlayLine(n.lost[1], p.Y - d, p.X + d, p.Y + d, p.X - d, colour, 1);
            for (int k = 0; k < 2; ++k)
                picture_.setVisible(n.lost[k], true);
        }
        if (!lost && t.Trend && a.Vectors != VectorMode::Off) {
            const bool rel = a.Vectors == VectorMode::Relative;
            const PointD end = ToPicture(v, tick, rel ? t.Aid.RelativeEnd : t.Aid.TrueEnd);
            picture_.setOverlayLine(
                n.vector, p.Y, p.X, end.Y, end.X,
                danger ? colours.danger : (rel ? colours.relativeVector : colours.trueVector), 1);
            picture_.setVisible(n.vector, true);
        }
        if (!lost && !t.Past.empty()) {
            dots_.clear();
            for (const PointD& past : t.Past) {
                const PointD q = ToPicture(v, tick, past);
                dots_.emplace_back(q.Y, q.X);
            }
            picture_.setOverlayPoints(n.past, dots_, colour, dotPixels);
            picture_.setVisible(n.past, true);
        }
        if (std::find(a.PickedTracks.begin(), a.PickedTracks.end(), t.Id) != a.PickedTracks.end()) {
            const double s = 1.5 * r;
            const double corners[5][2] = {
                {-s, -s}, {-s, s}, {s, s}, {s, -s}, {-s, -s}}; // (east, north) offsets
            for (int k = 0; k < 4; ++k) {
                picture_.setOverlayLine(n.selected[k], p.Y + corners[k][0], p.X + corners[k][1],
                                        p.Y + corners[k + 1][0], p.X + corners[k + 1][1],
                                        colours.picked, 1);
                picture_.setVisible(n.selected[k], true);
            }
        }
        picture_.setLabel(n.label, QString::number(t.Id), colour);
        // Beside the symbol, up and right of it, clear of the vector in most directions.
        picture_.moveLabel(n.label, p.Y + 1.2 * r, p.X + 1.2 * r);
        picture_.setVisible(n.label, true);
    }
}

} // namespace mv
