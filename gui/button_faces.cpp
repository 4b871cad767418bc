#include "gui/button_faces.h"

#include "gui/on_circle.h"

#include <QFont>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mv {

namespace {

const QColor kInk(0x1b, 0x4d, 0x2b);    // dark radar green on a light button
const QColor kGrey(0x9c, 0x9c, 0x9c);   // greyed face
const QColor kEmboss(0xff, 0xff, 0xff); // the light edge a greyed face sits on
const QColor kScreen(0x00, 0x00, 0x00);
const QColor kTrace(0x00, 0xff, 0x00);

// A filled arrowhead with its tip at `tip`, pointing along the unit vector `dir`.
QPolygonF ArrowHead(QPointF tip, QPointF dir, double length, double halfWidth) {
    const QPointF back = tip - dir * length;
    const QPointF side(-dir.y() * halfWidth, dir.x() * halfWidth);
    return QPolygonF({tip, back + side, back - side});
}

// Faces are drawn in a 100 x 100 box; the painter is scaled to the button.
void DrawFace(QPainter& p, ButtonFace face, const QColor& ink) {
    const QPointF c(50, 50);
    QPen pen(ink, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);

    switch (face) {
    case ButtonFace::EBLCtrClock:
        // The mirror image of the clockwise face.
        p.translate(100, 0);
        p.scale(-1, 1);
        [[fallthrough]];
    case ButtonFace::EBLClock: {
        // An arc from 010 round to 290 with the arrow at its clockwise end, and the bearing
        // line from the centre.
        const double r = 38;
        QPainterPath arc;
        arc.moveTo(OnCircle(c, r, 10));
        for (int b = 15; b <= 270; b += 5)
            arc.lineTo(OnCircle(c, r, b));
        p.drawPath(arc);
        const double end = 270;
        const QPointF base = OnCircle(c, r, end);
        const double a = end * std::numbers::pi / 180.0;
        const QPointF tangent(std::cos(a), std::sin(a)); // clockwise in a y-down frame
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(ArrowHead(base + tangent * 18, tangent, 24, 15));
        p.setPen(pen);
        p.drawLine(c, OnCircle(c, 26, 45));
        p.setBrush(ink);
        p.drawEllipse(c, 5, 5);
        break;
    }
    case ButtonFace::VRMIn:
    case ButtonFace::VRMOut: {
        // The ring, with four arrows across it: pointing at the centre to shrink it, away from
        // it to grow it.
        const bool out = face == ButtonFace::VRMOut;
        // In: a large ring with arrows inside it converging on the centre. Out: a small ring
        // with arrows outside it pointing away.
        const double ring = out ? 16 : 40;
        p.drawEllipse(c, ring, ring);
        p.setBrush(ink);
        if (out) p.drawEllipse(c, 4, 4);
        for (double b : {45.0, 135.0, 225.0, 315.0}) {
            const double from = out ? 24 : 32;
            const double to = out ? 49 : 9;
            const QPointF tip = OnCircle(c, to, b);
            const QPointF start = OnCircle(c, from, b);
            QPointF dir = tip - start;
            dir /= std::hypot(dir.x(), dir.y());
            QPen shaft = pen;
            shaft.setWidthF(7);
            p.setPen(shaft);
            p.drawLine(start, tip - dir * 10);
            p.setPen(Qt::NoPen);
            p.drawPolygon(ArrowHead(tip, dir, 15, 10));
            p.setPen(pen);
        }
        break;
    }
    case ButtonFace::RangeUp:
    case ButtonFace::RangeDown: {
        const bool up = face == ButtonFace::RangeUp;
        p.setBrush(ink);
        p.setPen(QPen(ink, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double tipY = up ? 22 : 78;
        const double baseY = up ? 72 : 28;
        p.drawPolygon(QPolygonF({QPointF(50, tipY), QPointF(18, baseY), QPointF(82, baseY)}));
        break;
    }
    }
}

// Each face drawn as vectors once per size and mode, and kept: a button repaints its icon on
// every hover, press and resize, and a drag of the window resizes it many times a second.
class FaceIconEngine : public QIconEngine {
  public:
    explicit FaceIconEngine(ButtonFace face) : face_(face) {}
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = p->device() ? p->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        pm.setDevicePixelRatio(ratio);
        p->drawPixmap(rect.topLeft(), pm);
    }
    // Asked for device pixels: the icon sets the ratio on what comes back, and the base
    // class's scaled pixmap comes here with the size already multiplied out.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const bool active = mode != QIcon::Disabled;
        // The faces take their colours from the application's palette (day, dusk, night).
        const qint64 palette = QGuiApplication::palette().cacheKey();
        QPixmap& kept = kept_[active ? 1 : 0];
        if (kept.size() != size || kept.devicePixelRatio() != 1.0 ||
            keptPalette_[active] != palette) {
            kept = ButtonFacePixmap(face_, active, size, 1.0);
            keptPalette_[active] = palette;
        }
        return kept;
    }
    QIconEngine* clone() const override { return new FaceIconEngine(face_); }
    QString key() const override { return QStringLiteral("mv.ButtonFace"); }

  private:
    ButtonFace face_;
    QPixmap kept_[2]; // greyed, active: the last size asked for
    qint64 keptPalette_[2] = {0, 0};
};

// The lamp drawn as vectors once per size, state, mode and palette, and kept: a console button
// asks for its lamp on every paint, and a drag of the window's edge repaints them all many
// times a second.
class LampIconEngine : public QIconEngine {
  public:
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        PaintStateLamp(*p, QRectF(rect), state == QIcon::On, mode != QIcon::Disabled);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const bool lit = state == QIcon::On, active = mode != QIcon::Disabled;
        const size_t which = (lit ? 2 : 0) + (active ? 1 : 0);
        // The lamp takes its colours from the application's palette (day, dusk, night).
        const qint64 palette = QGuiApplication::palette().cacheKey();
        QPixmap& kept = kept_[which];
        if (kept.size() != size || kept.devicePixelRatio() != 1.0 ||
            keptPalette_[which] != palette) {
            kept = QPixmap(size);
            kept.fill(Qt::transparent);
            QPainter p(&kept);
            PaintStateLamp(p, QRectF(QPointF(0, 0), QSizeF(size)), lit, active);
            keptPalette_[which] = palette;
        }
        return kept;
    }
    QIconEngine* clone() const override { return new LampIconEngine; }
    QString key() const override { return QStringLiteral("mv.StateLamp"); }

  private:
    QPixmap kept_[4]; // dark or lit, each greyed or active: the last size asked for
    qint64 keptPalette_[4] = {0, 0, 0, 0};
};

} // namespace

void PaintStateLamp(QPainter& p, const QRectF& rect, bool lit, bool active) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette widgets = QGuiApplication::palette();
    const bool dark = widgets.color(QPalette::Button).lightness() < 110;
    // On a dark button the lamp takes the button's text colour when lit (amber at night, so
    // it lets no more light in than the captions); by day a clear green, as a panel lamp.
    const QColor on =
        dark ? widgets.color(QPalette::Active, QPalette::ButtonText) : QColor(0x10, 0xb0, 0x30);
    const QColor rim =
        active ? (dark ? widgets.color(QPalette::Active, QPalette::ButtonText) : kInk)
               : (dark ? widgets.color(QPalette::Disabled, QPalette::ButtonText) : kGrey);
    const double side = std::min(rect.width(), rect.height());
    const double r = side * 0.32;
    const QPointF c = rect.center();
    p.setPen(QPen(rim, std::max(1.0, side / 10.0)));
    p.setBrush(lit ? (active ? on : rim) : QBrush(Qt::NoBrush));
    p.drawEllipse(c, r, r);
    p.restore();
}

QIcon StateLampIcon() {
    return QIcon(new LampIconEngine);
}

void PaintButtonFace(QPainter& p, const QRectF& rect, ButtonFace face, bool active) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // A square face centred in the rectangle, with a small margin for the button's bevel.
    const double side = std::min(rect.width(), rect.height());
    p.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    p.scale(side / 100.0, side / 100.0);
    // On the dark buttons of dusk and night the faces take the buttons' own text colours.
    const QPalette widgets = QGuiApplication::palette();
    if (widgets.color(QPalette::Button).lightness() < 110) {
        DrawFace(
            p, face,
            widgets.color(active ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    } else if (active) {
        DrawFace(p, face, kInk);
    } else {
        // Greyed the way a disabled control is: a grey face over a light copy one step down
        // and right.
        p.save();
        p.translate(2.5, 2.5);
        DrawFace(p, face, kEmboss);
        p.restore();
        DrawFace(p, face, kGrey);
    }
    p.restore();
}

QPixmap ButtonFacePixmap(ButtonFace face, bool active, QSize logical, qreal ratio) {
    const QSize device(static_cast<int>(std::ceil(logical.width() * ratio)),
                       static_cast<int>(std::ceil(logical.height() * ratio)));
    QPixmap pm(device);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintButtonFace(p, QRectF(QPointF(0, 0), QSizeF(logical)), face, active);
    return pm;
}

QIcon ButtonFaceIcon(ButtonFace face) {
    return QIcon(new FaceIconEngine(face));
}

void PaintCursorModePicture(QPainter& p, const QRectF& rect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Drawn in a 160 x 100 box, scaled to fit and centred.
    const double k = std::min(rect.width() / 160.0, rect.height() / 100.0);
    p.translate(rect.center().x() - 80 * k, rect.center().y() - 50 * k);
    p.scale(k, k);

    p.setPen(Qt::NoPen);
    p.setBrush(kScreen);
    p.drawRoundedRect(QRectF(0, 0, 160, 100), 6, 6);

    // The radar face: own vessel at the centre, heading line up, one ring.
    const QPointF c(50, 50);
    const double radius = 44;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kTrace, 1.5));
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(kTrace.darker(200), 1));
    p.drawEllipse(c, 22, 22);
    p.drawLine(c, OnCircle(c, radius, 0));
    p.setBrush(kTrace);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 2.2, 2.2);

    // Where the click lands: bearing line and range ring through it, dashed, and the cross.
    const double bearing = 50, range = 32;
    const QPointF hit = OnCircle(c, range, bearing);
    QPen dashed(QColor(0x00, 0xc0, 0x00), 1.2, Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawLine(c, OnCircle(c, radius, bearing));
    p.drawEllipse(c, range, range);
    p.setPen(QPen(kTrace, 1.8));
    const double arm = 6;
    p.drawLine(hit - QPointF(arm, 0), hit + QPointF(arm, 0));
    p.drawLine(hit - QPointF(0, arm), hit + QPointF(0, arm));

    // The pointer, its tip on the cross, and two short strokes for the click.
    QPolygonF pointer({{0, 0}, {0, 17}, {4.2, 13}, {7.4, 20}, {10.2, 18.8}, {7.0, 12}, {12.5, 12}});
    pointer.translate(hit);
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(pointer);
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    for (double b : {260.0, 300.0, 340.0})
        p.drawLine(OnCircle(hit, 9, b), OnCircle(hit, 14, b));

    // What the click writes, named rather than given sample figures: a figure here would sit
    // beside the live read-out and be taken for one.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kTrace);
    p.drawText(QRectF(100, 30, 58, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("range"));
    p.drawText(QRectF(100, 52, 58, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("bearing"));
    p.restore();
}

} // namespace mv
