// Hostile input through the real windows: letters, signs, pasted text, very long numbers,
// 1e308 and empty fields, typed and pasted into every numeric field of every dialog, then the
// dialog's action pressed. Each case is either kept out by the key filter, answered with a
// message that leaves the running scenario as it was, or taken as a number the dialog allows;
// none gives NaN, infinity or a vessel out of the dialog's limits. The outcomes are printed.

#include "app/cpa_computer_window.h"
#include "app/maneuver_window.h"
#include "app/random_window.h"
#include "app/set_targets.h"
#include "app/traffic_selector.h"
#include "app/vessel_panel.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>

#include <cmath>
#include <cstdio>

namespace {

const QString kLong = QString(400, '9');

struct Input {
    const char* name;
    QString text;
    bool pasted; // through the clipboard (no key filter), else typed key by key
};

const Input kInputs[] = {
    {"letters typed", "abc", false},
    {"signs typed", "-+5", false},
    {"1e308 typed", "1e308", false},
    {"400 digits typed", kLong, false},
    {"empty", "", false},
    {"letters pasted", "twelve knots", true},
    {"sign pasted", "-5", true},
    {"1e308 pasted", "1e308", true},
    {"-1e308 pasted", "-1e308", true},
    {"400 digits pasted", kLong, true},
    {"blank and text pasted", " 12 \n34", true},
};

struct Field {
    const char* window; // frmManeuver, frmCPAComputer, frmSetTargets, frmRandom
    const char* name;
    const char* action; // the button pressed after the entry
};

const Field kFields[] = {
    {"frmManeuver", "txtCourse", "cmdExecute"},
    {"frmManeuver", "txtTurnLeft", "cmdExecute"},
    {"frmManeuver", "txtTurnRight", "cmdExecute"},
    {"frmManeuver", "txtSpeed", "cmdExecute"},
    {"frmCPAComputer", "txtHour(0)", "cmdCompute"},
    {"frmCPAComputer", "txtMinute(1)", "cmdCompute"},
    {"frmCPAComputer", "txtSecond(0)", "cmdCompute"},
    {"frmCPAComputer", "txtRange(1)", "cmdCompute"},
    {"frmCPAComputer", "txtBearing(0)", "cmdCompute"},
    {"frmSetTargets", "txtTargets", "cmdRun"},
    {"frmSetTargets", "txtHeading(0)", "cmdRun"},
    {"frmSetTargets", "txtSpeed(0)", "cmdRun"},
    {"frmSetTargets", "txtHeading(1)", "cmdRun"},
    {"frmSetTargets", "txtSpeed(1)", "cmdRun"},
    {"frmSetTargets", "txtBearing(1)", "cmdRun"},
    {"frmSetTargets", "txtRange(1)", "cmdRun"},
    {"frmRandom", "txtExercise", "cmdRun"},
};

bool Finite(const mv::VesselTables& t) {
    for (size_t i = 0; i < static_cast<size_t>(t.NumVessels); ++i)
        for (double x : {double(t.Vessel[i].Heading), double(t.Vessel[i].Speed),
                         double(t.Vessel[i].NewSpeed), t.VesselPos[i].X, t.VesselPos[i].Y})
            if (!std::isfinite(x)) return false;
    return true;
}

class HostileInput : public mv::test::ExerciseFixture {
  protected:
    void Start() {
        LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6", "LARGE, 270, 12, 300, 9"});
        exercise->SetPaused(true); // no tick between a case and its check
        sim.Vessels.Vessel[0].Speed = sim.Vessels.Vessel[0].NewSpeed = 12.0f;
    }
    void SetUp() override {
        ExerciseFixture::SetUp();
        Start();
    }

    // The window of a field, opened and filled with sensible entries but the one under test.
    QWidget* Prepare(const QString& window) {
        auto& panel = *console->vesselPanel();
        if (window == "frmManeuver") {
            panel.optManeuver_Click();
            panel.cmdVessel_Click(1);
            for (const char* n : {"txtCourse", "txtTurnLeft", "txtTurnRight", "txtSpeed"})
                Find<QLineEdit>(n, &panel.maneuverWindow())->clear();
            return &panel.maneuverWindow();
        }
        if (window == "frmCPAComputer") {
            panel.ShowCPAComputer();
            // Sightings at 12:00:00 and 12:06:00, 8 and 6 nm on 045.
            int k = 0;
            for (const char* text : {"12", "00", "00", "8", "045", "12", "06", "00", "6", "045"}) {
                const char* parts[] = {"txtHour", "txtMinute", "txtSecond", "txtRange",
                                       "txtBearing"};
                Find<QLineEdit>(QString("%1(%2)").arg(parts[k % 5]).arg(k / 5), panel.cpaComputer())
                    ->setText(text);
                ++k;
            }
            return panel.cpaComputer();
        }
        if (window == "frmSetTargets") {
            console->traffic().Choose(mv::ScenarioSource::OwnTargets);
            return &console->traffic().setTargets();
        }
        console->traffic().Choose(mv::ScenarioSource::Random);
        Find<QLineEdit>("txtExercise", &console->traffic().randomTargets())->setText("4711");
        return &console->traffic().randomTargets();
    }
};

// Each case's outcome is printed, so a run shows how every field answers.
TEST_F(HostileInput, EveryNumericFieldOfEveryDialog) {
    for (const Field& f : kFields) {
        for (const Input& in : kInputs) {
            const std::string id = std::string(f.window) + " " + f.name + ", " + in.name;
            SCOPED_TRACE(id);
            QWidget* w = Prepare(f.window);
            ASSERT_TRUE(w && w->isVisible());
            auto* field = Find<QLineEdit>(f.name, w);
            auto* action = Find<QPushButton>(f.action, w);
            ASSERT_TRUE(field && action);
            const mv::VesselTables before = sim.Vessels;
            const std::string title = sim.Title;
            dialogs.shown.clear();

            field->clear();
            if (in.pasted) {
                QApplication::clipboard()->setText(in.text);
                field->paste();
            } else {
                QTest::keyClicks(field, in.text);
            }
            std::string outcome = field->text() != in.text ? "filtered, " : "";
            // A count field answers as it changes; the action's own answer comes after.
            if (!dialogs.messages().isEmpty()) {
                outcome += "said on entry \"" + dialogs.messages().back().toStdString() + "\", ";
                EXPECT_EQ(sim.Vessels.Vessel, before.Vessel);
            }
            dialogs.shown.clear();
            const bool enabled = action->isEnabled();
            if (enabled) QTest::mouseClick(action, Qt::LeftButton);

            ASSERT_TRUE(Finite(sim.Vessels));
            if (const QStringList said = dialogs.messages(); !said.isEmpty()) {
                outcome += "refused: \"" + said.back().toStdString() + "\"";
                // Said, and nothing else happened: the dialog stays, the scenario is as it was.
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(sim.Vessels.Vessel, before.Vessel);
                EXPECT_EQ(sim.Vessels.VesselPos, before.VesselPos);
                EXPECT_EQ(sim.Title, title);
            } else {
                outcome += !enabled ? "action stays disabled"
                           : sim.Title != title || sim.Vessels.Vessel != before.Vessel
                               ? "taken as a number in range"
                               : "done, nothing changed";
            }
            for (QLabel* l : w->findChildren<QLabel*>())
                EXPECT_FALSE(l->text().contains("nan", Qt::CaseInsensitive) ||
                             l->text().contains("inf", Qt::CaseInsensitive))
                    << l->objectName().toStdString();
            // Whatever was taken lies within the dialogs' limits.
            for (size_t i = 0; i < static_cast<size_t>(sim.Vessels.NumVessels); ++i) {
                const auto& v = sim.Vessels.Vessel[i];
                EXPECT_TRUE(v.NewHeading >= 0 && v.NewHeading < 360) << v.NewHeading;
                EXPECT_TRUE(v.NewSpeed >= 0.0f && v.NewSpeed < 100.0f) << v.NewSpeed;
            }
            std::printf("%-52s %.160s\n", id.c_str(), outcome.c_str());
            w->hide();
            // A fresh start for the next case when the dialog ran a new scenario.
            if (sim.Title != title) Start();
            exercise->SetPaused(true);
        }
    }
}

} // namespace
