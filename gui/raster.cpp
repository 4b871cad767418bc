#include "gui/raster.h"

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

// Mixes `colour` into the pixel by cover256 / 256, each channel rounded to the nearest. Red
// and blue are worked together in one word and green beside them: no channel's sum reaches
// 16 bits, so none spills into the next.
inline void Blend(QRgb& pixel, QRgb colour, int cover256) {
    if (cover256 <= 0) return;
    if (cover256 >= 256) {
        pixel = colour | 0xff000000u;
        return;
    }
    const auto c = static_cast<quint32>(cover256), keep = 256u - c;
    const quint32 rb = ((pixel & 0xff00ffu) * keep + (colour & 0xff00ffu) * c + 0x800080u) >> 8;
    const quint32 g = ((pixel & 0x00ff00u) * keep + (colour & 0x00ff00u) * c + 0x008000u) >> 8;
    pixel = 0xff000000u | (rb & 0xff00ffu) | (g & 0x00ff00u);
}

// The whole number at or below x, without a call into the maths library: strokes take it for
// every column they cross.
inline int FloorInt(double x) {
    const int i = static_cast<int>(x);
    return i - (x < i ? 1 : 0);
}

} // namespace

namespace {

// Calls span(row, first column, last column) for every row of pixels whose centres lie
// strictly inside the circle, clipped to the picture.
template <typename Span>
void DiscSpans(const QImage& image, double cx, double cy, double radius, Span span) {
    if (!Usable(image) || !(radius > 0) || !std::isfinite(cx) || !std::isfinite(cy)) return;
    const int rows = image.height(), cols = image.width();
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
        if (i1 >= i0) span(j, i0, i1);
    }
}

} // namespace

void FillDisc(QImage& image, double cx, double cy, double radius, QColor colour) {
    if (!Usable(image)) return;
    // One row of the colour, copied span by span: the library's block copy outruns a
    // pixel-by-pixel loop several times over a face of a million pixels.
    const std::vector<QRgb> row(static_cast<size_t>(image.width()), colour.rgb());
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    DiscSpans(image, cx, cy, radius, [&](int j, int i0, int i1) {
        std::memcpy(bits + j * stride + i0 * qsizetype(sizeof(QRgb)), row.data(),
                    static_cast<size_t>(i1 - i0 + 1) * sizeof(QRgb));
    });
}

void KeptDisc::Clear() {
    rows_.clear(), runs_.clear(), pixels_.clear();
    size_ = QSize();
    id_ = 0;
}

void KeptDisc::Keep(const QImage& image, double cx, double cy, double radius, QColor background,
                    const std::vector<Band>& bands) {
    Clear();
    if (!Usable(image)) return;
    static std::uint64_t keepings = 0;
    id_ = ++keepings;
    size_ = image.size();
    background_ = background.rgb() | 0xff000000u;
    const uchar* const bits = image.constBits();
    const qsizetype stride = image.bytesPerLine();
    std::vector<std::pair<int, int>> search;
    DiscSpans(image, cx, cy, radius, [&](int j, int i0, int i1) {
        const auto* const line = reinterpret_cast<const QRgb*>(bits + j * stride);
        Row row{j, i0, i1, runs_.size(), 0};
        // Where to look in this row: the whole span, or where it crosses each band.
        search.clear();
        if (bands.empty()) search.push_back({i0, i1});
        const double dy = j + 0.5 - cy, dy2 = dy * dy;
        for (const Band& band : bands) {
            if (dy2 >= band.outer * band.outer) continue;
            const double out = std::sqrt(band.outer * band.outer - dy2);
            const double in =
                dy2 < band.inner * band.inner ? std::sqrt(band.inner * band.inner - dy2) : 0.0;
            const auto column = [](double x) { return static_cast<int>(std::floor(x)); };
            search.push_back({column(cx - out) - 1, column(cx - in) + 1});
            search.push_back({column(cx + in) - 1, column(cx + out) + 1});
        }
        std::sort(search.begin(), search.end());
        int from = i0;
        for (auto [a, b] : search) {
            a = std::max(a, from), b = std::min(b, i1);
            for (int i = a; i <= b;) {
                if (((line[i] ^ background_) & 0xffffffu) == 0) {
                    ++i;
                    continue;
                }
                const int start = i;
                while (i <= i1 && ((line[i] ^ background_) & 0xffffffu) != 0)
                    ++i;
                runs_.push_back({start, i - start, pixels_.size()});
                pixels_.insert(pixels_.end(), line + start, line + i);
                b = std::max(b, i - 1);
            }
            from = std::max(from, b + 1);
        }
        row.runCount = runs_.size() - row.firstRun;
        rows_.push_back(row);
    });
}

void KeptDisc::Restore(QImage& image) const {
    Restore(image, QRect(QPoint(0, 0), size_));
}

void KeptDisc::Restore(QImage& image, const QRect& part) const {
    if (!Usable(image) || image.size() != size_ || rows_.empty() || part.isEmpty()) return;
    const std::vector<QRgb> fill(static_cast<size_t>(image.width()), background_);
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int left = part.left(), right = part.right();
    // Rows are kept top to bottom: the first in the part is found by halving.
    const auto first = std::lower_bound(rows_.begin(), rows_.end(), part.top(),
                                        [](const Row& row, int j) { return row.j < j; });
    // Row by row, the background and then the runs on it, while the row is in the cache.
    for (auto row = first; row != rows_.end() && row->j <= part.bottom(); ++row) {
        auto* const line = reinterpret_cast<QRgb*>(bits + row->j * stride);
        const int i0 = std::max(row->i0, left), i1 = std::min(row->i1, right);
        if (i1 < i0) continue;
        std::memcpy(line + i0, fill.data(), static_cast<size_t>(i1 - i0 + 1) * sizeof(QRgb));
        for (size_t k = row->firstRun; k < row->firstRun + row->runCount; ++k) {
            const Run& run = runs_[k];
            const int a = std::max(run.i, i0), b = std::min(run.i + run.length - 1, i1);
            if (b < a) continue;
            std::memcpy(line + a, pixels_.data() + run.offset + (a - run.i),
                        static_cast<size_t>(b - a + 1) * sizeof(QRgb));
        }
    }
}

void StrokeRing(QImage& image, double cx, double cy, double radius, double width, QColor colour,
                PixelLog* before) {
    if (!Usable(image) || !(radius > 0) || !(width > 0) || !std::isfinite(cx) ||
        !std::isfinite(cy) || radius > 1e6)
        return;
    const QRgb rgb = colour.rgb();
    const int cols = image.width(), rows = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // The pixel at the centre; offsets from it are whole pixels.
    const int ci = static_cast<int>(std::floor(cx)), cj = static_cast<int>(std::floor(cy));
    // A ring wholly inside the picture, as every range ring is, needs no test pixel by pixel.
    const int reach = static_cast<int>(radius + width) + 2;
    const bool inside =
        ci - reach >= 0 && cj - reach >= 0 && ci + reach < cols && cj + reach < rows;
    const auto plot = [&](int dx, int dy, int cover) __attribute__((always_inline)) {
        const int i = ci + dx, j = cj + dy;
        if (!inside && (i < 0 || j < 0 || i >= cols || j >= rows)) return;
        QRgb& pixel = reinterpret_cast<QRgb*>(bits + j * stride)[i];
        if (before) before->emplace_back(&pixel, pixel);
        Blend(pixel, rgb, cover);
    };
    // Across the flat octant (0 <= a <= b, where the ring runs within 45 degrees of level):
    // in column a the ring's centre line crosses at b = sqrt(r^2 - a^2), and the pen's band
    // there is width / cos(slope) pixels tall, so the ring looks equally thick all round.
    // Each pixel gets the part of it the band covers; the other seven octants are its
    // mirror images, and a pixel on an axis or a diagonal, where images coincide, is
    // blended once.
    const double half = width / 2.0;
    const int last = static_cast<int>((radius + half) / std::sqrt(2.0)) + 1;
    for (int a = 0; a <= last; ++a) {
        const double left = radius * radius - static_cast<double>(a) * a;
        if (left <= 0) break;
        const double centre = std::sqrt(left);
        const double tall = half * radius / centre;
        const double lo = centre - tall, hi = centre + tall;
        const int b0 = std::max(a, FloorInt(lo + 0.5));
        const int b1 = FloorInt(hi + 0.5);
        for (int b = b0; b <= b1; ++b) {
            const double cover = std::min(b + 0.5, hi) - std::max(b - 0.5, lo);
            const int c = static_cast<int>(cover * 256.0 + 0.5);
            if (c <= 0) continue;
            if (a == 0) {
                plot(0, b, c), plot(0, -b, c), plot(b, 0, c), plot(-b, 0, c);
            } else if (a == b) {
                plot(a, a, c), plot(-a, a, c), plot(a, -a, c), plot(-a, -a, c);
            } else {
                plot(a, b, c), plot(-a, b, c), plot(a, -b, c), plot(-a, -b, c);
                plot(b, a, c), plot(-b, a, c), plot(b, -a, c), plot(-b, -a, c);
            }
        }
    }
}

void StrokeSegment(QImage& image, double x1, double y1, double x2, double y2, double width,
                   QColor colour) {
    if (!Usable(image) || !(width > 0) || !std::isfinite(x1) || !std::isfinite(y1) ||
        !std::isfinite(x2) || !std::isfinite(y2))
        return;
    const QRgb rgb = colour.rgb();
    const int cols = image.width(), rows = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // A pixel whose centre is d from the segment gets half + 0.5 - d of the colour: all of it
    // well inside the band, none once the centre is half a pixel beyond its edge. A stroke
    // thinner than a pixel never gives more than its width.
    const double half = width / 2.0, reach = half + 0.5, most = std::min(width, 1.0);
    const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
    const double length = std::sqrt(length2);
    const int j0 = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - reach)));
    const int j1 = std::min(rows - 1, static_cast<int>(std::ceil(std::max(y1, y2) + reach)));
    const double left = std::min(x1, x2) - reach, right = std::max(x1, x2) + reach;
    // A row meets the stroke only where it crosses the band of width 2 reach along the line.
    const bool slanted = std::fabs(dy) > 1e-9 * length;
    for (int j = j0; j <= j1; ++j) {
        const double py = j + 0.5;
        double from = left, to = right;
        if (slanted) {
            const double mid = x1 + dx * (py - y1) / dy, spread = std::fabs(reach * length / dy);
            from = std::max(from, mid - spread);
            to = std::min(to, mid + spread);
        }
        const int i0 = std::max(0, static_cast<int>(std::floor(from - 0.5)));
        const int i1 = std::min(cols - 1, static_cast<int>(std::ceil(to - 0.5)));
        auto* const line = reinterpret_cast<QRgb*>(bits + j * stride);
        for (int i = i0; i <= i1; ++i) {
            const double px = i + 0.5;
            // The nearest point of the segment, its ends included.
            const double t = length2 > 0
                                 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / length2, 0.0, 1.0)
                                 : 0.0;
            const double ex = px - (x1 + t * dx), ey = py - (y1 + t * dy);
            const double cover = std::min(most, reach - std::sqrt(ex * ex + ey * ey));
            if (cover > 0) Blend(line[i], rgb, static_cast<int>(cover * 256.0 + 0.5));
        }
    }
}

void StrokeLine(QImage& image, double x1, double y1, double x2, double y2, double width,
                QColor colour, PixelLog* before) {
    if (!Usable(image) || !(width > 0) || !std::isfinite(x1) || !std::isfinite(y1) ||
        !std::isfinite(x2) || !std::isfinite(y2))
        return;
    // Worked along the major axis: (u, v) is (x, y) for a line flatter than 45 degrees, else
    // (y, x), and the pixel's place is swapped back when it is blended.
    const bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
    if (steep) std::swap(x1, y1), std::swap(x2, y2);
    if (x1 > x2) std::swap(x1, x2), std::swap(y1, y2);
    const double du = x2 - x1;
    if (!(du > 0)) return;
    const QRgb rgb = colour.rgb();
    const int majors = steep ? image.height() : image.width();
    const int minors = steep ? image.width() : image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const double slope = (y2 - y1) / du;
    // The band is `width` across the line, so width * sqrt(1 + slope^2) along the minor axis.
    const double tall = width / 2.0 * std::sqrt(1.0 + slope * slope);
    // Every whole pixel whose centre lies between the ends along the major axis.
    const double first = std::max(std::ceil(x1 - 0.5), 0.0);
    const double last = std::min(std::floor(x2 - 0.5), static_cast<double>(majors - 1));
    for (int u = static_cast<int>(first); u <= static_cast<int>(last); ++u) {
        const double centre = y1 + (u + 0.5 - x1) * slope;
        const double lo = centre - tall, hi = centre + tall;
        // Far off the picture a line's band can lie beyond an int's reach.
        if (!(hi >= 0 && lo < minors)) continue;
        const int v0 = std::max(0, FloorInt(lo));
        const int v1 = std::min(minors - 1, FloorInt(hi));
        for (int v = v0; v <= v1; ++v) {
            const double cover = std::min(v + 1.0, hi) - std::max(static_cast<double>(v), lo);
            const int c = static_cast<int>(cover * 256.0 + 0.5);
            if (c <= 0) continue;
            QRgb& pixel = steep ? reinterpret_cast<QRgb*>(bits + u * stride)[v]
                                : reinterpret_cast<QRgb*>(bits + v * stride)[u];
            if (before) before->emplace_back(&pixel, pixel);
            Blend(pixel, rgb, c);
        }
    }
}

} // namespace mv
