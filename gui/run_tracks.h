#pragma once
// The true tracks of a recorded run, north up over a square of sea that holds the whole run:
// each vessel's track up to a moment with its letter where it then is, and on request a mark
// and the time at regular intervals along the tracks, for an exported or printed picture.

#include "core/record/run_record.h"
#include "gui/palette.h"

#include <QRectF>

#include <cstdint>
#include <vector>

class QPainter;

namespace mv {

// A run's tracks worked once for drawing at any moment. The square of sea is cut into a grid
// of cells, some half a pixel each where it is drawn: a track keeps a point only where it enters
// another cell, a straight run of such points (within half a cell) is one piece, and a piece is
// kept only where it crosses a cell its track had not crossed before, however often a repeat
// sails it again. Drawing
// up to a moment then costs the corners of the tracks on the screen, not the number of moments
// before it. The run must outlive it unchanged.
class TrackLines {
  public:
    // The cells across for a square drawn `pixels` device pixels wide: a power of two of at
    // least two a pixel, so that a panel resized a little keeps its lines.
    static int CellsFor(double pixels);

    TrackLines(const RunRecord& run, int cells);
    int cells() const { return cells_; }
    const RunRecord& run() const { return run_; }
    // The square of sea (nautical miles) that holds every position of the run, with a margin.
    double north() const { return north_; }
    double west() const { return west_; }
    double side() const { return side_; }

    struct Piece {
        std::uint32_t Moment; // its end sailed at this moment
        PointD From, To;      // nautical miles
    };
    struct Point {
        std::uint32_t Moment;
        PointD Pos;
        bool Start; // a repeat took the vessel back: the track starts again here
    };
    const std::vector<Piece>& pieces(std::size_t vessel) const { return pieces_[vessel]; }
    // The point kept last at or before moment `upTo`.
    const Point& LastPoint(std::size_t vessel, std::size_t upTo) const;

  private:
    const RunRecord& run_;
    int cells_;
    double north_ = 0, west_ = 0, side_ = 1;
    std::vector<std::vector<Piece>> pieces_; // by vessel, in order of moment
    std::vector<std::vector<Point>> points_; // by vessel, in order of moment
};

// Paints into `area` (device-independent pixels). `upTo` is the last moment drawn; with
// `timeMarks` every track carries a dot at each whole interval of sea time and the own
// vessel's the time beside it.
void PaintTracks(QPainter& painter, const QRectF& area, const TrackLines& lines, std::size_t upTo,
                 const Palette& colours, bool timeMarks);
void PaintTracks(QPainter& painter, const QRectF& area, const RunRecord& run, std::size_t upTo,
                 const Palette& colours, bool timeMarks);
// Minutes between time marks: 3, 6, 12, 30 or 60, whichever gives at most about 20 over the run.
int TimeMarkMinutes(const RunRecord& run);

} // namespace mv
