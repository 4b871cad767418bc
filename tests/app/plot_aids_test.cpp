// The trial manoeuvre and the parallel index lines through the console.

#include "app/index_lines_window.h"
#include "app/trial_window.h"
#include "core/aids/cpa_data.h"
#include "core/number_text.h"
#include "gui/plot_overlays.h"
#include "gui/world_picture_widget.h"
#include "tests/support/exercise_fixture.h"

#include <QDir>
#include <QPushButton>

#include <cmath>
#include <numbers>

namespace {

class PlotAids : public mv::test::ExerciseFixture {
  protected:
    mv::PointD Own() const { return sim.Vessels.VesselPos[0]; }
};

TEST_F(PlotAids, TrialShowsRunTrialsFiguresFollowsTheClockAndExecutesWithoutDelay) {
    ASSERT_TRUE(exercise->LoadDemo(QDir(MAROVANE_DATA_DIR).filePath("Crossing.dem")));
    Run("mnuTrialManeuver");
    QWidget* w = &console->trial();
    ASSERT_TRUE(w->isVisible());
    // It opens beside the picture, not over the control column with its clock and buttons.
    const QWidget* column = Find("picControls");
    EXPECT_FALSE(
        w->frameGeometry().intersects(QRect(column->mapToGlobal(QPoint()), column->size())));
    const QWidget* picture = Find("picRadarCRT");
    EXPECT_LT(w->x(), picture->mapToGlobal(picture->rect().center()).x());
    // Before a trial: where every target stands now, the trial's columns empty.
    const mv::CpaResult now = mv::PresentTargets(sim.Vessels, display.Tick.Bearing)[0].Present;
    EXPECT_EQ(Text("lblTrial(0,1)", w).toStdString(), mv::MilesText(now.CPA));
    EXPECT_EQ(Text("lblTrial(0,3)", w), "");
    Type(Find<QLineEdit>("txtCourse", w), "60");
    Type(Find<QLineEdit>("txtSpeed", w), "12");
    Type(Find<QLineEdit>("txtDelay", w), "6");
    EXPECT_FALSE(Find<QPushButton>("cmdExecute", w)->isEnabled()); // only without delay
    Click("cmdShowTrial", w);
    for (int tick = 0; tick < 2; ++tick) {
        const auto expected =
            mv::RunTrial(sim, display.Tick, {60, 12.0f, 6.0}, display.Tick.Bearing);
        const mv::TrialTarget& b = expected.Targets.at(0);
        QStringList want, row;
        for (const mv::CpaResult* r : {&b.Present, &b.Trial})
            want << QString::fromStdString(mv::MilesText(r->CPA))
                 << QString::fromStdString(mv::MinutesText(r->TCPA));
        for (int c = 1; c < 5; ++c)
            row << Text(QString("lblTrial(0,%1)").arg(c), w);
        EXPECT_EQ(row, want);
        EXPECT_NE(want[0], want[2]); // the alteration opens the CPA
        exercise->tmrSim_Timer();    // and the figures follow the clock
    }
    EXPECT_EQ(Item(mv::item::lblTrial, "visible"), "true");
    EXPECT_EQ(Item(mv::item::lneTrial(1, 0), "visible"), "true");

    // Bad input is said and the trial shown stays.
    Type(Find<QLineEdit>("txtCourse", w), "360");
    Click("cmdShowTrial", w);
    EXPECT_TRUE(Last().text.startsWith("Invalid course")) << Last().text.toStdString();
    EXPECT_EQ(Item(mv::item::lblTrial, "visible"), "true");

    Type(Find<QLineEdit>("txtCourse", w), "60");
    Type(Find<QLineEdit>("txtDelay", w), "0");
    Click("cmdExecute", w);
    EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, 60);
    EXPECT_TRUE(sim.Turning);
    EXPECT_EQ(Item(mv::item::lblTrial, "visible"), "false"); // the trial is now the order
}

TEST_F(PlotAids, IndexLineThroughTheCursorHoldsItsTrueBearingThroughTurnsInEveryOrientation) {
    // Own 000 at 12 kt; a buoy (stopped) 8 nm on 014.48, which passes 2.00 nm to starboard.
    ASSERT_TRUE(exercise->LoadDemo(QDir(MAROVANE_DATA_DIR).filePath("ParallelIndex.dem")));
    Run("mnuCursorMode");
    mv::WorldPictureWidget* pic = console->pictureWidget();
    const mv::PointD buoy = mv::ToPicture(sim.Vessels, display.Tick, sim.Vessels.VesselPos[1]);
    QTest::mouseClick(pic, Qt::LeftButton, {}, pic->picture().toPixel(buoy.Y, buoy.X).toPoint());
    Run("mnuIndexLines");
    QWidget* w = &console->indexLines();
    Type(Find<QLineEdit>("txtBearing(0)", w), "0");
    Click("cmdThroughCursor(0)", w);
    const mv::IndexLine laid = display.Index[0];
    EXPECT_TRUE(laid.On);
    EXPECT_NEAR(laid.Offset, 2.0, 0.1); // within a pixel's worth of the click
    EXPECT_EQ(Item(mv::item::lblIndex(0)), mv::IndexLineCaption(0, laid));

    // The drawn line lies at the line's bearing less the picture's up bearing, as far from the
    // centre as its offset, whichever way the picture is turned and the own ship heads.
    const auto expectDrawnTrue = [&](const char* when) {
        SCOPED_TRACE(when);
        mv::WorldPicture& p = pic->picture();
        const QLineF drawn = p.overlayLine(mv::item::lneIndex(0));
        const double up = mv::PictureUp(sim.Vessels.Vessel[0], display.Tick);
        // The screen angle clockwise from up, turned back to true and folded to a half circle.
        double angle = std::atan2(drawn.dx(), -drawn.dy()) * 180.0 / std::numbers::pi + up;
        angle = std::fmod(std::fmod(angle - laid.Bearing, 180.0) + 360.0, 180.0);
        EXPECT_LT(std::min(angle, 180.0 - angle), 0.5);
        const QPointF centre = p.toPixel(Own().Y, Own().X);
        const QPointF a = drawn.p1(), b = drawn.p2();
        const double pixels = std::fabs((b.x() - a.x()) * (a.y() - centre.y()) -
                                        (a.x() - centre.x()) * (b.y() - a.y())) /
                              drawn.length();
        EXPECT_NEAR(pixels * p.unitsPerPixelX(), std::fabs(laid.Offset), 0.05);
    };
    expectDrawnTrue("heads-up on 000");
    mv::ManeuverEntries turn = mv::TrialEntries({70, 12.0f, 0});
    ASSERT_FALSE(mv::ExecuteManeuver(turn, 0, sim));
    for (int t = 0; t < 30; ++t)
        exercise->tmrSim_Timer();
    EXPECT_EQ(display.Index[0], laid);
    expectDrawnTrue("heads-up after a turn to 070");
    Run("mnuNorthup");
    expectDrawnTrue("north-up");
    Run("mnuCourseUp");
    expectDrawnTrue("course-up");
}

} // namespace
