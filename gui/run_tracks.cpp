#include "gui/run_tracks.h"

#include "core/number_text.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mv {

int TrackLines::CellsFor(double pixels) {
    int cells = 256;
    while (cells < 2 * pixels && cells < 8192)
        cells *= 2;
    return cells;
}

TrackLines::TrackLines(const RunRecord& run, int cells) : run_(run), cells_(cells) {
    double n0 = 1e300, n1 = -1e300, e0 = 1e300, e1 = -1e300;
    for (const RunTick& t : run.Ticks)
        for (const RunVesselState& v : t.Vessels) {
            n0 = std::min(n0, v.Pos.X);
            n1 = std::max(n1, v.Pos.X);
            e0 = std::min(e0, v.Pos.Y);
            e1 = std::max(e1, v.Pos.Y);
        }
    // At least a mile across, so a vessel at a standstill is not a point at infinite scale.
    side_ = std::max({n1 - n0, e1 - e0, 1.0}) * 1.15;
    north_ = (n0 + n1) / 2 + side_ / 2;
    west_ = (e0 + e1) / 2 - side_ / 2;
    const double perCell = cells / side_;
    const auto cell = [&](const PointD& p) -> std::uint32_t {
        const auto row = std::clamp(static_cast<int>((north_ - p.X) * perCell), 0, cells - 1);
        const auto column = std::clamp(static_cast<int>((p.Y - west_) * perCell), 0, cells - 1);
        return static_cast<std::uint32_t>(row * cells + column);
    };
    pieces_.resize(run.Vessels.size());
    points_.resize(run.Vessels.size());
    // A straight run of points is one piece: a point joins the piece from the last corner
    // while it lies no nearer the corner than the point before and every point since the
    // corner stays within half a cell of the line to it (the directions allowed narrow as
    // the points go, and a point outside them makes the point before a corner).
    const double within = 0.5 / perCell; // nautical miles
    for (std::size_t v = 0; v < run.Vessels.size(); ++v) {
        std::vector<bool> crossed(static_cast<std::size_t>(cells) *
                                  static_cast<std::size_t>(cells));
        Point corner{0, {}, true}, pending{0, {}, false};
        bool hasPending = false, aimed = false;
        double reach = 0, aim = 0, low = 0, high = 0; // miles from the corner; radians
        const auto closePiece = [&] {
            if (!hasPending) return;
            // A piece over cells the track has all crossed before adds nothing to the picture.
            const PointD &a = corner.Pos, &b = pending.Pos;
            const auto steps =
                static_cast<int>(std::ceil(2 * std::hypot(b.X - a.X, b.Y - a.Y) * perCell)) + 1;
            bool fresh = false;
            for (int i = 0; i <= steps; ++i) {
                const double f = static_cast<double>(i) / steps;
                const std::uint32_t c = cell({a.X + f * (b.X - a.X), a.Y + f * (b.Y - a.Y)});
                if (!crossed[c]) fresh = crossed[c] = true;
            }
            if (fresh) pieces_[v].push_back({pending.Moment, a, b});
            points_[v].push_back(pending);
            corner = pending;
            hasPending = aimed = false;
            reach = 0;
        };
        // Whether `p` extends the piece from the corner, narrowing its directions if so.
        const auto extends = [&](const PointD& p) {
            const double dx = p.X - corner.Pos.X, dy = p.Y - corner.Pos.Y;
            const double d = std::hypot(dx, dy);
            if (d < reach) return false;
            reach = d;
            if (d <= within) return true;
            const double half = std::asin(within / d), heading = std::atan2(dy, dx);
            if (!aimed) {
                aimed = true;
                aim = heading;
                low = -half;
                high = half;
                return true;
            }
            const double off = std::remainder(heading - aim, 2 * std::numbers::pi);
            if (off < low || off > high) return false;
            low = std::max(low, off - half);
            high = std::min(high, off + half);
            return true;
        };
        std::uint32_t lastCell = 0;
        for (std::size_t k = 0; k < run.Ticks.size(); ++k) {
            const PointD& pos = run.Ticks[k].Vessels[v].Pos;
            const std::uint32_t here = cell(pos);
            const bool start = k == 0 || run.Ticks[k].SimTime < run.Ticks[k - 1].SimTime;
            if (!start && here == lastCell) continue;
            lastCell = here;
            const Point point{static_cast<std::uint32_t>(k), pos, start};
            if (start) {
                closePiece();
                corner = point;
                points_[v].push_back(point);
                continue;
            }
            const double before = reach;
            if (!extends(pos)) {
                reach = before;
                closePiece();
                extends(pos);
            }
            pending = point;
            hasPending = true;
        }
        closePiece();
    }
}

const TrackLines::Point& TrackLines::LastPoint(std::size_t vessel, std::size_t upTo) const {
    const std::vector<Point>& points = points_[vessel];
    const auto after = std::upper_bound(points.begin(), points.end(), upTo,
                                        [](std::size_t k, const Point& p) { return k < p.Moment; });
    return *std::prev(after); // the first moment's point is always kept
}

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
    const double pixels = std::min(area.width(), area.height()) * p.device()->devicePixelRatioF();
    PaintTracks(p, area, TrackLines(run, TrackLines::CellsFor(pixels)), upTo, c, timeMarks);
}

void PaintTracks(QPainter& p, const QRectF& area, const TrackLines& lines, std::size_t upTo,
                 const Palette& c, bool timeMarks) {
    const RunRecord& run = lines.run();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, c.trueSea);
    const double px = std::min(area.width(), area.height()) / lines.side();
    const QPointF origin(area.center().x() - lines.side() * px / 2,
                         area.center().y() - lines.side() * px / 2);
    const auto at = [&](const PointD& pos) {
        return origin + QPointF((pos.Y - lines.west()) * px, (lines.north() - pos.X) * px);
    };
    upTo = std::min(upTo, run.Ticks.size() - 1);
    const int own = run.Ticks[upTo].OwnVessel;
    const double markDays = timeMarks ? TimeMarkMinutes(run) / 1440.0 : 1.0;
    QFont small = p.font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    for (std::size_t v = 0; v < run.Vessels.size(); ++v) {
        const QColor colour = static_cast<int>(v) == own ? c.trueOwn : c.trueTarget;
        QPainterPath path;
        const std::vector<TrackLines::Piece>& pieces = lines.pieces(v);
        const auto end = std::upper_bound(
            pieces.begin(), pieces.end(), upTo,
            [](std::size_t k, const TrackLines::Piece& piece) { return k < piece.Moment; });
        const PointD* last = nullptr;
        for (auto piece = pieces.begin(); piece != end; ++piece) {
            if (!last || !(*last == piece->From)) path.moveTo(at(piece->From));
            path.lineTo(at(piece->To));
            last = &piece->To;
        }
        // From the last point kept to where the vessel is, inside a cell of it.
        const TrackLines::Point& kept = lines.LastPoint(v, upTo);
        if (kept.Moment < upTo) {
            path.moveTo(at(kept.Pos));
            path.lineTo(at(run.Ticks[upTo].Vessels[v].Pos));
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
