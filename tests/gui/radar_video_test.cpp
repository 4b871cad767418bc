// The sweep lays each bearing line where the picture shows that bearing: a ship due east is
// right of the centre north-up, and at the top when the ship heads east and the picture is
// heads-up.
#include "gui/radar_video.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

TEST(VideoSweep, EchoWhereThePictureShowsItsBearing) {
    VesselTables v;
    v.Create(2);
    v.Vessel[0].Size = v.Vessel[1].Size = kLarge;
    v.VesselPos[1] = {0.0, 6.0}; // 6 nm due east
    RadarSettings radar;
    VideoControls quiet;
    quiet.Gain = 40; // noise below the floor: only the echo shows
    RadarVideo video;
    video.Paint(radar, {}, quiet, v, 12, 0.5, 0.5 + 3.0 / kSecondsPerDay);

    // 12 nm over a radius of 200 pixels: the echo 100 pixels out, a few beyond for its pulse.
    // It is 20 (11 / 6)^4 = 226 times the noise (23.5 dB), 10 dB over the gain's floor of
    // 25 - 0.3 x 40 = 13 dB: about 85 of 255 where the beam is on it. The noise stays below.
    VideoSweep sweep;
    sweep.Resize(400, 1.0);
    struct Case {
        double up; // the true bearing at the top of the picture
        int x, y;  // where the echo shows
        int darkX, darkY;
    };
    for (const Case c :
         {Case{0, 304, 200, 96, 200}, Case{90, 200, 96, 304, 200}, Case{180, 96, 200, 304, 200}}) {
        SCOPED_TRACE(c.up);
        sweep.Clear();
        sweep.PaintAll(video, c.up, Qt::green);
        EXPECT_GT(qAlpha(sweep.image().pixel(c.x, c.y)), 40);
        EXPECT_LT(qAlpha(sweep.image().pixel(c.darkX, c.darkY)), 10);
    }
}

} // namespace
} // namespace mv
