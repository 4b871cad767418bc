#include "shell/main_window.h"

#include <QApplication>
#include <QMdiArea>
#include <gtest/gtest.h>

namespace {

int argc = 1;
char arg0[] = "test";
char* argv[] = {arg0, nullptr};

TEST(MainWindow, HasItsCaptionAndDesignName) {
    QApplication app(argc, argv);
    mv::MainWindow window;
    EXPECT_EQ(window.windowTitle(), "Marovane");
    EXPECT_EQ(window.objectName(), "frmRadarMDI");
    ASSERT_NE(window.mdiArea(), nullptr);
    const QImage picture = window.grab().toImage();
    EXPECT_FALSE(picture.isNull());
}

} // namespace
