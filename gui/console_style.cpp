#include "gui/console_style.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGroupBox>

#include <cmath>

namespace mv {

namespace {

// Pixels: the frame's border, the title box's left inset from the group's edge, the room in
// the title box before its text and after it, and the corners' radii.
constexpr int kFrameBorder = 1;
constexpr int kTitleInset = 8;
constexpr int kTitleLead = 8;
constexpr int kTitleTrail = 7;
constexpr int kFrameRadius = 4;
constexpr int kTitleRadius = 3;

QFont TitleFont(const QWidget* widget) {
    QFont f = widget ? widget->font() : QApplication::font();
    f.setBold(true);
    return f;
}

} // namespace

GroupFrameStyle::GroupFrameStyle() = default;

void GroupFrameStyle::SetColours(const QColor& back, const QColor& border, const QColor& title,
                                 const QColor& under) {
    back_ = back;
    border_ = border;
    title_ = title;
    // The frame's ground, as large as the group, is laid down already blended with the flat
    // colour beneath: an opaque fill costs the raster engine a fraction of a blended one. The
    // title stays translucent, as its lower half lies over the frame's ground.
    // Blended by the raster engine itself, so the pixels are those a translucent fill gives.
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(under);
    QPainter(&pixel).fillRect(0, 0, 1, 1, back);
    frameGround_ = pixel.pixelColor(0, 0);
}

QRect GroupFrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl sub, const QWidget* widget) const {
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const QFont font = TitleFont(widget);
    if (!titleMetrics_ || titleFont_ != font) {
        titleFont_ = font;
        titleMetrics_.emplace(font);
    }
    const QFontMetrics& title = *titleMetrics_;
    // The frame starts 1.4 of the title font's x-height down, so that the title, which stands
    // at the group's top, sits across the frame's top edge.
    const int drop = static_cast<int>(std::lround(1.4 * title.xHeight()));
    const QRect frame = option->rect.adjusted(0, drop, 0, 0);
    switch (sub) {
    case SC_GroupBoxFrame:
        return frame;
    case SC_GroupBoxContents:
        return frame.adjusted(kFrameBorder, kFrameBorder + topPadding_, -kFrameBorder,
                              -kFrameBorder);
    case SC_GroupBoxLabel:
        return QRect(option->rect.left() + kTitleInset + kTitleLead,
                     option->rect.top() + kFrameBorder, title.horizontalAdvance(group->text),
                     title.height());
    default:
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
}

void GroupFrameStyle::DrawFrame(QPainter& p, const QRect& r, int radius,
                                const QColor& ground) const {
    // The ground and the straight runs of the border are plain rectangles, which the raster
    // engine fills far faster than a smoothed outline of the whole frame (some 800 x 400
    // pixels on a screen at two device pixels to the pixel); only the corners are smoothed.
    const QRectF f(r);
    const double k = radius;
    p.setRenderHint(QPainter::Antialiasing, false);
    // Ground that may be translucent is laid once on each pixel: a band across the middle,
    // a strip above and below it between the corners.
    p.fillRect(f.adjusted(kFrameBorder, k, -kFrameBorder, -k), ground);
    p.fillRect(QRectF(f.left() + k, f.top() + kFrameBorder, f.width() - 2 * k, k - kFrameBorder),
               ground);
    p.fillRect(QRectF(f.left() + k, f.bottom() - k, f.width() - 2 * k, k - kFrameBorder), ground);
    p.fillRect(QRectF(f.left() + k, f.top(), f.width() - 2 * k, kFrameBorder), border_);
    p.fillRect(QRectF(f.left() + k, f.bottom() - kFrameBorder, f.width() - 2 * k, kFrameBorder),
               border_);
    p.fillRect(QRectF(f.left(), f.top() + k, kFrameBorder, f.height() - 2 * k), border_);
    p.fillRect(QRectF(f.right() - kFrameBorder, f.top() + k, kFrameBorder, f.height() - 2 * k),
               border_);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Each corner a quarter circle about a point `radius` in from both edges, its border
    // centred half a pixel inside the frame's edge; angles in sixteenths of a degree,
    // anticlockwise from the right.
    const double arc = k - kFrameBorder / 2.0;
    const struct {
        QPointF centre;
        int start;
    } corners[] = {{{f.left() + k, f.top() + k}, 90 * 16},
                   {{f.right() - k, f.top() + k}, 0},
                   {{f.left() + k, f.bottom() - k}, 180 * 16},
                   {{f.right() - k, f.bottom() - k}, 270 * 16}};
    for (const auto& c : corners) {
        const QRectF circle(c.centre - QPointF(arc, arc), QSizeF(2 * arc, 2 * arc));
        p.setPen(Qt::NoPen);
        p.setBrush(ground);
        p.drawPie(circle, c.start, 90 * 16);
        p.setPen(QPen(border_, kFrameBorder));
        p.setBrush(Qt::NoBrush);
        p.drawArc(circle, c.start, 90 * 16);
    }
}

void GroupFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    painter->save();
    DrawFrame(*painter, subControlRect(control, option, SC_GroupBoxFrame, widget), kFrameRadius,
              frameGround_);
    if (!group->text.isEmpty()) {
        const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
        DrawFrame(*painter, label.adjusted(-kTitleLead, -kFrameBorder, kTitleTrail, kFrameBorder),
                  kTitleRadius, back_);
        painter->setFont(TitleFont(widget));
        painter->setPen(title_);
        painter->drawText(label, Qt::AlignCenter | Qt::TextShowMnemonic, group->text);
    }
    painter->restore();
}

} // namespace mv
