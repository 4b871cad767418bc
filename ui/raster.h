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

// A smoothed ring `width` pixels wide about the pixel centre nearest (cx, cy): what the radar
// face and its range rings need, at a fraction of the general painter's cost. The centre is
// taken to the nearest pixel centre so that the eight octants of the ring are mirror images
// and each is worked out once; the shift is at most half a pixel each way.
void StrokeRing(QImage& image, double cx, double cy, double radius, double width, QColor colour);

} // namespace mv
