// The radar-course aids through the console: picking an echo for its data, vectors,
// course-up, the alarms and an exercise's permissions.

#include "app/target_data_window.h"
#include "gui/radar_aids.h"
#include "gui/world_picture_widget.h"
#include "tests/support/exercise_fixture.h"
#include "tools/plot/plot_tool.h"

#include <QDir>
#include <QListWidget>

#include <sstream>

namespace {

class RadarAids : public mv::test::ExerciseFixture {
  protected:
    // A click on vessel i's echo where the picture shows it.
    void ClickEcho(int i) {
        const mv::PointD p =
            mv::ToPicture(sim.Vessels, display.Tick, sim.Vessels.VesselPos[static_cast<size_t>(i)]);
        mv::WorldPictureWidget* pic = console->pictureWidget();
        QTest::mouseClick(pic, Qt::LeftButton, {}, pic->picture().toPixel(p.Y, p.X).toPoint());
    }
    QWidget* data() { return &console->targetData(); }
};

TEST_F(RadarAids, PickedDataVectorsCourseUpAndAlarms) {
    // Own 090 at 10 kt; the target 5 nm due north steering 180 at 10 kt: CPA 3.54 nm in 15 min.
    Load("MEDIUM, 90, 10", {"SMALL, 180, 10, 000, 5"});
    for (const QString& n : {mv::item::lneVector(1), mv::item::shpGuardRing, mv::item::shpAlarm(1)})
        EXPECT_EQ(Item(n, "visible"), "false") << n.toStdString(); // every aid off at start
    Run("mnuPickMode");
    ClickEcho(1);
    ASSERT_TRUE(data()->isVisible());
    QStringList row;
    for (int c = 0; c < 7; ++c)
        row << Text(QString("lblTargetData(0,%1)").arg(c), data());
    EXPECT_EQ(row.join(" | "), "B | 5.00 nm | 000 | 180 | 10.0 kn | 3.54 nm | 15.0 min");
    Run("mnuRangeDown"); // the pick survives a range change
    EXPECT_EQ(Text("lblTargetData(0,0)", data()), "B");

    Run("mnuVectorsRelative");
    EXPECT_EQ(Item(mv::item::lneVector(1), "visible"), "true");
    Run("mnuCourseUp");
    EXPECT_EQ(Item("lblMode"), "RM  C UP  RELATIVE");

    dialogs.texts = {"4", "20"};
    Run("mnuAlarmLimits");
    Run("mnuCpaAlarm");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(Find<QListWidget>("lstAlarms", data())->count(), 1);
    exercise->tmrSim_Timer();
    EXPECT_EQ(dialogs.beeps, 1); // once, not at every tick
    Run("mnuAcknowledge");
    EXPECT_EQ(Item(mv::item::shpAlarm(1), "colour"), "#ffbe00");
    EXPECT_FALSE(exercise->commands().Trigger("mnuAcknowledge")); // nothing left to silence

    dialogs.texts = {"4 nm"};
    Run("mnuAlarmLimits");
    EXPECT_TRUE(Last().text.contains("must be a number")) << Last().text.toStdString();
    EXPECT_EQ(display.Aids.Limits.TcpaLimit, 20.0f); // kept

    display.Aids.Allowed.Vectors = false; // an exercise that forbids vectors
    exercise->NotifyChanged();
    EXPECT_FALSE(exercise->commands().Trigger("mnuVectorsTrue"));
}

TEST_F(RadarAids, TheAidsAreDrawnAndAnAlarmAnsweredBeforeTheDataWindowIsEverOpened) {
    // Head-on from 5 nm at a closing speed of 20 kt: CPA 0 in 15 min.
    Load("MEDIUM, 0, 10", {"SMALL, 180, 10, 000, 5"});
    EXPECT_EQ(console->findChild<QWidget*>("frmTargetData"), nullptr);
    Run("mnuVectorsTrue");
    EXPECT_EQ(Item(mv::item::lneVector(1), "visible"), "true");
    dialogs.texts = {"4", "20"};
    Run("mnuAlarmLimits");
    Run("mnuCpaAlarm");
    EXPECT_EQ(dialogs.beeps, 1);
    ASSERT_TRUE(console->targetDataShown());
    EXPECT_EQ(Find<QListWidget>("lstAlarms", data())->count(), 1);
}

TEST_F(RadarAids, DataPanelAgreesWithTheAnswerKeyForEveryShippedDemo) {
    const QDir demos(MAROVANE_DATA_DIR);
    for (const QString& demo : demos.entryList({"*.dem"})) {
        SCOPED_TRACE(demo.toStdString());
        ASSERT_TRUE(exercise->LoadDemo(demos.filePath(demo)));
        exercise->SetTimeFactor(0);
        for (int t = 0; t < 120; ++t) // six minutes at x1
            exercise->tmrSim_Timer();
        display.Aids.Picked.clear();
        for (int i = 1; i < sim.Vessels.NumVessels && i <= 5; ++i)
            display.Aids.TogglePick(i, sim.Vessels.OwnVessel, sim.Vessels.NumVessels);
        exercise->NotifyChanged();
        std::ostringstream out, err;
        ASSERT_EQ(mv::RunPlotTool({"demo", demos.filePath(demo).toStdString(), "--at", "12:06"},
                                  out, err),
                  0);
        // Every figure of a panel row is in the answer key's lines for that target, in order.
        // The panel and the answer key write every figure the same way.
        const QString key = QString::fromStdString(out.str());
        for (size_t r = 0; r < display.Aids.Picked.size(); ++r) {
            QStringList row;
            for (int c : {2, 1, 3, 4, 5, 6, 7, 8}) // the answer key's order
                row << Text(QString("lblTargetData(%1,%2)").arg(r).arg(c), data());
            const QString letter = Text(QString("lblTargetData(%1,0)").arg(r), data());
            QString lines;
            for (const QString& line : key.split('\n'))
                if (line.trimmed().startsWith(letter + " ")) lines += line + " ";
            qsizetype at = 0;
            for (const QString& figure : row) {
                at = lines.indexOf(figure, at) + 1;
                EXPECT_GT(at, 0) << figure.toStdString() << " not in " << lines.toStdString();
            }
        }
    }
}

} // namespace
