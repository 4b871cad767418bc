// A record reads back as written, and a file that is not a whole record of this format is
// refused with a message that says what is wrong with it; a replay finds in it the plot marks
// and the moment of each event.

#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/record/run_writer.h"
#include "tests/support/temp_dir.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace mv {
namespace {

RunTick Moment(int64_t i) {
    RunTick t;
    t.Index = i;
    t.SimTime = 0.5 + static_cast<double>(i) * 3.47222222222e-5;
    t.TimeFactor = 30;
    t.OwnVessel = 1;
    RunDisplay& d = t.Display;
    d = {6.0,  6, true, false, 1, false, false, true, 30.5f, true, 2.75, -1.25, 0.5,
         true, 2, true, true,  2, 3,     true,  true, 1.5,   0.5f, 6.0f, {0}};
    t.Vessels = {{{0.1 / 3.0, -7.0}, 359.9f, 12.3f, 10, 12.0f}, {{1e3, 2.0}, 90.0f, 0.1f, 90, 0}};
    return t;
}

std::filesystem::path Write(const test::TempDir& dir, int ticks) {
    std::string error;
    const auto path = dir.path / "run.mvrun";
    auto w = RunWriter::Create(path, {"Crossing", "Cross.dem", "2026-12-07T14:30:15Z", "0.1.0"},
                               {{0, "A", kMedium}, {1, "B", kSmall}}, error);
    EXPECT_TRUE(w) << error;
    for (int i = 0; i < ticks; ++i)
        w->AddTick(Moment(i));
    w->AddEvent({3, 0.6, "order", 1, "B ordered to 010 T, 12.0 kt"});
    return path;
}

void SetPragma(const std::filesystem::path& path, const std::string& pragma) {
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TEST(RunFile, ReadsBackEveryFigureAsWritten) {
    const test::TempDir dir;
    const RunReadResult read = ReadRunRecord(Write(dir, 5));
    ASSERT_TRUE(read.ok()) << read.Error;
    const RunRecord& r = *read.Record;
    EXPECT_EQ(r.Info.ScenarioFile, "Cross.dem");
    EXPECT_EQ(r.Vessels[1].Size, kSmall);
    ASSERT_EQ(r.Ticks.size(), 5u);
    const RunTick want = Moment(4);
    EXPECT_EQ(r.Ticks[4].SimTime, want.SimTime);
    EXPECT_EQ(r.Ticks[4].Display, want.Display);
    EXPECT_EQ(r.Ticks[4].Vessels, want.Vessels);
    ASSERT_EQ(r.Events.size(), 1u);
    EXPECT_EQ(r.Events[0].Text, "B ordered to 010 T, 12.0 kt");
    EXPECT_EQ(r.TickAt(want.SimTime + 1e-9), 4u);
    EXPECT_EQ(r.TickAt(0.4), std::nullopt);
}

TEST(RunFile, WhatIsNotAWholeRecordOfThisFormatIsRefusedWithTheReason) {
    const struct {
        const char* what;
        std::function<void(const std::filesystem::path&)> spoil;
        const char* says;
    } cases[] = {
        {"text", [](const auto& p) { std::ofstream(p, std::ios::trunc) << "Test\r\n 2\r\n"; },
         "is not a Marovane run record"},
        {"foreign", [](const auto& p) { SetPragma(p, "PRAGMA application_id=1"); },
         "another program wrote it"},
        {"newer", [](const auto& p) { SetPragma(p, "PRAGMA user_version=2"); },
         "newer Marovane (record format 2)"},
        {"cut short",
         [](const auto& p) {
             SetPragma(p, "PRAGMA journal_mode=DELETE");
             std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2);
         },
         "is damaged"},
        {"edited", [](const auto& p) { SetPragma(p, "DELETE FROM positions WHERE tick=2"); },
         "lacks some of its vessels"},
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
}

// B closes head-on from half a mile (CPA 0 in 3 minutes: in danger by 1 mile and 12 minutes),
// the student acknowledges after the second moment, and at the third she is far and opening.
TEST(RunReplay, AlarmsReplayAsAcknowledgedFromTheAcknowledgementUntilTheTargetLeavesDanger) {
    RunRecord r;
    r.Vessels = {{0, "A", kMedium}, {1, "B", kMedium}};
    for (int k = 0; k < 3; ++k) {
        RunTick t;
        t.Index = k;
        t.SimTime = 0.5 + k * 3.0 / 86400.0;
        t.Display.CpaAlarmOn = true;
        t.Vessels = {{{0, 0}, 0, 0, 0, 0},
                     {{k < 2 ? 0.5 : 20.0, 0}, k < 2 ? 180.0f : 0.0f, 10, 0, 10}};
        r.Ticks.push_back(t);
    }
    r.Events.push_back({1, r.Ticks[1].SimTime, "acknowledge", -1, "Alarms acknowledged"});
    EXPECT_TRUE(AlarmsAt(r, 0).Unacknowledged(1));
    EXPECT_TRUE(AlarmsAt(r, 1).InDanger(1));
    EXPECT_FALSE(AlarmsAt(r, 1).Unacknowledged(1));
    EXPECT_FALSE(AlarmsAt(r, 2).InDanger(1));
}

} // namespace
} // namespace mv
