#include "gui/sea_state.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStackedLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mv {

namespace {

struct SeaLook {
    QColor skyTop, skyBottom, seaTop, seaBottom, crest;
    double amplitude;  // wave height, as a share of the picture's height
    double wavelength; // as a share of its width
    double roll;       // the vessel's heel, degrees
    int clouds;
};

SeaLook LookFor(int state) {
    switch (state) {
    case 1:
        return {QColor(150, 168, 184),
                QColor(204, 214, 222),
                QColor(52, 96, 128),
                QColor(24, 56, 84),
                QColor(222, 232, 238),
                0.045,
                0.34,
                8,
                2};
    case 2:
        return {QColor(58, 66, 76),
                QColor(118, 130, 142),
                QColor(38, 64, 80),
                QColor(14, 30, 42),
                QColor(236, 242, 246),
                0.10,
                0.55,
                20,
                4};
    default:
        return {QColor(84, 160, 226),
                QColor(196, 228, 250),
                QColor(40, 128, 186),
                QColor(18, 78, 132),
                QColor(232, 244, 252),
                0.012,
                0.22,
                0,
                1};
    }
}

// The height of the sea surface at x (0..1 across) for a wave train at a phase.
double Surface(double x, double amplitude, double wavelength, double phase) {
    const double a = 2 * std::numbers::pi * (x / wavelength + phase);
    // A sharper crest than a sine, as wind waves have.
    return amplitude * (std::sin(a) + 0.25 * std::sin(2 * a + 0.6));
}

QPainterPath WavePath(const QRectF& r, double level, const SeaLook& look, double phase) {
    QPainterPath path;
    const int steps = 96;
    for (int s = 0; s <= steps; ++s) {
        const double x = static_cast<double>(s) / steps;
        const double y = level - Surface(x, look.amplitude, look.wavelength, phase);
        const QPointF pt(r.left() + x * r.width(), r.top() + y * r.height());
        if (s == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    return path;
}

void DrawCloud(QPainter& p, QPointF c, double size, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, size, size * 0.55);
    p.drawEllipse(c + QPointF(size * 0.8, size * 0.15), size * 0.7, size * 0.45);
    p.drawEllipse(c + QPointF(-size * 0.75, size * 0.2), size * 0.6, size * 0.38);
}

// A coaster seen from abeam, bow to the right, sitting on the surface at `at`.
void DrawVessel(QPainter& p, QPointF at, double length, double heel) {
    p.save();
    p.translate(at);
    p.rotate(heel);
    const double l = length, h = length * 0.16;
    QPainterPath hull;
    hull.moveTo(-0.5 * l, -h);
    hull.lineTo(0.56 * l, -1.15 * h);
    hull.lineTo(0.42 * l, 0.35 * h);
    hull.lineTo(-0.46 * l, 0.35 * h);
    hull.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 24), std::max(1.0, l * 0.012)));
    p.setBrush(QColor(150, 30, 30));
    p.drawPath(hull);
    // The bridge aft, a mast forward.
    p.setBrush(QColor(236, 236, 230));
    p.drawRect(QRectF(-0.42 * l, -2.5 * h, 0.24 * l, 1.5 * h));
    p.setBrush(QColor(40, 60, 80));
    p.drawRect(QRectF(-0.39 * l, -2.2 * h, 0.18 * l, 0.35 * h));
    p.drawLine(QPointF(0.3 * l, -1.1 * h), QPointF(0.3 * l, -3.2 * h));
    p.drawLine(QPointF(-0.3 * l, -2.5 * h), QPointF(-0.3 * l, -3.4 * h));
    p.restore();
}

} // namespace

void PaintSeaStatePicture(QPainter& p, const QRectF& r, int seaState) {
    const SeaLook look = LookFor(std::clamp(seaState, 0, 2));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(r);
    const double horizon = 0.5;
    // Waves, clouds and the vessel keep their shape however wide the picture is: their sizes
    // are shares of a width no more than 1.6 heights.
    const double unit = std::min(r.width(), 1.6 * r.height());

    QLinearGradient sky(r.topLeft(), QPointF(r.left(), r.top() + horizon * r.height()));
    sky.setColorAt(0, look.skyTop);
    sky.setColorAt(1, look.skyBottom);
    p.fillRect(r, sky);
    for (int c = 0; c < look.clouds; ++c) {
        const double x = r.left() + r.width() * (0.18 + 0.27 * c);
        const double y = r.top() + r.height() * (0.12 + 0.07 * (c % 2));
        QColor colour = seaState == 2 ? QColor(84, 92, 104) : QColor(246, 248, 250);
        if (seaState == 1) colour = QColor(222, 226, 232);
        DrawCloud(p, QPointF(x, y), unit * 0.09, colour);
    }

    // Three wave trains, the farther ones flatter and lighter.
    for (int train = 0; train < 3; ++train) {
        SeaLook layer = look;
        const double depth = (train + 1) / 3.0;
        layer.amplitude = look.amplitude * (0.35 + 0.65 * depth);
        layer.wavelength = look.wavelength * (0.5 + 0.5 * depth) * unit / r.width();
        const double level = horizon + 0.02 + 0.16 * train;
        QLinearGradient sea(QPointF(r.left(), r.top() + level * r.height()), r.bottomLeft());
        sea.setColorAt(0, train == 2 ? look.seaTop : look.seaTop.lighter(115 + 10 * (2 - train)));
        sea.setColorAt(1, look.seaBottom);
        const QPainterPath wave = WavePath(r, level, layer, 0.13 * train);
        p.setPen(Qt::NoPen);
        p.setBrush(sea);
        p.drawPath(wave);
        if (train == 1) {
            // The vessel rides the middle train, heeled by the slope beneath her.
            const double x = 0.5;
            const double slope = (Surface(x + 0.01, layer.amplitude, layer.wavelength, 0.13) -
                                  Surface(x - 0.01, layer.amplitude, layer.wavelength, 0.13)) /
                                 0.02 * r.height() / r.width();
            const double y = level - Surface(x, layer.amplitude, layer.wavelength, 0.13);
            const double heel =
                -std::atan(slope) * 180 / std::numbers::pi + (seaState == 2 ? -6 : 0);
            DrawVessel(p, QPointF(r.left() + x * r.width(), r.top() + (y + 0.01) * r.height()),
                       unit * 0.42, std::clamp(heel, -look.roll, look.roll));
        }
        if (look.amplitude > 0.02) {
            // White crests where the sea breaks.
            QPen foam(look.crest, std::max(1.0, r.width() * 0.008 * (1 + train)), Qt::SolidLine,
                      Qt::RoundCap);
            p.setPen(foam);
            const int steps = 96;
            for (int s = 0; s < steps; ++s) {
                const double x0 = static_cast<double>(s) / steps, x1 = (s + 1.0) / steps;
                const double a = 2 * std::numbers::pi * (x0 / layer.wavelength + 0.13 * train);
                if (std::sin(a) < (seaState == 2 ? 0.55 : 0.85)) continue;
                const double y0 =
                    level - Surface(x0, layer.amplitude, layer.wavelength, 0.13 * train);
                const double y1 =
                    level - Surface(x1, layer.amplitude, layer.wavelength, 0.13 * train);
                p.drawLine(QPointF(r.left() + x0 * r.width(), r.top() + y0 * r.height()),
                           QPointF(r.left() + x1 * r.width(), r.top() + y1 * r.height()));
            }
        } else {
            // A calm sea: long glints of sunlight.
            p.setPen(QPen(QColor(255, 255, 255, 150), std::max(1.0, r.width() * 0.006)));
            for (int g = 0; g < 4; ++g) {
                const double y = r.top() + (level + 0.05 + 0.03 * g) * r.height();
                const double x = r.left() + r.width() * (0.12 + 0.21 * g + 0.05 * train);
                p.drawLine(QPointF(x, y), QPointF(x + unit * 0.09, y));
            }
        }
    }
    if (seaState == 2) {
        // Spray and rain streaks across a heavy sea.
        p.setPen(QPen(QColor(220, 228, 236, 110), std::max(1.0, r.width() * 0.004)));
        for (int s = 0; s < 28; ++s) {
            const double x = r.left() + r.width() * std::fmod(s * 0.137, 1.0);
            const double y = r.top() + r.height() * std::fmod(s * 0.291, 0.9);
            p.drawLine(QPointF(x, y), QPointF(x - r.width() * 0.03, y + r.height() * 0.08));
        }
    }
    p.restore();
}

namespace {

// One picture, drawn as vectors once for each size and pixel density it settles at and kept:
// a paint (every tick of the clock beside it) then only blits it. While the size keeps changing,
// as in a drag of the window's edge, the kept picture is shown stretched, and drawn afresh once
// the size has been still for a moment.
class SeaStatePicture : public QWidget {
  public:
    SeaStatePicture(int state, QWidget* parent) : QWidget(parent), state_(state) {
        setObjectName(QString("imgSeaState(%1)").arg(state));
        setToolTip(QStringList{"Calm sea", "Moderate sea", "Heavy sea"}.at(state));
        settle_.setSingleShot(true);
        settle_.setInterval(kSettleMs);
        connect(&settle_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    }
    void setShade(const QColor& shade) {
        shade_ = shade;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const qreal ratio = devicePixelRatioF();
        const QSize device = (QSizeF(size()) * ratio).toSize();
        QPainter p(this);
        if (drawn_.size() == device && drawn_.devicePixelRatio() == ratio) {
            p.drawPixmap(0, 0, drawn_);
        } else if (!drawn_.isNull() && settle_.isActive()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(rect(), drawn_);
        } else {
            drawn_ = QPixmap(device);
            drawn_.setDevicePixelRatio(ratio);
            drawn_.fill(Qt::transparent);
            QPainter vectors(&drawn_);
            PaintSeaStatePicture(vectors, QRectF(rect()), state_);
            vectors.end();
            p.drawPixmap(0, 0, drawn_);
        }
        // The palette's shade over the kept picture, so a change of palette draws nothing anew.
        if (shade_.alpha() > 0) p.fillRect(rect(), shade_);
    }
    void resizeEvent(QResizeEvent*) override {
        if (!drawn_.isNull()) settle_.start();
    }

  private:
    // Milliseconds of no resize after which a drag counts as over.
    static constexpr int kSettleMs = 150;
    int state_;
    QColor shade_ = Qt::transparent;
    QPixmap drawn_;
    QTimer settle_;
};

} // namespace

SeaStatePanel::SeaStatePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pnlSeaState");
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    for (int s = 0; s < 3; ++s)
        stack_->addWidget(new SeaStatePicture(s, this));
    // Low and wide at the foot of the panel; it gives up its height before any button does.
    setMinimumHeight(24);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void SeaStatePanel::ShowSeaState(int seaState) {
    stack_->setCurrentIndex(std::clamp(seaState, 0, 2));
}

void SeaStatePanel::SetShade(const QColor& shade) {
    for (int s = 0; s < stack_->count(); ++s)
        static_cast<SeaStatePicture*>(stack_->widget(s))->setShade(shade);
}

} // namespace mv
