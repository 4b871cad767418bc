// A record reads back as written, a record of the first format reads as the present one, a
// closed record is one file that opens from a folder nobody may write, and a file that is not
// a whole record of this format is refused with a message that says what is wrong with it; a
// replay finds in it the plot marks and the moment of each event.

#include "core/record/run_display.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/record/run_writer.h"
#include "tests/support/temp_dir.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace mv {
namespace {

namespace fs = std::filesystem;

// Moment m of four, every field away from its default and no two columns alike over the four:
// each flag's four moments spell a pattern of its own (code c: on at moment m when bit m of c
// is set), and each figure starts from a value of its own. All exact in binary.
RunTick Moment(int m) {
    const auto bit = [m](int code) { return ((code >> m) & 1) != 0; };
    const double k = m;
    RunTick t;
    t.Index = m;
    t.SimTime = 0.5 + k * 0.0625;
    t.TimeFactor = 30 + m;
    t.OwnVessel = 1;
    RunDisplay& d = t.Display;
    d.Range = 6 + k;
    d.RangeIndex = 5 - m;
    d.NorthUp = bit(1);
    d.CourseUp = bit(2);
    d.Bearings = bit(12);
    d.RingsOn = bit(3);
    d.HeadingLine = bit(4);
    d.EBLOn = bit(5);
    d.EBLBearing = 30.5f + static_cast<float>(m);
    d.VRMOn = bit(6);
    d.VRMRange = 2.75 + k;
    d.CursorEast = -1.25 - k;
    d.CursorNorth = 0.125 + k;
    d.PlotOn = bit(7);
    d.PlotFreqIndex = 3 - m;
    d.TrueViewOn = bit(8);
    d.TrueTrails = bit(9);
    d.Vectors = m % 3;
    d.VectorIndex = 4 - m;
    d.CpaAlarmOn = bit(10);
    d.GuardOn = bit(11);
    d.GuardRange = 1.5 + k;
    d.CpaLimit = 0.25f + static_cast<float>(m);
    d.TcpaLimit = 12.5f + static_cast<float>(m);
    d.Picked = m % 2 ? std::vector<int>{1, 0} : std::vector<int>{1};
    d.EBL2On = bit(13);
    d.EBL2Bearing = 300.25f - static_cast<float>(m);
    d.VRM2On = bit(14);
    d.VRM2Range = 5.5 + k;
    d.EBL2Offset = bit(6);
    d.EBL2Origin = {-2.375 + k, 4.5 - k};
    t.Vessels = {{{0.03125 * k, -7.0}, 359.5f, 12.25f, 10, 12.0f},
                 {{1e3, 2.0 + k}, 90.0f, 0.125f, 90 + m, 0.5f}};
    // ARPA on from moment 1: one track more each moment, each flag and figure its own.
    for (int id = 1; id <= m; ++id)
        t.Tracks.push_back({id, (m + id) % 3, bit(13 + id), bit(14 + id), bit(15 + id),
                            bit(16 + id), PointD{-1.5 * id, 2.25 + k},
                            359.5f - static_cast<float>(id), 0.25f + static_cast<float>(m),
                            -0.75 * id, 8.5 - k});
    return t;
}

// The moments' table of formats 1 to 5, as they wrote it.
constexpr const char* kTicksBeforeSecondPair = R"sql(
CREATE TABLE ticks(tick INTEGER PRIMARY KEY, sim_time REAL NOT NULL,
  time_factor INTEGER NOT NULL, own_vessel INTEGER NOT NULL,
  range REAL NOT NULL, range_index INTEGER NOT NULL, north_up INTEGER NOT NULL,
  course_up INTEGER NOT NULL, bearing_mode INTEGER NOT NULL, rings INTEGER NOT NULL,
  heading_line INTEGER NOT NULL, ebl_on INTEGER NOT NULL, ebl_bearing REAL NOT NULL,
  vrm_on INTEGER NOT NULL, vrm_range REAL NOT NULL, cursor_east REAL NOT NULL,
  cursor_north REAL NOT NULL, plot_on INTEGER NOT NULL, plot_interval INTEGER NOT NULL,
  true_view INTEGER NOT NULL, true_trails INTEGER NOT NULL, vectors INTEGER NOT NULL,
  vector_index INTEGER NOT NULL, cpa_alarm INTEGER NOT NULL, guard_on INTEGER NOT NULL,
  guard_range REAL NOT NULL, cpa_limit REAL NOT NULL, tcpa_limit REAL NOT NULL,
  picked TEXT NOT NULL);
)sql";

// What a record made before the console had the second EBL and VRM shows of moment m.
RunDisplay BeforeSecondPair(int m) {
    RunDisplay d = Moment(m).Display;
    d.EBL2On = d.VRM2On = d.EBL2Offset = false;
    d.EBL2Bearing = 0.0f;
    d.VRM2Range = 0.0;
    d.EBL2Origin = {};
    return d;
}

const RunOpening kOpening{{"Crossing", "Cross.dem", "2026-12-07T14:30:15Z", "0.1.0"},
                          {{0, "A", kMedium}, {1, "B", kSmall}},
                          Moment(0),
                          RunExercise{"/home/ann/Exam1.toml", "Ann", "title = \"Exam\"\n"}};

fs::path Write(const test::TempDir& dir, int ticks) {
    std::string error;
    const auto path = dir.path / "run.mvrun";
    auto w = RunWriter::Create(path, kOpening, error);
    EXPECT_TRUE(w) << error;
    for (int i = 1; i < ticks; ++i) {
        RunTick t = Moment(1 + i % 3);
        t.Index = i;
        w->AddTick(t);
    }
    EXPECT_FALSE(w->failed()) << w->error();
    return path;
}

void Sql(const fs::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// The file's format bytes: 1 with a rollback journal, 2 in log mode.
int HeaderMode(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return header[18];
}

TEST(RunFile, EveryFieldAndRowReadsBackAsWrittenAndTheRecordClosesAsOneFile) {
    const test::TempDir dir;
    const auto path = dir.path / "run.mvrun";
    {
        std::string error;
        auto w = RunWriter::Create(path, kOpening, error);
        ASSERT_TRUE(w) << error;
        for (int m = 1; m < 4; ++m)
            ASSERT_TRUE(w->AddTick(Moment(m))) << w->error();
        ASSERT_TRUE(w->AddEvent({2, 0.6, "order", 1, "B ordered to 010 T, 12.0 kt"}));
        ASSERT_TRUE(w->AddTrackEvent({1, 0.5625, 0, 1, {-1.5, 3.25}, -1, -1}));
        ASSERT_TRUE(w->AddTrackEvent({3, 0.6875, 2, 2, {-3.0, 5.25}, 1, 0}));
        ASSERT_TRUE(w->AddOrder({2, 0.6, 1, 10, 12.5}));
        ASSERT_TRUE(w->AddVideoSetting({1, 0.5625, true, 85, 40, 15, 95, 1}));
        ASSERT_TRUE(w->AddVideoSea({1, 0.5625, 5}));
        ASSERT_TRUE(w->AddVideoSea({2, 0.6, 0}));
        ASSERT_TRUE(w->AddAnswer({3, 0.625, 1, 1, Figure::Aspect, -30.5}));
        ASSERT_TRUE(w->AddAnswer({3, 0.6875, 0, -1, Figure::Drift, 1.5}));
        ASSERT_TRUE(w->SetEnding({3, 0.6875, "ended by the student"}));
        ASSERT_TRUE(w->SetEnding({3, 0.6875, "time limit"})); // the last word stands
        EXPECT_TRUE(fs::exists(fs::path(path).concat("-wal")));
    }
    EXPECT_FALSE(fs::exists(fs::path(path).concat("-wal")));
    EXPECT_FALSE(fs::exists(fs::path(path).concat("-shm")));
    EXPECT_EQ(HeaderMode(path), 1);
    const RunReadResult read = ReadRunRecord(path);
    ASSERT_TRUE(read.ok()) << read.Error;
    const RunRecord& r = *read.Record;
    EXPECT_EQ(r.Info.ScenarioFile, "Cross.dem");
    EXPECT_EQ(r.Info.Started, "2026-12-07T14:30:15Z");
    EXPECT_EQ(r.Vessels[1].Size, kSmall);
    ASSERT_EQ(r.Ticks.size(), 4u);
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(m);
        const RunTick want = Moment(m);
        const RunTick& got = r.Ticks[static_cast<size_t>(m)];
        EXPECT_EQ(got.Index, want.Index);
        EXPECT_EQ(got.SimTime, want.SimTime);
        EXPECT_EQ(got.TimeFactor, want.TimeFactor);
        EXPECT_EQ(got.OwnVessel, want.OwnVessel);
        EXPECT_EQ(got.Display, want.Display);
        EXPECT_EQ(got.Vessels, want.Vessels);
        EXPECT_EQ(got.Tracks, want.Tracks);
    }
    EXPECT_EQ(r.TrackEvents, (std::vector<RunTrackEvent>{{1, 0.5625, 0, 1, {-1.5, 3.25}, -1, -1},
                                                         {3, 0.6875, 2, 2, {-3.0, 5.25}, 1, 0}}));
    EXPECT_EQ(r.VideoSettings,
              (std::vector<RunVideoSetting>{{1, 0.5625, true, 85, 40, 15, 95, 1}}));
    EXPECT_EQ(r.VideoSeas, (std::vector<RunVideoSea>{{1, 0.5625, 5}, {2, 0.6, 0}}));
    EXPECT_EQ(r.Exercise, kOpening.Exercise);
    EXPECT_EQ(r.Orders, (std::vector<RunOrder>{{2, 0.6, 1, 10, 12.5}}));
    EXPECT_EQ(r.Answers, (std::vector<RunAnswer>{{3, 0.625, 1, 1, Figure::Aspect, -30.5},
                                                 {3, 0.6875, 0, -1, Figure::Drift, 1.5}}));
    EXPECT_EQ(r.Ending, (RunEnding{3, 0.6875, "time limit"}));
    ASSERT_EQ(r.Events.size(), 1u);
    EXPECT_EQ(r.Events[0].Text, "B ordered to 010 T, 12.0 kt");
    EXPECT_EQ(r.TickAt(0.5625 + 1e-9), 1u);
    EXPECT_EQ(r.TickAt(0.4), std::nullopt);
}

// The first format as it was written, filled by hand: the typed rows come from the events'
// sentences, and each column lands in its field by name.
TEST(RunFile, ARecordOfTheFirstFormatReadsAsThePresentOne) {
    const test::TempDir dir;
    const auto path = dir.path / "v1.mvrun";
    std::string sql = R"sql(
PRAGMA application_id=1299599982; PRAGMA user_version=1;
CREATE TABLE run(title TEXT NOT NULL, scenario_file TEXT NOT NULL, started TEXT NOT NULL,
  program_version TEXT NOT NULL);
CREATE TABLE vessels(slot INTEGER PRIMARY KEY, name TEXT NOT NULL, size REAL NOT NULL);
)sql" + std::string(kTicksBeforeSecondPair) +
                      R"sql(
CREATE TABLE positions(tick INTEGER NOT NULL, vessel INTEGER NOT NULL, x REAL NOT NULL,
  y REAL NOT NULL, heading REAL NOT NULL, speed REAL NOT NULL, new_heading INTEGER NOT NULL,
  new_speed REAL NOT NULL, PRIMARY KEY(tick, vessel)) WITHOUT ROWID;
CREATE TABLE events(id INTEGER PRIMARY KEY, tick INTEGER NOT NULL, sim_time REAL NOT NULL,
  kind TEXT NOT NULL, vessel INTEGER NOT NULL, text TEXT NOT NULL);
INSERT INTO run VALUES('Crossing', 'Cross.dem', '2026-12-07T14:30:15Z', '0.1.0');
INSERT INTO vessels VALUES(0, 'A', 0.1), (1, 'B', 0.05);
-- tick, time, factor, own, range, index, north, course, bearing, rings, heading line, ebl,
-- its bearing, vrm, its range, cursor east, north, plot, interval, true view, trails,
-- vectors, their index, cpa alarm, guard, its range, cpa limit, tcpa limit, picked.
INSERT INTO ticks VALUES
 (0, 0.5,    30, 1, 6, 5, 1, 0, 0, 1, 0, 1, 30.5, 0, 2.75, -1.25, 0.125, 1, 3, 0, 1, 0, 4, 0, 1, 1.5, 0.25, 12.5, '1'),
 (1, 0.5625, 31, 1, 7, 4, 0, 1, 0, 1, 0, 0, 31.5, 1, 3.75, -2.25, 1.125, 1, 2, 0, 0, 1, 3, 1, 1, 2.5, 1.25, 13.5, '1,0'),
 (2, 0.625,  32, 1, 8, 3, 0, 0, 1, 0, 1, 1, 32.5, 1, 4.75, -3.25, 2.125, 1, 1, 0, 0, 2, 2, 0, 0, 3.5, 2.25, 14.5, '1'),
 (3, 0.6875, 33, 1, 9, 2, 0, 0, 1, 0, 0, 0, 33.5, 0, 5.75, -4.25, 3.125, 0, 0, 1, 1, 0, 1, 1, 1, 4.5, 3.25, 15.5, '1,0');
INSERT INTO positions VALUES
 (0, 0, 0, -7, 359.5, 12.25, 10, 12), (0, 1, 1000, 2, 90, 0.125, 90, 0.5),
 (1, 0, 0.03125, -7, 359.5, 12.25, 10, 12), (1, 1, 1000, 3, 90, 0.125, 91, 0.5),
 (2, 0, 0.0625, -7, 359.5, 12.25, 10, 12), (2, 1, 1000, 4, 90, 0.125, 92, 0.5),
 (3, 0, 0.09375, -7, 359.5, 12.25, 10, 12), (3, 1, 1000, 5, 90, 0.125, 93, 0.5);
INSERT INTO events(tick, sim_time, kind, vessel, text) VALUES
 (0, 0.5, 'exercise', -1, 'Assessed exercise Exam1.toml for -'),
 (1, 0.56, 'order', 0, 'A ordered to 045 T, 12.5 kt'),
)sql";
    // Each sentence as the first format printed it, and the answer it is.
    const struct {
        const char* sentence;
        RunAnswer answer; // tick and time are the event's: 2 and 0.6
    } answers[] = {
        {"Question 2: B Aspect Red 30", {2, 0.6, 1, 1, Figure::Aspect, -30}},
        {"Question 1: B Aspect Green 145", {2, 0.6, 0, 1, Figure::Aspect, 145}},
        {"Question 1: B Aspect Ahead", {2, 0.6, 0, 1, Figure::Aspect, 0}},
        {"Question 3: B Aspect Astern", {2, 0.6, 2, 1, Figure::Aspect, 180}},
        {"Question 1: B CPA 0.7", {2, 0.6, 0, 1, Figure::Cpa, 0.7}},
        {"Question 1: B TCPA -3.5", {2, 0.6, 0, 1, Figure::Tcpa, -3.5}},
        {"Question 12: B Course 359", {2, 0.6, 11, 1, Figure::Course, 359}},
        {"Question 1: B Speed .25", {2, 0.6, 0, 1, Figure::Speed, 0.25}},
        {"Question 1: Set 120", {2, 0.6, 0, -1, Figure::Set, 120}},
        {"Question 1: Drift 1.5", {2, 0.6, 0, -1, Figure::Drift, 1.5}},
    };
    for (const auto& a : answers)
        sql += std::string(" (2, 0.6, 'answer', 1, '") + a.sentence + "'),\n";
    // Not answers: no figure, a target's figure without its target, a vessel not in the run.
    sql += " (2, 0.6, 'answer', -1, 'Question 1: B CPA'),\n"
           " (2, 0.6, 'answer', -1, 'Question 1: CPA 0.5'),\n"
           " (2, 0.6, 'answer', -1, 'Question 1: E CPA 0.5'),\n"
           " (3, 0.65, 'end', -1, 'Exercise ended: all questions answered');\n";
    Sql(path, sql);

    const RunReadResult read = ReadRunRecord(path);
    ASSERT_TRUE(read.ok()) << read.Error;
    const RunRecord& r = *read.Record;
    ASSERT_EQ(r.Ticks.size(), 4u);
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(m);
        EXPECT_EQ(r.Ticks[static_cast<size_t>(m)].SimTime, Moment(m).SimTime);
        EXPECT_EQ(r.Ticks[static_cast<size_t>(m)].TimeFactor, Moment(m).TimeFactor);
        EXPECT_EQ(r.Ticks[static_cast<size_t>(m)].Display, BeforeSecondPair(m));
        EXPECT_EQ(r.Ticks[static_cast<size_t>(m)].Vessels, Moment(m).Vessels);
    }
    EXPECT_EQ(r.Exercise, (RunExercise{"Exam1.toml", "", ""}));
    EXPECT_EQ(r.Orders, (std::vector<RunOrder>{{1, 0.56, 0, 45, 12.5}}));
    ASSERT_EQ(r.Answers.size(), std::size(answers));
    for (size_t i = 0; i < r.Answers.size(); ++i)
        EXPECT_EQ(r.Answers[i], answers[i].answer) << answers[i].sentence;
    EXPECT_EQ(r.Ending, (RunEnding{3, 0.65, "all questions answered"}));
    EXPECT_EQ(r.Events.size(), 2 + std::size(answers) + 4); // the events stay as they were
}

// A record of an older format opens with what it lacks empty or off: the second format
// without the tracker's and the video's tables, the fifth without the second EBL and VRM.
TEST(RunFile, ARecordOfAnOlderFormatOpensWithWhatItLacksOff) {
    // The moments' table made again as formats 1 to 5 had it, its rows carried over.
    const std::string noSecondPair =
        std::string("ALTER TABLE ticks RENAME TO later;") + kTicksBeforeSecondPair +
        "INSERT INTO ticks SELECT tick, sim_time, time_factor, own_vessel, range, range_index, "
        "north_up, course_up, bearing_mode, rings, heading_line, ebl_on, ebl_bearing, vrm_on, "
        "vrm_range, cursor_east, cursor_north, plot_on, plot_interval, true_view, true_trails, "
        "vectors, vector_index, cpa_alarm, guard_on, guard_range, cpa_limit, tcpa_limit, picked "
        "FROM later; DROP TABLE later; ";
    const struct {
        int format;
        std::string sql;
    } cases[] = {
        {2, noSecondPair + "DROP TABLE track_states; DROP TABLE track_events; DROP TABLE "
                           "video_settings; DROP TABLE video_seas; PRAGMA user_version=2"},
        {5, noSecondPair + "PRAGMA user_version=5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const test::TempDir dir;
        const auto path = Write(dir, 4);
        Sql(path, c.sql);
        const RunReadResult read = ReadRunRecord(path);
        ASSERT_TRUE(read.ok()) << read.Error;
        const RunRecord& r = *read.Record;
        ASSERT_EQ(r.Ticks.size(), 4u);
        for (int m = 0; m < 4; ++m) {
            // Moment 0 is the opening's; moment i the i-th written, Moment(1 + i % 3).
            const int made = m == 0 ? 0 : 1 + m % 3;
            const RunTick& t = r.Ticks[static_cast<size_t>(m)];
            EXPECT_EQ(t.Display, BeforeSecondPair(made)) << m;
            EXPECT_EQ(t.Tracks.size(), c.format < 3 ? 0u : Moment(made).Tracks.size()) << m;
        }
        EXPECT_EQ(r.Exercise, kOpening.Exercise);
    }
}

TEST(RunFile, TheDisplayKeptIsTheDisplayShownAndComesBackInItsPlace) {
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(m);
        const RunDisplay want = Moment(m).Display;
        RadarDisplayState s;
        s.Tick.Range = want.Range;
        s.RangeIndex = static_cast<int16_t>(want.RangeIndex);
        s.Tick.NorthUp = want.NorthUp;
        s.Tick.CourseUp = want.CourseUp;
        s.Tick.Bearing = want.Bearings ? BearingMode::Course : BearingMode::Relative;
        s.RingsOn = want.RingsOn;
        s.Tick.ShowSHL = want.HeadingLine;
        s.EBLOn = want.EBLOn;
        s.EBLBearing = want.EBLBearing;
        s.VRMOn = want.VRMOn;
        s.VRMRange = want.VRMRange;
        s.CursorEast = want.CursorEast;
        s.CursorNorth = want.CursorNorth;
        s.Tick.PlotOn = want.PlotOn;
        s.Tick.PlotFreqIndex = static_cast<int16_t>(want.PlotFreqIndex);
        s.Tick.TrueViewOn = want.TrueViewOn;
        s.Tick.TrueTrails = want.TrueTrails;
        s.Aids.Vectors = static_cast<VectorMode>(want.Vectors);
        s.Aids.VectorIndex = static_cast<int16_t>(want.VectorIndex);
        s.Aids.Limits = {want.CpaAlarmOn, want.CpaLimit, want.TcpaLimit, want.GuardOn,
                         want.GuardRange};
        s.Aids.Picked = want.Picked;
        s.EBL2On = want.EBL2On;
        s.EBL2Bearing = want.EBL2Bearing;
        s.VRM2On = want.VRM2On;
        s.VRM2Range = want.VRM2Range;
        s.EBL2Offset = want.EBL2Offset;
        s.EBL2Origin = want.EBL2Origin;
        EXPECT_EQ(KeptDisplay(s), want);
        RadarDisplayState replayed;
        ApplyDisplay(want, replayed);
        RunDisplay back = KeptDisplay(replayed);
        EXPECT_FALSE(back.TrueViewOn); // the replay has a True View of its own
        back.TrueViewOn = want.TrueViewOn;
        EXPECT_EQ(back, want);
    }
}

// A closed record, one copied while it was written (in log mode, with no log beside it) and
// one killed and moved without its shared memory: each opens read-only and leaves no file
// beside it, from a folder that may not be written.
TEST(RunFile, ARecordOpensFromAReadOnlyFolderAndNothingIsMadeBesideIt) {
    const test::TempDir dir;
    const fs::path folder = dir.path / "kept";
    fs::create_directory(folder);
    std::string error;
    auto live = RunWriter::Create(dir.path / "live.mvrun", kOpening, error);
    ASSERT_TRUE(live) << error;
    ASSERT_TRUE(live->AddTick(Moment(1)));
    fs::copy_file(dir.path / "live.mvrun", folder / "copied.mvrun");
    fs::copy_file(dir.path / "live.mvrun", folder / "killed.mvrun");
    fs::copy_file(dir.path / "live.mvrun-wal", folder / "killed.mvrun-wal");
    EXPECT_EQ(live->SaveCopy(folder / "saved.mvrun"), "");
    EXPECT_EQ(HeaderMode(folder / "saved.mvrun"), 1);
    EXPECT_EQ(HeaderMode(folder / "copied.mvrun"), 2);
    ASSERT_TRUE(live->AddTick(Moment(2))); // the record goes on after its copy
    live.reset();
    fs::copy_file(dir.path / "live.mvrun", folder / "closed.mvrun");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const auto before = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    const std::pair<const char*, size_t> records[] = {
        {"closed.mvrun", 3}, {"saved.mvrun", 2}, {"copied.mvrun", 1}, {"killed.mvrun", 2}};
    for (const auto& [name, moments] : records) {
        SCOPED_TRACE(name);
        const RunReadResult read = ReadRunRecord(folder / name);
        ASSERT_TRUE(read.ok()) << read.Error;
        EXPECT_EQ(read.Record->Ticks.size(), moments);
        EXPECT_EQ(read.Record->Exercise, kOpening.Exercise);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), before);
    fs::permissions(folder, fs::perms::owner_all);
}

TEST(RunFile, WhatIsNotAWholeRecordOfThisFormatIsRefusedWithTheReason) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> spoil;
        const char* says;
    } cases[] = {
        {"text", [](const auto& p) { std::ofstream(p, std::ios::trunc) << "Test\r\n 2\r\n"; },
         "is not a Marovane run record"},
        {"foreign", [](const auto& p) { Sql(p, "PRAGMA application_id=1"); },
         "another program wrote it"},
        {"newer", [](const auto& p) { Sql(p, "PRAGMA user_version=7"); },
         "newer Marovane (record format 7)"},
        {"a gain beyond the knob",
         [](const auto& p) {
             Sql(p, "INSERT INTO video_settings(tick, sim_time, video, gain, sea, rain, tune, "
                    "band) VALUES(1, 0.5, 1, 101, 30, 0, 100, 0)");
         },
         "out of its range"},
        {"a sea past very rough",
         [](const auto& p) {
             Sql(p, "INSERT INTO video_seas(tick, sim_time, sea_state) VALUES(1, 0.5, 7)");
         },
         "out of its range"},
        {"a track's state unknown",
         [](const auto& p) { Sql(p, "UPDATE track_states SET state=3 WHERE tick=2"); },
         "out of its range"},
        {"a track at no moment",
         [](const auto& p) {
             Sql(p,
                 "INSERT INTO track_states SELECT 100000, track, state, trend, prediction, danger, "
                 "acknowledged, x, y, course, speed, cpa, tcpa FROM track_states LIMIT 1");
         },
         "a track has no moment"},
        {"cut short", [](const auto& p) { fs::resize_file(p, fs::file_size(p) / 2); },
         "is damaged"},
        {"edited", [](const auto& p) { Sql(p, "DELETE FROM positions WHERE tick=2"); },
         "lacks some of its vessels"},
        {"no range", [](const auto& p) { Sql(p, "UPDATE ticks SET range=0 WHERE tick=9"); },
         "range is not above 0"},
        {"a figure never asked",
         [](const auto& p) {
             Sql(p, "INSERT INTO answers(tick, sim_time, question, vessel, figure, value) "
                    "VALUES(1, 0.5, 0, 1, 'bearing', 90)");
         },
         "figure is not one an exercise asks for"},
        {"two endings",
         [](const auto& p) { Sql(p, "INSERT INTO ending VALUES(1, 0.5, 'a'), (2, 0.5, 'b')"); },
         "more than one ending"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const test::TempDir dir;
        const auto path = Write(dir, 300);
        c.spoil(path);
        const RunReadResult read = ReadRunRecord(path);
        EXPECT_FALSE(read.ok());
        EXPECT_NE(read.Error.find(c.says), std::string::npos) << read.Error;
    }
}

TEST(RunFile, LeftoverPartsOfAKilledWriteGoAndNothingElse) {
    const test::TempDir dir;
    const std::vector<std::string> left{"a.mvrun.part", "a.mvrun.part-journal", "b.json.part",
                                        "c.mvrun.part-wal", "c.mvrun.part-shm"};
    const std::vector<std::string> kept{"a.mvrun", "b.json", "c.mvrun", "d.particular.pdf"};
    for (const auto& name : left)
        dir.Write(name, "x");
    for (const auto& name : kept)
        dir.Write(name, "x");
    RemoveLeftoverParts(dir.path);
    std::vector<std::string> now;
    for (const auto& e : fs::directory_iterator(dir.path))
        now.push_back(e.path().filename().string());
    std::sort(now.begin(), now.end());
    EXPECT_EQ(now, kept);
}

} // namespace
} // namespace mv

namespace mv {
namespace {

// Moments 90 seconds apart (x30), plotting every 3 minutes from the third; the range changed at
// the sixth, which redraws the picture and wipes the marks; a jump recorded with a moment of
// its own at the eighth.
TEST(RunReplay, PlotMarksStandFromTheLastRedrawAtTheirIntervalAndEventsShowAtTheirMoments) {
    RunRecord r;
    r.Vessels = {{0, "A", kMedium}, {1, "B", kSmall}};
    for (int k = 0; k < 9; ++k) {
        RunTick t;
        t.Index = k;
        t.SimTime = 0.5 + std::min(k, 7) * 90.0 / 86400.0;
        t.Display.PlotOn = k >= 2;
        t.Display.PlotFreqIndex = 1;
        t.Display.Range = k >= 5 ? 6.0 : 12.0;
        t.OwnVessel = k == 8 ? 1 : 0;
        t.Vessels.resize(2);
        r.Ticks.push_back(t);
    }
    using Moments = std::vector<std::size_t>;
    EXPECT_EQ(PlotMoments(r, 1), Moments{});
    EXPECT_EQ(PlotMoments(r, 4), (Moments{2, 4}));
    EXPECT_EQ(PlotMoments(r, 7), (Moments{5, 7}));
    EXPECT_EQ(PlotMoments(r, 8), (Moments{8}));
    const RunEvent order{3, r.Ticks[3].SimTime, "order", 1, ""};
    const RunEvent jump{7, r.Ticks[7].SimTime, "jump", 1, ""};
    EXPECT_EQ(EventMoment(r, order), 3u);
    EXPECT_EQ(EventMoment(r, jump), 8u);
    EXPECT_NEAR(PlotTimeAt(r, 4) * 1440.0, 3.0, 1e-9); // minutes since plotting began
    // The events' CSV: a comma or a quote stays inside its cell, and a text that a spreadsheet
    // would run as a formula is shown as text.
    r.Events = {order,
                {5, r.Ticks[5].SimTime, "cpa data", 1, "CPA 0.70, \"B\""},
                {6, r.Ticks[6].SimTime, "answer", -1, "=1+1"}};
    EXPECT_EQ(EventsCsv(r), "time,tick,kind,vessel,text\r\n"
                            "12:04:30,3,order,B,\r\n"
                            "12:07:30,5,cpa data,B,\"CPA 0.70, \"\"B\"\"\"\r\n"
                            "12:09:00,6,answer,,\"'=1+1\"\r\n");
}

// B closes head-on from half a mile (CPA 0 in 3 minutes: in danger by 1 mile and 12 minutes)
// over 200 moments: B in danger from moment 60 to 139, acknowledged after
// moment 64 (where a checkpoint falls), far and opening otherwise. Jumps in any order give the
// alarms as the student had them, whichever checkpoints earlier jumps kept.
TEST(RunReplay, AJumpStepsFromTheCheckpointBeforeItAndKeepsTheAcknowledgement) {
    RunRecord r;
    r.Vessels = {{0, "A", kMedium}, {1, "B", kMedium}};
    for (int k = 0; k < 200; ++k) {
        RunTick t;
        t.Index = k;
        t.SimTime = 0.5 + k * 3.0 / 86400.0;
        t.Display.CpaAlarmOn = true;
        const bool close = k >= 60 && k < 140;
        t.Vessels = {{{0, 0}, 0, 0, 0, 0},
                     {{close ? 0.5 : 20.0, 0}, close ? 180.0f : 0.0f, 10, 0, 10}};
        r.Ticks.push_back(t);
    }
    r.Events.push_back({64, r.Ticks[64].SimTime, "acknowledge", -1, "Alarms acknowledged"});
    struct Jump {
        std::size_t to;
        bool danger, unacknowledged;
    };
    AlarmCheckpoints alarms(r);
    for (const Jump& j : {Jump{150, false, false}, Jump{63, true, true}, Jump{64, true, false},
                          Jump{130, true, false}, Jump{59, false, false}, Jump{127, true, false},
                          Jump{65, true, false}, Jump{139, true, false}, Jump{140, false, false},
                          Jump{9999, false, false}}) {
        SCOPED_TRACE(j.to);
        const AlarmState at = alarms.At(j.to);
        EXPECT_EQ(at.InDanger(1), j.danger);
        EXPECT_EQ(at.Unacknowledged(1), j.unacknowledged);
    }
    // Played on a moment at a time from the jump, as the replay plays.
    AlarmState played = alarms.At(62);
    alarms.Step(63, played);
    EXPECT_TRUE(played.Unacknowledged(1));
    alarms.Step(64, played);
    EXPECT_FALSE(played.Unacknowledged(1));
}

} // namespace
} // namespace mv
