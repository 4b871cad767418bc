#include "ui/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace mv {

namespace {

bool Usable(const QImage& image) {
    return !image.isNull() &&
           (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
            image.format() == QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void FillDisc(QImage& image, double cx, double cy, double radius, QColor colour) {
    if (!Usable(image) || !(radius > 0) || !std::isfinite(cx) || !std::isfinite(cy)) return;
    const int rows = image.height(), cols = image.width();
    // One row of the colour, copied span by span: the library's block copy outruns a
    // pixel-by-pixel loop several times over a face of a million pixels.
    const std::vector<QRgb> row(static_cast<size_t>(cols), colour.rgb());
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int j0 = std::max(0, static_cast<int>(std::floor(cy - radius)));
    const int j1 = std::min(rows - 1, static_cast<int>(std::ceil(cy + radius)));
    const double r2 = radius * radius;
    for (int j = j0; j <= j1; ++j) {
        const double dy = j + 0.5 - cy;
        const double left = r2 - dy * dy;
        if (left <= 0) continue;
        const double half = std::sqrt(left);
        // Pixel centres strictly inside: i + 0.5 in (cx - half, cx + half).
        const int i0 = std::max(static_cast<int>(std::floor(cx - half - 0.5)) + 1, 0);
        const int i1 = std::min(static_cast<int>(std::ceil(cx + half - 0.5)) - 1, cols - 1);
        if (i1 < i0) continue;
        std::memcpy(bits + j * stride + i0 * qsizetype(sizeof(QRgb)), row.data(),
                    static_cast<size_t>(i1 - i0 + 1) * sizeof(QRgb));
    }
}

} // namespace mv
