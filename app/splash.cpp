#include "app/splash.h"

#include "gui/on_circle.h"

#include <QApplication>
#include <QConicalGradient>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>

#include <cmath>

namespace mv {

namespace {

const QColor kTrace(0, 255, 90);

} // namespace

void PaintSplashPicture(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // The scene is laid out on the design's 285 x 434 and scaled to the rect.
    p.translate(r.topLeft());
    p.scale(r.width() / kSplashSize.width(), r.height() / kSplashSize.height());
    const QRectF box(0, 0, kSplashSize.width(), kSplashSize.height());

    QLinearGradient back(box.topLeft(), box.bottomLeft());
    back.setColorAt(0, QColor(14, 34, 54));
    back.setColorAt(1, QColor(4, 12, 22));
    p.fillRect(box, back);
    p.setPen(QPen(QColor(70, 110, 140), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(1, 1, -1, -1));

    QFont title("DejaVu Sans");
    title.setPixelSize(34);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(title);
    p.setPen(QColor(230, 240, 248));
    p.drawText(QRectF(0, 22, box.width(), 44), Qt::AlignCenter, "MAROVANE");
    // Every other word on the splash is in this one regular face and size: each further
    // face or size is a font match of its own before the first picture (some 6 M
    // instructions apiece).
    QFont sub("DejaVu Sans");
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(150, 190, 215));
    p.drawText(QRectF(0, 66, box.width(), 20), Qt::AlignCenter, "Radar plotting simulator");

    // The radar face: a bezel, the screen, rings every quarter of the range, the bearing scale.
    const QPointF c(box.width() / 2, 228);
    const double R = 100;
    QRadialGradient bezel(c, R + 14);
    bezel.setColorAt(0.85, QColor(60, 70, 78));
    bezel.setColorAt(1.0, QColor(22, 26, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(c, R + 12, R + 12);
    QRadialGradient screen(c, R);
    screen.setColorAt(0, QColor(0, 40, 14));
    screen.setColorAt(1, QColor(0, 14, 4));
    p.setBrush(screen);
    p.drawEllipse(c, R, R);

    // The sweep: a wedge of 60 degrees behind the bright line at 040, fading as the echo
    // painted by the beam fades. One pie with a gradient round the centre: drawn as forty thin
    // wedges it cost some 6 M instructions before the first picture.
    const double sweep = 40;
    constexpr double kTrail = 60; // degrees of fading trace behind the line
    // The painter's angles run anticlockwise from three o'clock; bearings clockwise from north.
    QConicalGradient fade(c, 90 - sweep);
    fade.setColorAt(0, QColor(0, 255, 90, 90));
    fade.setColorAt(kTrail / 360, QColor(0, 255, 90, 0));
    fade.setColorAt(1, QColor(0, 255, 90, 0));
    p.setBrush(fade);
    p.drawPie(QRectF(c.x() - R, c.y() - R, 2 * R, 2 * R), qRound((90 - sweep) * 16),
              qRound(kTrail * 16));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 200, 70, 150), 1));
    for (int ring = 1; ring <= 3; ++ring)
        p.drawEllipse(c, R * ring / 4, R * ring / 4);
    p.setPen(QPen(kTrace, 1.5));
    p.drawEllipse(c, R, R);
    for (int b = 0; b < 360; b += 10) {
        const double inner = b % 30 == 0 ? R - 8 : R - 4;
        p.drawLine(OnCircle(c, inner, b), OnCircle(c, R, b));
    }
    // Heading line, and the EBL and VRM a watch officer would have on a crossing target.
    p.setPen(QPen(kTrace, 1.2));
    p.drawLine(c, OnCircle(c, R, 0));
    p.setPen(QPen(QColor(255, 210, 0), 1.2, Qt::DashLine));
    p.drawLine(c, OnCircle(c, R, 62));
    p.drawEllipse(c, R * 0.58, R * 0.58);
    p.setPen(QPen(kTrace, 2.2));
    p.drawLine(OnCircle(c, 4, 0), OnCircle(c, -4, 0));
    p.drawLine(OnCircle(c, 4, 90), OnCircle(c, -4, 90));
    p.setPen(QPen(kTrace, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, 0), c + QPointF(0, 0));

    // Echoes with their plot trails: a crossing ship, one overtaking, one fine on the bow.
    struct Echo {
        double bearing, range, trailBearing;
    };
    const Echo echoes[] = {{62, 0.58, 90}, {205, 0.72, 10}, {335, 0.8, 160}};
    for (const Echo& e : echoes) {
        const QPointF at = OnCircle(c, R * e.range, e.bearing);
        p.setPen(QPen(QColor(150, 150, 150), 2.4, Qt::SolidLine, Qt::RoundCap));
        for (int t = 1; t <= 4; ++t)
            p.drawPoint(OnCircle(at, 7.0 * t, e.trailBearing + 180));
        p.setPen(QPen(kTrace, 4, Qt::SolidLine, Qt::RoundCap));
        const QPointF along = OnCircle(QPointF(0, 0), 3.5, e.trailBearing + 90);
        p.drawLine(at - along, at + along);
    }
    // The bearing figures at the cardinal points, outside the scale.
    p.setPen(QColor(150, 190, 215));
    const char* cardinals[] = {"000", "090", "180", "270"};
    for (int k = 0; k < 4; ++k) {
        const QPointF at = OnCircle(c, R + 26, 90.0 * k);
        p.drawText(QRectF(at.x() - 16, at.y() - 7, 32, 14), Qt::AlignCenter, cardinals[k]);
    }

    p.setPen(QColor(120, 160, 185));
    p.drawText(QRectF(0, 378, box.width(), 18), Qt::AlignCenter,
               "EBL \u00b7 VRM \u00b7 CPA \u00b7 True motion");
    p.setPen(QColor(100, 130, 150));
    p.drawText(QRectF(0, 402, box.width(), 16), Qt::AlignCenter, "Starting\u2026");
    p.restore();
}

QPixmap SplashPixmap(qreal ratio) {
    QPixmap pm(QSize(static_cast<int>(std::lround(kSplashSize.width() * ratio)),
                     static_cast<int>(std::lround(kSplashSize.height() * ratio))));
    pm.setDevicePixelRatio(ratio);
    QPainter p(&pm);
    PaintSplashPicture(p, QRectF(QPointF(0, 0), QSizeF(kSplashSize)));
    return pm;
}

SplashWindow::SplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("frmSplash");
    setWindowTitle("Marovane");
    imgSplash_ = new QLabel(this);
    imgSplash_->setObjectName("imgSplash");
    setFixedSize(kSplashSize);
    imgSplash_->setGeometry(QRect(QPoint(0, 0), kSplashSize));
    setCursor(Qt::PointingHandCursor);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
    qApp->removeEventFilter(this);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::KeyPress) return false;
    // Nothing else is on the screen yet: the press is for the splash, and goes no further.
    if (!dismissed_) {
        dismissed_ = true;
        emit dismissed();
    }
    return watched->isWidgetType();
}

void SplashWindow::showEvent(QShowEvent* event) {
    // Drawn for the screen it is on, so it is sharp at any scale; centred on that screen.
    const qreal ratio = devicePixelRatioF();
    imgSplash_->setPixmap(SplashPixmap(ratio));
    imgSplash_->move((width() - kSplashSize.width()) / 2, (height() - kSplashSize.height()) / 2);
    if (const QScreen* s = screen()) {
        const QRect area = s->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::showEvent(event);
}

} // namespace mv
