// Hostile input through the real windows: letters, signs, pasted text, very long numbers,
// 1e308 and empty fields, typed and pasted into every numeric field of every dialog, then the
// dialog's action pressed. Each case is either kept out by the key filter, answered with a
// message that leaves the running scenario as it was, or taken as a number the dialog allows;
// none gives NaN, infinity or a vessel out of the dialog's limits.

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
#include <vector>

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

// Each dialog's numeric fields and the button pressed after the entry.
const struct {
    const char *window, *action;
    std::vector<const char*> fields;
} kDialogs[] = {
    {"frmManeuver", "cmdExecute", {"txtCourse", "txtTurnLeft", "txtTurnRight", "txtSpeed"}},
    {"frmCPAComputer",
     "cmdCompute",
     {"txtHour(0)", "txtMinute(1)", "txtSecond(0)", "txtRange(1)", "txtBearing(0)"}},
    {"frmSetTargets",
     "cmdRun",
     {"txtTargets", "txtHeading(0)", "txtSpeed(0)", "txtHeading(1)", "txtSpeed(1)", "txtBearing(1)",
      "txtRange(1)"}},
    {"frmRandom", "cmdRun", {"txtExercise"}},
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
            const QStringList texts = QString("12 00 00 8 045 12 06 00 6 045").split(' ');
            const char* parts[] = {"txtHour", "txtMinute", "txtSecond", "txtRange", "txtBearing"};
            for (int k = 0; k < 10; ++k)
                Find<QLineEdit>(QString("%1(%2)").arg(parts[k % 5]).arg(k / 5), panel.cpaComputer())
                    ->setText(texts[k]);
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

TEST_F(HostileInput, EveryNumericFieldOfEveryDialog) {
    for (const auto& d : kDialogs)
        for (const char* name : d.fields)
            for (const Input& in : kInputs) {
                const std::string id = std::string(d.window) + " " + name + ", " + in.name;
                SCOPED_TRACE(id);
                QWidget* w = Prepare(d.window);
                ASSERT_TRUE(w && w->isVisible());
                auto* field = Find<QLineEdit>(name, w);
                auto* action = Find<QPushButton>(d.action, w);
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
                // A count field answers as it changes; the action's own answer comes after.
                EXPECT_TRUE(dialogs.messages().isEmpty() || sim.Vessels.Vessel == before.Vessel);
                dialogs.shown.clear();
                if (action->isEnabled()) QTest::mouseClick(action, Qt::LeftButton);

                ASSERT_TRUE(Finite(sim.Vessels));
                if (!dialogs.messages().isEmpty()) {
                    // Said, and nothing else happened: the dialog stays, the scenario is as it was.
                    EXPECT_TRUE(w->isVisible());
                    EXPECT_EQ(sim.Vessels.Vessel, before.Vessel);
                    EXPECT_EQ(sim.Vessels.VesselPos, before.VesselPos);
                    EXPECT_EQ(sim.Title, title);
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
                w->hide();
                // A fresh start for the next case when the dialog ran a new scenario.
                if (sim.Title != title) Start();
                exercise->SetPaused(true);
            }
}

} // namespace
