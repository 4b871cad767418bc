#include "gui/run_tracks.h"

#include "core/number_text.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// The square of sea (nautical miles) that holds every position of the run, with a margin.
struct SeaSquare {
    double north = 0, west = 0, side = 1;
};

SeaSquare SquareOf(const RunRecord& run) {
    double n0 = 1e300, n1 = -1e300, e0 = 1e300, e1 = -1e300;
    for (const RunTick& t : run.Ticks)
        for (const RunVesselState& v : t.Vessels) {
            n0 = std::min(n0, v.Pos.X);
            n1 = std::max(n1, v.Pos.X);
            e0 = std::min(e0, v.Pos.Y);
            e1 = std::max(e1, v.Pos.Y);
        }
    // At least a mile across, so a vessel at a standstill is not a point at infinite scale.
    const double side = std::max({n1 - n0, e1 - e0, 1.0}) * 1.15;
    return {(n0 + n1) / 2 + side / 2, (e0 + e1) / 2 - side / 2, side};
}

} // namespace

int TimeMarkMinutes(const RunRecord& run) {
    double first = run.Ticks.front().SimTime, last = first;
    for (const RunTick& t : run.Ticks)
        last = std::max(last, t.SimTime);
    const double minutes = (last - first) * 1440.0;
    for (const int m : {3, 6, 12, 30})
        if (minutes / m <= 20) return m;
    return 60;
}

void PaintTracks(QPainter& p, const QRectF& area, const RunRecord& run, std::size_t upTo,
                 const Palette& c, bool timeMarks) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, c.trueSea);
    const SeaSquare sea = SquareOf(run);
    const double px = std::min(area.width(), area.height()) / sea.side;
    const QPointF origin(area.center().x() - sea.side * px / 2,
                         area.center().y() - sea.side * px / 2);
    const auto at = [&](const PointD& pos) {
        return origin + QPointF((pos.Y - sea.west) * px, (sea.north - pos.X) * px);
    };
    upTo = std::min(upTo, run.Ticks.size() - 1);
    const int own = run.Ticks[upTo].OwnVessel;
    const double markDays = TimeMarkMinutes(run) / 1440.0;
    QFont small = p.font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    for (std::size_t v = 0; v < run.Vessels.size(); ++v) {
        const QColor colour = static_cast<int>(v) == own ? c.trueOwn : c.trueTarget;
        QPainterPath path;
        for (std::size_t k = 0; k <= upTo; ++k) {
            const QPointF point = at(run.Ticks[k].Vessels[v].Pos);
            // A repeat takes the vessels back: the track starts again there.
            if (k == 0 || run.Ticks[k].SimTime < run.Ticks[k - 1].SimTime)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        p.setPen(QPen(c.trueTrack, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        if (timeMarks) {
            p.setFont(small);
            for (std::size_t k = 1; k <= upTo; ++k) {
                const double t0 = run.Ticks[k - 1].SimTime, t1 = run.Ticks[k].SimTime;
                // A mark where the track crosses a whole interval of sea time.
                if (t1 <= t0 ||
                    std::floor(t1 / markDays + 1e-9) == std::floor(t0 / markDays + 1e-9))
                    continue;
                const QPointF point = at(run.Ticks[k].Vessels[v].Pos);
                p.setPen(Qt::NoPen);
                p.setBrush(colour);
                p.drawEllipse(point, 2.5, 2.5);
                if (static_cast<int>(v) == own) {
                    p.setPen(c.trueOwn);
                    p.drawText(point + QPointF(5, -4),
                               QString::fromStdString(FormatClock(t1).substr(0, 5)));
                }
            }
        }
        const QPointF now = at(run.Ticks[upTo].Vessels[v].Pos);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(now, 3.5, 3.5);
        QFont bold = p.font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(colour);
        p.drawText(now + QPointF(6, 12), QString::fromStdString(run.Vessels[v].Name));
    }
    // The scale: a bar of a round number of miles in the bottom left corner.
    double bar = 1;
    for (const double miles : {0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0})
        if (miles * px <= area.width() / 4) bar = miles;
    const QPointF left = area.bottomLeft() + QPointF(10, -10);
    p.setPen(QPen(c.trueGrid, 2));
    p.drawLine(left, left + QPointF(bar * px, 0));
    p.setFont(small);
    p.drawText(left + QPointF(0, -5), QString("%1 nm, north up").arg(bar));
    p.restore();
}

} // namespace mv
