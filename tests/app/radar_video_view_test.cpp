// Radar > Radar Video puts the receiver's picture in place of the clean echoes and back, and
// the gain key steps the level the picture reads out.
#include "gui/radar_items.h"
#include "gui/radar_video.h"
#include "tests/support/exercise_fixture.h"

#include <cmath>

namespace {

using RadarVideoView = mv::test::ExerciseFixture;

TEST_F(RadarVideoView, SwitchedFromTheMenuAndReadOut) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    mv::RadarView& view = console->view();
    auto& pic = view.picture();
    ASSERT_TRUE(pic.isVisible(mv::item::lneVessel(1)));

    Run("mnuRadarVideo");
    EXPECT_TRUE(pic.isVisible(mv::item::imgVideo));
    EXPECT_FALSE(pic.isVisible(mv::item::lneVessel(1)));
    // The turn painted at once: a large ship at 6 nm is 20 (11 / 6)^4 = 226 times the noise
    // (23.5 dB), 19.5 dB over gain 70's floor of 4 dB, about 166 of 255 on its bearing.
    const mv::PointD d{sim.Vessels.VesselPos[1].X - sim.Vessels.VesselPos[0].X,
                       sim.Vessels.VesselPos[1].Y - sim.Vessels.VesselPos[0].Y};
    const double bearing = std::fmod(std::atan2(d.Y, d.X) / mv::kDegToRad + 360.0, 360.0);
    const double range = std::hypot(d.X, d.Y);
    const int line = static_cast<int>(bearing / 360.0 * mv::RadarVideo::kLines);
    const int cell = static_cast<int>(range / view.video().rangeScale() * mv::RadarVideo::kCells);
    int brightest = 0;
    for (int l = line - 2; l <= line + 2; ++l)
        for (int c = cell; c < cell + 8; ++c)
            brightest = std::max<int>(brightest, view.video().At(l, c));
    EXPECT_GT(brightest, 140);

    EXPECT_EQ(pic.labelText(mv::item::lblVideo).toStdString(),
              "X LP GAIN 70 SEA 30 RAIN 0 TUNE 100");
    Run("mnuGainUp");
    EXPECT_TRUE(pic.labelText(mv::item::lblVideo).contains("GAIN 75"));

    Run("mnuRadarVideo");
    EXPECT_FALSE(pic.isVisible(mv::item::imgVideo));
    EXPECT_TRUE(pic.isVisible(mv::item::lneVessel(1)));
}

} // namespace
