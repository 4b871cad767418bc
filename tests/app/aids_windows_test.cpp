// The plotting aids through their windows, as a navigator uses them.

#include "app/cpa_computer_window.h"
#include "app/maneuver_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "gui/palette.h"
#include "gui/radar_items.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimeEdit>

namespace {

class AidsWindows : public mv::test::ExerciseFixture {
  protected:
    QWidget* OpenManeuver(int slot) {
        Click("optManeuver");
        Click(QStringLiteral("cmdVessel(%1)").arg(slot));
        auto* w = console->findChild<QWidget*>("frmManeuver");
        EXPECT_TRUE(w && w->isVisible());
        return w;
    }
    QColor EchoColour(int slot) {
        return console->findChild<QObject*>(mv::item::lneVessel(slot))
            ->property("colour")
            .value<QColor>();
    }
};

TEST_F(AidsWindows, FieldsLetThroughTheirKindOfNumberAndExecuteOrdersNothingOnAFault) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    QWidget* man = OpenManeuver(1);
    EXPECT_EQ(Text("lblVessel", man) + " " + Text("lblCourse", man),
              "Maneuver target vessel B 180");
    Click("cmdVessel(0)"); // blocked behind the modal window: nothing happens
    panel().ShowCPAComputer();
    QWidget* cpa = Find("frmCPAComputer");
    ASSERT_NE(cpa, nullptr);
    const struct {
        QWidget* window;
        const char *field, *typed, *kept;
    } cases[] = {
        {man, "txtSpeed", "12.5.-+a,", "12.5"}, // one point, no sign, no letter
        {man, "txtCourse", "0.9-0", "090"},     // whole degrees
        {cpa, "txtSecond(1)", "4e5", "45"},
        {cpa, "txtRange(0)", "-.5", ".5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        auto* field = Find<QLineEdit>(c.field, c.window);
        ASSERT_NE(field, nullptr);
        Type(field, c.typed);
        EXPECT_EQ(field->text().toStdString(), c.kept);
    }
    // Backspace works; Enter does nothing, and the window stays open; Ctrl+A and Ctrl+X edit as
    // in any field.
    auto* speed = Find<QLineEdit>("txtSpeed", man);
    QTest::keyClick(speed, Qt::Key_Backspace);
    QTest::keyClick(speed, Qt::Key_Return);
    EXPECT_EQ(speed->text(), "12.");
    QTest::keyClick(speed, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(speed, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(speed->text() + "|" + QApplication::clipboard()->text(), "|12.");
    EXPECT_TRUE(man->isVisible() && dialogs.shown.empty());
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 10.0f); // nothing executed

    // Execute on a fault (points typed on the keypad into the course) says it under the
    // entry's name, empties that field, orders nothing and stays open; which entry is checked
    // first, and with what message, is the core's.
    Find<QLineEdit>("txtCourse", man)->setText("1..");
    Find<QLineEdit>("txtSpeed", man)->setText("5");
    Click("cmdExecute", man);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Last().text + " | " + Last().title, "Invalid course! | Change course");
    EXPECT_TRUE(Text("txtCourse", man).isEmpty() && man->isVisible());
    EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, 180);
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 10.0f);
}

TEST_F(AidsWindows, TurnsByDegreesCrossNorthAndTheKeypadTypesIntoTheChosenField) {
    Load("MEDIUM, 350, 10", {"MEDIUM, 10, 10, 045, 6"});
    const struct {
        int slot;
        const char* button; // field selector
        QList<int> keys;    // keypad indices
        int ordered;
    } cases[] = {
        {0, "cmdTurnRight", {2, 0}, 10},       // 350 + 20 passes north
        {1, "cmdTurnLeft", {2, 0}, 350},       // 10 - 20 passes north
        {1, "cmdTurnToCourse", {0, 4, 5}, 45}, // a course typed on the keypad
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        QWidget* w = OpenManeuver(c.slot);
        Click(c.button, w);
        for (int k : c.keys)
            Click(QStringLiteral("cmdKeyPad(%1)").arg(k), w);
        Click("cmdExecute", w);
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.messages().join("|").toStdString();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(sim.Vessels.Vessel[static_cast<size_t>(c.slot)].NewHeading, c.ordered);
    }
    EXPECT_TRUE(sim.Maneuvering && sim.Turning); // the own vessel's turn was ordered
}

TEST_F(AidsWindows, SpeedHeldAtItsCeilingOnTheThirdDigitAndTheReadoutsFollowTheTick) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    exercise->SetTimeFactor(0); // x1: 5 knots a tick
    QWidget* w = OpenManeuver(1);
    EXPECT_EQ(EchoColour(1), QColor(255, 0, 0)); // red while the window is open on it
    Click("cmdSpeed", w);
    auto* speed = Find<QLineEdit>("txtSpeed", w);
    QTest::keyClicks(speed, "150");
    EXPECT_EQ(speed->text(), "99.9");
    speed->setText("20");
    Click("cmdExecute", w);
    EXPECT_EQ(EchoColour(1), mv::PaletteFor(mv::DisplayPalette::Day).echo);
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 20.0f);

    // Reopened while the target speeds up: the read-outs follow each tick, the echo stays red.
    OpenManeuver(1);
    exercise->tmrSim_Timer();
    EXPECT_EQ(Text("lblSpeed", w) + Text("lblSpeeding", w), "15.0^");
    EXPECT_TRUE(Find("lblSpeeding", w)->isVisible());
    EXPECT_EQ(EchoColour(1), QColor(255, 0, 0));
    exercise->tmrSim_Timer();
    EXPECT_EQ(Text("lblSpeed", w), "20.0");
    EXPECT_FALSE(Find("lblSpeeding", w)->isVisible());
    Click("cmdManeuverClose", w);
    exercise->tmrSim_Timer();
    EXPECT_EQ(EchoColour(1), mv::PaletteFor(mv::DisplayPalette::Day).echo);
}

TEST_F(AidsWindows, JumpMakesTheTargetTheOwnVesselAndTheOptionsGuardTheOwnButton) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6", "LARGE, 90, 8, 300, 4"});
    // The own vessel's button in blue, the others black.
    const auto colours = [&] {
        QStringList out;
        for (int slot : {0, 1, 2})
            out << panel().cmdVessel(slot)->palette().color(QPalette::ButtonText).name();
        return out.join(" ").toStdString();
    };
    EXPECT_EQ(colours(), "#0000ff #000000 #000000");
    Run("mnuSeas(2)"); // the column turns storm grey, and the letters keep their colours
    EXPECT_EQ(colours(), "#0000ff #000000 #000000");
    EXPECT_FALSE(panel().cmdVessel(3)->isEnabled());

    Click("optCPA");
    EXPECT_FALSE(panel().cmdVessel(0)->isEnabled()); // no CPA of the own vessel with itself
    Click("optManeuver");
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());
    // The buttons and the menus' vessel entries are enabled by one rule, in every mode: no
    // jump to the own vessel where one stands, nor its CPA with itself.
    const std::pair<const char*, const char*> modes[] = {{"optManeuver", "mnuManeuverVessel"},
                                                         {"optCPA", "mnuCPAVessel"},
                                                         {"optJumpTo", "mnuJumptoVessel"}};
    for (const auto& [option, menu] : modes) {
        Click(option);
        for (int slot = 0; slot < mv::kMaxVessels; ++slot)
            EXPECT_EQ(panel().cmdVessel(slot)->isEnabled(),
                      exercise->commands().find(QString("%1(%2)").arg(menu).arg(slot))->enabled())
                << option << slot;
    }
    EXPECT_FALSE(panel().cmdVessel(0)->isEnabled());

    QSignalSpy jumped(&panel(), &mv::VesselPanel::jumped);
    Click("cmdTrueView");
    Click("cmdVessel(2)");
    EXPECT_EQ(sim.Vessels.OwnVessel, 2);
    // The True View is centred anew on the new own vessel, 4 nm from the old one.
    const mv::WorldPicture& tv = console->trueView().picture();
    const QPointF own = tv.toPixel(sim.Vessels.VesselPos[2].Y, sim.Vessels.VesselPos[2].X);
    EXPECT_LT(QLineF(own, QPointF(tv.size().width(), tv.size().height()) / 2).length(), 2.0);
    EXPECT_FALSE(panel().cmdVessel(2)->isEnabled()); // no jump to where one stands
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());
    Click("optManeuver"); // every button enabled: the letters in their own colours
    EXPECT_EQ(colours(), "#000000 #000000 #0000ff");
    EXPECT_EQ(Item(mv::item::lneVessel(2), "visible") + Item(mv::item::lneVessel(0), "visible"),
              "falsetrue");
    // The menus and the True View are told which vessel gave way to which.
    ASSERT_EQ(jumped.count(), 1);
    EXPECT_EQ(jumped[0], (QList<QVariant>{0, 2}));
    // A disabled own button greys its letter as every disabled button does, and so does the
    // former own button once a smaller scenario leaves its slot unused.
    const auto greyed = [&](int slot) {
        return !panel().cmdVessel(slot)->isEnabled() &&
               panel().cmdVessel(slot)->palette().color(QPalette::Disabled, QPalette::ButtonText) ==
                   QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText);
    };
    Click("optCPA");
    EXPECT_TRUE(greyed(2));
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    EXPECT_TRUE(greyed(2));
}

TEST_F(AidsWindows, CpaDataShowsTheFiguresInTheBearingModeInForce) {
    // Own 090 at 10 kn; the target 5 nm due north steering 180 at 10 kn: relative motion 225
    // at 14.1 kn, passing 3.54 nm off on 315 in 15 minutes.
    Load("MEDIUM, 90, 10", {"SMALL, 180, 10, 000, 5"});
    Click("optCPA");
    Click("cmdVessel(1)");
    QWidget* w = Find("frmManeuver");
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(Text("lblCPAtitle", w), "CPA data for target vessel B");
    QStringList all;
    for (const char* n : {"lblTargetCourse", "lblTargetSpeed", "lblYourcourse", "lblYourspeed",
                          "lblCPA", "lblBCPA", "lblTCPA", "lblDRM", "lblSRM"})
        all << Text(n, w);
    // Relative bearings (the start-up mode): the DRM is counted from the own course.
    EXPECT_EQ(all.join(" | ").toStdString(),
              "180 | 10.0 kn | 090 | 10.0 kn | 3.54 nm | 315 | 15.0 min | 135 | 14.1 kn");
    Click("cmdCPAClose", w);
    Click("cmdHeading"); // course bearings: the DRM counted from north
    Click("cmdVessel(1)");
    EXPECT_EQ(Text("lblDRM", w), "225");
    // Final data: the target ordered to stop leaves only the own vessel's motion.
    sim.Vessels.Vessel[1].NewSpeed = 0;
    Click("optFinalData", w);
    EXPECT_EQ(Text("lblSRM", w) + " " + Text("lblDRM", w), "10.0 kn 270");
    Click("optPresentData", w);
    EXPECT_EQ(Text("lblSRM", w), "14.1 kn");
}

TEST_F(AidsWindows, CpaComputerWorksTwoSightingsAndKeepsItsEntriesOnlyThroughClose) {
    // Own vessel 000 at 12 kn; a target on 270 at 12 kn sighted at 10:00:00 on 053.1 at
    // 10.0 nm and at 10:12:00 on 057.3 at 6.66 nm passes some 1.4 nm off at 10:35:00.
    Load("MEDIUM, 0, 12", {});
    panel().ShowCPAComputer();
    QWidget* w = panel().cpaComputer();
    ASSERT_NE(w, nullptr);
    auto* compute = Find<QPushButton>("cmdCompute", w);
    const auto type = [&](const char* field, const char* text) {
        Type(Find<QLineEdit>(field, w), text);
    };
    const QStringList entries = QString("10 53.1 6.66 57.3 10 0 0 10 12 0").split(' ');
    const char* fields[] = {"txtRange(0)",  "txtBearing(0)", "txtRange(1)",  "txtBearing(1)",
                            "txtHour(0)",   "txtMinute(0)",  "txtSecond(0)", "txtHour(1)",
                            "txtMinute(1)", "txtSecond(1)"};
    for (int i = 0; i < 10; ++i)
        type(fields[i], qPrintable(entries[i]));
    EXPECT_FALSE(compute->isEnabled()); // times alone do not validate
    type("txtBearing(1)", "57.3");
    ASSERT_TRUE(compute->isEnabled());
    QTest::mouseClick(compute, Qt::LeftButton);
    // Each figure in its own box.
    QStringList figures;
    for (const char* n : {"lblCourse", "lblSpeed", "lblCPA", "lblBCPA", "lblTCPA", "lblSRM",
                          "lblDRM", "lblYourcourse", "lblYourspeed"})
        figures << Text(n, w);
    EXPECT_EQ(figures.join(" | ").toStdString(),
              "270 | 12.0 kn | 1.44 nm | 135 | 23.0 min | 17.0 kn | 225 | 000 | 12.0 kn");
    // The course or speed for a CPA of 2 nm, acting at the second sighting.
    Find<QTimeEdit>("tmeAct", w)->setTime(QTime(10, 12));
    Click("cmdSteer", w);
    EXPECT_EQ(Text("lblNewCourse", w) + " " + Text("lblNewSpeed", w), "060 3.2 kn");

    // Any edit clears the figures.
    type("txtRange(1)", "6.66");
    EXPECT_EQ(Text("lblCPA", w), "");

    // With the own vessel stopped the speed triangle has no side to stand on.
    sim.Vessels.Vessel[0].Speed = 0;
    QTest::mouseClick(compute, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Last().title, "Can't compute CPA");

    // Copy EBL/VRM fills a row from the display at this moment.
    display.EBLBearing = 45.5f;
    display.VRMRange = 4.5;
    Click("cmdCopyEBLVRM(1)", w);
    EXPECT_EQ(QStringList({Text("txtHour(1)", w), Text("txtMinute(1)", w), Text("txtSecond(1)", w),
                           Text("txtRange(1)", w), Text("txtBearing(1)", w)})
                  .join(" "),
              "12 00 00 4.50 045.5");

    // Close hides and keeps; the frame's close discards.
    Click("cmdClose", w);
    EXPECT_FALSE(w->isVisible());
    panel().ShowCPAComputer();
    EXPECT_EQ(panel().cpaComputer(), w);
    EXPECT_EQ(Text("txtRange(0)", w), "10");
    w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel().cpaComputer(), nullptr);
    panel().ShowCPAComputer();
    EXPECT_EQ(Text("txtRange(0)", panel().cpaComputer()), "");
}

TEST_F(AidsWindows, AVesselOfUnknownSizeShowsADot) {
    Load("MEDIUM, 0, 0", {"SMALL, 0, 0, 030, 5"}); // clear of the rings and the heading line
    sim.Vessels.Vessel[1].Size = 0.0;
    console->view().RedrawVessels();
    const QLineF echo = console->picture().overlayLine(mv::item::lneVessel(1));
    ASSERT_EQ(echo.p1(), echo.p2());
    const QImage shown = console->picture().render();
    const QPoint at = echo.p1().toPoint() * shown.devicePixelRatio();
    EXPECT_GT(qGreen(shown.pixel(at)), 128);
}

} // namespace
