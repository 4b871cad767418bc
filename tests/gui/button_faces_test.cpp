#include "gui/button_faces.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace mv {
namespace {

int InkedPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 128) ++n;
    return n;
}

// The largest difference of any channel of any pixel, ratio and format aside.
int Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q),
                          qAlpha(p) - qAlpha(q)})
                most = std::max(most, std::abs(d));
        }
    return most;
}

// Every face is drawn at the screen's own resolution, and the greyed one differs from the
// active one; the icon gives the greyed face for a disabled button at any ratio.
TEST(ButtonFaces, SharpAtEveryRatioAndGreyedWhenDisabled) {
    for (ButtonFace f : {ButtonFace::EBLClock, ButtonFace::EBLCtrClock, ButtonFace::VRMIn,
                         ButtonFace::VRMOut, ButtonFace::RangeUp, ButtonFace::RangeDown}) {
        SCOPED_TRACE(static_cast<int>(f));
        int inked1 = 0;
        for (qreal ratio : {1.0, 1.5, 2.0}) {
            const QPixmap active = ButtonFacePixmap(f, true, QSize(24, 24), ratio);
            const QPixmap grey = ButtonFacePixmap(f, false, QSize(24, 24), ratio);
            EXPECT_EQ(active.size(), QSize(24, 24) * ratio);
            EXPECT_EQ(active.deviceIndependentSize(), QSizeF(24, 24));
            const QImage a = active.toImage();
            EXPECT_NE(a, grey.toImage());
            const int inked = InkedPixels(a);
            if (ratio == 1.0) inked1 = inked;
            // Drawn anew, not scaled up: the inked area grows with the square of the ratio.
            EXPECT_NEAR(inked, inked1 * ratio * ratio, inked1 * ratio * ratio * 0.2);
        }
        const QIcon icon = ButtonFaceIcon(f);
        for (bool active : {true, false}) {
            const QPixmap shown =
                icon.pixmap(QSize(24, 24), 2.0, active ? QIcon::Normal : QIcon::Disabled);
            EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(24, 24));
            EXPECT_EQ(Difference(shown.toImage(),
                                 ButtonFacePixmap(f, active, QSize(24, 24), 2.0).toImage()),
                      0);
        }
    }
    // The clockwise and anticlockwise faces are mirror images, give or take the smoothing.
    const QImage clockwise =
        ButtonFacePixmap(ButtonFace::EBLClock, true, QSize(32, 32), 1).toImage();
    const QImage anti = ButtonFacePixmap(ButtonFace::EBLCtrClock, true, QSize(32, 32), 1).toImage();
    EXPECT_LE(Difference(clockwise.mirrored(true, false), anti), 8);
}

} // namespace
} // namespace mv
