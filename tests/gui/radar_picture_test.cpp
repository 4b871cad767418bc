// What the navigator sees on the radar picture, checked on its pixels.

#include "core/record/run_record.h"
#include "gui/moment_renderer.h"
#include "gui/palette.h"
#include "gui/radar_items.h"
#include "gui/radar_picture.h"
#include "gui/world_picture.h"
#include "tests/support/angles.h"
#include "tests/support/exercise_fixture.h"

#include <QLineF>
#include <QPalette>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// The own vessel's pixel and pixels to the mile, from the picture's size alone: 2 ranges wide,
// 2.23 high, 1.1 above the centre.
struct Frame {
    double cx, cy, pxPerNmX, pxPerNmY;
    Frame(QSize size, double range)
        : cx(size.width() / 2.0), cy(size.height() * 1.1 / 2.23),
          pxPerNmX(size.width() / (2 * range)), pxPerNmY(size.height() / (2.23 * range)) {}
    // Bearing and range of a pixel, as measured from the centre with the cursor.
    double bearingOf(QPointF p) const {
        const double b = std::atan2((p.x() - cx) / pxPerNmX, (cy - p.y()) / pxPerNmY) * 180 / M_PI;
        return b < 0 ? b + 360 : b;
    }
    double rangeOf(QPointF p) const {
        return std::hypot((p.x() - cx) / pxPerNmX, (cy - p.y()) / pxPerNmY);
    }
};

using mv::test::AngleGap;

bool IsGreen(QColor c) {
    return c.green() > 150 && c.red() < 100 && c.blue() < 100;
}
bool IsGrey(QColor c) {
    return c.red() > 40 && std::abs(c.red() - c.green()) < 20 &&
           std::abs(c.green() - c.blue()) < 20;
}

// The coverage-weighted centre of each run of pixels that pass a test (a pixel's centre is +0.5).
template <typename Sample> std::vector<double> Runs(int from, int to, Sample sample) {
    std::vector<double> centres;
    double sum = 0, weight = 0;
    for (int i = from; i <= to; ++i) {
        const double w = sample(i);
        if (w > 0) {
            sum += (i + 0.5) * w;
            weight += w;
        } else if (weight > 0) {
            centres.push_back(sum / weight);
            sum = weight = 0;
        }
    }
    if (weight > 0) centres.push_back(sum / weight);
    return centres;
}

TEST(RadarPicture, RingsLieAtTheirSpacingOnEveryRangeScale) {
    // On the 0.25 and 0.5 scales the fifth ring would be the edge.
    const struct {
        int index;
        double spacing;
        int rings;
    } cases[] = {{0, 0.05, 2}, {1, 0.05, 4}, {2, 0.1, 4}, {3, 0.25, 2}, {4, 0.25, 5},
                 {5, 0.5, 5},  {6, 1, 5},    {7, 2, 5},   {8, 4, 5},    {9, 6, 5}};
    mv::WorldPicture picture;
    picture.resize(QSize(900, 1004));
    for (const auto& c : cases) {
        mv::RadarDisplayState state;
        state.RangeIndex = static_cast<int16_t>(c.index);
        state.Tick.Range = mv::kRangeScales[static_cast<size_t>(c.index)];
        SCOPED_TRACE(testing::Message() << "range " << state.Tick.Range << " nm");
        mv::RadarPicture radar(picture, state);
        radar.RedrawRadar(mv::PointD{3.0, -2.0}); // anywhere: the picture follows the centre
        const Frame f(picture.size(), state.Tick.Range);
        // Out to 0.9 of the range: the 090 tick and the edge begin beyond it.
        const int row = static_cast<int>(f.cy), from = static_cast<int>(f.cx) + 2,
                  to = static_cast<int>(f.cx + 0.9 * f.pxPerNmX * state.Tick.Range);
        const auto green = [&](int x) {
            const QColor px = picture.pixel(x, row);
            return px.red() < 60 && px.blue() < 60 ? px.green() / 255.0 : 0.0;
        };
        const auto rings = Runs(from, to, green);
        ASSERT_EQ(static_cast<int>(rings.size()), c.rings);
        for (int k = 0; k < c.rings; ++k)
            EXPECT_NEAR(rings[static_cast<size_t>(k)], f.cx + (k + 1) * c.spacing * f.pxPerNmX, 1.0)
                << "ring " << k + 1;
        state.RingsOn = false; // switched off, the face is repainted bare
        radar.RedrawRadar(mv::PointD{3.0, -2.0});
        EXPECT_TRUE(Runs(from, to, green).empty());
    }
}

TEST(RadarPicture, ARedrawLaysDownTheSameFrameAsAFreshDrawing) {
    // Guards against the kept face going stale: scribbled over, then each setting changed.
    const mv::PointD centre{2.0, -1.0};
    const auto fresh = [&](const mv::RadarDisplayState& settings) {
        mv::WorldPicture picture;
        picture.resize(QSize(600, 670));
        mv::RadarDisplayState state = settings;
        mv::RadarPicture(picture, state).RedrawRadar(centre);
        return picture.image().copy();
    };
    mv::WorldPicture picture;
    picture.resize(QSize(600, 670));
    mv::RadarDisplayState state;
    mv::RadarPicture radar(picture, state);
    radar.RedrawRadar(centre);
    for (const auto change :
         {+[](mv::RadarDisplayState&) {}, +[](mv::RadarDisplayState& s) { s.RingsOn = false; },
          +[](mv::RadarDisplayState& s) { s.Tick.Bearing = mv::BearingMode::Course; },
          +[](mv::RadarDisplayState& s) { s.RangeIndex = 5, s.Tick.Range = 3; },
          // Rings again; then a step to 12 nm finds them at the same sixths of the range.
          +[](mv::RadarDisplayState& s) { s.RingsOn = true, s.Tick.Bearing = {}; },
          +[](mv::RadarDisplayState& s) { s.RangeIndex = 7, s.Tick.Range = 12; },
          +[](mv::RadarDisplayState& s) { s.RangeIndex = 9, s.Tick.Range = 36; }}) {
        change(state);
        picture.setPenWidth(3);
        picture.line(centre.Y - 2, centre.X, centre.Y + 2, centre.X + 1, QColor(128, 128, 128));
        // A mark of no length still shows its round ends, and goes with the redraw.
        picture.line(centre.Y + 1, centre.X - 2, centre.Y + 1, centre.X - 2, QColor(128, 128, 128));
        radar.RedrawRadar(centre);
        EXPECT_EQ(picture.image(), fresh(state));
    }
}

TEST(RadarPicture, AKeptFrameStaysWholeAndACircleKeepsItsMilesAtTwiceTheDensity) {
    mv::WorldPicture p;
    p.resize(QSize(200, 223), 2.0);
    p.setWindow(-5, 5.5, 10, -11.15); // 20 logical pixels, 40 device pixels, to the mile
    p.setFill(mv::WorldPicture::Fill::Solid, QColor(255, 255, 255));
    p.circle(0, 0, 4, QColor(0, 255, 0));
    const QPointF c = p.toPixel(0, 0) * 2.0;
    const int y = static_cast<int>(c.y());
    EXPECT_EQ(p.image().pixelColor(static_cast<int>(c.x() + 3.8 * 40), y), QColor(255, 255, 255));
    EXPECT_EQ(p.image().pixelColor(static_cast<int>(c.x() + 4.2 * 40), y), QColor(0, 0, 0));
    // A frame someone keeps (a redraw's comparison, a screenshot) is never drawn on by a resize.
    const QImage kept = p.image(), expected = kept.copy();
    p.resize(QSize(200, 223), 2.0);
    EXPECT_EQ(kept, expected);
}

// A ring and lines over the picture are stroked into its image only while it is laid down:
// they show where they stand, at either density, and the image is left as it was.
TEST(RadarPicture, RingsAndLinesOverThePictureShowAndLeaveItsImageAlone) {
    using Kind = mv::WorldPicture::ItemKind;
    const QColor orange(255, 160, 0);
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        mv::WorldPicture p;
        p.resize(QSize(200, 200), ratio);
        p.setWindow(-10, 10, 20, -20); // 10 logical pixels to the mile, (100, 100) the centre
        p.declare("ring", Kind::Circle);
        p.setOverlayCircle("ring", 0, 0, 6, orange);
        p.declare("steep", Kind::Line);
        p.setOverlayLine("steep", -8, -8, -7, 8, orange, 1); // x 20 to 30, y 180 to 20
        p.declare("flat", Kind::Line);
        p.setOverlayLine("flat", 8, -9, -8, -8, orange, 1); // x 180 to 20, y 190 to 180
        p.declare("dashed", Kind::Circle);                  // the second VRM's ring, 4 miles
        p.setOverlayCircle("dashed", 0, 0, 4, orange, Qt::DashLine);
        const QImage before = p.image().copy();
        const QImage shown = p.render();
        EXPECT_EQ(p.image(), before);
        // Within a device pixel of the place: a ring is centred on a pixel's centre.
        const auto lit = [&](double x, double y) {
            int most = 0;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    most = std::max(
                        most, shown.pixelColor(int(x * ratio) + dx, int(y * ratio) + dy).red());
            return most > 100;
        };
        for (const auto& [x, y] : {std::pair{160.0, 100.0},
                                   {100.0, 40.3},
                                   {142.43, 142.43},
                                   {25.0, 100.0},
                                   {100.0, 185.0}})
            EXPECT_TRUE(lit(x, y)) << x << ", " << y;
        for (const auto& [x, y] : {std::pair{150.0, 100.0},
                                   {100.0, 100.0},
                                   {35.0, 100.0},
                                   {100.0, 175.0},
                                   {10.0, 185.0}})
            EXPECT_FALSE(lit(x, y)) << x << ", " << y;
        // The dashed ring is broken all the way round: neither whole nor missing.
        int dashes = 0;
        for (int b = 0; b < 360; ++b)
            dashes += lit(100 + 40 * std::sin(b * M_PI / 180), 100 - 40 * std::cos(b * M_PI / 180));
        EXPECT_GT(dashes, 120);
        EXPECT_LT(dashes, 320);
    }
}

// Every read-out at its widest stands clear of every other and of the bearing captions, inside
// the picture, from the smallest picture the console allows to a full-height one: 1366x768 and
// 1920x1080 screens, and 1920x1080 at a scale of 2 (960x540 logical pixels).
TEST(RadarPicture, ReadoutsNeverOverlapAtAnySize) {
    namespace item = mv::item;
    const QString* readouts[] = {
        &item::lblMode,          &item::lblCRTRange, &item::lblRR,       &item::lblVector,
        &item::lblStabilisation, &item::lblPlot,     &item::lblPlotTime, &item::lblCRTEBL,
        &item::lblCRTVRM,        &item::lblRange,    &item::lblBearing,  &item::lblVesselData,
        &item::lbl000,           &item::lbl090,      &item::lbl180,      &item::lbl270};
    for (const int height : {232, 480, 700, 1012}) {
        SCOPED_TRACE(height);
        const QSize size(static_cast<int>(height * mv::RadarPicture::kAspect), height);
        mv::WorldPicture picture;
        picture.resize(size);
        mv::RadarDisplayState state;
        state.RangeIndex = 0; // the longest range and ring figures: 0.125 and 0.05 nm
        state.Tick.Range = 0.125;
        state.Tick.PlotOn = true;
        state.Tick.PlotFreqIndex = 0; // "Plot Continuous"
        state.EBLOn = state.VRMOn = true;
        state.CursorMode = mv::InputMode::Cursor;
        state.Aids.Vectors = mv::VectorMode::True;
        state.Aids.VectorIndex = 3; // 15 minutes
        mv::RadarPicture radar(picture, state);
        radar.ShowStartItems();
        radar.ShowDisplayItems();
        radar.RedrawRadar({0, 0});
        const std::pair<const QString*, const char*> widest[] = {
            {&item::lblCRTRange, "RANGE 0.125 nm"},
            {&item::lblCRTEBL, "EBL 359 RELATIVE"},
            {&item::lblCRTVRM, "VRM 36.00 nm"},
            {&item::lblRange, "R 36.00 nm"},
            {&item::lblBearing, "B 359"},
            {&item::lblVesselData, "Speed = 30.0 kn\r\nCourse = 359 T"},
            {&item::lblPlotTime, "23:59:59"}};
        for (const auto& [name, text] : widest)
            radar.SetCaption(*name, text);
        const Frame f(size, state.Tick.Range);
        std::vector<std::pair<QString, QRectF>> boxes;
        for (const QString* name : readouts) {
            ASSERT_TRUE(picture.isVisible(*name)) << name->toStdString();
            const QRectF box(picture.labelTopLeft(*name),
                             QSizeF(picture.labelWidth(*name) * f.pxPerNmX,
                                    picture.labelHeight(*name) * f.pxPerNmY));
            EXPECT_TRUE(QRectF(QPointF(), QSizeF(size)).contains(box)) << name->toStdString();
            for (const auto& [other, otherBox] : boxes)
                // Lines that only touch do not overlap.
                EXPECT_FALSE(box.adjusted(0.01, 0.01, -0.01, -0.01).intersects(otherBox))
                    << name->toStdString() << " over " << other.toStdString();
            boxes.emplace_back(*name, box);
        }
    }
}

class RadarConsoleTest : public mv::test::ExerciseFixture {
  protected:
    Frame frame() { return Frame(console->picture().size(), display.Tick.Range); }
};

TEST_F(RadarConsoleTest, EchoAndHeadingLineLieWhereTheNavigatorMeasuresThem) {
    // A large target at 045 true, 6 nm; bearings on the screen, clockwise from the top.
    const struct {
        bool northUp;
        int ownHeading;
        double echoBearing, headingBearing;
    } cases[] = {
        {true, 90, 45, 90}, {true, 300, 45, 300}, {false, 90, 315, 0}, {false, 225, 180, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.northUp ? "north-up" : "heads-up") << " heading " << c.ownHeading);
        display.Tick.NorthUp = c.northUp;
        LoadOwnAndTarget(c.ownHeading, "LARGE, 000, 0, 045, 6");
        const Frame f = frame();
        ASSERT_TRUE(console->picture().isVisible("lneVessel(1)"));
        const QLineF echo = console->picture().overlayLine("lneVessel(1)");
        const QPointF mid = echo.center();
        EXPECT_LT(AngleGap(f.bearingOf(mid), c.echoBearing), 0.5);
        EXPECT_NEAR(f.rangeOf(mid), 6.0, 1.0 / f.pxPerNmX);
        // Across the line of sight, 0.6 nm long for a large vessel at 12 nm.
        const QLineF sight(QPointF(f.cx, f.cy), mid);
        const double cosine =
            (echo.dx() * sight.dx() + echo.dy() * sight.dy()) / (echo.length() * sight.length());
        EXPECT_LT(std::fabs(cosine), 0.02);
        EXPECT_NEAR(echo.length(), 0.6 * f.pxPerNmX, 1.0);

        ASSERT_TRUE(console->picture().isVisible("lneSHL"));
        const QLineF shl = console->picture().overlayLine("lneSHL");
        EXPECT_LT(QLineF(shl.p1(), QPointF(f.cx, f.cy)).length(), 1.0);
        EXPECT_LT(AngleGap(f.bearingOf(shl.p2()), c.headingBearing), 0.2);
        EXPECT_NEAR(f.rangeOf(shl.p2()), 12.0, 1.0 / f.pxPerNmX);
    }
}

TEST_F(RadarConsoleTest, AnEchoOnARingOutshinesItAndEveryPaletteRedrawsTheFace) {
    // A large target dead ahead, 8 nm: its echo lies along the 8-mile ring at 12 nm.
    LoadOwnAndTarget(0, "LARGE, 090, 0, 000, 8");
    const auto luma = [](QColor c) {
        return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
    };
    for (auto colours :
         {mv::DisplayPalette::Night, mv::DisplayPalette::Dusk, mv::DisplayPalette::Day}) {
        SCOPED_TRACE(mv::PaletteName(colours).toStdString());
        display.Colours = colours;
        exercise->NotifyChanged();
        const mv::Palette& c = mv::PaletteFor(colours);
        const Frame f = frame();
        const QImage shown = console->picture().render();
        const QColor echo = shown.pixelColor(static_cast<int>(f.cx) + 3,
                                             static_cast<int>(std::lround(f.cy - 8 * f.pxPerNmY)));
        // The same ring astern, where nothing lies on it: drawn in this palette's trace.
        QColor ring(Qt::black);
        for (int y = static_cast<int>(f.cy + 8 * f.pxPerNmY) - 2;
             y <= static_cast<int>(f.cy + 8 * f.pxPerNmY) + 2; ++y) {
            const QColor here = shown.pixelColor(static_cast<int>(f.cx) + 3, y);
            if (luma(here) > luma(ring)) ring = here;
        }
        EXPECT_NEAR(ring.hueF(), c.trace.hueF(), 0.03);
        EXPECT_GT(luma(echo), luma(ring) + 0.05);
        EXPECT_GT(luma(echo), std::max({luma(c.trace), luma(c.marker), luma(c.vesselLetter)}));
    }
}

TEST_F(RadarConsoleTest, PlotMarksStampedUpTheTrackSurviveAFrequencyChangeAndGoWithPlottingOff) {
    // At x120 a 3-minute mark every tick, and one at once as plotting is switched on.
    display.Tick.PlotOn = false;
    LoadOwnAndTarget(0, "SMALL, 000, 20, 000, 2.5");
    exercise->SetTimeFactor(6);
    Run("mnuPlotFrequency(1)");
    Click("cmdPlot");
    for (int t = 0; t < 4; ++t)
        exercise->tmrSim_Timer();

    const Frame f = frame();
    const auto& picture = console->picture();
    const auto marks = Runs(0, static_cast<int>(f.cy) - 2, [&](int y) {
        return IsGrey(picture.pixel(static_cast<int>(f.cx), y)) ? 1.0 : 0.0;
    });
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_NEAR(f.rangeOf(QPointF(f.cx, marks.back())), 2.5, 0.05);

    // The trail survives a change of interval and goes with plotting switched off.
    const auto greyPixels = [&] {
        int n = 0;
        for (int y = 0; y < picture.image().height(); ++y)
            for (int x = 0; x < picture.image().width(); ++x)
                n += picture.image().pixelColor(x, y) ==
                     mv::PaletteFor(mv::DisplayPalette::Day).plotMark;
        return n;
    };
    const int trail = greyPixels();
    ASSERT_GT(trail, 0);
    Run("actFreq");
    EXPECT_EQ(greyPixels(), trail);
    Run("actFreq"), Run("actFreq"); // 6, 12, then round to continuous
    EXPECT_EQ(display.Tick.PlotFreqIndex, 0);
    Run("mnuPlotOnOff");
    EXPECT_EQ(greyPixels(), 0);
    EXPECT_FALSE(picture.isVisible("lblPlotTime"));
}

TEST_F(RadarConsoleTest, CollisionIsReportedOnceWithTheMarkShownFirst) {
    // Closing 0.0083 nm a tick: inside 0.01 nm at the second and third ticks, clear at the fourth.
    LoadOwnAndTarget(0, "SMALL, 180, 10, 000, 0.02");
    exercise->SetTimeFactor(0);
    exercise->Start();
    const Frame f = frame();
    // Midpoints of the first stroke of each jagged chain: 0.075 range across, 0.05 up.
    const QPointF right(f.cx + 0.9 * f.pxPerNmX, f.cy - 0.6 * f.pxPerNmY);
    const QPointF left(f.cx - 0.9 * f.pxPerNmX, f.cy - 0.6 * f.pxPerNmY);
    QImage whileShown;
    int beepsBefore = -1;
    dialogs.whileShown = [&] {
        whileShown = console->picture().image().copy();
        beepsBefore = dialogs.beeps;
    };
    for (int t = 0; t < 6; ++t)
        exercise->tmrSim_Timer();

    EXPECT_EQ(dialogs.messages().join(" | ").toStdString(), "COLLISION!");
    EXPECT_EQ(beepsBefore, 1) << "the beep comes with the box, and once";
    EXPECT_EQ(dialogs.beeps, 1);
    ASSERT_FALSE(whileShown.isNull());
    EXPECT_TRUE(IsGreen(whileShown.pixelColor(right.toPoint())));
    EXPECT_TRUE(IsGreen(whileShown.pixelColor(left.toPoint())));
    // The redraw after the box paints the mark over; the exercise goes on.
    EXPECT_EQ(console->picture().pixel(right.toPoint().x(), right.toPoint().y()), QColor(0, 0, 0));
    EXPECT_TRUE(exercise->isRunning());
    exercise->SetPaused(true);
}

TEST_F(RadarConsoleTest, IdentifyLettersTheEchoesUntilPressedAgainAndBearingsSwitchTheCaptions) {
    // B inside the 12-mile circle, C beyond it.
    Load("MEDIUM, 030, 0", {"SMALL, 090, 5, 045, 6", "LARGE, 180, 8, 200, 20"});
    auto& pic = console->picture();
    EXPECT_FALSE(pic.isVisible("lblVessel(0)") || pic.isVisible("lblVessel(1)")) << "before";
    Run("mnuIdentify");
    EXPECT_TRUE(pic.isVisible("lblVessel(0)") && pic.isVisible("lblVessel(1)"));
    EXPECT_FALSE(pic.isVisible("lblVessel(2)")) << "out of range: no label";
    EXPECT_EQ(pic.labelText("lblVessel(1)"), "B");
    // The letters stay through the ticks, while the student reads them off, and go with the
    // next press.
    for (int i = 0; i < 3; ++i)
        exercise->tmrSim_Timer();
    EXPECT_TRUE(pic.isVisible("lblVessel(0)") && pic.isVisible("lblVessel(1)")) << "kept";
    EXPECT_FALSE(pic.isVisible("lblVessel(2)"));
    Run("mnuIdentify");
    exercise->tmrSim_Timer();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(pic.isVisible(mv::item::lblVessel(i))) << "vessel " << i;

    const auto captions = [&] {
        return (pic.labelText("lbl000") + " " + pic.labelText("lbl090") + " " +
                pic.labelText("lbl180") + " " + pic.labelText("lbl270") + " / " +
                pic.labelText("lblMode"))
            .toStdString();
    };
    Run("actBearings"); // heads-up with true bearings at the edges
    exercise->tmrSim_Timer();
    EXPECT_EQ(captions(), "030 120 210 300 / RM  H UP  COURSE");
    Run("actBearings"); // back to relative: fixed at once, without waiting for a tick
    EXPECT_EQ(captions(), "000 090 180 270 / RM  H UP  RELATIVE");
}

TEST_F(RadarConsoleTest, RangeStepsSetEchoWidthCaptionAndPullTheVrmIn) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 1");
    display.VRMRange = 10;
    // The VRM is pulled in on the way down and left where it is on the way up.
    const struct {
        bool down;
        double range;
        const char* caption;
        double vrm;
    } steps[] = {{true, 6, "RANGE 6 nm", 6},
                 {true, 1.5, "RANGE 1.5 nm", 1.5}, // 3 nm skipped: two steps
                 {false, 3, "RANGE 3 nm", 1.5}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.caption);
        s.down ? Run("mnuRangeDown") : Run("mnuRangeUp");
        if (s.range == 1.5) Run("mnuRangeDown");
        EXPECT_EQ(display.Tick.Range, s.range);
        EXPECT_EQ(console->picture().labelText("lblCRTRange"), s.caption);
        EXPECT_EQ(display.VRMRange, s.vrm);
        // The echo is redrawn at the new scale at once: 1 nm out, 0.3 nm across each way.
        const Frame f = frame();
        const QLineF echo = console->picture().overlayLine("lneVessel(1)");
        EXPECT_NEAR(f.rangeOf(echo.center()), 1.0, 1.5 / f.pxPerNmX);
        EXPECT_NEAR(echo.length(), 2 * s.range / 6 * 0.15 * f.pxPerNmX, 1.0);
    }

    // At the ends of the table and at a range outside it a press changes and repaints nothing.
    const struct {
        int index;
        double range;
        bool down;
    } ends[] = {{0, 0.125, true}, {9, 36, false}, {3, 0.1, true}};
    for (const auto& e : ends) {
        SCOPED_TRACE(testing::Message() << (e.down ? "down at " : "up at ") << e.range);
        display.RangeIndex = static_cast<int16_t>(e.index);
        console->view().SetRange(e.range);
        auto& picture = console->picture();
        picture.point(0.3 * e.range, 0.2 * e.range, QColor(255, 0, 255)); // a redraw's victim
        e.down ? Run("mnuRangeDown") : Run("mnuRangeUp");
        EXPECT_EQ(display.RangeIndex, e.index);
        EXPECT_EQ(display.Tick.Range, e.range);
        const QPointF px = picture.toPixel(0.3 * e.range, 0.2 * e.range);
        EXPECT_EQ(picture.pixel(static_cast<int>(px.x()), static_cast<int>(px.y())),
                  QColor(255, 0, 255));
    }
}

// A recorded moment drawn from the record alone, with no console: own vessel north at 12 knots,
// B crossing ahead eastward at 10 knots, plotting continuously, north-up on the 12-mile scale.
TEST(MomentRenderer, DrawsTheEchoAndKeepsEachEarlierPlotMarkOnTheRelativeTrack) {
    mv::RunRecord run;
    run.Vessels = {{0, "A", mv::kMedium}, {1, "B", mv::kMedium}};
    mv::RunDisplay shown;
    shown.NorthUp = true;
    shown.HeadingLine = false; // it would run over the marks dead ahead
    shown.PlotOn = true;
    // Three minutes apart: the own vessel makes 0.6 nm north, B 0.5 nm east.
    for (int k = 0; k < 2; ++k)
        run.Ticks.push_back({k,
                             0.5 + k * 3 / 1440.0,
                             1,
                             0,
                             shown,
                             {{{0.6 * k, 0}, 0, 12, 0, 12}, {{6, 0.5 * k}, 90, 10, 90, 10}}});
    const QSize size(900, 1004);
    const QImage image = mv::RenderMoment(run, 1, size, mv::DisplayPalette::Dusk);
    ASSERT_EQ(image.size(), size);
    const mv::Palette& c = mv::PaletteFor(mv::DisplayPalette::Dusk);
    const Frame f(size, 12);
    // Whether `colour` is within two pixels of the point `north`, `east` miles from the own
    // vessel.
    const auto near = [&](double north, double east, QColor colour) {
        const int x = static_cast<int>(f.cx + east * f.pxPerNmX);
        const int y = static_cast<int>(f.cy - north * f.pxPerNmY);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (image.pixelColor(x + dx, y + dy) == colour) return true;
        return false;
    };
    // The echo: B 5.4 nm ahead and 0.5 nm east, its line across the line of sight.
    EXPECT_TRUE(near(5.4, 0.5 - 0.15, c.echo));
    // The picture moves with the own vessel, so the marks trace B's relative track: the first
    // moment's stays 6 nm dead ahead, where she then lay from the own vessel, not 5.4 nm ahead
    // where that spot of sea now is.
    EXPECT_TRUE(near(6.0, 0, c.plotMark));
    EXPECT_FALSE(near(5.4, 0, c.plotMark));
    EXPECT_TRUE(near(5.4, 0, c.face));
    EXPECT_TRUE(near(-3, 1, c.face)); // between the rings astern, in the palette asked for
}

// The second pair as recorded: the offset EBL starts on its sea position whatever the own
// vessel has done since, the VRM rings her; a moment recorded before the console had them, or
// with them off, shows neither. Own vessel 1 nm north and 2 nm east, heading north, north-up.
TEST(MomentRenderer, DrawsTheRecordedSecondPairFromItsOrigin) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        mv::RunRecord run;
        run.Vessels = {{0, "A", mv::kMedium}, {1, "B", mv::kMedium}};
        mv::RunDisplay shown;
        shown.NorthUp = true;
        shown.EBL2On = shown.VRM2On = shown.EBL2Offset = on;
        shown.EBL2Bearing = 90.0f; // due east
        shown.VRM2Range = 2.5;
        shown.EBL2Origin = {4, 6}; // 3 nm north and 4 nm east of her: 5 nm at 053
        run.Ticks.push_back({0, 0.5, 1, 0, shown, {{{1, 2}, 0, 0, 0, 0}, {{-5, 2}, 0, 0, 0, 0}}});
        mv::WorldPicture picture;
        picture.resize(QSize(900, 1004), 1.0);
        mv::MomentRenderer renderer(picture);
        renderer.Render(mv::MomentOf(run, 0, {}, mv::DisplayPalette::Day));
        EXPECT_EQ(picture.isVisible(mv::item::lneEBL2), on);
        EXPECT_EQ(picture.isVisible(mv::item::shpVRM2), on);
        EXPECT_EQ(picture.isVisible(mv::item::lblEBL2Origin), on);
        if (!on) continue;
        EXPECT_EQ(picture.labelText(mv::item::lblEBL2Origin), "FROM 053 5.00 nm");
        EXPECT_TRUE(picture.labelText(mv::item::lblCRTVRM2).contains("2.50"));
        // From the origin eastward to the 12 nm ring.
        const QLineF line = picture.overlayLine(mv::item::lneEBL2);
        const QPointF origin = picture.toPixel(6, 4);
        EXPECT_NEAR(line.p1().x(), origin.x(), 1.0);
        EXPECT_NEAR(line.p1().y(), origin.y(), 1.0);
        EXPECT_NEAR(line.p2().y(), origin.y(), 1.0);
        EXPECT_GT(line.p2().x(), origin.x() + 100);
    }
}

} // namespace

// Every text of every palette reads at 4.5:1 on the ground it is drawn on, worked here from the
// WCAG relative luminance of each colour; and the night palette lets no bright or red light in
// except the echo and the danger it must show.
namespace {

using mv::DisplayPalette;

// One sRGB channel (0..255) back to linear light.
double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
    return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A translucent ground laid over what lies under it.
QColor Over(const QColor& top, const QColor& under) {
    const double a = top.alphaF();
    const auto mix = [a](int t, int u) {
        return static_cast<int>(std::lround(a * t + (1 - a) * u));
    };
    return QColor(mix(top.red(), under.red()), mix(top.green(), under.green()),
                  mix(top.blue(), under.blue()));
}

TEST(PaletteContrast, TheWorkedRatioMatchesKnownPairs) {
    // Black on white is 21:1; mid grey #777 on white is the classic 4.48:1 just short of AA.
    EXPECT_NEAR(Contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(Contrast(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_EQ(Over(QColor(255, 255, 255, 0), QColor(10, 20, 30)), QColor(10, 20, 30));
}

TEST(PaletteContrast, EveryTextReadsAtFourAndAHalfToOneInEveryPalette) {
    for (DisplayPalette which :
         {DisplayPalette::Day, DisplayPalette::Dusk, DisplayPalette::Night}) {
        const mv::Palette& c = mv::PaletteFor(which);
        const std::string name = mv::PaletteName(which).toStdString();
        const auto check = [&](const char* what, const QColor& text, const QColor& ground) {
            EXPECT_GE(Contrast(text, ground), 4.5)
                << name << ": " << what << " " << text.name().toStdString() << " on "
                << ground.name().toStdString();
        };
        // In the picture: captions, letters, notices, the trial's and the index lines' legends.
        check("captions", c.trace, c.face);
        check("letters", c.vesselLetter, c.face);
        check("notice", c.notice, c.face);
        check("trial", c.trial, c.face);
        check("index lines", c.indexLine, c.face);
        check("clock", c.clockText, c.clockBack);
        // The group titles and PAUSED sit on the group's ground, over whatever sea is behind.
        for (const QColor& sea : c.consoleSea) {
            check("group title", c.groupTitle, Over(c.groupBack, sea));
            check("paused", c.alarm, Over(c.groupBack, sea));
        }
        if (which == DisplayPalette::Day) continue; // the platform's own widgets by day
        const QPalette w = mv::WidgetPalette(which, QPalette());
        check("window text", w.color(QPalette::WindowText), w.color(QPalette::Window));
        check("label on the sea", w.color(QPalette::WindowText), c.consoleSea[2]);
        check("entry text", w.color(QPalette::Text), w.color(QPalette::Base));
        check("button text", w.color(QPalette::ButtonText), w.color(QPalette::Button));
        check("own letter", c.ownButton, w.color(QPalette::Button));
        check("selection", w.color(QPalette::HighlightedText), w.color(QPalette::Highlight));
        check("tip", w.color(QPalette::ToolTipText), w.color(QPalette::ToolTipBase));
        check("link", w.color(QPalette::Link), w.color(QPalette::Base));
    }
}

TEST(NightPalette, NothingOutshinesTheEchoAndRedIsKeptForDanger) {
    const mv::Palette& c = mv::PaletteFor(DisplayPalette::Night);
    const std::pair<const char*, QColor> marks[] = {
        {"trace", c.trace},
        {"plot mark", c.plotMark},
        {"manoeuvre", c.echoManoeuvre},
        {"marker", c.marker},
        {"cursor", c.cursor},
        {"letters", c.vesselLetter},
        {"notice", c.notice},
        {"trial", c.trial},
        {"index line", c.indexLine},
        {"relative vector", c.relativeVector},
        {"true vector", c.trueVector},
        {"seen danger", c.dangerSeen},
        {"true track", c.trueTrack},
        {"true own", c.trueOwn},
        {"group title", c.groupTitle},
        {"clock", c.clockText},
        {"own letter", c.ownButton},
        {"button ink", c.buttonInk},
    };
    for (const auto& [what, colour] : marks) {
        SCOPED_TRACE(what);
        EXPECT_LE(Luminance(colour), Luminance(c.echo));
        // Amber to orange: a hue from 15 to 60 degrees, far more red than blue.
        EXPECT_GE(colour.hsvHue(), 15);
        EXPECT_LE(colour.hsvHue(), 60);
        EXPECT_LT(colour.blue(), colour.red() / 2 + 1);
    }
    // The danger and the alarm are red, the one hue no other mark takes.
    EXPECT_LT(c.danger.hsvHue(), 15);
    EXPECT_LT(c.alarm.hsvHue(), 15);
    // The markers amber, not the alarm's red.
    EXPECT_GE(c.marker.hsvHue(), 30);
}

} // namespace
