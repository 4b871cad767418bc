// The retained picture behind the radar face: what is drawn stays where it was drawn when the
// world window follows the own vessel, overlays keep their place on the screen, the face is
// filled exactly to its edge, and a picture at twice the pixel density is twice as fine.

#include "gui/raster.h"
#include "gui/world_picture.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

TEST(FillDisc, FillsExactlyThePixelsWhoseCentresLieInside) {
    struct Case {
        double cx, cy, r;
    };
    // Whole and fractional centres, a tiny disc, and discs that run off every edge.
    const Case cases[] = {{20, 20, 10},  {20.5, 19.25, 7.3}, {3.7, 4.1, 0.6},  {-5, 20, 12},
                          {20, 45, 9.5}, {20, 20, 100},      {39.9, 0.2, 15.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "centre " << c.cx << "," << c.cy << " r " << c.r);
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(kWhite);
        mv::FillDisc(image, c.cx, c.cy, c.r, kGreen);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double d = std::hypot(x + 0.5 - c.cx, y + 0.5 - c.cy);
                ASSERT_EQ(image.pixelColor(x, y), d < c.r ? kGreen : kWhite)
                    << "pixel " << x << "," << y << " at " << d;
            }
    }
}

TEST(StrokeRing, EquallyBrightAndAtItsRadiusAllRound) {
    // In each of 48 sectors round the centre, the green adds up to the pen's width times the
    // sector's arc (the ring is as thick at 45 degrees as across) and its weighted distance
    // from the centre is the radius. A ring that runs off the picture is clipped.
    struct Case {
        double cx, cy, r, width;
    };
    const Case cases[] = {
        {100, 100, 60, 1}, {100.5, 100.5, 73.7, 2}, {100.2, 99.6, 90, 1}, {20, 100, 60, 1}};
    constexpr int kSectors = 48;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "r " << c.r << " width " << c.width);
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(kBlack);
        mv::StrokeRing(image, c.cx, c.cy, c.r, c.width, kGreen);
        // The ring is centred on the pixel that holds the centre.
        const double ox = std::floor(c.cx) + 0.5, oy = std::floor(c.cy) + 0.5;
        double sum[kSectors] = {}, moment[kSectors] = {};
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                const double g = image.pixelColor(x, y).green() / 255.0;
                const double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
                // Sectors turned by half a sector, so no row or diagonal of pixels lies on a
                // border.
                const double angle =
                    std::fmod(std::atan2(dx, -dy) + M_PI + M_PI / kSectors, 2 * M_PI);
                const int k =
                    std::min(kSectors - 1, static_cast<int>(angle / (2 * M_PI) * kSectors));
                sum[k] += g;
                moment[k] += g * std::hypot(dx, dy);
            }
        for (int k = 0; k < kSectors; ++k) {
            const double mid = k * 2 * M_PI / kSectors - M_PI;
            if (c.cx + (c.r + 2) * std::sin(mid) > 196 || c.cx + (c.r + 2) * std::sin(mid) < 4)
                continue; // this part of the ring lies off the picture
            const double arc = c.r * 2 * M_PI / kSectors;
            EXPECT_NEAR(sum[k] / arc, c.width, 0.15 * c.width) << "sector " << k;
            EXPECT_NEAR(moment[k] / sum[k], c.r, 0.3) << "sector " << k;
        }
    }
}

TEST(StrokeSegment, LooksLikeTheRoundCappedPen) {
    // The bearing scale's ticks at twice the pixel density, two pixels wide, at every slant and
    // with ends off the pixel grid, against the painter's smoothed round-capped pen: as bright
    // in all, and no pixel far off.
    struct Case {
        double x1, y1, x2, y2, width;
    };
    const Case cases[] = {{10, 20.5, 50, 20.5, 2}, {30.5, 5, 30.5, 55, 2},
                          {8, 8, 52, 52, 2},       {12.3, 50.7, 47.9, 9.2, 2},
                          {-10, 30, 70, 34, 2},    {5.5, 40.2, 54.1, 31.7, 3},
                          {30, 30, 31.2, 40.6, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x1 << "," << c.y1 << ") to (" << c.x2 << ","
                                        << c.y2 << ") width " << c.width);
        QImage painted(60, 60, QImage::Format_RGB32), ours(60, 60, QImage::Format_RGB32);
        painted.fill(kBlack);
        ours.fill(kBlack);
        {
            QPainter p(&painted);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(kGreen, c.width, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
        }
        mv::StrokeSegment(ours, c.x1, c.y1, c.x2, c.y2, c.width, kGreen);
        double paintedSum = 0, ourSum = 0;
        int worst = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                const int a = painted.pixelColor(x, y).green(), b = ours.pixelColor(x, y).green();
                ASSERT_EQ(ours.pixelColor(x, y).red(), 0);
                paintedSum += a;
                ourSum += b;
                worst = std::max(worst, std::abs(a - b));
            }
        EXPECT_NEAR(ourSum, paintedSum, 0.03 * paintedSum);
        EXPECT_LE(worst, 40);
    }
}

// A 200 x 223 pixel picture, 10 nm across, north up, centred on (east, north).
void Centre(mv::WorldPicture& p, double east, double north) {
    p.setWindow(east - 5, north + 5.5, 10, -11.15);
}

TEST(WorldPicture, DrawingStaysPutAndOverlaysKeepTheirPlaceWhenTheWindowFollows) {
    mv::WorldPicture p;
    p.resize(QSize(200, 223));
    Centre(p, 0, 0);
    p.point(1, 2, kGreen); // 1 nm east, 2 nm north of the first centre
    p.declare("lne", mv::WorldPicture::ItemKind::Line);
    p.declare("lbl", mv::WorldPicture::ItemKind::Label);
    p.setOverlayLine("lne", 0, 0, 1, 2, kGreen, 1);
    p.setLabel("lbl", "A", kGreen);
    p.moveLabel("lbl", 1, 2);
    const QPointF pointPx = p.toPixel(1, 2);
    const QLineF line = p.overlayLine("lne");
    const QPointF corner = p.labelTopLeft("lbl");

    Centre(p, 3, -4); // the own vessel has moved
    EXPECT_EQ(p.pixel(static_cast<int>(pointPx.x()), static_cast<int>(pointPx.y())), kGreen);
    EXPECT_EQ(p.overlayLine("lne"), line);
    EXPECT_EQ(p.labelTopLeft("lbl"), corner);
    // A new point at the same world place lands elsewhere on the screen.
    EXPECT_NE(p.toPixel(1, 2), pointPx);

    // World and pixel coordinates convert both ways, north up.
    const QPointF px = p.toPixel(4, -2);
    const QPointF back = p.toWorld(px);
    EXPECT_NEAR(back.x(), 4, 1e-9);
    EXPECT_NEAR(back.y(), -2, 1e-9);
    EXPECT_LT(p.toPixel(3, 0).y(), p.toPixel(3, -1).y()) << "north is up";
}

TEST(WorldPicture, TwiceThePixelDensityIsTwiceAsFine) {
    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "device pixel ratio " << dpr);
        mv::WorldPicture p;
        p.resize(QSize(200, 223), dpr);
        Centre(p, 0, 0);
        EXPECT_EQ(p.image().width(), qRound(200 * dpr));
        EXPECT_EQ(p.image().height(), qRound(223 * dpr));

        // A circle's radius is in world units whatever the density: 4 nm, 20 pixels a mile.
        p.setFill(mv::WorldPicture::Fill::Solid, kWhite);
        p.circle(0, 0, 4, kGreen);
        const QImage& img = p.image();
        const QPointF c = p.toPixel(0, 0) * dpr;
        for (const auto& [nm, colour] : {std::pair{3.8, kWhite}, {4.2, kBlack}})
            EXPECT_EQ(
                img.pixelColor(static_cast<int>(c.x() + nm * 20 * dpr), static_cast<int>(c.y())),
                colour)
                << nm << " nm out";

        // A point is one logical pixel: a single device pixel, or a 2 x 2 block.
        p.point(-4.5, 5, kGreen);
        const QPointF at = p.toPixel(-4.5, 5) * dpr;
        int lit = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (img.pixelColor(static_cast<int>(at.x()) + dx, static_cast<int>(at.y()) + dy) ==
                    kGreen)
                    ++lit;
        EXPECT_EQ(lit, static_cast<int>(dpr * dpr));
    }
}

TEST(WorldPicture, AResizeReusesItsPixelsButNeverUnderACopy) {
    mv::WorldPicture p;
    p.resize(QSize(200, 223), 2.0);
    const uchar* const first = p.image().constBits();
    // A drag to and fro, no larger than the first size: the same pixels, cleared each time.
    for (const QSize size : {QSize(190, 212), QSize(200, 223), QSize(193, 215)}) {
        p.setBackground(QColor(0, 0, size.width()));
        p.resize(size, 2.0);
        EXPECT_EQ(p.image().constBits(), first);
        EXPECT_EQ(p.image().size(), size * 2);
        EXPECT_EQ(p.image().bytesPerLine(), size.width() * 2 * 4);
        const QImage& img = p.image();
        for (const QPoint at : {QPoint(0, 0), QPoint(img.width() - 1, img.height() - 1)})
            EXPECT_EQ(img.pixelColor(at), QColor(0, 0, size.width()));
    }

    // Someone keeps the image, drawn on; the picture is drawn on and resized after. The copy
    // keeps its pixels, and the picture's new ones are its own.
    Centre(p, 0, 0);
    p.point(1, 2, kGreen);
    const QImage kept = p.image(), expected = p.image().copy();
    p.point(-1, -2, kWhite);
    p.setBackground(kWhite);
    p.resize(QSize(200, 223), 2.0);
    p.point(1, 2, kBlack);
    EXPECT_EQ(kept, expected);
    EXPECT_NE(p.image().constBits(), kept.constBits());
    EXPECT_EQ(p.image().pixelColor(0, 0), kWhite);
}

TEST(WorldPicture, OverlaysPaintPicturesUnderLinesAndTextOnTop) {
    mv::WorldPicture p;
    p.resize(QSize(200, 223));
    Centre(p, 0, 0);
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(QColor(0, 0, 255));
    p.declare("img", mv::WorldPicture::ItemKind::Image);
    p.declare("lne", mv::WorldPicture::ItemKind::Line);
    p.setOverlayImage("img", square, 1, 1);               // top-left corner 1 nm east, 1 nm north
    p.setOverlayLine("lne", 1.5, 0.5, 1.5, 3, kGreen, 3); // runs down through the picture
    const QImage shown = p.render();
    const QPointF corner = p.toPixel(1, 1);
    EXPECT_EQ(shown.pixelColor(corner.toPoint() + QPoint(15, 15)), QColor(0, 0, 255));
    const QPointF onLine = p.toPixel(1.5, 0.8);
    EXPECT_EQ(shown.pixelColor(onLine.toPoint()), kGreen) << "the line is over the picture";
    EXPECT_EQ(p.image().pixelColor(corner.toPoint() + QPoint(15, 15)), kBlack)
        << "overlays never touch the retained image";

    p.setVisible("img", false);
    EXPECT_EQ(p.render().pixelColor(corner.toPoint() + QPoint(15, 15)), kBlack);
}

} // namespace
