#pragma once
// Drawing straight into an RGB32 image, for the radar face: a full redraw paints a disc
// nearly the size of the picture and six circles up to a thousand pixels across, and done
// here they cost well under what the general painter's fillers and strokers do. Lengths are
// in device pixels; pixel (i, j) has its centre at (i + 0.5, j + 0.5).

#include <QColor>
#include <QImage>

namespace mv {

// Fills every pixel whose centre lies strictly inside the circle, without smoothing.
void FillDisc(QImage& image, double cx, double cy, double radius, QColor colour);

// Copies from `source` (of the same size) every pixel whose centre lies strictly inside the
// circle: a picture drawn once is laid down again at the cost of a fill.
void CopyDisc(QImage& image, const QImage& source, double cx, double cy, double radius);

// A smoothed ring `width` pixels wide about the pixel centre nearest (cx, cy): what the radar
// face and its range rings need, at a fraction of the general painter's cost. The centre is
// taken to the nearest pixel centre so that the eight octants of the ring are mirror images
// and each is worked out once; the shift is at most half a pixel each way.
void StrokeRing(QImage& image, double cx, double cy, double radius, double width, QColor colour);

// A smoothed straight stroke `width` pixels wide from (x1, y1) to (x2, y2) with round ends, as
// a round-capped pen draws it: each pixel takes the colour by how far its centre lies within
// half the width of the segment. The bearing scale's ticks at twice the pixel density are
// two pixels wide, which the general painter only draws through its slow outline stroker.
void StrokeSegment(QImage& image, double x1, double y1, double x2, double y2, double width,
                   QColor colour);

} // namespace mv
