// A recorded run replays beside the running exercise: its picture puts every echo where the
// student saw it, the timeline and the event list move through it, and it exports its
// picture, its tracks and its events, changing nothing in the exercise.

#include "app/replay_window.h"
#include "core/record/run_reader.h"
#include "gui/radar_aids.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"

#include <QComboBox>
#include <QListWidget>
#include <QSlider>

namespace {

using mv::test::ExerciseFixture;

class Replay : public ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        recorder = std::make_unique<mv::RunRecorder>(*exercise, folder.filePath("runs"));
        recorder->setLowSpace(0);
    }
    // An echo's ends as fractions of the picture's width and height, whatever its size.
    QLineF Echo(mv::WorldPictureWidget* view, int slot, const QString& item = {}) {
        const QLineF px =
            view->picture().overlayLine(item.isEmpty() ? mv::item::lneVessel(slot) : item);
        const QSizeF size = view->size();
        return {px.x1() / size.width(), px.y1() / size.height(), px.x2() / size.width(),
                px.y2() / size.height()};
    }
    std::unique_ptr<mv::ReplayWindow> Open() {
        auto read = mv::ReadRunRecord(recorder->currentPath().toStdString());
        EXPECT_TRUE(read.ok()) << read.Error;
        auto w = std::make_unique<mv::ReplayWindow>(
            std::move(*read.Record), recorder->currentPath(), dialogs, mv::DisplayPalette::Day,
            folder.path().toStdString());
        w->show();
        return w;
    }
    std::unique_ptr<mv::RunRecorder> recorder;
};

TEST_F(Replay, EveryEchoStandsWhereTheStudentSawItAtEachMomentOfATurningRun) {
    Load("MEDIUM, 10, 12", {"SMALL, 180, 10, 045, 6", "LARGE, 270, 15, 090, 8"});
    exercise->SetTimeFactor(5);
    Run("mnuPlotOnOff");
    Run("mnuVectorsTrue");
    sim.Vessels.Vessel[0].NewHeading = 60; // the own vessel turns: heads-up, the picture turns
    sim.Maneuvering = sim.Turning = true;
    std::vector<std::array<QLineF, 2>> seen{
        {Echo(console->view().pictureWidget(), 1), Echo(console->view().pictureWidget(), 2)}};
    for (int i = 0; i < 6; ++i) {
        exercise->tmrSim_Timer();
        seen.push_back(
            {Echo(console->view().pictureWidget(), 1), Echo(console->view().pictureWidget(), 2)});
    }
    Run("mnuRangeDown"); // a new range from the next moment on
    exercise->tmrSim_Timer();
    seen.push_back(
        {Echo(console->view().pictureWidget(), 1), Echo(console->view().pictureWidget(), 2)});
    const mv::PointD ownBefore = sim.Vessels.VesselPos[0];
    const double timeBefore = sim.Clock.SimTime;
    const QLineF vector = Echo(console->view().pictureWidget(), 2, mv::item::lneVector(2));

    auto w = Open();
    ASSERT_EQ(w->run().Ticks.size(), seen.size());
    for (size_t k = 0; k < seen.size(); ++k) {
        SCOPED_TRACE(k);
        w->ShowMoment(k);
        for (int v : {1, 2}) {
            const QLineF got = Echo(w->pictureWidget(), v),
                         want = seen[k][static_cast<size_t>(v - 1)];
            EXPECT_NEAR(got.x1(), want.x1(), 1e-9);
            EXPECT_NEAR(got.y2(), want.y2(), 1e-9);
        }
    }
    EXPECT_TRUE(w->picture().isVisible(mv::item::lneVector(2)));
    EXPECT_NEAR(Echo(w->pictureWidget(), 2, mv::item::lneVector(2)).x2(), vector.x2(), 1e-9);
    EXPECT_EQ(sim.Vessels.VesselPos[0], ownBefore); // the exercise is as it was
    EXPECT_EQ(sim.Clock.SimTime, timeBefore);
}

TEST_F(Replay, TheTimelineEventsStepsAndPlayMoveThroughTheRunAndItsExportsAreWritten) {
    LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
    for (int i = 0; i < 5; ++i)
        exercise->tmrSim_Timer();
    exercise->SetPaused(true);
    exercise->SetPaused(false);
    exercise->tmrSim_Timer();
    auto w = Open();
    auto* events = Find<QListWidget>("lstEvents", w.get());
    ASSERT_EQ(events->count(), 3); // the start, the pause and the resume
    EXPECT_TRUE(events->item(1)->text().endsWith("Paused"));
    QTest::mouseClick(events->viewport(), Qt::LeftButton, {},
                      events->visualItemRect(events->item(1)).center());
    EXPECT_EQ(w->moment(), 5u); // the last moment before the pause
    Click("cmdStepBack", w.get());
    EXPECT_EQ(Find<QSlider>("sldTimeline", w.get())->value(), 4);
    Find<QSlider>("sldTimeline", w.get())->setValue(1);
    Click("cmdStepForward", w.get());
    EXPECT_EQ(w->moment(), 2u);
    Find<QComboBox>("cboSpeed", w.get())->setCurrentIndex(6); // x120: a moment every 25 ms
    Click("cmdPlay", w.get());
    QTRY_VERIFY_WITH_TIMEOUT(!w->isPlaying(), 2000); // played to the end, and stopped there
    EXPECT_EQ(w->moment(), 6u);

    const QString picture = folder.filePath("p.png"), tracks = folder.filePath("t.png"),
                  csv = folder.filePath("e.csv");
    ASSERT_TRUE(w->ExportPicture(picture) && w->ExportTracks(tracks) && w->ExportEvents(csv));
    EXPECT_EQ(QImage(picture).size(), w->pictureWidget()->size());
    EXPECT_EQ(QImage(tracks).width(), 1200);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "time,tick,kind,vessel,text\r");
    EXPECT_EQ(lines[2], "12:07:30,5,pause,,Paused\r"); // x30: 90 seconds a moment
    EXPECT_FALSE(w->ExportEvents(folder.filePath("no/such/folder/e.csv")));
    EXPECT_TRUE(Last().text.contains("could not be written"));
}

} // namespace
