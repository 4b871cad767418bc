// The class's messages as untrusted input: what a seat or an instructor writes reads back the
// same, and anything else is refused with a message saying what is wrong, never thrown.

#include "core/classroom/class_messages.h"
#include "core/classroom/one_sea.h"
#include "core/exercise/exercise_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

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
        {R"({"format":"Marovane class","version":3,"kind":"clock"})",
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

// A seat's state: the own ship second of three, course-up at 6 nm with true vectors of 12
// minutes, C in danger, two orders given.
ClassState Seen() {
    ClassState s;
    s.Run = "r1";
    s.Vessels = {{4, -1, 90, 12, 2}, {0, 0, 359.5, 10, 1}, {-3, 2.5, 0, 0, 0}};
    s.Own = 1;
    s.Range = 6;
    s.Orientation = ClassState::Up::Course;
    s.Vectors = 2;
    s.VectorMinutes = 12;
    s.Alarms = {2};
    s.Orders = 2;
    s.LastOrder = ClassOrder{1, 45, 6.5, 0.51};
    s.Video = ClassVideo{true, 85, 60, 15, 95, 1, 5}; // S band, a rough sea
    return s;
}

TEST(ClassMessages, ASeatsStateReadsBackAndItsNearestTargetIsWorkedFromIt) {
    const auto read = ParseClassState(ToJson(Seen()));
    ASSERT_TRUE(read.ok()) << read.Error;
    const ClassState& s = *read.Value;
    ASSERT_EQ(s.Vessels.size(), 3u);
    EXPECT_EQ(s.Vessels[0].Size, 2);
    EXPECT_DOUBLE_EQ(s.Vessels[1].Heading, 359.5);
    EXPECT_EQ(s.Own, 1);
    EXPECT_EQ(s.Orientation, ClassState::Up::Course);
    EXPECT_EQ(s.Vectors, 2);
    EXPECT_EQ(s.Alarms, std::vector<int>{2});
    ASSERT_TRUE(s.LastOrder);
    EXPECT_EQ(s.LastOrder->Course, 45);
    EXPECT_EQ(s.Video, (ClassVideo{true, 85, 60, 15, 95, 1, 5}));
    EXPECT_EQ(VideoCell(*s.Video), "Video G85 S60 R15");
    EXPECT_EQ(VideoDetail(*s.Video), "Video on: gain 85, sea 60, rain 15, tune 95, S band; sea "
                                     "state 5");
    EXPECT_EQ(VideoCell(ClassVideo{}), "Video off");
    // A at 4.12 nm (4 north, 1 west), C at 3.91 nm (3 south, 2.5 east): C is nearer.
    const auto nearest = NearestTarget(s);
    ASSERT_TRUE(nearest);
    EXPECT_EQ(nearest->Vessel, 2);
    EXPECT_NEAR(nearest->Distance, std::sqrt(15.25), 1e-12);
    ClassState alone = s;
    alone.Vessels.resize(2);
    alone.Vessels.erase(alone.Vessels.begin());
    alone.Own = 0;
    EXPECT_FALSE(NearestTarget(alone));
}

TEST(ClassMessages, AStateOutOfTheWorldIsRefused) {
    const struct {
        void (*spoil)(ClassState&);
        const char* error;
    } cases[] = {
        {[](ClassState& s) { s.Vessels.resize(7); }, "vessels: too many"},
        {[](ClassState& s) { s.Vessels.clear(); }, "vessels: none, not even the own ship"},
        {[](ClassState& s) { s.Vessels[2].X = 1e6; }, "vessels[2].x: out of range"},
        {[](ClassState& s) { s.Own = 3; }, "own: out of range"},
        {[](ClassState& s) { s.Range = 48; }, "range: out of range"},
        {[](ClassState& s) { s.VectorMinutes = 5; }, "vector_minutes: not one of the vector times"},
        {[](ClassState& s) { s.Alarms = {1}; }, "alarms: not the state's targets, each once"},
        {[](ClassState& s) {
             s.Alarms = {2, 2};
         },
         "alarms: not the state's targets, each once"},
        {[](ClassState& s) { s.Orders = 0; },
         "last_order: given with no orders, or missing after one"},
        {[](ClassState& s) { s.LastOrder->Course = 360; }, "last_order.course: out of range"},
        {[](ClassState& s) { s.Video->Sea = 101; }, "video.sea: out of range"},
        {[](ClassState& s) { s.Video->SeaState = 7; }, "video.sea_state: out of range"},
    };
    for (const auto& c : cases) {
        ClassState s = Seen();
        c.spoil(s);
        EXPECT_EQ(ParseClassState(ToJson(s)).Error,
                  std::string("A class state message: ") + c.error);
    }
}

// The video goes as a field of version 1 that a station older than it skips, as a station
// skips any field it does not know; a seat older than it sends none, and a band that is neither
// X nor S is refused.
TEST(ClassMessages, TheVideoIsAFieldAnOlderReaderSkipsAndAnOlderSeatLeavesOut) {
    const std::string json = ToJson(Seen());
    EXPECT_NE(json.find("\"version\":1,"), std::string::npos) << json;
    const auto cut = json.find(",\"video\":");
    ASSERT_NE(cut, std::string::npos);
    const std::string older = json.substr(0, cut) + "}";
    const auto plain = ParseClassState(older);
    ASSERT_TRUE(plain.ok()) << plain.Error;
    EXPECT_FALSE(plain.Value->Video);
    const std::string later = json.substr(0, json.size() - 1) + ",\"echo_trails\":{\"on\":1}}";
    const auto ahead = ParseClassState(later);
    ASSERT_TRUE(ahead.ok()) << ahead.Error;
    EXPECT_EQ(ahead.Value->Video, Seen().Video);
    std::string band = json;
    band.replace(band.find("\"band\":\"S\""), 10, "\"band\":\"K\"");
    EXPECT_EQ(ParseClassState(band).Error, "A class state message: video.band: not X or S");
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

// A seat opens a video lesson in the instructor's presentation, band, sea and weather, with its
// display set-ups: the seat's copy keeps the [video] table and the [[setup]]s whole.
TEST(ClassMessages, TheSeatsCopyOfAVideoLessonKeepsItsVideoAndSetUps) {
    for (const char* name :
         {"Video1-SeaClutter.toml", "Video2-Rain.toml", "Video3-BlindSector.toml",
          "Video4-FalseEchoes.toml", "Video5-RaconSart.toml", "Video6-SmallCraft.toml"}) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(MAROVANE_DATA_DIR "/") + name);
        std::stringstream text;
        text << file.rdbuf() << "\n[[setup]]\nat = 12:03:00\ntargets = [\"B\"]\nnoise = 3\n";
        const ExerciseReadResult full = ParseExercise(text.str(), name);
        ASSERT_TRUE(full.ok()) << full.Error;
        std::string error;
        const ExerciseReadResult seat = ParseExercise(SeatExerciseText(text.str(), error), name);
        ASSERT_TRUE(seat.ok()) << seat.Error;
        const ExerciseVideo &a = full.Exercise->Video, &b = seat.Exercise->Video;
        EXPECT_TRUE(a.Video == b.Video && a.Band == b.Band && a.SeaState == b.SeaState &&
                    a.WindFrom == b.WindFrom && a.Ducting == b.Ducting &&
                    a.SideLobes == b.SideLobes && a.MultipleEchoes == b.MultipleEchoes &&
                    a.IndirectEchoes == b.IndirectEchoes);
        ASSERT_EQ(a.Rain.size(), b.Rain.size());
        for (size_t i = 0; i < a.Rain.size(); ++i)
            EXPECT_TRUE(
                a.Rain[i].At.Bearing == b.Rain[i].At.Bearing &&
                a.Rain[i].At.Range == b.Rain[i].At.Range && a.Rain[i].Radius == b.Rain[i].Radius &&
                a.Rain[i].Intensity == b.Rain[i].Intensity && a.Rain[i].Drift == b.Rain[i].Drift);
        ASSERT_EQ(a.Sectors.size(), b.Sectors.size());
        for (size_t i = 0; i < a.Sectors.size(); ++i)
            EXPECT_TRUE(a.Sectors[i].From == b.Sectors[i].From &&
                        a.Sectors[i].To == b.Sectors[i].To &&
                        a.Sectors[i].Blind == b.Sectors[i].Blind);
        ASSERT_EQ(a.Racons.size(), b.Racons.size());
        for (size_t i = 0; i < a.Racons.size(); ++i)
            EXPECT_EQ(a.Racons[i].Letter, b.Racons[i].Letter);
        EXPECT_EQ(a.Sart.has_value(), b.Sart.has_value());
        ASSERT_EQ(full.Exercise->Setups.size(), seat.Exercise->Setups.size());
        for (size_t i = 0; i < full.Exercise->Setups.size(); ++i)
            EXPECT_TRUE(full.Exercise->Setups[i].At == seat.Exercise->Setups[i].At &&
                        full.Exercise->Setups[i].Targets == seat.Exercise->Setups[i].Targets &&
                        full.Exercise->Setups[i].NoiseLimit == seat.Exercise->Setups[i].NoiseLimit);
    }
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

// One sea: only an exercise with ships is written as version 2 (an older seat refuses just
// that); the ships read back; a seat given twice is refused.
TEST(ClassMessages, AnExerciseInOneSeaIsANewerMessageAndReadsBack) {
    ClassExercise plain{"r1", "Exam1.toml", "title = \"x\"\n", "", "", {}};
    EXPECT_NE(ToJson(plain).find("\"version\":1"), std::string::npos);
    ClassExercise sea = plain;
    sea.Sea = {{"seat1", "Ann", 0, 0, "a"}, {"seat2", "Bob", 0, 1, "b"}};
    const std::string json = ToJson(sea);
    EXPECT_NE(json.find("\"version\":2"), std::string::npos);
    const auto read = ParseClassExercise(json);
    ASSERT_TRUE(read.ok()) << read.Error;
    ASSERT_EQ(read.Value->Sea.size(), 2u);
    EXPECT_EQ(read.Value->Sea[1].Name, "Bob");
    EXPECT_EQ(read.Value->Sea[1].Y, 1);
    EXPECT_EQ(read.Value->Sea[1].Text, "b");
    sea.Sea[1].Seat = "seat1";
    EXPECT_EQ(ParseClassExercise(ToJson(sea)).Error, "A class exercise message: sea: a seat twice");
}

// Three ships 2 nm apart in line abreast of an own ship steering 090 at the origin, with a
// target 5 nm due north: seat 2 (the third) starts 4 nm south, (-4, 0). Her exercise has her
// ship first on 090, the target 4 + 5 = 9 nm on 000, then seat 0's ship 4 nm on 000 and seat
// 1's 2 nm on 000.
TEST(OneSea, EachSeatsExerciseHasHerShipFirstAndTheOthersAsTargets) {
    const std::string text = "title = \"Line abreast\"\n[scenario]\n"
                             "[[scenario.vessel]]\ncourse = 90\nspeed = 10\n"
                             "[[scenario.vessel]]\nsize = \"large\"\ncourse = 180\nspeed = 5\n"
                             "bearing = 0\nrange = 5\n";
    const ExerciseReadResult read = ParseExercise(text, "t.toml");
    ASSERT_TRUE(read.ok()) << read.Error;
    Simulation start;
    ASSERT_EQ(BuildExerciseSimulation(*read.Exercise, ".", {}, start), "");
    const std::vector<PointD> starts = SeaStarts(start.Vessels, 3, 2.0);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_NEAR(starts[2].X, -4, 1e-9);
    EXPECT_NEAR(starts[2].Y, 0, 1e-9);
    std::string error;
    const ExerciseReadResult mine =
        ParseExercise(OneSeaExerciseText(text, *read.Exercise, start, starts, 2, error), "t");
    ASSERT_TRUE(mine.ok()) << error << mine.Error;
    const auto& v = mine.Exercise->Scenario.Vessels;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].Vessel.Heading, 90);
    EXPECT_EQ(v[1].Vessel.Size, kLarge);
    EXPECT_EQ(v[1].Vessel.Heading, 180);
    const double ranges[] = {9, 4, 2};
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_NEAR(v[i].Vessel.Range, ranges[i - 1], 1e-9) << i;
        EXPECT_NEAR(std::fmod(v[i].Vessel.Bearing + 180, 360), 180, 1e-3) << i;
    }
    EXPECT_EQ(SeaSlot(2, 2, 0), 2);
    EXPECT_EQ(SeaSlot(2, 0, 2), 3);
    // Six slots: a scenario of two and five more seats do not fit.
    EXPECT_EQ(
        OneSeaExerciseText(text, *read.Exercise, start, SeaStarts(start.Vessels, 6, 1), 0, error),
        "");
    EXPECT_NE(error.find("too many"), std::string::npos) << error;
}

// Another seat's ship reckoned on from her last state to our sea clock, worked by hand: at x120
// a state one wall second old is 2 minutes of sea (2/1440 day), in which 12 kn makes 0.4 nm.
// Positions are nautical miles north (X) and east (Y).
TEST(OneSea, AShipIsReckonedOnBySeaTimeOverTheGround) {
    constexpr double kMinute = 1.0 / 1440, kNoon = 0.5;
    struct Case {
        const char* what;
        double heading, speed, set, drift, minutesOld, x, y;
    } cases[] = {
        {"12 kn east, 2 min old", 90, 12, 0, 0, 2, 1.0, 2.4},
        {"12 kn north-east: 0.4 nm split", 45, 12, 0, 0, 2, 1.0 + 0.4 * M_SQRT1_2,
         2.0 + 0.4 * M_SQRT1_2},
        {"12 kn north into a 2 kn set south: 10 kn made good", 0, 12, 180, 2, 2, 1.0 + 1.0 / 3,
         2.0},
        {"stopped, carried east 3 kn for 10 min", 0, 0, 90, 3, 10, 1.0, 2.5},
        {"a state of this very moment", 90, 12, 0, 0, 0, 1.0, 2.0},
        {"her clock a minute ahead of ours: back 0.2 nm", 90, 12, 0, 0, -1, 1.0, 1.8},
    };
    for (const Case& c : cases) {
        const PointD p = ReckonedPosition({1.0, 2.0}, c.heading, c.speed,
                                          {static_cast<float>(c.set), static_cast<float>(c.drift)},
                                          kNoon - c.minutesOld * kMinute, kNoon);
        EXPECT_NEAR(p.X, c.x, 1e-6) << c.what;
        EXPECT_NEAR(p.Y, c.y, 1e-6) << c.what;
    }
}

} // namespace
} // namespace mv
