// A recorded run replays beside the running exercise: its picture puts every echo where the
// student saw it, the timeline and the event list move through it, and it exports its
// picture, its tracks and its events, changing nothing in the exercise.

#include "app/application.h"
#include "app/replay_window.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "gui/radar_aids.h"
#include "gui/radar_items.h"
#include "gui/run_tracks.h"
#include "gui/world_picture_widget.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSlider>

#include <cmath>

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

// Through the program's door: the window opens at once, says it is reading, and fills when the
// record has been read; a file that is no record gives its message naming it, and no window.
TEST_F(Replay, OpeningARecordReadsItBesideTheWindowAndARefusalNamesTheFile) {
    LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
    for (int i = 0; i < 4; ++i)
        exercise->tmrSim_Timer();
    QTemporaryDir programDir;
    for (const char* file : {"Yaw.txt", "Default.dem"})
        QFile::copy(QString(MAROVANE_DATA_DIR "/") + file, programDir.filePath(file));
    mv::ScriptedDialogs appDialogs;
    mv::Application app(programDir.path().toStdString(), appDialogs);
    ASSERT_TRUE(app.Start());
    const std::size_t shownBefore = appDialogs.shown.size();

    auto* w = qobject_cast<mv::ReplayWindow*>(app.OpenRun(recorder->currentPath()));
    ASSERT_NE(w, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(w->isFilled(), 10000);
    EXPECT_EQ(w->run().Ticks.size(), 5u);
    EXPECT_TRUE(Find<QLabel>("lblReplayTime", w)->text().contains("moment 1 of 5"));
    EXPECT_TRUE(Find<QSlider>("sldTimeline", w)->isEnabled());
    EXPECT_EQ(appDialogs.shown.size(), shownBefore);

    const QString bad = folder.filePath("not a run.mvrun");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a record at all") > 0);
    file.close();
    QPointer<QWidget> refused = app.OpenRun(bad);
    EXPECT_TRUE(Find<QLabel>("lblReplayTime", refused)->text().startsWith("Reading the record"));
    QTRY_VERIFY_WITH_TIMEOUT(refused.isNull(), 10000);
    ASSERT_EQ(appDialogs.shown.size(), shownBefore + 1);
    EXPECT_TRUE(appDialogs.shown.back().text.contains("not a run.mvrun"));
    QFile kept(bad);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "not a record at all");
    delete w;
}

// Two vessels a mile apart, one sailing east at 12 knots and one turning, for 200 moments of
// 3 seconds, then a repeat that sails the same 200 moments again.
mv::RunRecord RepeatedRun() {
    mv::RunRecord r;
    r.Vessels = {{0, "A", mv::kMedium}, {1, "B", mv::kSmall}};
    for (int k = 0; k < 400; ++k) {
        const int s = k % 200;
        mv::RunTick t;
        t.Index = k;
        t.SimTime = 0.5 + s * 3.0 / 86400;
        t.Vessels.resize(2);
        t.Vessels[0].Pos = {0.0, s * 0.01};
        t.Vessels[1].Pos = {1.0 + 0.3 * std::cos(s / 30.0), 0.3 * std::sin(s / 30.0)};
        r.Ticks.push_back(t);
    }
    return r;
}

double Gap(const mv::PointD& p, const mv::PointD& a, const mv::PointD& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, len = dx * dx + dy * dy;
    const double f =
        len > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len, 0.0, 1.0) : 0;
    return std::hypot(p.X - a.X - f * dx, p.Y - a.Y - f * dy);
}

// The thinned tracks pass within two cells of every position sailed up to the moment, draw
// nothing sailed after it, and keep nothing new for the second pass of a repeat.
TEST(ReplayTrackLines, TheThinnedTrackFollowsEveryPositionSailedAndNothingLater) {
    const mv::RunRecord run = RepeatedRun();
    const mv::TrackLines lines(run, 2048);
    const double cell = lines.side() / 2048 * 2; // a cell's diagonal and half a cell more
    for (std::size_t v = 0; v < 2; ++v) {
        const auto& pieces = lines.pieces(v);
        EXPECT_LT(pieces.back().Moment, 200u); // the repeat's pass is drawn already
        for (const std::size_t upTo : {0u, 1u, 57u, 199u, 200u, 201u, 399u}) {
            SCOPED_TRACE(testing::Message() << "vessel " << v << " up to " << upTo);
            std::vector<std::pair<mv::PointD, mv::PointD>> drawn;
            for (const auto& p : pieces)
                if (p.Moment <= upTo) drawn.emplace_back(p.From, p.To);
            const auto& kept = lines.LastPoint(v, upTo);
            EXPECT_LE(kept.Moment, upTo);
            drawn.emplace_back(kept.Pos, run.Ticks[upTo].Vessels[v].Pos);
            const std::size_t sailed = upTo < 200 ? upTo : 199; // the repeat sails it again
            for (std::size_t k = 0; k <= sailed; ++k) {
                double gap = 1e9;
                for (const auto& [a, b] : drawn)
                    gap = std::min(gap, Gap(run.Ticks[k].Vessels[v].Pos, a, b));
                ASSERT_LE(gap, cell) << "moment " << k;
            }
            // A sails east: nothing drawn east of where she has been.
            for (const auto& [a, b] : drawn)
                ASSERT_TRUE(v == 1 ||
                            std::max(a.Y, b.Y) <= 0.01 * static_cast<double>(sailed) + 1e-12);
        }
    }
}

// 90 seconds a moment, plotting every 3 minutes from the start, a repeat at the fifth moment:
// the marks and the plot clock start again with it.
TEST(ReplayPlotHistory, ARepeatStartsTheMarksAndThePlotClockAgain) {
    mv::RunRecord r;
    r.Vessels = {{0, "A", mv::kMedium}};
    for (int k = 0; k < 8; ++k) {
        mv::RunTick t;
        t.Index = k;
        t.SimTime = 0.5 + (k < 5 ? k : k - 5) * 90.0 / 86400;
        t.Display.PlotOn = true;
        t.Display.PlotFreqIndex = 1;
        t.Vessels.resize(1);
        r.Ticks.push_back(t);
    }
    const mv::PlotHistory plots(r);
    using Moments = std::vector<std::size_t>;
    const struct {
        std::size_t at;
        Moments marks;
        double minutes;
    } cases[]{{0, {0}, 0}, {4, {0, 2, 4}, 6}, {5, {5}, 0}, {6, {5}, 1.5}, {7, {5, 7}, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        EXPECT_EQ(plots.Moments(c.at), c.marks);
        EXPECT_NEAR(plots.TimeAt(c.at) * 1440, c.minutes, 1e-9);
    }
}

} // namespace
