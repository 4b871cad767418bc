#include "gui/radar_aids.h"

#include "gui/palette.h"
#include "gui/radar_items.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace item {
QString lneVector(int slot) {
    return SlotName(slot, [](int i) { return QString("lneVector(%1)").arg(i); });
}
QString ptsTrueTrail(int slot) {
    return SlotName(slot, [](int i) { return QString("ptsTrueTrail(%1)").arg(i); });
}
QString shpPicked(int slot) {
    return SlotName(slot, [](int i) { return QString("shpPicked(%1)").arg(i); });
}
QString shpAlarm(int slot) {
    return SlotName(slot, [](int i) { return QString("shpAlarm(%1)").arg(i); });
}
} // namespace item

RadarAids::RadarAids(WorldPicture& picture) : picture_(picture) {
    using Kind = WorldPicture::ItemKind;
    for (int i = 0; i < kMaxVessels; ++i) {
        picture_.declare(item::lneVector(i), Kind::Line, false);
        picture_.declare(item::ptsTrueTrail(i), Kind::Points, false);
        picture_.declare(item::shpPicked(i), Kind::Circle, false);
        picture_.declare(item::shpAlarm(i), Kind::Circle, false);
    }
    picture_.declare(item::lneOwnVector, Kind::Line, false);
    picture_.declare(item::shpGuardRing, Kind::Circle, false);
}

void RadarAids::Show(const Simulation& sim, const RadarDisplayState& state,
                     const std::vector<TargetAid>& aids) {
    const VesselTables& v = sim.Vessels;
    const TickDisplay& tick = state.Tick;
    const AidSettings& a = state.Aids;
    const Palette& colours = PaletteFor(state.Colours);
    for (int i = 0; i < kMaxVessels; ++i)
        for (const QString& name :
             {item::lneVector(i), item::ptsTrueTrail(i), item::shpPicked(i), item::shpAlarm(i)})
            picture_.setVisible(name, false);
    picture_.setVisible(item::lneOwnVector, false);
    picture_.setVisible(item::shpGuardRing, false);
    if (v.NumVessels <= 0) return;

    const PointD own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    // Marks about an echo a fixed share of the range, so they look alike at every scale.
    const double markRadius = tick.Range / 30.0;
    for (const TargetAid& t : aids) {
        const int i = t.Vessel;
        if (i < 0 || i >= kMaxVessels || !(t.Range < tick.Range)) continue;
        const PointD echo = ToPicture(v, tick, t.Position);
        if (tick.PlotOn && tick.TrueTrails) ShowTrail(sim, state, i);
        // With ARPA on the student's vectors and marks are the tracker's: the truth's stay out.
        if (a.Arpa) continue;
        if (a.Vectors != VectorMode::Off) {
            const bool rel = a.Vectors == VectorMode::Relative;
            const PointD end = ToPicture(v, tick, rel ? t.RelativeEnd : t.TrueEnd);
            picture_.setOverlayLine(item::lneVector(i), echo.Y, echo.X, end.Y, end.X,
                                    rel ? colours.relativeVector : colours.trueVector, 1);
            picture_.setVisible(item::lneVector(i), true);
        }
        if (std::find(a.Picked.begin(), a.Picked.end(), i) != a.Picked.end()) {
            picture_.setOverlayCircle(item::shpPicked(i), echo.Y, echo.X, markRadius,
                                      colours.picked);
            picture_.setVisible(item::shpPicked(i), true);
        }
        if (a.Alarms.InDanger(i)) {
            picture_.setOverlayCircle(item::shpAlarm(i), echo.Y, echo.X, 1.5 * markRadius,
                                      a.Alarms.Unacknowledged(i) ? colours.danger
                                                                 : colours.dangerSeen);
            picture_.setVisible(item::shpAlarm(i), true);
        }
    }
    if (a.Vectors == VectorMode::True) {
        const PointD end = ToPicture(v, tick, OwnTrueVectorEnd(v, a.VectorMinutes()));
        picture_.setOverlayLine(item::lneOwnVector, own.Y, own.X, end.Y, end.X, colours.trueVector,
                                1);
        picture_.setVisible(item::lneOwnVector, true);
    }
    if (a.Limits.GuardOn && a.Limits.GuardRange < tick.Range) {
        picture_.setOverlayCircle(item::shpGuardRing, own.Y, own.X, a.Limits.GuardRange,
                                  colours.guardRing);
        picture_.setVisible(item::shpGuardRing, true);
    }
}

void RadarAids::ShowTrail(const Simulation& sim, const RadarDisplayState& state, int vessel) {
    const VesselTables& v = sim.Vessels;
    const PointD own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    state.Tick.Trails.Points(vessel, trail_);
    dots_.clear();
    // Only the points inside the range circle are drawn: the cost is the points shown, never
    // the length of the exercise.
    for (const PointD& p : trail_) {
        if (!(std::hypot(p.X - own.X, p.Y - own.Y) < state.Tick.Range)) continue;
        const PointD q = ToPicture(v, state.Tick, p);
        dots_.emplace_back(q.Y, q.X);
    }
    const QString name = item::ptsTrueTrail(vessel);
    picture_.setOverlayPoints(name, dots_, PaletteFor(state.Colours).trueTrail,
                              std::max<int>(3, state.EchoWidth));
    picture_.setVisible(name, !dots_.empty());
}

} // namespace mv
