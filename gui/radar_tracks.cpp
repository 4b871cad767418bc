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
    for (int id = 1; id <= capacity_; ++id) {
        picture_.declare(item::shpTrack(id), Kind::Circle, false);
        picture_.declare(item::ptsTrackAcquiring(id), Kind::Points, false);
        picture_.declare(item::lneTrackVector(id), Kind::Line, false);
        picture_.declare(item::ptsTrackPast(id), Kind::Points, false);
        for (int k = 0; k < 2; ++k)
            picture_.declare(item::lneTrackLost(id, k), Kind::Line, false);
        for (int k = 0; k < 4; ++k)
            picture_.declare(item::lneTrackSelected(id, k), Kind::Line, false);
        picture_.declare(item::lblTrack(id), Kind::Label, false);
    }
}

void RadarTracks::HideAll() {
    for (int id = 1; id <= capacity_; ++id) {
        for (const QString& name :
             {item::shpTrack(id), item::ptsTrackAcquiring(id), item::lneTrackVector(id),
              item::ptsTrackPast(id), item::lblTrack(id)})
            picture_.setVisible(name, false);
        for (int k = 0; k < 2; ++k)
            picture_.setVisible(item::lneTrackLost(id, k), false);
        for (int k = 0; k < 4; ++k)
            picture_.setVisible(item::lneTrackSelected(id, k), false);
    }
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

        if (t.State == TrackState::Acquiring) {
            dots_.clear();
            for (int k = 0; k < kBrokenDots; ++k) {
                const double angle = 2 * kPi * k / kBrokenDots;
                dots_.emplace_back(p.Y + r * std::sin(angle), p.X + r * std::cos(angle));
            }
            picture_.setOverlayPoints(item::ptsTrackAcquiring(t.Id), dots_, colour, dotPixels);
            picture_.setVisible(item::ptsTrackAcquiring(t.Id), true);
        } else {
            picture_.setOverlayCircle(item::shpTrack(t.Id), p.Y, p.X, r, colour);
            picture_.setVisible(item::shpTrack(t.Id), true);
        }
        if (lost) {
            // The cross through the circle, corner to corner of its square.
            const double d = r * std::sqrt(0.5) * 1.6;
            picture_.setOverlayLine(item::lneTrackLost(t.Id, 0), p.Y - d, p.X - d, p.Y + d, p.X + d,
                                    colour, 1);
            picture_.setOverlayLine(item::lneTrackLost(t.Id, 1), p.Y - d, p.X + d, p.Y + d, p.X - d,
                                    colour, 1);
            for (int k = 0; k < 2; ++k)
                picture_.setVisible(item::lneTrackLost(t.Id, k), true);
        }
        if (!lost && t.Trend && a.Vectors != VectorMode::Off) {
            const bool rel = a.Vectors == VectorMode::Relative;
            const PointD end = ToPicture(v, tick, rel ? t.Aid.RelativeEnd : t.Aid.TrueEnd);
            picture_.setOverlayLine(
                item::lneTrackVector(t.Id), p.Y, p.X, end.Y, end.X,
                danger ? colours.danger : (rel ? colours.relativeVector : colours.trueVector), 1);
            picture_.setVisible(item::lneTrackVector(t.Id), true);
        }
        if (!lost && !t.Past.empty()) {
            dots_.clear();
            for (const PointD& past : t.Past) {
                const PointD q = ToPicture(v, tick, past);
                dots_.emplace_back(q.Y, q.X);
            }
            picture_.setOverlayPoints(item::ptsTrackPast(t.Id), dots_, colour, dotPixels);
            picture_.setVisible(item::ptsTrackPast(t.Id), true);
        }
        if (std::find(a.PickedTracks.begin(), a.PickedTracks.end(), t.Id) != a.PickedTracks.end()) {
            const double s = 1.5 * r;
            const double corners[5][2] = {
                {-s, -s}, {-s, s}, {s, s}, {s, -s}, {-s, -s}}; // (east, north) offsets
            for (int k = 0; k < 4; ++k) {
                picture_.setOverlayLine(item::lneTrackSelected(t.Id, k), p.Y + corners[k][0],
                                        p.X + corners[k][1], p.Y + corners[k + 1][0],
                                        p.X + corners[k + 1][1], colours.picked, 1);
                picture_.setVisible(item::lneTrackSelected(t.Id, k), true);
            }
        }
        picture_.setLabel(item::lblTrack(t.Id), QString::number(t.Id), colour);
        // Beside the symbol, up and right of it, clear of the vector in most directions.
        picture_.moveLabel(item::lblTrack(t.Id), p.Y + 1.2 * r, p.X + 1.2 * r);
        picture_.setVisible(item::lblTrack(t.Id), true);
    }
}

} // namespace mv
