// Writes the program's icon, drawn once here: a radar face with range rings, the heading line,
// a bearing line on a target's echo and its plot trail. Gives the scalable SVG and a PNG of
// each size the desktop asks for, so the two never differ.
// usage: marovane-icon OUT_FOLDER SIZE...

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Everything is laid out on a 256 x 256 grid.
constexpr double kBox = 256;
constexpr double kCentre = 128;
constexpr double kFace = 100;
// The bearing line's direction, degrees true from the top.
constexpr double kBearing = 50;

struct Circle {
    double x, y, r;
    QColor fill;   // transparent: not filled
    QColor stroke; // transparent: no outline
    double width;
};
struct Line {
    double x1, y1, x2, y2;
    QColor stroke;
    double width;
};

const QColor kNone(0, 0, 0, 0);
const QColor kBackground("#10202c");
const QColor kFaceFill("#0e3b2b");
const QColor kPhosphor("#3ddc84");
const QColor kRing("#2a9d62");
const QColor kEcho("#ffd23f");

QPointF AtBearing(double bearing, double range) {
    const double rad = bearing * 0.01745329251994;
    return {kCentre + range * std::sin(rad), kCentre - range * std::cos(rad)};
}

std::vector<Circle> Circles() {
    const QPointF echo = AtBearing(kBearing, 62);
    return {
        {kCentre, kCentre, kFace, kFaceFill, kPhosphor, 8},
        {kCentre, kCentre, kFace * 2 / 3, kNone, kRing, 3},
        {kCentre, kCentre, kFace / 3, kNone, kRing, 3},
        // The plot trail falls behind the echo, towards the lower left.
        {echo.x() - 30, echo.y() + 34, 5, kPhosphor, kNone, 0},
        {echo.x() - 15, echo.y() + 17, 6, kPhosphor, kNone, 0},
        {echo.x(), echo.y(), 11, kEcho, kNone, 0},
    };
}

std::vector<Line> Lines() {
    const QPointF top = AtBearing(0, kFace);
    const QPointF ebl = AtBearing(kBearing, kFace);
    return {
        {kCentre, kCentre, top.x(), top.y(), QColor("#e8f1f2"), 5},
        {kCentre, kCentre, ebl.x(), ebl.y(), kEcho, 4},
    };
}

QString Hex(const QColor& c) {
    return c.alpha() == 0 ? QStringLiteral("none") : c.name();
}

bool WriteSvg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n"
        << "  <rect x=\"8\" y=\"8\" width=\"240\" height=\"240\" rx=\"44\" fill=\""
        << Hex(kBackground) << "\"/>\n";
    const auto circle = [&](const Circle& c) {
        out << "  <circle cx=\"" << c.x << "\" cy=\"" << c.y << "\" r=\"" << c.r << "\" fill=\""
            << Hex(c.fill) << "\" stroke=\"" << Hex(c.stroke) << "\" stroke-width=\"" << c.width
            << "\"/>\n";
    };
    const std::vector<Circle> circles = Circles();
    for (size_t i = 0; i < 3; ++i)
        circle(circles[i]);
    for (const Line& l : Lines())
        out << "  <line x1=\"" << l.x1 << "\" y1=\"" << l.y1 << "\" x2=\"" << l.x2 << "\" y2=\""
            << l.y2 << "\" stroke=\"" << Hex(l.stroke) << "\" stroke-width=\"" << l.width
            << "\" stroke-linecap=\"round\"/>\n";
    for (size_t i = 3; i < circles.size(); ++i)
        circle(circles[i]);
    out << "</svg>\n";
    return out.status() == QTextStream::Ok;
}

bool WritePng(const QString& path, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kBox, size / kBox);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    p.fillPath(frame, kBackground);
    const auto circle = [&](const Circle& c) {
        p.setBrush(c.fill.alpha() ? QBrush(c.fill) : Qt::NoBrush);
        p.setPen(c.stroke.alpha() ? QPen(c.stroke, c.width) : Qt::NoPen);
        p.drawEllipse(QPointF(c.x, c.y), c.r, c.r);
    };
    const std::vector<Circle> circles = Circles();
    for (size_t i = 0; i < 3; ++i)
        circle(circles[i]);
    for (const Line& l : Lines()) {
        p.setPen(QPen(l.stroke, l.width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
    }
    for (size_t i = 3; i < circles.size(); ++i)
        circle(circles[i]);
    p.end();
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: marovane-icon OUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!WriteSvg(folder + "/marovane.svg")) return 1;
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0 || !WritePng(QString("%1/marovane-%2.png").arg(folder).arg(size), size))
            return 1;
    }
    return 0;
}
