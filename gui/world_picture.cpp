#include "gui/world_picture.h"

#include "gui/raster.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// Logical pixels left clear beside a label's text in its painted image.
constexpr double kLabelPad = 2;

} // namespace

WorldPicture::WorldPicture() {
    labelFont_.setFamily("DejaVu Sans");
    labelFont_.setPixelSize(12);
    resize(QSize(100, 100), 1.0);
}

namespace {

// Lets an image over a shared buffer drop its share when its last copy goes.
void ReleasePixels(void* share) {
    delete static_cast<std::shared_ptr<uchar[]>*>(share);
}

} // namespace

void WorldPicture::resize(QSize logicalSize, qreal devicePixelRatio) {
    size_ = logicalSize.expandedTo(QSize(1, 1));
    dpr_ = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int w = std::max(1, qRound(size_.width() * dpr_));
    const int h = std::max(1, qRound(size_.height() * dpr_));
    const auto stride = static_cast<std::size_t>(w) * sizeof(QRgb);
    const std::size_t need = stride * static_cast<std::size_t>(h);
    // Our image lets go of its share first: if nobody else holds a copy, ours is then the only
    // one left.
    image_ = QImage();
    if (!pixels_ || pixels_.use_count() > 1 || need > capacity_ || need < capacity_ / 4) {
        // A quarter to spare, so that a drag of the window's edge does not allocate at every
        // step: fresh memory costs a page fault per 4 KB when first written, some tens of
        // milliseconds for a picture filling a 4K screen.
        capacity_ = need + need / 4;
        pixels_.reset(new uchar[capacity_]);
    }
    image_ = QImage(pixels_.get(), w, h, static_cast<qsizetype>(stride), QImage::Format_RGB32,
                    ReleasePixels, new std::shared_ptr<uchar[]>(pixels_));
    image_.setDevicePixelRatio(dpr_);
    image_.fill(background_);
    drawnAll();
}

void WorldPicture::setWindow(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width != 0 ? width : 1;
    height_ = height != 0 ? height : -1;
}

QPointF WorldPicture::toFraction(double h, double v) const {
    return QPointF((h - left_) / width_, (v - top_) / height_);
}

QPointF WorldPicture::fromFraction(QPointF f) const {
    return QPointF(f.x() * size_.width(), f.y() * size_.height());
}

QPointF WorldPicture::toPixel(double h, double v) const {
    return fromFraction(toFraction(h, v));
}

QPointF WorldPicture::toWorld(QPointF pixel) const {
    return QPointF(left_ + pixel.x() / size_.width() * width_,
                   top_ + pixel.y() / size_.height() * height_);
}

double WorldPicture::unitsPerPixelX() const {
    return width_ / size_.width();
}
double WorldPicture::unitsPerPixelY() const {
    return height_ / size_.height();
}

void WorldPicture::clear() {
    image_.fill(background_);
    drawnAll();
}

void WorldPicture::drawnOn(QRectF device) {
    if (laid_ == 0) return;
    if (!std::isfinite(device.left()) || !std::isfinite(device.top()) ||
        !std::isfinite(device.right()) || !std::isfinite(device.bottom()))
        return drawnAll();
    // Whole pixels, with one to spare each side for smoothing, within the image.
    const QRect whole = device.intersected(QRectF(image_.rect()))
                            .toAlignedRect()
                            .adjusted(-1, -1, 1, 1)
                            .intersected(image_.rect());
    if (whole.isEmpty()) return;
    // Plot marks come a few a tick from far apart: a few rectangles, then their union.
    constexpr size_t kMostRects = 16;
    if (drawnSince_.size() < kMostRects) {
        drawnSince_.push_back(whole);
        return;
    }
    QRect all = whole;
    for (const QRect& r : drawnSince_)
        all |= r;
    drawnSince_.assign(1, all);
}

void WorldPicture::restoreDisc(const KeptDisc& kept) {
    if (kept.id() != 0 && kept.id() == laid_) {
        for (const QRect& r : drawnSince_)
            kept.Restore(image_, r);
    } else {
        kept.Restore(image_);
    }
    laid_ = kept.id();
    drawnSince_.clear();
}

void WorldPicture::line(double h1, double v1, double h2, double v2, QColor colour) {
    // As one of many: a plot mark's few pixels then cost no painter of their own.
    lines({Segment{h1, v1, h2, v2}}, colour);
}

void WorldPicture::lines(const std::vector<Segment>& segments, QColor colour) {
    if (segments.empty()) return;
    const double width = penWidth_ * dpr_;
    if (laid_ != 0) {
        // By hand: a rectangle's union drops one of no size, and a mark of no length still
        // shows its round ends.
        double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
        for (const Segment& s : segments)
            for (const QPointF p : {toPixel(s.h1, s.v1) * dpr_, toPixel(s.h2, s.v2) * dpr_}) {
                x0 = std::min(x0, p.x()), y0 = std::min(y0, p.y());
                x1 = std::max(x1, p.x()), y1 = std::max(y1, p.y());
            }
        drawnOn(QRectF(QPointF(x0, y0), QPointF(x1, y1)).adjusted(-width, -width, width, width));
    }
    if (width <= 1.0) {
        // One device pixel: the painter's own thin-line drawer is quick and is the look every
        // other line in the picture has.
        std::vector<QLineF> pixels;
        pixels.reserve(segments.size());
        for (const Segment& s : segments)
            pixels.emplace_back(toPixel(s.h1, s.v1), toPixel(s.h2, s.v2));
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(colour, penWidth_, Qt::SolidLine, Qt::RoundCap));
        p.drawLines(pixels.data(), static_cast<int>(pixels.size()));
        return;
    }
    // Wider, as at twice the pixel density, the painter would outline every stroke before
    // filling it; straight into the image costs a small part of that.
    for (const Segment& s : segments) {
        const QPointF a = toPixel(s.h1, s.v1) * dpr_, b = toPixel(s.h2, s.v2) * dpr_;
        StrokeSegment(image_, a.x(), a.y(), b.x(), b.y(), width, colour);
    }
}

void WorldPicture::circle(double h, double v, double radius, QColor colour) {
    // Round on the screen: the radius is measured across, in horizontal world units. The
    // inside is filled without smoothing; the smoothed outline covers the stepped edge.
    const QPointF centre = toPixel(h, v) * dpr_;
    const double r = std::fabs(radius / unitsPerPixelX()) * dpr_;
    const double reach = r + penWidth_ * dpr_ + 1;
    drawnOn(QRectF(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach));
    if (fill_ == Fill::Solid) FillDisc(image_, centre.x(), centre.y(), r, fillColour_);
    StrokeRing(image_, centre.x(), centre.y(), r, penWidth_ * dpr_, colour);
}

void WorldPicture::fillDisc(double h, double v, double radius, double marginPixels, QColor colour) {
    const QPointF centre = toPixel(h, v) * dpr_;
    const double r = (std::fabs(radius / unitsPerPixelX()) + marginPixels) * dpr_;
    drawnOn(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r));
    FillDisc(image_, centre.x(), centre.y(), r, colour);
}

void WorldPicture::keepDisc(KeptDisc& kept, double h, double v, double radius, double marginPixels,
                            QColor background, const std::vector<KeptDisc::Band>& bands) {
    const QPointF centre = toPixel(h, v) * dpr_;
    const double perUnit = dpr_ / std::fabs(unitsPerPixelX()), slack = 2 * dpr_;
    std::vector<KeptDisc::Band> pixels;
    for (const KeptDisc::Band& b : bands)
        pixels.push_back({std::max(0.0, b.inner * perUnit - slack), b.outer * perUnit + slack});
    kept.Keep(image_, centre.x(), centre.y(), std::fabs(radius) * perUnit + marginPixels * dpr_,
              background, pixels);
    // The image now matches the disc just kept.
    laid_ = kept.id();
    drawnSince_.clear();
}

void WorldPicture::point(double h, double v, QColor colour) {
    // One logical pixel, whole device pixels, no smoothing: the bearing scale's dots stay sharp.
    // Written straight into the rows: the scale sets some three hundred of them per redraw.
    const QPointF px = toPixel(h, v) * dpr_;
    const int x0 = static_cast<int>(std::floor(px.x()));
    const int y0 = static_cast<int>(std::floor(px.y()));
    const int n = std::max(1, qRound(dpr_));
    drawnOn(QRectF(x0, y0, n, n));
    const QRgb rgb = colour.rgb();
    for (int y = std::max(y0, 0); y < std::min(y0 + n, image_.height()); ++y) {
        auto* const row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = std::max(x0, 0); x < std::min(x0 + n, image_.width()); ++x)
            row[x] = rgb;
    }
}

QColor WorldPicture::pixel(int x, int y) const {
    const int dx = static_cast<int>(x * dpr_), dy = static_cast<int>(y * dpr_);
    return image_.valid(dx, dy) ? image_.pixelColor(dx, dy) : QColor();
}

void WorldPicture::declare(const QString& name, ItemKind kind, bool visible) {
    Item& it = items_[name];
    it.kind = kind;
    it.visible = visible;
    if (declareObserver_) declareObserver_(name);
}

WorldPicture::Item* WorldPicture::find(const QString& name) {
    const auto it = items_.find(name);
    if (it != items_.end()) return &it->second;
    Q_ASSERT_X(false, "WorldPicture", qPrintable("no item is called " + name));
    return nullptr;
}

void WorldPicture::setOverlayLine(const QString& name, double h1, double v1, double h2, double v2,
                                  QColor colour, int widthPixels, Qt::PenStyle style) {
    Item* it = find(name);
    if (!it) return;
    it->a = toFraction(h1, v1);
    it->b = toFraction(h2, v2);
    it->colour = colour;
    it->width = widthPixels;
    it->style = style;
}

void WorldPicture::setOverlayPoints(const QString& name, const std::vector<QPointF>& points,
                                    QColor colour, int sizePixels) {
    Item* it = find(name);
    if (!it) return;
    it->points.clear();
    it->points.reserve(points.size());
    for (const QPointF& p : points)
        it->points.push_back(toFraction(p.x(), p.y()));
    it->colour = colour;
    it->width = sizePixels;
}

void WorldPicture::setOverlayCircle(const QString& name, double h, double v, double radius,
                                    QColor colour, Qt::PenStyle style) {
    Item* it = find(name);
    if (!it) return;
    it->a = toFraction(h, v);
    it->b = toFraction(h + radius, v);
    it->colour = colour;
    it->style = style;
}

void WorldPicture::setOverlayImage(const QString& name, const QImage& image, double left,
                                   double top) {
    Item* it = find(name);
    if (!it) return;
    it->image = image;
    it->a = toFraction(left, top);
}

void WorldPicture::setItemText(Item& it, const QString& text) {
    const QString plain = QString(text).replace("\r\n", "\n");
    if (plain == it.text && !it.lines.empty()) return;
    std::swap(it.previous, it.text);
    std::swap(it.previousAdvance, it.advance);
    if (plain != it.text) it.advance = -1;
    it.text = plain;
    it.lines.clear();
    for (const QString& line : it.text.split('\n')) {
        QStaticText laid(line);
        laid.setTextFormat(Qt::PlainText);
        it.lines.push_back(std::move(laid));
    }
}

void WorldPicture::setLabelFont(const QFont& font) {
    if (font == labelFont_) return;
    labelFont_ = font;
    ++fontGeneration_;
    lineHeight_ = -1;
    for (auto& [name, it] : items_)
        it.advance = it.previousAdvance = -1;
}

void WorldPicture::setLabel(const QString& name, const QString& text, QColor colour) {
    Item* it = find(name);
    if (!it) return;
    setItemText(*it, text);
    it->colour = colour;
}

void WorldPicture::setText(const QString& name, const QString& text) {
    if (Item* it = find(name)) setItemText(*it, text);
}

void WorldPicture::moveLabel(const QString& name, double left, double top) {
    if (Item* it = find(name)) it->a = toFraction(left, top);
}

double WorldPicture::labelWidth(const QString& name) const {
    const auto it = items_.find(name);
    if (it == items_.end()) return 0;
    const Item& item = it->second;
    if (item.advance < 0) {
        const QFontMetricsF fm(labelFont_);
        item.advance = 0;
        for (const QString& line : item.text.split('\n'))
            item.advance = std::max(item.advance, fm.horizontalAdvance(line));
    }
    return std::fabs(item.advance * unitsPerPixelX());
}

double WorldPicture::labelHeight(const QString& name) const {
    const auto it = items_.find(name);
    if (it == items_.end()) return 0;
    if (lineHeight_ < 0) lineHeight_ = QFontMetricsF(labelFont_).height();
    const auto lines = static_cast<double>(it->second.text.count(QChar(u'\n'))) + 1;
    return std::fabs(lineHeight_ * lines * unitsPerPixelY());
}

QString WorldPicture::labelText(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? QString() : it->second.text;
}

void WorldPicture::setVisible(const QString& name, bool visible) {
    if (Item* it = find(name)) it->visible = visible;
}

void WorldPicture::setColour(const QString& name, QColor colour) {
    if (Item* it = find(name)) it->colour = colour;
}

QColor WorldPicture::colour(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? QColor() : it->second.colour;
}

bool WorldPicture::isVisible(const QString& name) const {
    const auto it = items_.find(name);
    return it != items_.end() && it->second.visible;
}

QPointF WorldPicture::labelTopLeft(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? QPointF() : fromFraction(it->second.a);
}

QLineF WorldPicture::overlayLine(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? QLineF()
                              : QLineF(fromFraction(it->second.a), fromFraction(it->second.b));
}

void WorldPicture::paint(QPainter& painter) const {
    // Solid rings and thin solid lines are stroked into the image itself before it is laid
    // down, and the pixels they covered put back after: the project's own ring and stroke cost
    // a small part of what the painter's smoothed pens do at the range circle's size, and the
    // widget's clip, and any window over it, hold for the image as they do for everything
    // painted. Only while nothing lies in the layers under them, and nobody else shares the
    // image's pixels.
    shown_.clear();
    bool underStrokes = false;
    for (const auto& [name, it] : items_)
        if (it.visible) {
            shown_.push_back(&it);
            underStrokes = underStrokes || it.kind == Item::Image || it.kind == Item::Points;
        }
    const bool stamp = !underStrokes && image_.isDetached();
    const auto stamped = [stamp](const Item& it) {
        return stamp && it.style == Qt::SolidLine &&
               (it.kind == Item::Circle ||
                (it.kind == Item::Line && it.width == 1 && it.a != it.b));
    };
    PixelLog& before = strokeLog_;
    before.clear();
    if (stamp) {
        auto& image = const_cast<QImage&>(image_);
        // One logical pixel wide, whole device pixels: two at twice the density.
        const double width = std::max(1, qRound(dpr_));
        for (const Item::Kind layer : {Item::Circle, Item::Line})
            for (const Item* it : shown_) {
                if (it->kind != layer || !stamped(*it)) continue;
                const QPointF a = fromFraction(it->a) * dpr_, b = fromFraction(it->b) * dpr_;
                if (layer == Item::Circle)
                    StrokeRing(image, a.x(), a.y(), QLineF(a, b).length(), width, it->colour,
                               &before);
                else
                    StrokeLine(image, a.x(), a.y(), b.x(), b.y(), width, it->colour, &before);
            }
    }
    painter.drawImage(QPointF(0, 0), image_);
    for (auto k = before.rbegin(); k != before.rend(); ++k)
        *k->first = k->second;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(labelFont_);
    // Pictures at the back, then shapes and lines, and the text on top where it stays legible.
    for (const Item::Kind layer :
         {Item::Image, Item::Points, Item::Circle, Item::Line, Item::Label})
        for (const Item* shown : shown_) {
            const Item& it = *shown;
            if (it.kind != layer) continue;
            switch (it.kind) {
            case Item::Line:
                if (it.a == it.b) {
                    // A line of no length (the echo of a vessel of unknown size) still shows,
                    // as a dot as wide as the line would be.
                    const QPointF c = fromFraction(it.a);
                    const double w = std::max(it.width, 2);
                    painter.fillRect(QRectF(c.x() - w / 2, c.y() - w / 2, w, w), it.colour);
                    break;
                }
                if (stamped(it)) break;
                painter.setPen(QPen(it.colour, it.width, it.style, Qt::FlatCap));
                painter.drawLine(fromFraction(it.a), fromFraction(it.b));
                break;
            case Item::Circle: {
                if (stamped(it)) break;
                const QPointF c = fromFraction(it.a);
                const double r = QLineF(c, fromFraction(it.b)).length();
                // A ring one logical pixel wide. A pen one device pixel wide takes the
                // rasteriser's quick path; a wider one (two device pixels on a 2x screen)
                // costs eight times as much for a ring the size of the range circle. So on
                // such a screen the ring is laid as one-device-pixel rings a device pixel
                // apart, two on a 2x screen: a band as wide as the wide pen's ring, each
                // smoothed ring costing some 0.8 M instructions at the range circle's size.
                const qreal ratio = painter.device()->devicePixelRatioF();
                QPen pen(it.colour, 1);
                pen.setCosmetic(true);
                // A dashed ring (the second VRM) in dashes of 6 logical pixels with gaps of
                // 4, so that it tells from the solid first one at a glance: a cosmetic pen's
                // own pattern is counted in device pixels, too fine to read.
                if (it.style != Qt::SolidLine) pen.setDashPattern({6.0 * ratio, 4.0 * ratio});
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                const int strokes = std::max(1, qRound(ratio));
                for (int k = 0; k < strokes; ++k) {
                    const double rk = r + (k - (strokes - 1) / 2.0) / ratio;
                    painter.drawEllipse(c, rk, rk);
                }
                break;
            }
            case Item::Image:
                painter.drawImage(fromFraction(it.a), it.image);
                break;
            case Item::Points: {
                const double w = it.width;
                for (const QPointF& f : it.points) {
                    const QPointF c = fromFraction(f);
                    painter.fillRect(QRectF(c.x() - w / 2, c.y() - w / 2, w, w), it.colour);
                }
                break;
            }
            case Item::Label:
                if (it.text.isEmpty()) break;
                painter.drawImage(fromFraction(it.a) - QPointF(kLabelPad, 0),
                                  labelImage(it, painter.device()->devicePixelRatioF()));
                break;
            }
        }
}

const QImage& WorldPicture::labelImage(const Item& it, qreal ratio) const {
    auto& kept = it.rendered;
    const auto same = [&](const Item::Rendered& r) {
        return !r.image.isNull() && r.text == it.text && r.colour == it.colour.rgba() &&
               r.ratio == ratio && r.font == fontGeneration_;
    };
    if (same(kept[0])) return kept[0].image;
    std::swap(kept[0], kept[1]);
    if (same(kept[0])) return kept[0].image;
    const QFontMetricsF fm(labelFont_);
    double width = 0;
    for (const QStaticText& line : it.lines)
        width = std::max(width, fm.horizontalAdvance(line.text()));
    // A pad each side for glyphs that reach past their advance.
    const QSizeF logical(width + 2 * kLabelPad,
                         fm.height() * static_cast<double>(std::max<size_t>(1, it.lines.size())));
    QImage image(QSize(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(labelFont_);
        p.setPen(it.colour);
        QPointF corner(kLabelPad, 0);
        for (const QStaticText& line : it.lines) {
            p.drawStaticText(corner, line);
            corner.ry() += fm.height();
        }
    }
    kept[0] = {it.text, it.colour.rgba(), ratio, fontGeneration_, std::move(image)};
    return kept[0].image;
}

QImage WorldPicture::render() const {
    QImage out = image_.copy();
    out.setDevicePixelRatio(dpr_);
    QPainter p(&out);
    paint(p);
    return out;
}

} // namespace mv
