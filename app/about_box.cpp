#include "app/about_box.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace mv {

namespace {

constexpr const char* kProductTitle = "Marovane Radar Plotting Simulator";

// A radar face: range rings, the heading line, a sweep and three echoes, one with its trail.
// Drawn at the screen's device pixels, so it is sharp at 200 % as at 100 %.
QPixmap RadarPicture(int size, qreal ratio) {
    QPixmap pix(QSize(size, size) * ratio);
    pix.setDevicePixelRatio(ratio);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    const double r = size / 2.0 - 3;
    p.setPen(QPen(QColor(90, 110, 120), 3));
    p.setBrush(QColor(8, 24, 14));
    p.drawEllipse(c, r, r);
    const QColor green(60, 255, 110);
    p.setPen(QPen(QColor(40, 150, 70), 1));
    p.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 3; ++ring)
        p.drawEllipse(c, r * ring / 4.0, r * ring / 4.0);
    p.drawLine(c, c + QPointF(0, -r));
    // The sweep fades behind its leading edge, some 40 degrees of arc.
    for (int i = 0; i < 40; ++i) {
        QColor shade = green;
        shade.setAlpha(90 - 2 * i);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPie(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), (60 + i) * 16, 16);
    }
    p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
    const auto at = [&](double bearing, double range) {
        const double a = bearing * std::numbers::pi / 180.0;
        return c + QPointF(std::sin(a) * range * r, -std::cos(a) * range * r);
    };
    p.drawPoint(at(45, 0.55));
    p.drawPoint(at(330, 0.8));
    for (int k = 0; k < 4; ++k)
        p.drawPoint(at(20 - 2 * k, 0.42 + 0.06 * k));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(c);
    return pix;
}

} // namespace

QString VersionText() {
    return QString("Version %1.%2.%3")
        .arg(MAROVANE_VERSION_MAJOR)
        .arg(MAROVANE_VERSION_MINOR)
        .arg(MAROVANE_VERSION_PATCH);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About Marovane");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setPixmap(RadarPicture(128, devicePixelRatioF()));
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName("lblVersion");
    lblVersion_->setText(QString(kProductTitle) + "\r\n" + VersionText());
    QFont font = lblVersion_->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    lblVersion_->setFont(font);
    row->addWidget(image);
    row->addSpacing(12);
    row->addWidget(lblVersion_, 1);
    layout->addLayout(row);
    auto* note = new QLabel("A radar plotting trainer for navigators.\nFor training only: "
                            "never a substitute for a proper lookout.",
                            this);
    note->setObjectName("lblNote");
    layout->addWidget(note);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::cmdOK_Click);
    layout->addWidget(ok, 0, Qt::AlignRight);
    // Centred on the screen, as every dialog of the program opens.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace mv
