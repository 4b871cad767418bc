#include "gui/plot_overlays.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace item {
QString lneIndex(int line) {
    return QString("lneIndex(%1)").arg(line);
}
QString lblIndex(int line) {
    return QString("lblIndex(%1)").arg(line);
}
QString lneTrial(int slot, int leg) {
    return QString("lneTrial(%1,%2)").arg(slot).arg(leg);
}
} // namespace item

bool ClipToCircle(PointD& a, PointD& b, double radius) {
    // Points a + t (b - a) for t in [0, 1] at a distance of `radius`: a quadratic in t.
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double qa = dx * dx + dy * dy;
    const double qb = 2 * (a.X * dx + a.Y * dy);
    const double qc = a.X * a.X + a.Y * a.Y - radius * radius;
    if (qa <= 0) return qc < 0;
    const double disc = qb * qb - 4 * qa * qc;
    if (disc <= 0) return false;
    const double root = std::sqrt(disc);
    const double t0 = std::max(0.0, (-qb - root) / (2 * qa));
    const double t1 = std::min(1.0, (-qb + root) / (2 * qa));
    if (t0 >= t1) return false;
    const PointD from = a;
    a = {from.X + t0 * dx, from.Y + t0 * dy};
    b = {from.X + t1 * dx, from.Y + t1 * dy};
    return true;
}

PlotOverlays::PlotOverlays(WorldPicture& picture) : picture_(picture) {
    using Kind = WorldPicture::ItemKind;
    for (int i = 0; i < kIndexLineCount; ++i) {
        picture_.declare(item::lneIndex(i), Kind::Line, false);
        picture_.declare(item::lblIndex(i), Kind::Label, false);
    }
    for (int v = 0; v < kMaxVessels; ++v)
        for (int leg = 0; leg < kTrialLegs; ++leg)
            picture_.declare(item::lneTrial(v, leg), Kind::Line, false);
    picture_.declare(item::lblTrial, Kind::Label, false);
}

void PlotOverlays::PlaceLine(const QString& name, const Simulation& sim, const TickDisplay& tick,
                             PointD a, PointD b, QColor colour, Qt::PenStyle style) {
    // Dashes two pixels wide, so that a predicted track reads at once beside the thin EBL.
    const int width = style == Qt::SolidLine ? 1 : 2;
    const VesselTables& v = sim.Vessels;
    if (!ClipToCircle(a, b, tick.Range)) {
        picture_.setVisible(name, false);
        return;
    }
    const PointD own = v.VesselPos[static_cast<size_t>(v.OwnVessel)];
    const PointD p = ToPicture(v, tick, {own.X + a.X, own.Y + a.Y});
    const PointD q = ToPicture(v, tick, {own.X + b.X, own.Y + b.Y});
    picture_.setOverlayLine(name, p.Y, p.X, q.Y, q.X, colour, width, style);
    picture_.setVisible(name, true);
}

void PlotOverlays::ShowIndexLines(const Simulation& sim, const RadarDisplayState& state,
                                  const Palette& colours) {
    const TickDisplay& tick = state.Tick;
    const bool allowed = state.Aids.Allowed.IndexLines && sim.Vessels.NumVessels > 0;
    // The legend at the top right, under the plotting captions, each line flush right.
    const double r = tick.Range;
    const double right = picture_.left() + 1.98 * r;
    double top = picture_.top() - 0.01 * r;
    bool first = true;
    for (int i = 0; i < kIndexLineCount; ++i) {
        const IndexLine& line = state.Index[static_cast<size_t>(i)];
        const QString label = item::lblIndex(i);
        const auto ends = allowed ? IndexLineEnds(line, r) : std::nullopt;
        if (ends)
            PlaceLine(item::lneIndex(i), sim, tick, ends->first, ends->second, colours.indexLine,
                      Qt::SolidLine);
        else
            picture_.setVisible(item::lneIndex(i), false);
        const bool listed = allowed && line.On;
        picture_.setVisible(label, listed);
        if (!listed) continue;
        picture_.setLabel(label, QString::fromStdString(IndexLineCaption(i, line)),
                          colours.indexLine);
        const double h = picture_.labelHeight(label);
        if (first) top -= 2 * h; // below the plot caption and the plot clock
        first = false;
        picture_.moveLabel(label, right - picture_.labelWidth(label), top);
        top -= h;
    }
}

void PlotOverlays::ShowTrial(const Simulation& sim, const RadarDisplayState& state,
                             const TrialOutcome* trial, const Palette& colours) {
    for (int v = 0; v < kMaxVessels; ++v)
        for (int leg = 0; leg < kTrialLegs; ++leg)
            picture_.setVisible(item::lneTrial(v, leg), false);
    const bool shown = trial && sim.Vessels.NumVessels > 0;
    picture_.setVisible(item::lblTrial, shown);
    if (!shown) return;
    for (const TrialTarget& t : trial->Targets) {
        if (t.Vessel < 0 || t.Vessel >= kMaxVessels) continue;
        for (size_t leg = 0; leg + 1 < t.Track.size() && leg < kTrialLegs; ++leg)
            PlaceLine(item::lneTrial(t.Vessel, static_cast<int>(leg)), sim, state.Tick,
                      t.Track[leg], t.Track[leg + 1], colours.trial, Qt::DashLine);
    }
    // Plainly in the top left corner, under the orientation, range and ring captions.
    const double r = state.Tick.Range;
    picture_.setLabel(item::lblTrial, "TRIAL", colours.trial);
    const double h = picture_.labelHeight(item::lblTrial);
    picture_.moveLabel(item::lblTrial, picture_.left() + 0.02 * r,
                       picture_.top() - 0.01 * r - 3 * h);
}

} // namespace mv
