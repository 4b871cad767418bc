// ARPA in the program: the alarms stepped by the exercise with no window, the truth's figures
// untouched while ARPA is off, a track acquired at its echo growing its trend and prediction,
// an exercise that gives ARPA only, and the tracks' symbols in the picture.
//
// The encounter, worked by hand: own ship 000 at 12 kn; the target 6 nm on 045 (4.2426 nm
// north and east), steering 270 at 10 kn. Relative velocity (-12 N, -10 E) kn, 15.62 kn.
// CPA = |4.2426 x (-10) - 4.2426 x (-12)| / 15.62 = 8.4853 / 15.62 = 0.543 nm;
// TCPA = (4.2426 x 12 + 4.2426 x 10) / 244 h = 0.3825 h = 22.95 min.

#include "core/record/run_reader.h"
#include "gui/moment_renderer.h"
#include "gui/radar_aids.h"
#include "gui/radar_tracks.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"
#include "tests/support/no_picture.h"

#include <QSignalSpy>

#include <cmath>

namespace mv {
namespace {

constexpr double kCpa = 0.543, kTcpa = 22.95;                 // nautical miles, minutes
constexpr double kTargetNorth = 4.2426, kTargetEast = 4.2426; // from the own ship, nm

// An exercise with no window at all, as a seat without a screen runs it.
class ArpaSession : public testing::Test {
  protected:
    void SetUp() override {
        exercise = std::make_unique<Exercise>(sim, display, dialogs, folder.path().toStdString());
        exercise->setView(&picture);
        QFile file(folder.filePath("Meet.dem"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Meet\r\n 2 \r\nMEDIUM, 000, 12\r\nMEDIUM, 270, 10, 045, 6\r\n");
    }
    void TickFor(double seconds) {
        const double until = sim.Clock.SimTime + seconds / 86400;
        for (int i = 0; i < 1000 && sim.Clock.SimTime < until; ++i)
            exercise->tmrSim_Timer();
    }
    void CursorOnTarget() {
        const PointD own = exercise->ownPos();
        display.CursorNorth = own.X + kTargetNorth;
        display.CursorEast = own.Y + kTargetEast;
    }

    QTemporaryDir folder;
    Simulation sim;
    RadarDisplayState display;
    ScriptedDialogs dialogs;
    NoPicture picture;
    std::unique_ptr<Exercise> exercise;
};

TEST_F(ArpaSession, AlarmRisesOnceWithNoWindowAndArpaOffKeepsTheTruth) {
    display.Aids.Limits.CpaAlarmOn = true;
    display.Aids.Limits.TcpaLimit = 30;
    QSignalSpy raised(exercise.get(), &Exercise::alarmRaised);
    ASSERT_TRUE(exercise->LoadDemo("Meet.dem"));
    EXPECT_EQ(raised.count(), 1); // in danger from the start
    const auto aids = TargetAids(sim.Vessels, display.Aids.VectorMinutes());
    EXPECT_EQ(AlarmList(aids, display.Aids.Alarms),
              std::vector<std::string>{"B  CPA 0.54 nm in 23.0 min"});
    TickFor(30);
    EXPECT_EQ(raised.count(), 1); // a danger that lasts sounds once
    EXPECT_TRUE(exercise->commands().Trigger("mnuAcknowledge"));
    EXPECT_FALSE(exercise->anyAlarmUnacknowledged());
    // ARPA off: nothing is tracked, and acquiring is refused.
    CursorOnTarget();
    EXPECT_FALSE(exercise->commands().Trigger("mnuAcquire"));
    EXPECT_TRUE(exercise->trackViews().empty());
}

TEST_F(ArpaSession, TrackGrowsItsTrendAndPredictionAndItsCpaNearTheTruth) {
    display.Aids.Limits.CpaAlarmOn = true;
    display.Aids.Limits.TcpaLimit = 30;
    ASSERT_TRUE(exercise->LoadDemo("Meet.dem"));
    ASSERT_TRUE(exercise->commands().Trigger("mnuArpa"));
    ASSERT_TRUE(display.Aids.Arpa);
    CursorOnTarget();
    ASSERT_TRUE(exercise->commands().Trigger("mnuAcquire"));
    display.Aids.PickedTracks = {1};

    TickFor(45);
    auto views = exercise->trackViews();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_FALSE(views[0].Trend);
    const TargetDataTexts young = TrackData(views[0]);
    EXPECT_EQ(young.Name, "T1");
    EXPECT_EQ(young.Course, "-");
    EXPECT_EQ(young.CPA, "-");
    // The truth sounds nothing with ARPA on, and a young track is no danger yet.
    EXPECT_FALSE(display.Aids.Alarms.InDanger(1));
    EXPECT_FALSE(exercise->tracking().InDanger(1));

    TickFor(180);
    views = exercise->trackViews();
    ASSERT_EQ(views.size(), 1u);
    ASSERT_TRUE(views[0].Prediction);
    EXPECT_NE(views[0].State, TrackState::Lost);
    const double elapsed = (sim.Clock.SimTime - 0.5) * 1440; // minutes
    EXPECT_NEAR(views[0].Aid.Cpa.CPA, kCpa, 0.3);
    EXPECT_NEAR(views[0].Aid.Cpa.TCPA, kTcpa - elapsed, 1.0);
    EXPECT_TRUE(exercise->tracking().InDanger(1));

    // Cancelled, the track and its alerts go.
    display.CursorNorth += 5; // far off: the picked track is still the one cancelled
    EXPECT_TRUE(exercise->commands().Trigger("mnuCancelTrack"));
    EXPECT_TRUE(exercise->trackViews().empty());
    EXPECT_FALSE(exercise->tracking().InDanger(1));
}

TEST_F(ArpaSession, AnExerciseGivingArpaOnlyKeepsItOn) {
    const std::string text = "[scenario]\n[[scenario.vessel]]\ncourse = 0\nspeed = 12\n"
                             "[[scenario.vessel]]\ncourse = 270\nspeed = 10\nbearing = 45\n"
                             "range = 6\n[allow]\ntracking = \"arpa\"\n";
    ASSERT_TRUE(
        exercise->OpenAssessedExerciseText(text, "Arpa.toml", "Ann", folder.path().toStdString()));
    EXPECT_TRUE(display.Aids.Arpa);
    EXPECT_FALSE(exercise->commands().Trigger("mnuArpa"));
    EXPECT_TRUE(display.Aids.Arpa);
}

// A buoy in a current of 090 at 2 knots: fixed over the ground, so through the water it
// moves 270 at 2 knots. Ground-stabilised its track has no true vector to speak of;
// sea-stabilised its vector runs 270 at 2 knots. The tracker's figures after three minutes
// are within some 0.5 knot and a few degrees of these.
TEST_F(ArpaSession, SeaStabilisedVectorsShowTheCurrentsReverseOnAFixedEcho) {
    const std::string text = "[scenario]\n[[scenario.vessel]]\ncourse = 0\nspeed = 0\n"
                             "[[scenario.vessel]]\ncourse = 270\nspeed = 2\nbearing = 0\n"
                             "range = 3\n[current]\nset = 90\ndrift = 2\n";
    ASSERT_TRUE(
        exercise->OpenAssessedExerciseText(text, "Buoy.toml", "Ann", folder.path().toStdString()));
    ASSERT_TRUE(exercise->commands().Trigger("mnuArpa"));
    const PointD own = exercise->ownPos();
    display.CursorNorth = own.X + 3;
    display.CursorEast = own.Y;
    ASSERT_TRUE(exercise->commands().Trigger("mnuAcquire"));
    TickFor(200);
    auto views = exercise->trackViews();
    ASSERT_EQ(views.size(), 1u);
    ASSERT_TRUE(views[0].Trend);
    EXPECT_LT(views[0].Aid.Speed, 0.5);
    ASSERT_TRUE(exercise->commands().Trigger("mnuStabilisation"));
    EXPECT_TRUE(display.Aids.SeaStabilised);
    views = exercise->trackViews();
    EXPECT_NEAR(views[0].Aid.Course, 270, 8);
    EXPECT_NEAR(views[0].Aid.Speed, 2, 0.5);
    // The vector for 6 minutes: 0.2 nm west of the track.
    EXPECT_NEAR(views[0].Aid.TrueEnd.Y - views[0].Aid.Position.Y, -0.2, 0.05);
    EXPECT_NEAR(views[0].Aid.TrueEnd.X - views[0].Aid.Position.X, 0, 0.05);
}

// The exercise's sensor errors reach the tracker. Own ship 000 at 12 kn, a buoy 4 nm dead
// ahead, no current. A gyro reading 5 degrees high lays each plot off 5 degrees to the right,
// r sin 5 east: as the range closes at 12 kn the buoy seems to go west at 12 sin 5 = 1.05 kn.
// A log reading 10% high runs the own position ahead at 1.2 kn, and the plots with it: the
// buoy seems to go north at 1.2 kn.
TEST_F(ArpaSession, AGyroOrLogErrorGivesAFixedEchoAFalseMotion) {
    const struct {
        const char* radar;
        double speed; // knots
        float course; // degrees true
    } cases[] = {{"", 0, 0}, {"gyro_error = 5\n", 1.05f, 270}, {"log_error = 10\n", 1.2f, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radar);
        const std::string text = std::string("[scenario]\n[[scenario.vessel]]\ncourse = 0\n"
                                             "speed = 12\n[[scenario.vessel]]\ncourse = 0\n"
                                             "speed = 0\nbearing = 0\nrange = 4\n[radar]\n") +
                                 c.radar;
        ASSERT_TRUE(exercise->OpenAssessedExerciseText(text, "Buoy.toml", "Ann",
                                                       folder.path().toStdString()));
        exercise->SetArpa(true);
        const PointD own = exercise->ownPos();
        display.CursorNorth = own.X + 4;
        display.CursorEast = own.Y;
        ASSERT_TRUE(exercise->commands().Trigger("mnuAcquire"));
        TickFor(200);
        const auto views = exercise->trackViews();
        ASSERT_EQ(views.size(), 1u);
        EXPECT_NEAR(views[0].Aid.Speed, c.speed, 0.4);
        if (c.speed > 0) {
            EXPECT_NEAR(std::remainder(views[0].Aid.Course - c.course, 360.0), 0, 15);
        }
        exercise->EndAssessed("ended by the student");
    }
}

// The record keeps what the student saw of the tracks, moment by moment, and every tracker
// event: a track acquired at its echo, then lost when the echo is carried beyond the horizon.
TEST_F(ArpaSession, ARunWithArpaOnRecordsItsTracksAndEvents) {
    std::vector<RunTrack> shown;
    QString path;
    {
        RunRecorder recorder(*exercise, folder.filePath("runs"));
        recorder.setLowSpace(0);
        ASSERT_TRUE(exercise->LoadDemo("Meet.dem"));
        ASSERT_TRUE(exercise->commands().Trigger("mnuArpa"));
        CursorOnTarget();
        ASSERT_TRUE(exercise->commands().Trigger("mnuAcquire"));
        TickFor(90);
        const auto views = exercise->trackViews();
        ASSERT_EQ(views.size(), 1u);
        ASSERT_TRUE(views[0].Trend);
        shown.push_back({1, 1, true, false, false, false, views[0].Aid.Position,
                         views[0].Aid.Course, views[0].Aid.Speed, views[0].Aid.Cpa.CPA,
                         views[0].Aid.Cpa.TCPA});
        sim.Vessels.VesselPos[1] = PointD{exercise->ownPos().X + 60, exercise->ownPos().Y};
        TickFor(60);
        recorder.Settle();
        path = recorder.currentPath();
    }
    const RunReadResult read = ReadRunRecord(path.toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    const RunRecord& r = *read.Record;
    EXPECT_TRUE(r.Ticks.front().Tracks.empty()); // the start, before ARPA was on
    // The moment at 90 seconds holds the track as the picture showed it then.
    const auto at = std::find_if(r.Ticks.begin(), r.Ticks.end(), [](const RunTick& t) {
        return t.SimTime >= 0.5 + 90.0 / 86400 - 1e-9;
    });
    ASSERT_NE(at, r.Ticks.end());
    EXPECT_EQ(at->Tracks, shown);
    EXPECT_EQ(r.Ticks.back().Tracks.at(0).State, 2); // lost at the end
    ASSERT_EQ(r.TrackEvents.size(), 2u);
    EXPECT_EQ(r.TrackEvents[0].Kind, 0);
    EXPECT_EQ(r.TrackEvents[1].Kind, 1);
    EXPECT_EQ(r.TrackEvents[1].Track, 1);
    EXPECT_TRUE(std::any_of(r.Events.begin(), r.Events.end(),
                            [](const RunEvent& e) { return e.Text == "T1 lost"; }));
}

// The debrief draws a recorded moment's tracks with the live picture's symbols. Worked by
// hand: own ship at the origin 000 at 12 kn; track 1 at 3 nm north, 4 nm east, 270 at 10 kn
// over the ground, a minute apart 1/6 nm further east each minute before. A 6-minute true
// vector ends 1 nm west, at (3 N, 3 E); the relative one 1.2 nm further south, at (1.8 N, 3 E).
TEST(ArpaDebrief, ARecordedMomentShowsItsTracksOverTheTruth) {
    RunRecord run;
    run.Vessels = {{0, "A", kMedium}, {1, "B", kMedium}};
    for (int m = 0; m < 4; ++m) {
        RunTick t;
        t.Index = m;
        t.SimTime = 0.5 + m / 1440.0;
        t.Display.NorthUp = true;
        t.Display.Vectors = 2; // true
        t.Display.VectorIndex = 1;
        t.Vessels = {{{0, 0}, 0.0f, 12.0f, 0, 12.0f},
                     {{3, 4.0 - m / 6.0 + 1.0 / 3}, 270.0f, 10.0f}};
        // ARPA on for the first three moments, in danger and not acknowledged; off at the last.
        const RunTrack track{1,      1,     true, true, true, false, {3, 4.0 + (2 - m) / 6.0},
                             270.0f, 10.0f, 0.5,  10.0};
        if (m < 3) t.Tracks = {track};
        run.Ticks.push_back(t);
    }
    WorldPicture picture;
    picture.resize(QSize(400, 400), 1.0);
    MomentRenderer renderer(picture);
    // The vector's ends back in world units: east, north.
    const auto end = [&picture](int which) {
        const QLineF l = picture.overlayLine(item::lneTrackVector(1));
        return picture.toWorld(which == 0 ? l.p1() : l.p2());
    };

    RadarMoment moment = MomentOf(run, 2, {}, DisplayPalette::Day);
    ASSERT_EQ(moment.Tracks.size(), 1u);
    EXPECT_EQ(moment.Tracks[0].Past.size(), 2u); // a minute and two minutes before
    renderer.Render(moment);
    for (const QString& name :
         {item::shpTrack(1), item::ptsTrackPast(1), item::lblTrack(1), item::lneTrackVector(1)})
        EXPECT_TRUE(picture.isVisible(name)) << name.toStdString();
    EXPECT_FALSE(picture.isVisible(item::lneVector(1))); // the truth's vector, with ARPA on
    EXPECT_NEAR(end(0).x(), 4, 1e-6);
    EXPECT_NEAR(end(0).y(), 3, 1e-6);
    EXPECT_NEAR(end(1).x(), 3, 1e-6);
    EXPECT_NEAR(end(1).y(), 3, 1e-6);
    EXPECT_EQ(picture.colour(item::shpTrack(1)), PaletteFor(DisplayPalette::Day).danger);

    run.Ticks[2].Display.Vectors = 1; // relative
    renderer.Render(MomentOf(run, 2, {}, DisplayPalette::Day));
    EXPECT_NEAR(end(1).x(), 3, 1e-6);
    EXPECT_NEAR(end(1).y(), 1.8, 1e-6);

    renderer.Render(MomentOf(run, 3, {}, DisplayPalette::Day));
    EXPECT_FALSE(picture.isVisible(item::shpTrack(1)));
}

class ArpaPicture : public test::ExerciseFixture {};

TEST_F(ArpaPicture, AcquiringDrawsABrokenCircleAndALostTrackACrossedOne) {
    Load("MEDIUM, 000, 12", {"MEDIUM, 270, 10, 045, 6"});
    ASSERT_TRUE(exercise->commands().Trigger("mnuArpa"));
    ASSERT_TRUE(exercise->commands().Trigger("mnuVectorsTrue"));
    const PointD own = exercise->ownPos();
    display.CursorNorth = own.X + kTargetNorth;
    display.CursorEast = own.Y + kTargetEast;
    ASSERT_TRUE(exercise->commands().Trigger("mnuAcquire"));
    const auto visible = [this](const QString& name) {
        return test::Item(console.get(), name, "visible");
    };
    EXPECT_EQ(visible(item::ptsTrackAcquiring(1)), "true");
    EXPECT_EQ(visible(item::shpTrack(1)), "false");
    EXPECT_EQ(visible(item::lneTrackVector(1)), "false");
    EXPECT_EQ(visible(item::lblTrack(1)), "true");
    // The truth's vector is not drawn with ARPA on.
    EXPECT_EQ(visible(item::lneVector(1)), "false");

    // The echo gone (carried beyond the radar horizon): lost within ten scans.
    sim.Vessels.VesselPos[1] = PointD{own.X + 60, own.Y};
    for (int i = 0; i < 20; ++i)
        exercise->tmrSim_Timer();
    EXPECT_EQ(visible(item::shpTrack(1)), "true");
    EXPECT_EQ(visible(item::lneTrackLost(1, 0)), "true");
    EXPECT_EQ(visible(item::lneTrackLost(1, 1)), "true");
    EXPECT_EQ(visible(item::ptsTrackAcquiring(1)), "false");
}

} // namespace
} // namespace mv
