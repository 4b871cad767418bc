// Every run is recorded as it goes and reads back to exactly what the simulation had.

#include "core/record/run_reader.h"
#include "session/run_recorder.h"
#include "tests/support/exercise_fixture.h"
#include "tests/support/fog_runs.h"

#include <QDir>
#include <QFile>

namespace {

using mv::test::ExerciseFixture;

class RunRecord : public ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        recorder = std::make_unique<mv::RunRecorder>(*exercise, folder.filePath("runs"));
        recorder->setLowSpace(0);
    }
    struct Seen {
        double time;
        int own;
        std::vector<mv::PointD> pos;
        std::vector<float> heading, speed;
    };
    void Note() {
        Seen s{sim.Clock.SimTime, sim.Vessels.OwnVessel, {}, {}, {}};
        for (int i = 0; i < sim.Vessels.NumVessels; ++i) {
            const auto slot = static_cast<size_t>(i);
            s.pos.push_back(sim.Vessels.VesselPos[slot]);
            s.heading.push_back(sim.Vessels.Vessel[slot].Heading);
            s.speed.push_back(sim.Vessels.Vessel[slot].Speed);
        }
        seen.push_back(s);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            exercise->tmrSim_Timer();
            Note();
        }
    }
    QStringList Runs() const {
        return QDir(folder.filePath("runs")).entryList({"*.mvrun"}, QDir::Files, QDir::Name);
    }
    std::unique_ptr<mv::RunRecorder> recorder;
    std::vector<Seen> seen;
};

// Made at once, and made aside while the moments of the meantime wait for the file.
class EitherWay : public RunRecord, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        RunRecord::SetUp();
        recorder->setMakeAside(GetParam());
    }
};
INSTANTIATE_TEST_SUITE_P(RunRecord, EitherWay, ::testing::Bool());

TEST_P(EitherWay, EveryMomentOfARunWithOrdersAJumpAndARepeatReplaysExactly) {
    Load("MEDIUM, 10, 12", {"SMALL, 180, 10, 045, 6", "LARGE, 270, 15, 090, 8"});
    Note();
    exercise->SetTimeFactor(5); // x60: the turns take a few ticks
    Ticks(4);
    Click("optManeuver");
    Click("cmdVessel(1)");
    QWidget* man = console->findChild<QWidget*>("frmManeuver");
    Find<QLineEdit>("txtCourse", man)->setText("095");
    Find<QLineEdit>("txtSpeed", man)->setText("20");
    Click("cmdExecute", man);
    Ticks(8);
    panel().Choose(panel().optJumpTo(), 2);
    Note();
    Ticks(3);
    panel().Choose(panel().optCPA(), 1);
    exercise->SetPaused(true);
    exercise->SetPaused(false);
    exercise->Repeat();
    Note();
    Ticks(3);
    recorder->Settle();

    const QString path = recorder->currentPath();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFileInfo(path).fileName().endsWith(" Test.mvrun")) << path.toStdString();
    const mv::RunReadResult read = mv::ReadRunRecord(path.toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    const mv::RunRecord& r = *read.Record;
    EXPECT_EQ(r.Info.Title, "Test");
    EXPECT_EQ(r.Info.ScenarioFile, "Test.dem");
    ASSERT_EQ(r.Vessels.size(), 3u);
    EXPECT_EQ(r.Vessels[2].Size, mv::kLarge);
    ASSERT_EQ(r.Ticks.size(), seen.size());
    for (size_t t = 0; t < seen.size(); ++t) {
        SCOPED_TRACE(t);
        const mv::RunTick& got = r.Ticks[t];
        EXPECT_EQ(got.Index, static_cast<int64_t>(t));
        EXPECT_EQ(got.SimTime, seen[t].time);
        EXPECT_EQ(got.OwnVessel, seen[t].own);
        ASSERT_EQ(got.Vessels.size(), 3u);
        for (size_t v = 0; v < 3; ++v) {
            EXPECT_EQ(got.Vessels[v].Pos, seen[t].pos[v]);
            EXPECT_EQ(got.Vessels[v].Heading, seen[t].heading[v]);
            EXPECT_EQ(got.Vessels[v].Speed, seen[t].speed[v]);
        }
    }
    EXPECT_EQ(r.Ticks[5].Vessels[1].NewHeading, 95);
    std::vector<std::string> kinds;
    for (const mv::RunEvent& e : r.Events)
        kinds.push_back(e.Kind);
    const std::vector<std::string> expected{"start",    "time factor", "order",  "jump",
                                            "cpa data", "pause",       "resume", "repeat"};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(r.Events[1].Text, "Time factor x60");
    EXPECT_EQ(r.Events[2].Text, "B ordered to 095 T, 20.0 kn");
    EXPECT_EQ(r.Events[2].Tick, 4); // after the fourth tick
    EXPECT_EQ(r.Events[3].Vessel, 2);
    EXPECT_EQ(r.Orders, (std::vector<mv::RunOrder>{{4, r.Ticks[4].SimTime, 1, 95, 20.0}}));
}

// The first moment is the start as the student first saw it: with the settings that came with
// the start in force (here a time factor and the bearing line), not the scenario's defaults.
TEST_P(EitherWay, TheFirstMomentIsTheStartWithTheSettingsItCameWith) {
    {
        const mv::Exercise::ChangeScope change(*exercise);
        LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
        exercise->SetTimeFactor(5);
        display.EBLOn = true;
        display.EBLBearing = 30.0f;
    }
    exercise->tmrSim_Timer();
    recorder->Settle();
    const auto read = mv::ReadRunRecord(recorder->currentPath().toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    const mv::RunRecord& r = *read.Record;
    ASSERT_EQ(r.Ticks.size(), 2u);
    EXPECT_EQ(r.Ticks[0].SimTime, 0.5);
    EXPECT_EQ(r.Ticks[0].TimeFactor, 60);
    EXPECT_TRUE(r.Ticks[0].Display.EBLOn);
    EXPECT_EQ(r.Ticks[0].Display.EBLBearing, 30.0f);
    ASSERT_EQ(r.Events.size(), 2u);
    EXPECT_EQ(r.Events[1].Kind, "time factor");
    EXPECT_EQ(r.Events[1].Tick, 0);
}

// The exercise's whole text, each answer after the last moment and the ending are rows of the
// record, and the ending is in it for whoever copies the record as the exercise ends.
TEST_P(EitherWay, AnAssessedExerciseKeepsItsTextAnswersAndEndingAsRows) {
    const std::string text = mv::test::FogExercise("\"cpa\", \"aspect\"");
    QFile file(folder.filePath("fog.toml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.c_str());
    file.close();
    ASSERT_TRUE(exercise->OpenAssessedExercise(folder.filePath("fog.toml"), "Ann"));
    exercise->tmrSim_Timer();
    const double handedAt = sim.Clock.SimTime;
    exercise->HandIn({{0, 1, mv::Figure::Cpa, 0.7}, {0, 1, mv::Figure::Aspect, -30}});
    const QString copy = folder.filePath("copy.mvrun");
    QString copied = "not copied";
    QObject::connect(exercise.get(), &mv::Exercise::assessedFinished,
                     [&] { copied = recorder->SaveCopy(copy); });
    exercise->EndAssessed("ended by the student");
    EXPECT_EQ(copied, "");
    const auto read = mv::ReadRunRecord(copy.toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    const mv::RunRecord& r = *read.Record;
    const int64_t last = r.Ticks.back().Index;
    EXPECT_EQ(r.Exercise, (mv::RunExercise{exercise->exerciseFile().toStdString(), "Ann", text}));
    EXPECT_EQ(r.Answers,
              (std::vector<mv::RunAnswer>{{last, handedAt, 0, 1, mv::Figure::Cpa, 0.7},
                                          {last, handedAt, 0, 1, mv::Figure::Aspect, -30}}));
    EXPECT_EQ(r.Ending, (mv::RunEnding{last, handedAt, "ended by the student"}));
}

// The exercise's rough sea (state 4) at the start, then the Seas menu's Heavy (state 5) and
// Moderate (state 3) as the student picks them: each a row after the moment it came in, so the
// replay and the marking paint the clutter she saw. A gain step leaves the sea's rows alone.
TEST_P(EitherWay, TheSeaTheClutterShowsIsRecordedAsTheSeasMenuChangesIt) {
    const std::string text = mv::test::FogExercise("\"cpa\"") + "[video]\nsea_state = 4\n";
    ASSERT_TRUE(
        exercise->OpenAssessedExerciseText(text, "rough.toml", "Ann", folder.path().toStdString()));
    exercise->EndBriefing();
    exercise->tmrSim_Timer();
    Run("mnuSeas(2)");
    exercise->tmrSim_Timer();
    Run("mnuRadarVideo");
    Run("mnuGainUp");
    Run("mnuSeas(1)");
    recorder->Settle();
    const auto read = mv::ReadRunRecord(recorder->currentPath().toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    std::vector<std::pair<int64_t, int>> seas; // the moment before it, and the sea state
    for (const mv::RunVideoSea& row : read.Record->VideoSeas)
        seas.emplace_back(row.Tick, row.SeaState);
    EXPECT_EQ(seas, (std::vector<std::pair<int64_t, int>>{{0, 4}, {1, 5}, {2, 3}}));
}

TEST_P(EitherWay, EachStartBeginsARecordAndTheOldestBeyondTheKeptNumberGo) {
    recorder->setKeep(2);
    QStringList made;
    for (int i = 0; i < 3; ++i) {
        LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
        made << QFileInfo(recorder->currentPath()).fileName();
        exercise->tmrSim_Timer();
    }
    recorder->Settle();
    EXPECT_EQ(Runs(), QStringList({made[1], made[2]}));
    // The run before a start is complete: it reads back with its tick.
    const auto read = mv::ReadRunRecord(folder.filePath("runs/" + made[1]).toStdString());
    ASSERT_TRUE(read.ok()) << read.Error;
    EXPECT_EQ(read.Record->Ticks.size(), 2u);
}

TEST_F(RunRecord, ShortOfSpaceTheRunGoesOnUnrecordedAndTheUserIsToldOnce) {
    recorder->setLowSpace(std::numeric_limits<qint64>::max());
    QStringList notices;
    QObject::connect(recorder.get(), &mv::RunRecorder::notice,
                     [&](const QString& t) { notices << t; });
    LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
    LoadOwnAnd(0, {"SMALL, 180, 10, 045, 6"});
    exercise->tmrSim_Timer();
    EXPECT_TRUE(recorder->currentPath().isEmpty());
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("not recorded")) << notices[0].toStdString();
    EXPECT_EQ(sim.Clock.SimTime, 0.5 + sim.Clock.TimeStep);
}

TEST(RunFileName, TitlesAreMadeSafeForAnyFileSystem) {
    const QDateTime at(QDate(2026, 12, 7), QTime(14, 30, 15));
    EXPECT_EQ(mv::RunRecorder::FileName(at, "Crossing: A/B?"),
              "2026-12-07 143015 Crossing A B.mvrun");
    EXPECT_EQ(mv::RunRecorder::FileName(at, " ..."), "2026-12-07 143015 Untitled exercise.mvrun");
}

} // namespace
