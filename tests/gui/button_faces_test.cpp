#include "gui/button_faces.h"

#include <QImage>

#include <gtest/gtest.h>

namespace mv {
namespace {

// A face is drawn at all, and a disabled button shows it greyed, not the same.
TEST(ButtonFaces, EveryFaceIsDrawnAndGreyedWhenDisabled) {
    for (ButtonFace f : {ButtonFace::EBLClock, ButtonFace::EBLCtrClock, ButtonFace::VRMIn,
                         ButtonFace::VRMOut, ButtonFace::RangeUp, ButtonFace::RangeDown}) {
        SCOPED_TRACE(static_cast<int>(f));
        const QIcon icon = ButtonFaceIcon(f);
        const QImage active = icon.pixmap(QSize(24, 24), 2.0).toImage();
        int inked = 0;
        for (int y = 0; y < active.height(); ++y)
            for (int x = 0; x < active.width(); ++x)
                inked += qAlpha(active.pixel(x, y)) > 128;
        EXPECT_GT(inked, 20);
        EXPECT_NE(icon.pixmap(QSize(24, 24), 2.0, QIcon::Disabled).toImage(), active);
    }
}

} // namespace
} // namespace mv
