// The class's messages as untrusted input: what a seat or an instructor writes reads back the
// same, and anything else is refused with a message saying what is wrong, never thrown.

#include "core/classroom/class_messages.h"
#include "core/exercise/exercise_file.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(ClassMessages, WhatIsWrittenReadsBackTheSame) {
    ClassCommand order{"r1", 7, ClassCommand::Kind::Order, 2, 270, 8.5};
    const auto c = ParseClassCommand(ToJson(order));
    ASSERT_TRUE(c.ok()) << c.Error;
    EXPECT_EQ(c.Value->Seq, 7);
    EXPECT_EQ(c.Value->Vessel, 2);
    EXPECT_EQ(c.Value->Course, 270);
    EXPECT_EQ(c.Value->Speed, 8.5);

    const auto a = ParseClassAnswer(ToJson(ClassAnswer{"r1", 1, -1, Figure::Drift, 1.5, 0.51}));
    ASSERT_TRUE(a.ok()) << a.Error;
    EXPECT_EQ(a.Value->Asked, Figure::Drift);
    EXPECT_EQ(a.Value->Vessel, -1);

    // Every byte value, and each length modulo 3 (the padding's three cases).
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 256 + 2; ++i)
        bytes.push_back(static_cast<unsigned char>(i));
    for (size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, bytes.size()}) {
        const std::vector<unsigned char> part(bytes.begin(), bytes.begin() + static_cast<long>(n));
        const auto r = ParseClassRecord(ToJson(ClassRecord{"r1", "Ann", part}));
        ASSERT_TRUE(r.ok()) << r.Error;
        EXPECT_EQ(r.Value->Bytes, part) << n;
    }
    EXPECT_EQ(Base64({'M', 'a'}), "TWE=");
}

TEST(ClassMessages, AnythingElseIsRefusedWithAReason) {
    const std::string head = R"({"format":"Marovane class","version":1,)";
    struct Case {
        std::string payload, error;
    };
    const Case cases[] = {
        {"not json", "not a Marovane class message"},
        {R"({"format":"Marovane results","version":1})", "not a Marovane class message"},
        {R"({"format":"Marovane class","version":2,"kind":"clock"})",
         "from a newer Marovane; update this one"},
        {head + R"("kind":"state"})", "not a clock message"},
        {head + R"("kind":"clock","run":"r","paused":false,"time_factor":3})",
         "time_factor: not one of the clock's factors"},
        {head + R"("kind":"clock","run":"r","paused":"no","time_factor":1})",
         "paused: not true or false"},
        {head + R"("kind":"clock","run":"r","paused":true,"time_factor":1.5})",
         "time_factor: not a whole number"},
        {head + R"("kind":"clock","run":"r","paused":true,"time_factor":18446744073709551615})",
         "time_factor: out of range"},
        {head + R"("kind":"clock","paused":true,"time_factor":1})", "run: missing"},
    };
    for (const Case& c : cases) {
        const auto read = ParseClassClock(c.payload);
        EXPECT_FALSE(read.ok()) << c.payload;
        EXPECT_EQ(read.Error, "A class clock message: " + c.error) << c.payload;
    }
    // The own ship is the student's to steer; a target's figure needs a target.
    EXPECT_EQ(ParseClassCommand(head + R"("kind":"command","run":"r","seq":1,"command":"order",)"
                                       R"("vessel":0,"course":90})")
                  .Error,
              "A class command message: vessel: out of range");
    EXPECT_EQ(ParseClassCommand(head + R"("kind":"command","run":"r","seq":1,"command":"order",)"
                                       R"("vessel":1})")
                  .Error,
              "A class command message: an order with neither course nor speed");
    EXPECT_EQ(ParseClassAnswer(head + R"("kind":"answer","run":"r","question":0,"vessel":-1,)"
                                      R"("figure":"cpa","value":1,"sim_time":0.5})")
                  .Error,
              "A class answer message: vessel: a target's figure needs a target, the current's "
              "none");
    // A demo is written under its name: nothing that climbs out of the folder.
    EXPECT_EQ(ParseClassExercise(head + R"("kind":"exercise","run":"r","file":"a.toml",)"
                                        R"("text":"","demo_name":"../x.dem","demo_text":""})")
                  .Error,
              "A class exercise message: demo_name: not a plain file name");
    EXPECT_FALSE(ParseClassState(std::string(kClassMessageLimit + 1, ' ')).ok());
    for (const char* bad : {"TWE", "TW=E", "T===", "TWE!", "=TWE"})
        EXPECT_FALSE(FromBase64(bad)) << bad;
}

TEST(ClassMessages, TheSeatsCopyOfAnExerciseHasNoTolerancesAndRunsTheSame) {
    const std::string text = "title = \"Fog\"\n"
                             "[[scenario.vessel]]\ncourse = 0\nspeed = 10\n"
                             "[[scenario.vessel]]\nsize = \"large\"\ncourse = 180\nspeed = 12\n"
                             "bearing = 5\nrange = 8\n"
                             "[[question]]\nat = 12:06:00\nfigures = [\"cpa\"]\n"
                             "[action]\nmin_cpa = 2\n"
                             "[tolerance]\ncpa = 0.5\n";
    const ExerciseReadResult full = ParseExercise(text, "Fog.toml");
    ASSERT_TRUE(full.ok()) << full.Error;
    std::string error;
    const std::string seat = SeatExerciseText(text, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(seat.find("tolerance"), std::string::npos) << seat;
    const ExerciseReadResult read = ParseExercise(seat, "Fog.toml");
    ASSERT_TRUE(read.ok()) << read.Error << "\n" << seat;
    EXPECT_DOUBLE_EQ(read.Exercise->Tolerance.Cpa, 0.2);
    EXPECT_DOUBLE_EQ(read.Exercise->Action.MinCpa, 2);
    EXPECT_DOUBLE_EQ(read.Exercise->Questions.at(0).At, full.Exercise->Questions.at(0).At);
    EXPECT_EQ(read.Exercise->Scenario.Vessels.size(), 2u);
    EXPECT_EQ(SeatExerciseText("title = ", error), "");
    EXPECT_NE(error, "");
}

TEST(ClassMessages, OnlyASeatsOwnTopicsNameASeat) {
    EXPECT_EQ(SeatTopic("nav1", "seat3", "state"), "marovane/nav1/seat/seat3/state");
    const auto parts = SplitSeatTopic("nav1", "marovane/nav1/seat/seat3/state");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Seat, "seat3");
    EXPECT_EQ(parts->What, "state");
    for (const char* other :
         {"marovane/nav2/seat/seat3/state", "marovane/nav1/seat//state", "marovane/nav1/seat/seat3",
          "marovane/nav1/seat/seat3/a/b", "marovane/nav1/instructor/clock"})
        EXPECT_FALSE(SplitSeatTopic("nav1", other)) << other;
    for (const char* bad : {"", "a/b", "a+", "#", "a b", "123456789012345678901234567890123"})
        EXPECT_FALSE(IsClassName(bad)) << bad;
    EXPECT_TRUE(IsClassName("Nav-1_b"));
}

} // namespace
} // namespace mv
