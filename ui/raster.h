#pragma once
// Filling straight into an RGB32 image, for the radar face: a full redraw paints a disc
// nearly the size of the picture, and row spans copied as blocks cost well under what the
// general painter's polygon filler does. Lengths are in device pixels; pixel (i, j) has its
// centre at (i + 0.5, j + 0.5).

#include <QColor>
#include <QImage>

namespace mv {

// Fills every pixel whose centre lies strictly inside the circle, without smoothing.
void FillDisc(QImage& image, double cx, double cy, double radius, QColor colour);

} // namespace mv
