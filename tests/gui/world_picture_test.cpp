// The retained picture behind the radar face: what is drawn stays where it was drawn when the
// world window follows the own vessel, overlays keep their place on the screen and never touch
// the retained image, and a picture at twice the pixel density keeps its miles.

#include "gui/world_picture.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

// A 200 x 223 pixel picture, 10 nm across, north up, centred on (east, north).
void Centre(mv::WorldPicture& p, double east, double north) {
    p.setWindow(east - 5, north + 5.5, 10, -11.15);
}

TEST(WorldPicture, DrawingStaysPutAndOverlaysKeepTheirPlaceAndPaintOverIt) {
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
    EXPECT_NE(p.toPixel(1, 2), pointPx);

    // World and pixel coordinates convert both ways, north up.
    const QPointF back = p.toWorld(p.toPixel(4, -2));
    EXPECT_NEAR(back.x(), 4, 1e-9);
    EXPECT_NEAR(back.y(), -2, 1e-9);
    EXPECT_LT(p.toPixel(3, 0).y(), p.toPixel(3, -1).y()) << "north is up";

    // Overlays paint over the picture, never into it, and go when hidden.
    Centre(p, 0, 0);
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(QColor(0, 0, 255));
    p.declare("img", mv::WorldPicture::ItemKind::Image);
    p.setOverlayImage("img", square, 1, 1);               // top-left corner 1 nm east, 1 nm north
    p.setOverlayLine("lne", 1.5, 0.5, 1.5, 3, kGreen, 3); // runs down through the picture
    const QImage shown = p.render();
    const QPoint inside = p.toPixel(1, 1).toPoint() + QPoint(15, 15);
    EXPECT_EQ(shown.pixelColor(inside), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(p.toPixel(1.5, 0.8).toPoint()), kGreen) << "the line on top";
    EXPECT_EQ(p.image().pixelColor(inside), kBlack) << "the retained image untouched";
    p.setVisible("img", false);
    EXPECT_EQ(p.render().pixelColor(inside), kBlack);
}

TEST(WorldPicture, ACircleKeepsItsMilesAtTwiceThePixelDensity) {
    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "device pixel ratio " << dpr);
        mv::WorldPicture p;
        p.resize(QSize(200, 223), dpr);
        Centre(p, 0, 0);
        EXPECT_EQ(p.image().width(), qRound(200 * dpr));
        // 4 nm at 20 pixels a mile, whatever the density.
        p.setFill(mv::WorldPicture::Fill::Solid, kWhite);
        p.circle(0, 0, 4, kGreen);
        const QPointF c = p.toPixel(0, 0) * dpr;
        for (const auto& [nm, colour] : {std::pair{3.8, kWhite}, {4.2, kBlack}})
            EXPECT_EQ(p.image().pixelColor(static_cast<int>(c.x() + nm * 20 * dpr),
                                           static_cast<int>(c.y())),
                      colour)
                << nm << " nm out";
    }
}

TEST(WorldPicture, AnImageKeptBySomeoneIsNeverDrawnOnByAResize) {
    mv::WorldPicture p;
    p.resize(QSize(200, 223), 2.0);
    Centre(p, 0, 0);
    p.point(1, 2, kGreen);
    const QImage kept = p.image(), expected = p.image().copy();
    p.point(-1, -2, kWhite);
    p.setBackground(kWhite);
    p.resize(QSize(200, 223), 2.0);
    p.point(1, 2, kBlack);
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(p.image().pixelColor(0, 0), kWhite);
}

} // namespace
