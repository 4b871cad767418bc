// Measuring on the radar picture as a student does it, and the True View beside it.

#include "app/marker_tools.h"
#include "app/true_view.h"
#include "core/geometry.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "tests/support/angles.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>
#include <functional>
#include <string>

namespace {

using mv::item::lblVessel;

class MeasureTest : public mv::test::ExerciseFixture {
  protected:
    QPushButton* Get(const char* name) { return Find<QPushButton>(name); }
    QTimer& Utility() { return *console->findChild<QTimer*>("tmrUtility"); }
    mv::MarkerHold& Hold() { return *console->findChild<mv::MarkerHold*>(); }
    mv::WorldPictureWidget& Picture() { return *console->pictureWidget(); }
    double DrawnVRM() {
        auto& pic = console->picture();
        return pic.overlayLine(mv::item::shpVRM).length() * pic.unitsPerPixelX();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Hold().tmrUtility_Timer();
    }
};

TEST_F(MeasureTest, EveryMarkerControlDoesItsJobWhenPressed) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    const auto flag = [](bool b) { return std::string(b ? "on" : "off"); };
    auto& d = display;
    const auto ebl = [&] {
        return flag(d.EBLOn) + " " + Item(mv::item::lneEBL, "visible") + " " +
               flag(Get("cmdEBLClock")->isEnabled() && Get("cmdEBLCtrClock")->isEnabled()) + " " +
               Item(mv::item::lblCRTEBL);
    };
    const auto vrm = [&] {
        return flag(d.VRMOn) + " " + Item(mv::item::shpVRM, "visible") + " " +
               flag(Get("cmdVRMIn")->isEnabled() && Get("cmdVRMOut")->isEnabled());
    };
    const auto mode = [&] {
        return std::to_string(static_cast<int>(d.CursorMode)) + " " +
               (Find("pnlCursorMode")->isVisible() ? "cursor-panel" : "keys-panel") + " " +
               Item(mv::item::lblRange, "visible") + " " + Item(mv::item::lneHCursor, "visible") +
               " " + (Picture().cursor().shape() == Qt::UpArrowCursor ? "up-arrow" : "pointer");
    };
    const struct {
        const char* control;
        std::function<std::string()> probe;
        std::string before, after;
    } cases[] = {
        {"cmdEBL", ebl, "off false off ", "on true on EBL 000 RELATIVE"},
        {"cmdVRM", vrm, "off false off", "on true on"},
        {"optCursorMode", mode, "0 keys-panel false false pointer",
         "1 cursor-panel true true up-arrow"},
        {"optKeysMode", mode, "1 cursor-panel true true up-arrow",
         "0 keys-panel false false pointer"},
        {"cmdEBL", ebl, "on true on EBL 000 RELATIVE", "off false off EBL 000 RELATIVE"},
        {"cmdVRM", vrm, "on true on", "off false off"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(c.probe(), c.before);
        Click(c.control);
        EXPECT_EQ(c.probe(), c.after);
    }
}

TEST_F(MeasureTest, HeldButtonsKeysAndWheelMoveTheMarkersThatAreOn) {
    LoadOwnAndTarget(0, {});
    // A held button with its marker off starts nothing.
    QTest::mousePress(Get("cmdVRMOut"), Qt::LeftButton);
    EXPECT_FALSE(Utility().isActive());
    QTest::mouseRelease(Get("cmdVRMOut"), Qt::LeftButton);

    QTest::mouseClick(Get("cmdEBL"), Qt::LeftButton);
    QTest::mouseClick(Get("cmdVRM"), Qt::LeftButton);
    QTest::mousePress(Get("cmdEBLCtrClock"), Qt::LeftButton);
    EXPECT_TRUE(Utility().isActive());
    EXPECT_EQ(Utility().interval(), 100);
    Ticks(7); // five 1-degree steps, then 5 degrees a tick
    QTest::mouseRelease(Get("cmdEBLCtrClock"), Qt::LeftButton);
    EXPECT_FALSE(Utility().isActive());
    EXPECT_EQ(Item(mv::item::lblCRTEBL), "EBL 345 RELATIVE");
    // The line runs from the centre to the edge along the bearing.
    const QLineF line = console->picture().overlayLine(mv::item::lneEBL);
    EXPECT_NEAR(mv::test::AngleGap(90.0 - line.angle(), 345.0), 0.0, 0.2);

    // The ring at 12 nm: 0.12 nm a tick, then 0.48; drawn with the radius its caption reads.
    QTest::mousePress(Get("cmdVRMOut"), Qt::LeftButton);
    Ticks(6);
    QTest::mouseRelease(Get("cmdVRMOut"), Qt::LeftButton);
    EXPECT_EQ(Item(mv::item::lblCRTVRM), "VRM 1.08 nm");
    EXPECT_NEAR(DrawnVRM(), 1.08, 1e-4);

    // The arrow keys and the wheel move the markers that are on: the EBL alone, from north.
    QTest::mouseClick(Get("cmdVRM"), Qt::LeftButton);
    display.EBLBearing = 0;
    Picture().setFocus();
    QTest::keyPress(&Picture(), Qt::Key_Right);
    EXPECT_TRUE(Utility().isActive());
    Ticks(6);
    QTest::keyRelease(&Picture(), Qt::Key_Right);
    EXPECT_FALSE(Utility().isActive());
    EXPECT_EQ(display.EBLBearing, 10.0f);
    // A tap is one small step.
    QTest::keyClick(&Picture(), Qt::Key_Left);
    EXPECT_EQ(display.EBLBearing, 9.0f);
    display.VRMRange = 0;
    QTest::mouseClick(Get("cmdVRM"), Qt::LeftButton);
    const auto wheel = [&](int eighths) {
        const QPointF at(100, 100);
        QWheelEvent e(at, Picture().mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Picture(), &e);
    };
    wheel(240); // two notches of 1 % of 12 nm
    wheel(60);  // half a notch waits for the other half
    EXPECT_EQ(Item(mv::item::lblCRTVRM), "VRM 0.24 nm");
    wheel(60);
    QTest::keyClick(&Picture(), Qt::Key_Down);
    EXPECT_EQ(Item(mv::item::lblCRTVRM), "VRM 0.24 nm");
    EXPECT_NEAR(DrawnVRM(), 0.24, 1e-4);
}

TEST_F(MeasureTest, ACursorClickLoadsTheEBLAndVRM) {
    LoadOwnAndTarget(0, {});
    Click("optCursorMode");
    const auto click = [&](double bearing, double range) {
        mv::PointD p;
        mv::PolarOffset({0, 0}, p, static_cast<float>(bearing), range);
        console->pictureWidget()->tool()->press(p.Y, p.X, Qt::RightButton);
        return Item(mv::item::lblRange) + " " + Item(mv::item::lblBearing);
    };
    EXPECT_EQ(click(120, 12.0), "R 12.00 nm B 120");
    // The cross sits on the clicked point; EBL and VRM come up there at their next press.
    QTest::mouseClick(Get("cmdEBL"), Qt::LeftButton);
    QTest::mouseClick(Get("cmdVRM"), Qt::LeftButton);
    EXPECT_EQ(Item(mv::item::lblCRTEBL) + Item(mv::item::lblCRTVRM),
              "EBL 120 RELATIVEVRM 12.00 nm");
    const QPointF cross = console->picture().overlayLine(mv::item::lneHCursor).center();
    const QPointF edge = console->picture().overlayLine(mv::item::lneEBL).p2();
    EXPECT_LT(QLineF(cross, edge).length(), 0.5);
    // A second press now switches them off, as in keys mode.
    QTest::mouseClick(Get("cmdEBL"), Qt::LeftButton);
    EXPECT_FALSE(display.EBLOn);
}

// The second pair beside the first: held in while on, drawn, read in the first pair's form, the
// one switched on last taking the keys; the second line offset to a clicked echo and back.
TEST_F(MeasureTest, TheSecondEBLAndVRMAreSwitchedReadAndMoved) {
    LoadOwnAndTarget(0, {});
    for (const char* name : {"cmdEBL", "cmdVRM", "cmdEBL2", "cmdVRM2"})
        Click(name);
    const auto shown = [&] {
        return std::to_string(Get("cmdEBL2")->isChecked()) +
               std::to_string(Get("cmdVRM2")->isChecked()) + " " +
               Item(mv::item::lneEBL2, "visible") + " " + Item(mv::item::shpVRM2, "visible") + " " +
               Item(mv::item::lblCRTEBL2, "visible");
    };
    EXPECT_EQ(shown(), "11 true true true");
    display.EBL2Bearing = 44.0f;
    display.VRM2Range = 3.13;
    Picture().setFocus();
    QTest::keyClick(&Picture(), Qt::Key_Right); // a tap: one degree, 1 % of 12 nm
    QTest::keyClick(&Picture(), Qt::Key_Up);
    EXPECT_EQ(Item(mv::item::lblCRTEBL2) + " / " + Item(mv::item::lblCRTVRM2),
              "EBL2 045 RELATIVE / VRM2 3.25 nm");
    EXPECT_EQ(display.EBLBearing + static_cast<float>(display.VRMRange), 0.0f);

    // Off again: the first line takes the keys back.
    Click("cmdEBL2");
    Click("cmdVRM2");
    EXPECT_EQ(shown(), "00 false false false");
    QTest::keyClick(&Picture(), Qt::Key_Right);
    EXPECT_EQ(Item(mv::item::lblCRTEBL), "EBL 001 RELATIVE");

    // Offset to an echo clicked 6 nm east, and centred again.
    Click("optCursorMode");
    console->pictureWidget()->tool()->press(6.0, 0.0, Qt::LeftButton);
    Click("cmdEBL2Offset");
    EXPECT_EQ(shown().substr(0, 7), "10 true");
    EXPECT_EQ(Item(mv::item::lblEBL2Origin), "FROM 090 6.00 nm");
    const QPointF cross = console->picture().overlayLine(mv::item::lneHCursor).center();
    EXPECT_LT(QLineF(cross, console->picture().overlayLine(mv::item::lneEBL2).p1()).length(), 0.5);
    Click("cmdEBL2Centre");
    EXPECT_EQ(Item(mv::item::lblEBL2Origin, "visible"), "false");
}

// A radar's accuracy (1 % of the scale or 30 m, and 1 degree) on a 1280 x 800 screen.
TEST_F(MeasureTest, ACursorClickOnAnEchoMeasuresWithinRadarAccuracy) {
    console->resize(1280, 740);
    QApplication::processEvents();
    const double thirtyMetres = 30.0 / 1852.0;
    for (const bool northUp : {false, true})
        for (const int index : {0, 5, 7, 9}) {
            const double scale = mv::kRangeScales[static_cast<size_t>(index)];
            SCOPED_TRACE(std::to_string(scale) + (northUp ? " north-up" : " heads-up"));
            // A stopped target near the edge, at an awkward bearing, own heading 030.
            const QByteArray target = "SMALL, 000, 0, 217.3, " + QByteArray::number(0.87 * scale);
            LoadOwnAndTarget(30, target);
            display.RangeIndex = static_cast<int16_t>(index);
            console->view().SetRange(scale);
            exercise->displayCommands().SetNorthUp(northUp);
            Click("optCursorMode");

            const QPointF echo = console->picture().overlayLine(mv::item::lneVessel(1)).center();
            QTest::mouseClick(&Picture(), Qt::LeftButton, {}, echo.toPoint());
            float bearing = 0;
            double distance = 0;
            mv::GetVector(sim.Vessels.VesselPos[0], sim.Vessels.VesselPos[1], bearing, distance);
            const double expected = northUp ? bearing : bearing - 30.0;
            EXPECT_LE(std::fabs(std::stod(Item(mv::item::lblRange).substr(2)) - distance),
                      std::max(0.01 * scale, thirtyMetres));
            EXPECT_LE(mv::test::AngleGap(std::stod(Item(mv::item::lblBearing).substr(2)), expected),
                      1.0);
        }
}

// While the user drags the window's edge the picture keeps its size, centred in its widget, and
// a click on an echo still measures that echo; once the edge rests the picture takes the size.
TEST_F(MeasureTest, DuringADragOfTheWindowsEdgeTheKeptPictureStillMeasuresTrue) {
    LoadOwnAndTarget(30, "SMALL, 000, 0, 217.3, 9");
    Click("optCursorMode");
    QWindow& window = *console->window()->windowHandle();
    const QSize start = window.size();
    // Steps a few pixels apart, as the window system sends them; the first is taken at once.
    for (const int step : {16, 32, 48}) {
        window.resize(start - QSize(step, step));
        QApplication::processEvents();
    }
    const QSize kept = console->picture().size();
    ASSERT_NE(kept, Picture().size());
    const QPointF origin((Picture().width() - kept.width()) / 2,
                         (Picture().height() - kept.height()) / 2);
    const QPointF echo = console->picture().overlayLine(mv::item::lneVessel(1)).center() + origin;
    QTest::mouseClick(&Picture(), Qt::LeftButton, {}, echo.toPoint());
    EXPECT_NEAR(std::stod(Item(mv::item::lblRange).substr(2)), 9.0, 0.01 * 12);
    QTRY_COMPARE(console->picture().size(), Picture().size());
}

// --- True View ----------------------------------------------------------------------------

class TrueViewTest : public MeasureTest {
  protected:
    mv::TrueView& View() { return console->trueView(); }
    QPushButton* ViewButton(const char* name) { return View().findChild<QPushButton*>(name); }
    QColor At(const mv::PointD& p) {
        auto& pic = View().picture();
        const QPointF px = pic.toPixel(p.Y, p.X);
        return pic.pixel(static_cast<int>(std::floor(px.x())),
                         static_cast<int>(std::floor(px.y())));
    }
};

TEST_F(TrueViewTest, OpensBesideThePictureAndKeepsAPausedExercisePaused) {
    LoadOwnAndTarget(0, "LARGE, 270, 12, 045, 6");
    exercise->Start();
    exercise->SetPaused(true);
    QTest::mouseClick(Get("cmdTrueView"), Qt::LeftButton);
    EXPECT_TRUE(exercise->isPaused() && !exercise->isRunning());
    // Inside the screen's working area, clear of the control column, its scale read out.
    const QRect placed = View().frameGeometry();
    EXPECT_TRUE(View().screen()->availableGeometry().contains(placed));
    const QWidget* column = Find("picControls");
    EXPECT_FALSE(placed.intersects(QRect(column->mapToGlobal(QPoint()), column->size())));
    EXPECT_EQ(Item("lblTrueScale", "text", &View()), "12 nm to edge");

    // Red points where the vessels stood as it opened; labels for the vessels there are.
    EXPECT_EQ(Item(lblVessel(1), "visible", &View()) + Item(lblVessel(2), "visible", &View()),
              "truefalse");
    for (const mv::PointD& p : {sim.Vessels.VesselPos[0], sim.Vessels.VesselPos[1]})
        EXPECT_EQ(At(p), QColor(255, 0, 0));
    QTest::mouseClick(ViewButton("cmdCenter"), Qt::LeftButton);
    EXPECT_FALSE(exercise->isRunning());

    // Each tick leaves a grey point where it finds a vessel; Repeat clears the tracks.
    exercise->SetPaused(false);
    exercise->tmrSim_Timer();
    const mv::PointD moved = sim.Vessels.VesselPos[1];
    exercise->tmrSim_Timer();
    EXPECT_EQ(At(moved), QColor(192, 192, 192));
    QTest::mouseClick(ViewButton("Command1"), Qt::LeftButton);
    EXPECT_EQ(sim.Vessels.VesselPos, sim.Vessels.StartPos);
    EXPECT_EQ(console->findChild<QLabel*>("lblTime")->text(), "12:00:00");
    EXPECT_EQ(At(moved), QColor(0, 0, 0));
    exercise->SetPaused(true);
}

TEST_F(TrueViewTest, TwelveKnotsCrossOneGridStepInFiveMinutesAndCloseKeepsTheRange) {
    LoadOwnAndTarget(0, "MEDIUM, 090, 12, 270, 2");
    QTest::mouseClick(Get("cmdTrueView"), Qt::LeftButton);
    QTest::mouseClick(ViewButton("cmdDecreaseTrueRange"), Qt::LeftButton); // 6 nm
    QTest::mouseClick(ViewButton("cmdGrid"), Qt::LeftButton);
    EXPECT_EQ(View().windowTitle(), "True View   Grid 1.00 nm");
    auto& pic = View().picture();

    exercise->SetTimeFactor(3); // x10: 30 seconds of sea time a tick
    exercise->tmrSim_Timer();
    const QPointF before = pic.labelTopLeft(lblVessel(1));
    for (int t = 0; t < 10; ++t)
        exercise->tmrSim_Timer();
    const QPointF after = pic.labelTopLeft(lblVessel(1));
    EXPECT_NEAR((after.x() - before.x()) * pic.unitsPerPixelX(), 1.0, 0.002);
    EXPECT_NEAR(after.y(), before.y(), 1e-6);

    // The close box hides the view for the next opening.
    for (int step = 0; step < 2; ++step) // 6 to 24 nm, not the 12 it opens at
        QTest::mouseClick(ViewButton("cmdIncreaseTrueRange"), Qt::LeftButton);
    View().close();
    EXPECT_FALSE(View().isVisible() || display.Tick.TrueViewOn);
    QTest::mouseClick(Get("cmdTrueView"), Qt::LeftButton);
    EXPECT_TRUE(View().isVisible());
    EXPECT_EQ(display.TVRange, 24.0);
}

} // namespace
