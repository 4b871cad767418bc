// Hostile input through the real windows: letters, signs, pasted text, very long numbers,
// 1e308 and empty fields, typed and pasted into every numeric field of every dialog, then the
// dialog's action pressed. Each case is either kept out by the key filter, answered with a
// message that leaves the running scenario as it was, or taken as a number the dialog allows;
// none gives NaN, infinity or a vessel out of the dialog's limits. The outcomes are printed.

#include "aids/cpa_computer_window.h"
#include "aids/maneuver_window.h"
#include "aids/vessel_panel.h"
#include "scenario/random_window.h"
#include "scenario/set_targets.h"
#include "scenario/traffic_selector.h"
#include "tests/support/exercise_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <map>

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
};

const Field kFields[] = {
    {"frmManeuver", "txtCourse"},        {"frmManeuver", "txtTurnLeft"},
    {"frmManeuver", "txtTurnRight"},     {"frmManeuver", "txtSpeed"},
    {"frmCPAComputer", "txtHour(0)"},    {"frmCPAComputer", "txtMinute(1)"},
    {"frmCPAComputer", "txtSecond(0)"},  {"frmCPAComputer", "txtRange(1)"},
    {"frmCPAComputer", "txtBearing(0)"}, {"frmSetTargets", "txtTargets"},
    {"frmSetTargets", "txtHeading(0)"},  {"frmSetTargets", "txtSpeed(0)"},
    {"frmSetTargets", "txtHeading(1)"},  {"frmSetTargets", "txtSpeed(1)"},
    {"frmSetTargets", "txtBearing(1)"},  {"frmSetTargets", "txtRange(1)"},
    {"frmRandom", "txtExercise"},
};

bool Finite(const mv::VesselTables& t) {
    for (int16_t i = 0; i < t.NumVessels; ++i) {
        const auto& v = t.Vessel[static_cast<size_t>(i)];
        const auto& p = t.VesselPos[static_cast<size_t>(i)];
        for (double x : {double(v.Heading), double(v.Speed), double(v.NewSpeed), p.X, p.Y})
            if (!std::isfinite(x)) return false;
    }
    return true;
}

bool Shows(const QString& text) {
    return !text.contains("nan", Qt::CaseInsensitive) && !text.contains("inf", Qt::CaseInsensitive);
}

class HostileInput : public mv::test::ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6", "LARGE, 270, 12, 300, 9"});
        exercise->SetPaused(true); // no tick between a case and its check
        sim.Vessels.Vessel[0].Speed = sim.Vessels.Vessel[0].NewSpeed = 12.0f;
    }

    // The window of a field, opened and filled with sensible entries but the one under test.
    QWidget* Prepare(const Field& f) {
        const QString window = f.window;
        QWidget* w = nullptr;
        if (window == "frmManeuver") {
            auto& panel = *console->vesselPanel();
            panel.optManeuver_Click();
            panel.cmdVessel_Click(1);
            w = &panel.maneuverWindow();
            for (const char* n : {"txtCourse", "txtTurnLeft", "txtTurnRight", "txtSpeed"})
                w->findChild<QLineEdit*>(n)->clear();
        } else if (window == "frmCPAComputer") {
            console->vesselPanel()->ShowCPAComputer();
            w = console->vesselPanel()->cpaComputer();
            const char* values[2][5] = {{"12", "00", "00", "8", "045"},
                                        {"12", "06", "00", "6", "045"}};
            for (int i = 0; i < 2; ++i) {
                int k = 0;
                for (const char* n :
                     {"txtHour", "txtMinute", "txtSecond", "txtRange", "txtBearing"})
                    w->findChild<QLineEdit*>(QString("%1(%2)").arg(n).arg(i))
                        ->setText(values[i][k++]);
            }
        } else if (window == "frmSetTargets") {
            console->traffic().ShowSetTargets();
            w = &console->traffic().setTargets();
        } else {
            console->traffic().ShowRandomTargets();
            w = &console->traffic().randomTargets();
            w->findChild<QLineEdit*>("txtExercise")->setText("4711");
        }
        return w;
    }

    static const char* Action(const QString& window) {
        if (window == "frmManeuver") return "cmdExecute";
        if (window == "frmCPAComputer") return "cmdCompute";
        return "cmdRun";
    }

    void Close(QWidget* w) {
        if (w->isVisible()) w->hide();
    }
};

TEST_F(HostileInput, EveryNumericFieldOfEveryDialog) {
    std::map<std::string, int> tally;
    int cases = 0;
    for (const Field& f : kFields) {
        for (const Input& in : kInputs) {
            const std::string id = std::string(f.window) + " " + f.name + ", " + in.name;
            SCOPED_TRACE(id);
            QWidget* w = Prepare(f);
            ASSERT_TRUE(w && w->isVisible());
            auto* field = w->findChild<QLineEdit*>(f.name);
            ASSERT_NE(field, nullptr);
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
            const bool filtered = field->text() != in.text;
            // A count field answers as it changes; the action's own answer comes after.
            const QStringList onEntry = dialogs.messages();
            dialogs.shown.clear();
            const mv::VesselTables entered = sim.Vessels;
            auto* action = w->findChild<QPushButton*>(Action(f.window));
            ASSERT_NE(action, nullptr);
            const bool enabled = action->isEnabled();
            if (enabled) QTest::mouseClick(action, Qt::LeftButton);

            ASSERT_TRUE(Finite(sim.Vessels));
            std::string outcome = filtered ? "filtered, " : "";
            std::string kind = outcome;
            if (!onEntry.isEmpty()) {
                outcome += "said on entry \"" + onEntry.back().toStdString() + "\", ";
                kind += "said on entry, ";
                EXPECT_EQ(entered.Vessel, before.Vessel);
            }
            const QStringList messages = dialogs.messages();
            if (!messages.isEmpty()) {
                outcome += "refused: \"" + messages.back().toStdString() + "\"";
                kind += "refused with a message";
                // Said, and nothing else happened: the dialog stays, the scenario is as it was.
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(sim.Vessels.Vessel, before.Vessel);
                EXPECT_EQ(sim.Vessels.VesselPos, before.VesselPos);
                EXPECT_EQ(sim.Title, title);
            } else {
                const char* result = !enabled ? "action stays disabled"
                                     : sim.Title != title || sim.Vessels.Vessel != before.Vessel
                                         ? "taken as a number in range"
                                         : "done, nothing changed";
                outcome += result;
                kind += result;
            }
            if (QString(f.window) == "frmCPAComputer") {
                for (QLabel* l : w->findChildren<QLabel*>())
                    EXPECT_TRUE(Shows(l->text())) << l->objectName().toStdString();
            }
            // Whatever was taken lies within the dialogs' limits.
            for (int16_t i = 0; i < sim.Vessels.NumVessels; ++i) {
                const auto& v = sim.Vessels.Vessel[static_cast<size_t>(i)];
                EXPECT_GE(v.NewHeading, 0);
                EXPECT_LT(v.NewHeading, 360);
                EXPECT_GE(v.NewSpeed, 0.0f);
                EXPECT_LT(v.NewSpeed, 100.0f);
            }
            ++cases;
            ++tally[kind];
            std::printf("%-52s %.160s\n", id.c_str(), outcome.c_str());
            Close(w);
            // A fresh start for the next case when the dialog ran a new scenario.
            if (sim.Title != title)
                LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6", "LARGE, 270, 12, 300, 9"});
            exercise->SetPaused(true);
        }
    }
    std::printf("%d cases\n", cases);
    for (const auto& [outcome, n] : tally)
        std::printf("%4d  %s\n", n, outcome.c_str());
}

} // namespace
