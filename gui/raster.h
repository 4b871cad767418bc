#pragma once
// Drawing straight into an RGB32 image, for the radar face: a full redraw paints a disc
// nearly the size of the picture and six circles up to a thousand pixels across, and done
// here they cost well under what the general painter's fillers and strokers do. Lengths are
// in device pixels; pixel (i, j) has its centre at (i + 0.5, j + 0.5).

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <utility>
#include <vector>

namespace mv {

// Fills every pixel whose centre lies strictly inside the circle, without smoothing.
void FillDisc(QImage& image, double cx, double cy, double radius, QColor colour);

// A disc of a picture kept as what differs from its background: for each row, the span the
// disc covers and the runs of other pixels in it. The radar face is nearly all background, so
// laying it down again costs about a fill of the disc, and keeping it a few hundred kilobytes
// where a copy of the picture would take tens of megabytes.
class KeptDisc {
  public:
    // Keeps every pixel whose centre lies strictly inside the circle. Where all that differs
    // from the background lies in known rings about the centre (inner and outer radius), only
    // those are searched; the rest is taken to be background.
    struct Band {
        double inner, outer;
    };
    void Keep(const QImage& image, double cx, double cy, double radius, QColor background,
              const std::vector<Band>& bands = {});
    // Lays the kept disc down again in a picture of the size it was kept from; within `part`
    // alone (device pixels) where only that was drawn over since.
    void Restore(QImage& image) const;
    void Restore(QImage& image, const QRect& part) const;
    // Tells one keeping from another, a moved-from copy included; 0 for none kept.
    std::uint64_t id() const { return id_; }

  private:
    void Clear();
    struct Row {
        int j, i0, i1;
        size_t firstRun, runCount;
    };
    struct Run {
        int i, length;
        size_t offset;
    };
    std::vector<Row> rows_;
    std::vector<Run> runs_;
    std::vector<QRgb> pixels_;
    QSize size_;
    QRgb background_ = 0;
    std::uint64_t id_ = 0;
};

// A smoothed ring `width` pixels wide about the pixel centre nearest (cx, cy): what the radar
// face and its range rings need, at a fraction of the general painter's cost. The centre is
// taken to the nearest pixel centre so that the eight octants of the ring are mirror images
// and each is worked out once; the shift is at most half a pixel each way.
// Each pixel changed can be logged with the value it had, to be put back (in reverse order).
using PixelLog = std::vector<std::pair<QRgb*, QRgb>>;
void StrokeRing(QImage& image, double cx, double cy, double radius, double width, QColor colour,
                PixelLog* before = nullptr);

// A smoothed straight stroke `width` pixels wide from (x1, y1) to (x2, y2) with round ends, as
// a round-capped pen draws it: each pixel takes the colour by how far its centre lies within
// half the width of the segment. The bearing scale's ticks at twice the pixel density are
// two pixels wide, which the general painter only draws through its slow outline stroker.
void StrokeSegment(QImage& image, double x1, double y1, double x2, double y2, double width,
                   QColor colour);

// A smoothed straight line a pixel or two wide from (x1, y1) to (x2, y2) with flat ends, as a
// flat-capped pen of that width draws it: along the line, column by column (or row by row where
// it runs steeper than 45 degrees), each pixel takes the part of it the band covers. Some ten
// times quicker than the general painter's smoothed line.
void StrokeLine(QImage& image, double x1, double y1, double x2, double y2, double width,
                QColor colour, PixelLog* before = nullptr);

} // namespace mv
