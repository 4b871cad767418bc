// Radar > Radar Video puts the receiver's picture in place of the clean echoes and back, and
// the gain key steps the level the picture reads out.
#include "gui/radar_items.h"
#include "gui/radar_video.h"
#include "tests/support/exercise_fixture.h"

#include <QFile>

#include <cmath>

namespace {

using RadarVideoView = mv::test::ExerciseFixture;

TEST_F(RadarVideoView, SwitchedFromTheMenuAndReadOut) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    auto& pic = console->view().picture();
    const mv::RadarVideoSession& video = exercise->video();
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
    const int cell = static_cast<int>(range / video.buffer().rangeScale() * mv::RadarVideo::kCells);
    int brightest = 0;
    for (int l = line - 2; l <= line + 2; ++l)
        for (int c = cell; c < cell + 8; ++c)
            brightest = std::max<int>(brightest, video.buffer().At(l, c));
    EXPECT_GT(brightest, 140);
    // The tick paints nothing: it leaves its sea time (3 s at x1) to the sweep's frames, which
    // paint at most an eighth of a turn (2048 / 8 lines) at a time.
    const double painted = video.painted();
    exercise->tmrSim_Timer();
    EXPECT_EQ(video.painted(), painted);
    EXPECT_NEAR((video.to() - painted) * 86400, 3.0 * sim.Clock.TimeFactor, 1e-6);
    exercise->video().PaintUpTo(video.to());
    EXPECT_EQ(video.buffer().paintedCount(), 256);

    EXPECT_EQ(pic.labelText(mv::item::lblVideo).toStdString(),
              "X LP GAIN 70 SEA 30 RAIN 0 TUNE 100");
    Run("mnuGainUp");
    EXPECT_TRUE(pic.labelText(mv::item::lblVideo).contains("GAIN 75"));

    Run("mnuRadarVideo");
    EXPECT_FALSE(pic.isVisible(mv::item::imgVideo));
    EXPECT_TRUE(pic.isVisible(mv::item::lneVessel(1)));
}

// An exercise's [video] table: the video-lesson on a SART opens in video, in its band, and
// the SART's dots lie 4 nm on 330 and every 0.6 nm outward; a plain exercise after it
// brings the clean echoes back.
TEST_F(RadarVideoView, AnExerciseOpensInItsPresentation) {
    QFile file(MAROVANE_DATA_DIR "/Video5-RaconSart.toml");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    const std::string sBand = text + "band = \"S\"\n";
    ASSERT_TRUE(
        exercise->OpenAssessedExerciseText(sBand, "sart.toml", "Ann", folder.path().toStdString()));
    mv::RadarView& view = console->view();
    const mv::RadarVideoSession& video = exercise->video();
    ASSERT_TRUE(video.on() && view.picture().isVisible(mv::item::imgVideo));
    EXPECT_EQ(video.controls().Band, mv::RadarBand::S);
    const int line = static_cast<int>(330.0 / 360.0 * mv::RadarVideo::kLines);
    const double cell = video.buffer().rangeScale() / mv::RadarVideo::kCells; // nautical miles
    for (const double dot : {4.0, 4.6, 5.2}) {
        int brightest = 0;
        for (int c = static_cast<int>(dot / cell); c <= static_cast<int>((dot + 0.08) / cell); ++c)
            brightest = std::max<int>(brightest, video.buffer().At(line, c));
        EXPECT_GT(brightest, 200) << dot;
    }
    exercise->EndAssessed("test");
    ASSERT_TRUE(exercise->OpenAssessedExerciseText(
        "[scenario]\n[[scenario.vessel]]\ncourse = 0\n[[scenario.vessel]]\nbearing = 90\n"
        "range = 3\n",
        "plain.toml", "Ann", folder.path().toStdString()));
    EXPECT_FALSE(video.on() || view.picture().isVisible(mv::item::imgVideo));
    EXPECT_TRUE(view.picture().isVisible(mv::item::lneVessel(1)));
}

} // namespace
