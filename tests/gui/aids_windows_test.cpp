// The plotting aids through their windows, as a navigator uses them. The checks and arithmetic
// behind each window are tabled in the aids tests; here each control reaches its rule.

#include "aids/cpa_computer_window.h"
#include "aids/maneuver_window.h"
#include "aids/vessel_panel.h"
#include "display/radar_items.h"
#include "tests/support/angles.h"
#include "tests/support/clock_text.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

using mv::Dialogs;

class AidsWindows : public mv::test::ExerciseFixture {
  protected:
    mv::VesselPanel& panel() { return *console->vesselPanel(); }
    template <class T = QWidget> T* Find(QWidget* in, const QString& name) {
        T* w = in->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void Click(QWidget* in, const QString& name) {
        if (auto* b = Find<QAbstractButton>(in, name)) QTest::mouseClick(b, Qt::LeftButton);
    }
    QString Text(QWidget* in, const QString& name) {
        if (auto* l = in->findChild<QLabel*>(name)) return l->text();
        if (auto* e = in->findChild<QLineEdit*>(name)) return e->text();
        return "missing " + name;
    }
    // Own vessel and targets as demo lines, started.
    void Load(const QByteArray& own, std::initializer_list<QByteArray> targets) {
        QByteArray text = "Test\r\n " + QByteArray::number(1 + int(targets.size())) + " \r\n" + own;
        for (const QByteArray& t : targets)
            text += "\r\n" + t;
        WriteDemo("Aids.dem", text + "\r\n");
        ASSERT_TRUE(exercise->LoadDemo("Aids.dem"));
    }
    QWidget* OpenManeuver(int slot) {
        Click(&panel(), "optManeuver");
        Click(&panel(), QStringLiteral("cmdVessel(%1)").arg(slot));
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

using mv::test::AngleGap;
double Minutes(const QString& hhmmss) {
    return mv::test::ClockMinutes(hhmmss.toStdString());
}

TEST_F(AidsWindows, EachNumericFieldLetsThroughOnlyItsKindOfNumber) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    QWidget* man = OpenManeuver(1);
    Click(&panel(), "cmdVessel(0)"); // blocked behind the modal window: nothing happens
    panel().ShowCPAComputer();
    auto* cpa = console->findChild<QWidget*>("frmCPAComputer");
    ASSERT_NE(cpa, nullptr);
    struct Case {
        QWidget* window;
        const char* field;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {man, "txtSpeed", "12.5.-+a,", "12.5"}, // one point, no sign, no letter
        {man, "txtCourse", "0.9-0", "090"},     // whole degrees
        {man, "txtTurnLeft", "1 5", "15"},      // no blank
        {man, "txtTurnRight", "+30.", "30"},    // no sign anywhere
        {cpa, "txtHour(0)", "1.0", "10"},       // clock parts whole
        {cpa, "txtSecond(1)", "4e5", "45"},     //
        {cpa, "txtBearing(1)", "123.4.5", "123.45"},
        {cpa, "txtRange(0)", "-.5", ".5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        auto* field = Find<QLineEdit>(c.window, c.field);
        ASSERT_NE(field, nullptr);
        field->clear();
        QTest::keyClicks(field, c.typed);
        EXPECT_EQ(field->text().toStdString(), c.kept);
    }
    // Backspace works; Enter and the clipboard keys do nothing, and the window stays open.
    auto* speed = Find<QLineEdit>(man, "txtSpeed");
    QTest::keyClick(speed, Qt::Key_Backspace);
    QTest::keyClick(speed, Qt::Key_Return);
    QTest::keyClick(speed, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(speed, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(speed->text(), "12.");
    EXPECT_TRUE(man->isVisible());
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 10.0f); // nothing executed
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AidsWindows, ExecuteChecksEachEntryInOrderAndOrdersNothingOnAFault) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    QWidget* w = OpenManeuver(1);
    EXPECT_EQ(Text(w, "lblVessel"), "Maneuver target vessel B");
    EXPECT_EQ(Text(w, "lblType"), "Type: Small (fast manuevers)");
    EXPECT_EQ(Text(w, "lblCourse"), "180");
    EXPECT_EQ(Text(w, "lblSpeed"), "10.0");
    struct Case {
        const char *course, *right, *left, *speed;
        const char *message, *title, *emptied;
    };
    const Case cases[] = {
        {"359", "179", "180", "", "Turn must be less than 180 degrees", "Turn Left", "txtTurnLeft"},
        {"1..", "0", "0", "5", "Invalid course!", "Change course", "txtCourse"}, // keypad points
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dialogs.shown.clear();
        Find<QLineEdit>(w, "txtCourse")->setText(c.course);
        Find<QLineEdit>(w, "txtTurnRight")->setText(c.right);
        Find<QLineEdit>(w, "txtTurnLeft")->setText(c.left);
        Find<QLineEdit>(w, "txtSpeed")->setText(c.speed);
        Click(w, "cmdExecute");
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text.toStdString(), c.message);
        EXPECT_EQ(dialogs.shown[0].title.toStdString(), c.title);
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(Text(w, c.emptied), "");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, 180);
        EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 10.0f);
    }
}

TEST_F(AidsWindows, TurnsByDegreesCrossNorthAndTheKeypadTypesIntoTheChosenField) {
    Load("MEDIUM, 350, 10", {"MEDIUM, 10, 10, 045, 6"});
    struct Case {
        int slot;
        const char* button; // field selector
        QList<int> keys;    // keypad indices
        int ordered;
    };
    const Case cases[] = {
        {0, "cmdTurnRight", {2, 0}, 10},       // 350 + 20 passes north
        {1, "cmdTurnLeft", {2, 0}, 350},       // 10 - 20 passes north
        {1, "cmdTurnToCourse", {0, 4, 5}, 45}, // a course typed on the keypad
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        QWidget* w = OpenManeuver(c.slot);
        Click(w, c.button);
        for (int k : c.keys)
            Click(w, QStringLiteral("cmdKeyPad(%1)").arg(k));
        Click(w, "cmdExecute");
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.messages().join("|").toStdString();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(sim.Vessels.Vessel[static_cast<size_t>(c.slot)].NewHeading, c.ordered);
        EXPECT_TRUE(sim.Maneuvering);
    }
    EXPECT_TRUE(sim.Turning); // the own vessel's turn was ordered
}

TEST_F(AidsWindows, SpeedHeldAtItsCeilingOnTheThirdDigitAndTheReadoutsFollowTheTick) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6"});
    exercise->SetTimeFactor(0); // x1: 5 knots a tick
    QWidget* w = OpenManeuver(1);
    EXPECT_EQ(EchoColour(1), QColor(255, 0, 0)); // red while the window is open on it
    Click(w, "cmdSpeed");
    auto* speed = Find<QLineEdit>(w, "txtSpeed");
    QTest::keyClicks(speed, "15");
    EXPECT_EQ(speed->text(), "15");
    QTest::keyClicks(speed, "0");
    EXPECT_EQ(speed->text(), "99.9");
    speed->setText("20");
    Click(w, "cmdExecute");
    ASSERT_FALSE(w->isVisible());
    EXPECT_EQ(EchoColour(1), QColor(0, 255, 0));
    EXPECT_EQ(sim.Vessels.Vessel[1].NewSpeed, 20.0f);

    // Opened again while the target speeds up: the read-outs follow each tick, and the tick's
    // echo pass keeps the echo red.
    OpenManeuver(1);
    exercise->tmrSim_Timer();
    EXPECT_EQ(Text(w, "lblSpeed"), "15.0");
    EXPECT_EQ(Text(w, "lblSpeeding"), "^");
    EXPECT_TRUE(Find(w, "lblSpeeding")->isVisible());
    EXPECT_EQ(EchoColour(1), QColor(255, 0, 0));
    exercise->tmrSim_Timer();
    EXPECT_EQ(Text(w, "lblSpeed"), "20.0");
    EXPECT_FALSE(Find(w, "lblSpeeding")->isVisible());
    Click(w, "cmdManeuverClose");
    exercise->tmrSim_Timer();
    EXPECT_EQ(EchoColour(1), QColor(0, 255, 0));
}

TEST_F(AidsWindows, JumpMakesTheTargetTheOwnVesselAndTheOptionsGuardTheOwnButton) {
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 045, 6", "LARGE, 90, 8, 300, 4"});
    const auto colour = [&](int slot) {
        return panel().cmdVessel(slot)->palette().color(QPalette::ButtonText);
    };
    EXPECT_EQ(colour(0), QColor(0, 0, 255));
    EXPECT_EQ(colour(2), QColor(0, 0, 0));
    EXPECT_FALSE(panel().cmdVessel(3)->isEnabled());

    Click(&panel(), "optCPA");
    EXPECT_FALSE(panel().cmdVessel(0)->isEnabled()); // no CPA of the own vessel with itself
    Click(&panel(), "optManeuver");
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());
    Click(&panel(), "optCPA");
    Click(&panel(), "optJumpTo");
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());

    QSignalSpy jumped(&panel(), &mv::VesselPanel::jumped);
    Click(&panel(), "cmdVessel(2)");
    EXPECT_EQ(sim.Vessels.OwnVessel, 2);
    EXPECT_EQ(colour(2), QColor(0, 0, 255));
    EXPECT_EQ(colour(0), QColor(0, 0, 0));
    const auto shown = [&](int slot) {
        return console->findChild<QObject*>(mv::item::lneVessel(slot))->property("visible");
    };
    EXPECT_FALSE(shown(2).toBool());
    EXPECT_TRUE(shown(0).toBool());
    // The menus and the True View are told which vessel gave way to which.
    ASSERT_EQ(jumped.count(), 1);
    EXPECT_EQ(jumped[0][0].toInt(), 0);
    EXPECT_EQ(jumped[0][1].toInt(), 2);
    EXPECT_EQ(console->findChild<QObject*>(mv::item::lblVesselData)
                  ->property("text")
                  .toString()
                  .toStdString(),
              "Speed = 8.0 kt\nCourse = 090 T");
    Click(&panel(), "optCPA");
    EXPECT_FALSE(panel().cmdVessel(2)->isEnabled());
    EXPECT_TRUE(panel().cmdVessel(0)->isEnabled());
}

TEST_F(AidsWindows, CpaDataOfACrossingTargetInBothBearingModes) {
    // Own 090 at 10 kn; the target 5 nm due north steering 180 at 10 kn. Worked by hand: the
    // relative motion is 225 at 14.1 kn, the track passes 3.54 nm off, nearest on 315 after
    // 3.54 nm of relative track, 15.0 minutes.
    Load("MEDIUM, 90, 10", {"SMALL, 180, 10, 000, 5"});
    Click(&panel(), "optCPA");
    Click(&panel(), "cmdVessel(1)");
    auto* w = console->findChild<QWidget*>("frmManeuver");
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->windowTitle(), "CPA Data");
    EXPECT_EQ(Text(w, "lblCPAtitle"), "CPA data for target vessel B");
    EXPECT_EQ(Text(w, "lblCaution"), "Caution, data changing while vessels are maneuvering.");
    const auto all = [&] {
        QStringList t;
        for (const char* n : {"lblTargetCourse", "lblTargetSpeed", "lblYourcourse", "lblYourspeed",
                              "lblCPA", "lblBCPA", "lblTCPA", "lblDRM", "lblSRM"})
            t << Text(w, n);
        return t.join(" | ").toStdString();
    };
    // Relative bearings (the start-up mode): the DRM is counted from the own course.
    EXPECT_EQ(all(),
              "180 | 10.0 kt. | 090 | 10.0 kt. | 3.54 nm. | 315 | 15.0 min. | 135 | 14.1 kt.");
    Click(w, "cmdCPAClose");
    QTest::mouseClick(console->findChild<QPushButton*>("cmdHeading"), Qt::LeftButton);
    Click(&panel(), "cmdVessel(1)");
    EXPECT_EQ(all(),
              "180 | 10.0 kt. | 090 | 10.0 kt. | 3.54 nm. | 315 | 15.0 min. | 225 | 14.1 kt.");
    // Final data: the target ordered to stop leaves only the own vessel's motion.
    sim.Vessels.Vessel[1].NewSpeed = 0;
    Click(w, "optFinalData");
    EXPECT_EQ(Text(w, "lblSRM"), "10.0 kt.");
    EXPECT_EQ(Text(w, "lblDRM"), "270");
    Click(w, "optPresentData");
    EXPECT_EQ(Text(w, "lblSRM"), "14.1 kt.");
}

TEST_F(AidsWindows, CpaComputerWorksTwoSightingsAndKeepsItsEntriesOnlyThroughClose) {
    // Own vessel 000 at 12 kn. A target steering 270 at 12 kn, sighted at
    //   10:00:00  (N 6.0, E 8.0): bearing 053.1, range 10.0 nm
    //   10:12:00  (N 3.6, E 5.6): bearing 057.3, range 6.66 nm
    // Worked by hand: relative motion (-2.4, -2.4) in 12 min, DRM 225 at 17.0 kn; the track
    // passes (-1, 1), so CPA 1.41 nm on 135, 9.90 nm of track from the first sighting at
    // 17.0 kn = 35 min: 10:35:00. Examiner's tolerance: 0.2 nm, 3 degrees, 0.5 kn, 1 minute.
    Load("MEDIUM, 0, 12", {});
    panel().ShowCPAComputer();
    QWidget* w = panel().cpaComputer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "CPA Computer");
    auto* compute = Find<QPushButton>(w, "cmdCompute");
    const auto type = [&](const char* field, const char* text) {
        auto* f = Find<QLineEdit>(w, field);
        f->clear();
        QTest::keyClicks(f, text);
    };
    type("txtRange(0)", "10");
    type("txtBearing(0)", "53.1");
    type("txtRange(1)", "6.66");
    type("txtBearing(1)", "57.3");
    EXPECT_FALSE(compute->isEnabled()); // no times yet
    type("txtHour(0)", "10");
    type("txtMinute(0)", "0");
    type("txtSecond(0)", "0");
    type("txtHour(1)", "10");
    type("txtMinute(1)", "75");
    EXPECT_EQ(Text(w, "txtMinute(1)"), "59"); // held at its ceiling
    type("txtMinute(1)", "12");
    type("txtSecond(1)", "0");
    EXPECT_FALSE(compute->isEnabled()); // times alone do not validate
    type("txtBearing(1)", "57.3");
    ASSERT_TRUE(compute->isEnabled());
    QTest::mouseClick(compute, Qt::LeftButton);
    EXPECT_LT(AngleGap(Text(w, "lblCourse").toDouble(), 270), 3)
        << Text(w, "lblCourse").toStdString();
    EXPECT_NEAR(Text(w, "lblSpeed").toDouble(), 12.0, 0.5);
    EXPECT_NEAR(Text(w, "lblCPA").section(' ', 0, 0).toDouble(), 1.41, 0.2);
    EXPECT_LT(AngleGap(Text(w, "lblBCPA").toDouble(), 135), 3);
    EXPECT_NEAR(Minutes(Text(w, "lblTCPA")), Minutes("10:35:00"), 1);
    EXPECT_NEAR(Text(w, "lblSRM").toDouble(), 17.0, 0.5);
    EXPECT_LT(AngleGap(Text(w, "lblDRM").toDouble(), 225), 3);
    EXPECT_EQ(Text(w, "lblYourcourse"), "000");
    EXPECT_EQ(Text(w, "lblYourspeed"), "12.0");

    // Any edit clears the figures; a range beyond 36 nm takes the button away again.
    type("txtRange(1)", "36.01");
    EXPECT_EQ(Text(w, "lblCPA"), "");
    EXPECT_FALSE(compute->isEnabled());
    type("txtRange(1)", "6.66");

    // With the own vessel stopped the speed triangle has no side to stand on.
    sim.Vessels.Vessel[0].Speed = 0;
    QTest::mouseClick(compute, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Can't compute CPA");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Exclamation);

    // Copy EBL/VRM fills a row from the display at this moment.
    display.EBLBearing = 45.5f;
    display.VRMRange = 4.5;
    Click(w, "cmdCopyEBLVRM(1)");
    EXPECT_EQ(Text(w, "txtHour(1)") + ":" + Text(w, "txtMinute(1)") + ":" + Text(w, "txtSecond(1)"),
              "12:00:00");
    EXPECT_EQ(Text(w, "txtRange(1)"), "4.5");
    EXPECT_EQ(Text(w, "txtBearing(1)"), "45.5");

    // Close hides and keeps; the frame's close discards.
    Click(w, "cmdClose");
    EXPECT_FALSE(w->isVisible());
    panel().ShowCPAComputer();
    EXPECT_EQ(panel().cpaComputer(), w);
    EXPECT_EQ(Text(w, "txtRange(0)"), "10");
    w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel().cpaComputer(), nullptr);
    panel().ShowCPAComputer();
    EXPECT_EQ(Text(panel().cpaComputer(), "txtRange(0)"), "");
}

TEST_F(AidsWindows, AVesselOfUnknownSizeShowsADot) {
    Load("MEDIUM, 0, 0", {"SMALL, 0, 0, 030, 5"}); // clear of the rings and the heading line
    sim.Vessels.Vessel[1].Size = 0.0;
    console->RedrawVessels();
    const QLineF echo = console->picture().overlayLine(mv::item::lneVessel(1));
    ASSERT_EQ(echo.p1(), echo.p2());
    const QImage shown = console->picture().render();
    const QPoint at = echo.p1().toPoint() * shown.devicePixelRatio();
    EXPECT_GT(qGreen(shown.pixel(at)), 128);
}

} // namespace
