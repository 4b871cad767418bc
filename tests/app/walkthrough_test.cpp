// The tutorial's lessons, the manual's first watch and the instructions the demos give, followed
// as a student or an instructor reads them, in a console. Each figure a text quotes is looked
// for in that text as the program shows it at that step, so a step that cannot be followed, or a
// figure that no longer holds, fails here.

#include "app/answer_form.h"
#include "app/application.h"
#include "app/cpa_computer_window.h"
#include "app/exercise_report.h"
#include "app/index_lines_window.h"
#include "app/main_window.h"
#include "app/trial_window.h"
#include "core/aids/trial_maneuver.h"
#include "core/exercise/results_file.h"
#include "core/geometry.h"
#include "gui/plot_overlays.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "session/exercise_results.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <map>
#include <tuple>

namespace {

using mv::item::lblBearing;
using mv::item::lblRange;

// A document's words as a reader sees them: tags and entities gone, blanks run together.
QString Words(const QString& file) {
    QFile f(QStringLiteral(MAROVANE_SOURCE_DIR "/") + file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    QString t = QString::fromUtf8(f.readAll());
    // Emphasis runs on within a sentence; cells, paragraphs and breaks part words.
    t.replace(QRegularExpression("</?(b|i|em|strong|span|a|code|kbd|var)\\b[^>]*>"), "");
    t.replace(QRegularExpression("<[^>]*>"), " ");
    const std::pair<const char*, const char*> entities[] = {
        {"&deg;", "°"},      {"&minus;", "-"}, {"&mdash;", "-"}, {"&times;", "x"},
        {"&quot;", "\""},    {"&nbsp;", " "},  {"&#9650;", "▲"}, {"&#9660;", "▼"},
        {"&hellip;", "..."}, {"&gt;", ">"},    {"&amp;", "&"}};
    for (const auto& [entity, text] : entities)
        t.replace(QString::fromUtf8(entity), QString::fromUtf8(text));
    return t.replace('\r', ' ').simplified();
}

// The figure of a read-out ("3.54 nm", "EBL 091 COURSE", "R 6.02") at a number of decimals.
QString Fig(const QString& readout, int decimals) {
    const auto m = QRegularExpression("-?\\d+(\\.\\d+)?").match(readout);
    EXPECT_TRUE(m.hasMatch()) << readout.toStdString();
    const double v = m.captured().toDouble();
    return decimals < 0 ? m.captured() : QString::number(v, 'f', decimals);
}

class Walkthrough : public mv::test::ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        mv::test::CopyShippedData(folder.path());
    }
    void Demo(const char* name) {
        ASSERT_TRUE(exercise->LoadDemo(QString(name) + ".dem"));
        if (!exercise->isPaused()) Click("cmdPause");
    }
    // The text says this, with the program's own figures in it.
    void Says(const QString& file, const QString& phrase) {
        if (!texts_.count(file)) texts_[file] = Words(file);
        EXPECT_TRUE(texts_[file].contains(phrase))
            << file.toStdString() << " does not say: " << phrase.toStdString();
    }
    // Resume, let the clock run to a time of day, and pause.
    void RunTo(const QString& hhmmss) {
        Click("cmdPause");
        for (int i = 0; i < 2000 && !Text("lblTime").startsWith(hhmmss); ++i)
            exercise->tmrSim_Timer();
        Click("cmdPause");
        ASSERT_TRUE(Text("lblTime").startsWith(hhmmss)) << Text("lblTime").toStdString();
    }
    // A cursor click on an echo: its bearing and range as the read-outs give them.
    std::pair<QString, QString> Cursor(int slot) {
        Click("optCursorMode");
        // An echo on or beyond the edge is brought inside as a student would, a scale up.
        while (Item(mv::item::lneVessel(slot), "visible") != "true" && display.Tick.Range < 48)
            Click("cmdRangeUp");
        const QPointF echo = console->picture().overlayLine(mv::item::lneVessel(slot)).center();
        QTest::mouseClick(console->pictureWidget(), Qt::LeftButton, {}, echo.toPoint());
        return {QString::fromStdString(Item(lblBearing)), QString::fromStdString(Item(lblRange))};
    }
    // The CPA data window on a vessel: its read-outs ({c} course, {s} speed, {cpa}, {t} TCPA,
    // {drm}, {srm}), closed again.
    std::map<QString, QString> CpaData(int slot, bool finalData = false) {
        Click("optCPA");
        Click(QStringLiteral("cmdVessel(%1)").arg(slot));
        QWidget* w = Find("frmManeuver");
        if (finalData) Click("optFinalData", w);
        std::map<QString, QString> data;
        const std::pair<const char*, const char*> readouts[] = {
            {"c", "lblTargetCourse"}, {"s", "lblTargetSpeed"}, {"cpa", "lblCPA"},
            {"t", "lblTCPA"},         {"drm", "lblDRM"},       {"srm", "lblSRM"}};
        for (const auto& [key, label] : readouts)
            data[key] = Text(label, w);
        Click("cmdCPAClose", w);
        return data;
    }
    // An order typed in the manoeuvre window as the texts tell it: vessel button, mode button,
    // the figure typed where the caret is, Do it.
    void Order(int slot, const char* mode, const QString& figure) {
        Click("optManeuver");
        Click(QStringLiteral("cmdVessel(%1)").arg(slot));
        QWidget* w = Find("frmManeuver");
        Click(mode, w);
        QWidget* caret = w->focusWidget();
        ASSERT_TRUE(qobject_cast<QLineEdit*>(caret)) << "no field takes the caret after " << mode;
        EXPECT_EQ(static_cast<QLineEdit*>(caret)->text(), "");
        QTest::keyClicks(caret, figure);
        const size_t messages = dialogs.shown.size();
        Click("cmdExecute", w);
        EXPECT_EQ(dialogs.shown.size(), messages) << "the order was refused";
        Click("cmdManeuverClose", w);
    }
    mv::WorldPictureWidget& Picture() { return *console->pictureWidget(); }
    // A key tapped on the picture until a condition holds (a student holding it down).
    template <class Until> void Tap(Qt::Key key, Until until) {
        Picture().setFocus();
        for (int i = 0; i < 400 && !until(); ++i)
            QTest::keyClick(&Picture(), key);
        ASSERT_TRUE(until());
    }

    std::map<QString, QString> texts_;
};

// Figures a text quotes about a target at the start of a demo, read off the CPA data window in
// true bearings and off a cursor click north-up ({b} bearing, {r} range); a digit after a
// figure's name gives its decimals.
TEST_F(Walkthrough, TheTargetsAreAsTheTextsDescribeThem) {
    const struct {
        const char* file; // under docs/
        const char* demo;
        int slot;
        const char* phrases; // parted by "|"
    } quotes[] = {
        {"manual/getting_started", "Default", 1,
         "B at {b}° {r0} miles|CPA {cpa1} miles in {t0} "
         "minutes"},
        {"manual/getting_started", "Default", 2, "C at {b}° {r0} miles"},
        {"manual/getting_started", "Default", 3, "D at {b}° {r0} miles"},
        {"tutorial/lesson1", "HeadOn", 1, "Her CPA is {cpa2} miles in {t0} minutes"},
        {"tutorial/lesson2", "StoppedAhead", 1,
         "B lies stopped {r0} miles ahead, very slightly to starboard ({b}°)|at {srm0} knots, on a "
         "relative course of {drm}|Her CPA is {cpa2} miles in {t0} minutes"},
        {"tutorial/lesson2", "Default", 2,
         "look at C, {r0} miles almost dead ahead ({b}°)|relative course {drm} at {srm0} knots|she "
         "steers {c} at {s0} knots|CPA {cpa2} miles in about {t0} minutes"},
        {"tutorial/lesson3", "Crossing", 1,
         "CPA {cpa2} miles, TCPA {t1} minutes from 12:00, DRM {drm}, SRM {srm1} knots, and B's "
         "course {c} at {s1} knots"},
        {"tutorial/lesson6", "HeadOn", 1,
         "B bears {b}° at {r0} miles, steering {c} at {s0} knots|CPA as they stand {cpa2} miles, "
         "TCPA {t0} minutes"},
        {"tutorial/lesson6", "CrossingPort", 1,
         "B bears {b}° at {r0} miles, steering {c} at {s0} knots|CPA {cpa2} miles, TCPA {t1} "
         "minutes"},
        {"tutorial/lesson6", "Overtaking", 1,
         "B, {r0} miles ahead at {b}°, steers {c} at {s0} knots|CPA {cpa2} miles in about {t0} "
         "minutes"},
        {"tutorial/lesson6", "Overtaking", 2, "comes the other way, CPA {cpa1} miles"},
        {"tutorial/lesson6", "BeingOvertaken", 1,
         "B closes from astern at {b}°, {r0} miles, steering {c} at {s0} knots|CPA {cpa2} miles in "
         "about {t0} minutes"},
        {"tutorial/lesson7", "Fog", 1, "B {b}°, {r1} nm {c}, {s1} kn {cpa2} nm {t1} min"},
        {"tutorial/lesson7", "Fog", 2, "C {b}°, {r1} nm {c}, {s1} kn {cpa2} nm {t1} min"},
        {"tutorial/lesson7", "Fog", 3, "D {b}°, {r1} nm {c}, {s1} kn {cpa2} nm {t1} min"},
        {"tutorial/lesson7", "Fog", 4, "E {b}°, {r1} nm {c}, {s1} kn {cpa2} nm {t1} min"},
        {"tutorial/lesson7", "CloseQuarters", 1,
         "{b}° at only {r1} miles, closing at {srm0} knots: CPA {cpa2} miles"},
    };
    const QRegularExpression field("\\{([a-z]+)(\\d?)\\}");
    for (const auto& q : quotes) {
        SCOPED_TRACE(q.demo);
        Demo(q.demo);
        Run("mnuBearingCourse");
        Run("mnuNorthup"); // the cursor reads true bearings north-up
        auto figures = CpaData(q.slot);
        std::tie(figures["b"], figures["r"]) = Cursor(q.slot);
        for (QString phrase : QString(q.phrases).split('|')) {
            for (auto m = field.match(phrase); m.hasMatch(); m = field.match(phrase))
                phrase.replace(m.capturedStart(), m.capturedLength(),
                               Fig(figures.at(m.captured(1)),
                                   m.captured(2).isEmpty() ? -1 : m.captured(2).toInt()));
            Says(QString("docs/%1.htm").arg(q.file), phrase);
        }
    }
}

// Lesson 1: the EBL held round onto the echo and the VRM moved out to it, in keys mode.
TEST_F(Walkthrough, LessonOneMeasuresWithEblAndVrm) {
    const QString lesson = "docs/tutorial/lesson1.htm";
    Demo("HeadOn");
    Says(lesson, "Press " + Find<QAbstractButton>("cmdRangeUp")->text() + " for the 24-mile");
    Click("cmdRangeUp");
    EXPECT_EQ(display.Tick.Range, 24.0);
    Click("optKeysMode");
    Click("cmdEBL");
    float bearing = 0;
    double distance = 0;
    mv::GetVector(sim.Vessels.VesselPos[0], sim.Vessels.VesselPos[1], bearing, distance);
    const float relative = bearing - sim.Vessels.Vessel[0].Heading;
    Tap(Qt::Key_Right, [&] { return std::fabs(display.EBLBearing - relative) < 0.5f; });
    const QString rel = Fig(QString::fromStdString(Item(mv::item::lblCRTEBL)), -1);
    Click("cmdHeading"); // Bearings: RELATIVE to COURSE
    const QString crs = Fig(QString::fromStdString(Item(mv::item::lblCRTEBL)), -1);
    Click("cmdEBL"); // the arrow keys now move the VRM alone
    Click("cmdVRM");
    Tap(Qt::Key_Up, [&] { return display.VRMRange >= distance - 0.05; });
    Says(lesson, "B bears " + crs + "° true, which is " + rel + "° relative");
    Says(lesson, "relative (" + crs + " - " +
                     QString::number(sim.Vessels.Vessel[0].Heading, 'f', 0).rightJustified(3, '0') +
                     ")");
    Says(lesson, "), at " + Fig(QString::fromStdString(Item(mv::item::lblCRTVRM)), 1) + " miles");
}

// Lesson 5: each action of the table ordered at 12:06 after a Repeat, as written, and the CPA
// after it read in Final data.
TEST_F(Walkthrough, OrdersGoInAsTheTextsSayAndFinalDataGivesTheirCpa) {
    const QString lesson = "docs/tutorial/lesson5.htm";
    const struct {
        const char* row;
        const char* mode;
        const char* figure;
    } actions[] = {{"Alter to 030", "cmdTurnToCourse", "030"},
                   {"Alter to 060", "cmdTurnToCourse", "060"},
                   {"Alter to 090", "cmdTurnToCourse", "090"},
                   {"Reduce to 6 knots", "cmdSpeed", "6"}};
    Demo("Crossing");
    for (const auto& a : actions) {
        SCOPED_TRACE(a.row);
        Click("cmdRepeat");
        if (!exercise->isPaused()) Click("cmdPause");
        RunTo("12:06:00");
        Order(0, a.mode, a.figure);
        auto data = CpaData(1, true);
        Says(lesson, QString(a.row) + " about " + Fig(data["cpa"], 1) + " miles " +
                         Fig(data["t"], 0) + " min");
    }
}

// Lesson 3's two plotted positions six minutes apart, with the plot at 6 minutes.
TEST_F(Walkthrough, LessonThreePlotsTwoPositionsSixMinutesApart) {
    const QString lesson = "docs/tutorial/lesson3.htm";
    Demo("Crossing");
    Run("mnuBearingCourse");
    const auto o = Cursor(1);
    Click("cmdPlot");
    for (int i = 0; i < 8 && Item(mv::item::lblPlot) != "Plot 6 minutes"; ++i)
        Click("cmdFreq");
    ASSERT_EQ(Item(mv::item::lblPlot), "Plot 6 minutes");
    RunTo("12:06:00");
    const auto a = Cursor(1);
    Says(lesson, "O = " + Fig(o.first, -1) + "°, " + Fig(o.second, 1) +
                     " miles and A = " + Fig(a.first, -1) + "°, " + Fig(a.second, 1) + " miles");
}

// Lesson 4: two sightings copied from the EBL and VRM into the CPA computer, and computed.
TEST_F(Walkthrough, LessonFourComputesFromTwoCopiedSightings) {
    const QString lesson = "docs/tutorial/lesson4.htm";
    const struct {
        const char* demo;
        const char* course;
    } tests[] = {{"ArpaTest3", "her true course about "},
                 {"ArpaTest4", "B's true course is now about "}};
    for (const auto& t : tests) {
        SCOPED_TRACE(t.demo);
        Demo(t.demo);
        Run("mnuCPAComputer");
        QWidget* w = panel().cpaComputer();
        ASSERT_NE(w, nullptr);
        Cursor(1); // a cursor click lays the EBL and VRM on the echo
        Click("cmdCopyEBLVRM(0)", w);
        RunTo("12:06:00");
        Cursor(1);
        Click("cmdCopyEBLVRM(1)", w);
        Says(lesson, "press " + Find<QAbstractButton>("cmdCompute", w)->text() +
                         ": it takes your own course and speed");
        Click("cmdCompute", w);
        // A cursor laid by hand is good to a pixel: the text's "about" allows for it.
        const QString words = Words(lesson);
        const auto rel = QRegularExpression("relative motion (\\d+)° at (\\d+) knots").match(words);
        const auto m =
            QRegularExpression(QString(t.course) + "(\\d+)° at ([\\d.]+) knots").match(words);
        ASSERT_TRUE(m.hasMatch() && rel.hasMatch());
        const struct {
            const char* readout;
            QString text;
            double tolerance;
        } figures[] = {{"lblDRM", rel.captured(1), 1.0},
                       {"lblSRM", rel.captured(2), 1.0},
                       {"lblCourse", m.captured(1), 2.0},
                       {"lblSpeed", m.captured(2), 0.5}};
        for (const auto& f : figures)
            EXPECT_NEAR(Fig(Text(f.readout, w), -1).toDouble(), f.text.toDouble(), f.tolerance)
                << f.readout;
        Click("cmdClose", w);
    }
}

// Lesson 10: every trial the lesson makes at 12:03 on Crossing, and the order executed from
// it, give the figures it quotes.
TEST_F(Walkthrough, LessonTenTriesAlterationsAndExecutesOne) {
    const QString lesson = "docs/tutorial/lesson10.htm";
    Demo("Crossing");
    Run("mnuT(4)");
    RunTo("12:03:00");
    auto data = CpaData(1);
    Says(lesson, "her CPA is " + Fig(data["cpa"], 2) + " nm in " + Fig(data["t"], 1) + " minutes");
    Run("mnuTrialManeuver");
    QWidget* w = &console->trial();
    Says(lesson, "The fields start at your course " + Text("txtCourse", w) + ", your speed " +
                     Text("txtSpeed", w) + " and a delay of " + Text("txtDelay", w));
    const auto trial = [&](const char* course, const char* speed, const char* delay) {
        Type(Find<QLineEdit>("txtCourse", w), course);
        Type(Find<QLineEdit>("txtSpeed", w), speed);
        Type(Find<QLineEdit>("txtDelay", w), delay);
        Click("cmdShowTrial", w);
        return std::pair{Fig(Text("lblTrial(0,3)", w), 2), Fig(Text("lblTrial(0,4)", w), 1)};
    };
    auto [cpa, t] = trial("030", "12", "0");
    Says(lesson, "trial CPA: " + cpa + " nm in " + t + " min");
    std::tie(cpa, t) = trial("060", "12", "0");
    Says(lesson, "Update Trial: " + cpa + " nm in " + t + " min");
    Says(lesson, "Try 090: " + trial("090", "12", "0").first + " nm");
    Says(lesson, "the trial CPA falls to " + trial("060", "12", "3").first +
                     " nm; with 6 minutes, to " + trial("060", "12", "6").first + " nm");
    std::tie(cpa, t) = trial("000", "6", "0");
    Says(lesson, "delay 0 gives " + cpa + " nm in " + t + " min");
    trial("060", "12", "0");
    Click("cmdExecute", w);
    RunTo("12:09:00");
    data = CpaData(1);
    Says(lesson, "reads " + Fig(data["cpa"], 2) + " nm in " + Fig(data["t"], 1) + " min");
}

// Lesson 11: the two index lines laid with the keys, the passing distances and times they
// promise, and a line laid through the buoy's echo.
TEST_F(Walkthrough, LessonElevenLaysIndexLinesAgainstTheFixedEchoes) {
    const QString lesson = "docs/tutorial/lesson11.htm";
    Demo("ParallelIndex");
    Run("mnuIndexLines");
    QWidget* w = &console->indexLines();
    const auto lay = [&](int line, const char* bearing, const char* distance, const char* side) {
        Type(Find<QLineEdit>(QString("txtBearing(%1)").arg(line), w), bearing);
        Type(Find<QLineEdit>(QString("txtOffset(%1)").arg(line), w), distance);
        Find<QComboBox>(QString("cboSide(%1)").arg(line), w)->setCurrentText(side);
        Find<QAbstractButton>(QString("chkIndexLine(%1)").arg(line), w)->setChecked(true);
    };
    lay(0, "000", "2", "Right");
    lay(1, "000", "1.5", "Left");
    Click("cmdApply", w);
    const auto legend = [this](int line) {
        return QString::fromStdString(Item(mv::item::lblIndex(line))).simplified();
    };
    Says(lesson, "reads " + legend(0) + " and " + legend(1) + ".");
    const auto targets = mv::PresentTargets(sim.Vessels, mv::BearingMode::Course);
    for (const auto& [slot, what] :
         {std::pair{1, "pass the buoy"}, std::pair{2, "and the headland"}}) {
        auto data = CpaData(slot);
        // The time of the CPA to the nearest minute, from the TCPA before it is rounded.
        const double tcpa = targets.at(static_cast<size_t>(slot - 1)).Present.TCPA;
        const QString at = QTime(12, 0).addSecs(qRound(tcpa) * 60).toString("hh:mm");
        Says(lesson, QString("%1 %2 miles off at about %3").arg(what, Fig(data["cpa"], 2), at));
    }
    Click("cmdRepeat");
    Cursor(1);
    Type(Find<QLineEdit>("txtBearing(2)", w), "000");
    Click("cmdThroughCursor(2)", w);
    // Laid through the pixel clicked: the buoy's passing distance within a pixel or two.
    EXPECT_NEAR(Text("txtOffset(2)", w).toDouble(), 2.00, 0.03);
    Says(lesson, "its distance reads 2.00 (give or take a pixel's worth), side " +
                     Find<QComboBox>("cboSide(2)", w)->currentText());
}

// The instructor's note in a demo's description, done as written at the time it gives.
TEST_F(Walkthrough, TheInstructorAltersTheTargetAsTheDemoSays) {
    Demo("AlteringTarget");
    const auto m =
        QRegularExpression("clock shows (\\d\\d:\\d\\d:\\d\\d).*type (\\d+) as her new course")
            .match(QString::fromStdString(sim.Description));
    ASSERT_TRUE(m.hasMatch());
    RunTo(m.captured(1));
    Order(1, "cmdTurnToCourse", m.captured(2));
    EXPECT_EQ(sim.Vessels.Vessel[1].NewHeading, m.captured(2).toFloat());
}

// The README's first exercise, step by step through the commands a student gives, each step
// showing what the README says the student sees.
TEST(WalkthroughReadme, TheFirstExerciseGoesAsTheReadmeSays) {
    QTemporaryDir dir;
    mv::test::CopyShippedData(dir.path());
    mv::ScriptedDialogs dialogs;
    mv::Application app(dir.path().toStdString(), dialogs);
    ASSERT_TRUE(app.Start());
    mv::Exercise& e = app.exercise();
    const auto& sim = app.simulation();
    auto& d = app.display();
    QWidget* console = &app.console();
    const auto run = [&](const char* command) { ASSERT_TRUE(e.commands().Trigger(command)); };
    const auto text = [&](const char* name) {
        return mv::test::Find<QLabel>(console, name)->text();
    };
    // 1. Start: Default at x2 on the 12-mile scale, A at the centre with B, C and D, the EBL at
    // 030 and the VRM at 3 nm, and the seven functions on, their buttons held in.
    EXPECT_EQ(sim.Clock.TimeFactor, 2);
    EXPECT_EQ(d.Tick.Range, 12.0f);
    EXPECT_EQ(sim.Vessels.OwnVessel, 0);
    EXPECT_EQ(sim.Vessels.NumVessels, 4);
    EXPECT_EQ(d.EBLBearing, 30.0f);
    EXPECT_EQ(d.VRMRange, 3.0f);
    for (const char* on :
         {"cmdRR", "cmdSHL", "cmdNav", "cmdEBL", "cmdVRM", "cmdPlot", "cmdIdentify"})
        EXPECT_TRUE(mv::test::Find<QAbstractButton>(console, on)->isChecked()) << on;
    // The manual's first page of use says the same, and its first step stops the clock.
    const auto* factor = mv::test::Find<QComboBox>(&app.mainWindow(), "cboTimeFactor");
    const QString manual = Words("docs/manual/getting_started.htm");
    EXPECT_TRUE(manual.contains("Press " +
                                mv::test::Find<QAbstractButton>(console, "cmdPause")->text() +
                                ". Nothing moves"));
    EXPECT_TRUE(manual.contains("loads the demo Default (\"" + QString::fromStdString(sim.Title) +
                                "\") on the 12-mile scale, with the EBL, VRM and range rings on, "
                                "and the clock running at time factor " +
                                factor->currentText()));
    run("mnuPause");
    EXPECT_TRUE(e.isPaused());
    // 2. Plot: a cursor click on B reads 045 degrees, 6 nm.
    run("mnuCursorMode");
    // A click on B's echo, in the picture's world units (east, north).
    const mv::PointD b = sim.Vessels.VesselPos[1];
    app.console().pictureWidget()->tool()->press(b.Y, b.X, Qt::LeftButton);
    EXPECT_NEAR(d.EBLBearing, 45.0f, 1.0f);
    EXPECT_NEAR(d.VRMRange, 6.0f, 0.1f);
    EXPECT_TRUE(d.Tick.PlotOn);
    // 3. CPA info, B: CPA 0.0 nm in 21 minutes.
    run("mnuCPAVessel(1)");
    QWidget* w = mv::test::Find(console, "frmManeuver");
    EXPECT_EQ(Fig(text("lblCPA"), 1) + " nm in " + Fig(text("lblTCPA"), 0) + " minutes",
              "0.0 nm in 21 minutes");
    QTest::mouseClick(mv::test::Find<QAbstractButton>(w, "cmdCPAClose"), Qt::LeftButton);
    // 4. Maneuver, A, Turn to Course, 060, Do it: after the turn B passes clear.
    run("mnuManeuverVessel(0)");
    QTest::mouseClick(mv::test::Find<QAbstractButton>(w, "cmdTurnToCourse"), Qt::LeftButton);
    QTest::keyClicks(w->focusWidget(), "060");
    QTest::mouseClick(mv::test::Find<QAbstractButton>(w, "cmdExecute"), Qt::LeftButton);
    EXPECT_EQ(sim.Vessels.Vessel[0].NewHeading, 60.0f);
    run("mnuPause");
    for (int t = 0; t < 200 && sim.Vessels.Vessel[0].Heading < 59.5f; ++t)
        e.tmrSim_Timer();
    run("mnuCPAVessel(1)");
    QTest::mouseClick(mv::test::Find<QAbstractButton>(w, "optFinalData"), Qt::LeftButton);
    EXPECT_GT(Fig(text("lblCPA"), 2).toDouble(), 1.0);
    // 5. The Trial Maneuver is there, and the aids are off at the start.
    EXPECT_TRUE(e.commands().find("mnuTrialManeuver")->enabled());
    EXPECT_FALSE(app.console().targetDataShown());
}

// Lesson 12: the exercise opened from the menu, every figure handed in at its question's time,
// the exercise ended by the student; the results, the record and the report are kept together
// and the report is on the screen.
TEST(WalkthroughExam, AnExerciseTakenEndsWithItsResultsAndReport) {
    QTemporaryDir dir;
    mv::test::CopyShippedData(dir.path());
    qputenv("MAROVANE_RUNS", dir.filePath("runs").toUtf8());
    qputenv("MAROVANE_RESULTS", dir.filePath("results").toUtf8());
    mv::ScriptedDialogs dialogs;
    mv::Application app(dir.path().toStdString(), dialogs);
    ASSERT_TRUE(app.Start());
    mv::Exercise& e = app.exercise();
    dialogs.texts = {dir.filePath("Exam2-SetAndDrift.toml"), "Ann"};
    ASSERT_TRUE(e.commands().Trigger("mnuOpenExercise"));
    ASSERT_NE(e.assessed(), nullptr);
    const mv::AssessedExercise exam = *e.assessed();
    for (size_t q = 0; q < exam.Questions.size(); ++q) {
        while (e.simulation().Clock.SimTime < exam.Questions[q].At - 0.5 / 86400)
            e.tmrSim_Timer();
        // The first question's time opens the answer form on it, in its dock on the console
        // (not shown here, as no start-up put it on a screen).
        auto* form = app.console().findChild<mv::AnswerForm*>("frmAnswers");
        ASSERT_TRUE(form && form->isVisibleTo(&app.console()));
        EXPECT_EQ(mv::test::Find<QComboBox>(form, "cboQuestion")->currentIndex(), 0);
        std::vector<mv::Answer> answers;
        for (const mv::GradeColumn& c : mv::GradeColumns(exam, e.truths(), e.simulation()))
            if (c.Question == q) {
                const mv::Truth& t = e.truths()[q];
                const mv::TargetTruth* target = t.Of(c.Vessel);
                const double value =
                    c.Asked == mv::Figure::Set     ? t.Current.Set
                    : c.Asked == mv::Figure::Drift ? t.Current.Drift
                    : c.Asked == mv::Figure::Cpa   ? target->Cpa.CPA
                    : c.Asked == mv::Figure::Tcpa  ? target->Cpa.TCPA
                    : c.Asked == mv::Figure::Course
                        ? (exam.Questions[q].OverGround ? target->Ground : target->Water).Course
                    : c.Asked == mv::Figure::Speed
                        ? (exam.Questions[q].OverGround ? target->Ground : target->Water).Speed
                        : target->Aspect;
                answers.push_back({q, c.Vessel, c.Asked, value});
            }
        e.HandIn(answers);
    }
    ASSERT_TRUE(e.AllAnswered());
    dialogs.answers = {mv::Dialogs::Answer::Yes};
    ASSERT_TRUE(e.commands().Trigger("mnuEndExercise"));
    EXPECT_EQ(e.endedBy(), "ended by the student");

    const auto& grading = app.results().grading();
    ASSERT_TRUE(grading && app.results().record());
    EXPECT_EQ(grading->Total.Got, grading->Total.OutOf);
    QString pdf = app.results().path();
    pdf.replace(".json", ".pdf");
    QFile report(pdf);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << pdf.toStdString();
    EXPECT_TRUE(report.read(4) == "%PDF");
    EXPECT_TRUE(QFileInfo::exists(QString(pdf).replace(".pdf", ".mvrun")));
    bool shown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        shown = shown || (w->objectName() == "frmReport" && w->isVisible());
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Words("docs/tutorial/lesson12.htm").contains("Simulator > End Exercise"));
}

} // namespace
