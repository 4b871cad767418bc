#pragma once
// What the instructor station and the seats of a class say to each other through the broker:
// one struct per message, written as JSON with the format's name and version, and read back as
// untrusted input (a message may come from any program that holds an account): every field is
// checked, a message over its size limit is refused unread, and a bad message gives one clear
// message, never an exception.
//
// Topics, under marovane/<class>/:
//   instructor/exercise   retained  the exercise in progress, so a late seat catches up
//   instructor/clock      retained  paused or running, and the time factor
//   instructor/command              an order injected to a target, or the end of the exercise
//   seat/<id>/status      retained  connected, finished, left, or lost (the seat's last will)
//   seat/<id>/state                 about once a second: sea time, the vessels, the student's
//                                   display and alarms, answers handed in and orders given
//   seat/<id>/answers               each answer as typed
//   seat/<id>/record                the run record's bytes at the end, for the marking

#include "core/figure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kClassFormat = "Marovane class";
// Version 2 adds an exercise in one sea; every other message is still written as version 1, so
// an older seat refuses only what it cannot run.
inline constexpr int kClassVersion = 2;
inline constexpr int kClassSeaVersion = 2;
// Exercise files and demos are a few kilobytes; a message past this is not one of ours.
inline constexpr size_t kClassMessageLimit = 1024 * 1024;
// A run record of an hour at x1 with six vessels is some 2 MB; its base64 text a third more.
inline constexpr size_t kClassRecordLimit = 64 * 1024 * 1024;

// A message read from the wire: the value, or why it was refused.
template <class T> struct ClassParsed {
    std::optional<T> Value;
    std::string Error;
    bool ok() const { return Value.has_value(); }
};

// The exercise every seat is to run. `Run` names this start of it, so that a seat reconnecting
// to the same run goes on rather than starting afresh.
struct ClassExercise {
    std::string Run;      // "2026-12-07 14:30:15"
    std::string File;     // the exercise file's name, "Exam1.toml"
    std::string Text;     // the file's text, without the answers' tolerances
    std::string DemoName; // a demo the exercise names, sent with it (seats may not have it) ...
    std::string DemoText; // ... and its text; both empty when none
    // In one sea, a ship for each seat taking part, in seat order; empty when each seat sails
    // alone.
    struct Ship {
        std::string Seat;    // the seat's account
        std::string Name;    // the student's name, or "Seat 2"
        double X = 0, Y = 0; // her start, nautical miles north and east of the scenario's origin
        std::string Text;    // the seat's own exercise text, her ship first
    };
    std::vector<Ship> Sea;
};
std::string ToJson(const ClassExercise& m);
ClassParsed<ClassExercise> ParseClassExercise(std::string_view payload);

struct ClassClock {
    std::string Run;
    bool Paused = true;
    int TimeFactor = 1; // x1, x2, x5 ... x120: one of the clock's factors
};
std::string ToJson(const ClassClock& m);
ClassParsed<ClassClock> ParseClassClock(std::string_view payload);

struct ClassCommand {
    enum class Kind { Order, End };
    std::string Run;
    int64_t Seq = 0; // a command delivered twice (QoS 1 may) is carried out once
    Kind Is = Kind::Order;
    int Vessel = 1;              // a target's slot (not the own vessel: that is the student's)
    std::optional<int> Course;   // degrees true, 0 to 359
    std::optional<double> Speed; // knots
};
std::string ToJson(const ClassCommand& m);
ClassParsed<ClassCommand> ParseClassCommand(std::string_view payload);

struct ClassStatus {
    // Lost: the link broke without a goodbye (the broker sends it, as the seat's last will);
    // left: the program closed or left the class.
    enum class Kind { Connected, Finished, Lost, Left };
    Kind Is = Kind::Connected;
    std::string Student;
};
std::string ToJson(const ClassStatus& m);
ClassParsed<ClassStatus> ParseClassStatus(std::string_view payload);
std::string_view StatusName(ClassStatus::Kind kind);

// One vessel of a seat's world as the instructor's picture of it needs it.
struct ClassVessel {
    double X = 0, Y = 0; // nautical miles north and east of the start's origin
    double Heading = 0;  // degrees true
    double Speed = 0;    // knots
    int Size = 0;        // 0 small, 1 medium, 2 large (the echo's length)
};

// The last order the student gave a vessel.
struct ClassOrder {
    int Vessel = 0;
    int Course = 0;       // degrees true
    double Speed = 0;     // knots
    double SimTime = 0.5; // days
};

// The radar video as the student has it set, so the instructor sees an over-set sea clutter as
// it happens rather than in the record afterwards.
struct ClassVideo {
    bool On = false;                               // the receiver's video, not plain echoes
    int Gain = 70, Sea = 30, Rain = 0, Tune = 100; // each 0..100
    int Band = 0;                                  // 0 X (3 cm), 1 S (10 cm)
    int SeaState = 0;                              // the sea its clutter shows, 0 calm .. 6
    friend bool operator==(const ClassVideo&, const ClassVideo&) = default;
};

// What a seat sends about once a second: enough for the instructor's roster and a small live
// picture of the seat's radar (the vessels as they are, the student's display and alarms).
struct ClassState {
    std::string Run;
    double SimTime = 0.5; // days; 0.5 is 12:00:00
    double X = 0, Y = 0;  // own ship, nautical miles north and east of the start's origin
    double Course = 0;    // degrees true
    double Speed = 0;     // knots
    bool Paused = true;
    int Answers = 0;                  // handed in so far
    std::vector<ClassVessel> Vessels; // every vessel, the own ship at `Own`; at most 6
    int Own = 0;
    double Range = 12; // nautical miles, centre to edge
    enum class Up { Head, North, Course } Orientation = Up::Head;
    int Vectors = 0;         // 0 off, 1 relative, 2 true
    int VectorMinutes = 6;   // one of the vector times
    std::vector<int> Alarms; // targets in danger by the student's alarm limits
    int Orders = 0;          // given so far
    std::optional<ClassOrder> LastOrder;
    // A field an older station skips unread; none from a seat older than the video.
    std::optional<ClassVideo> Video;
};
std::string ToJson(const ClassState& m);
ClassParsed<ClassState> ParseClassState(std::string_view payload);

// The target nearest a seat's own ship and how far it is (nautical miles); none without one.
struct ClassNearest {
    int Vessel = 0;
    double Distance = 0;
};
std::optional<ClassNearest> NearestTarget(const ClassState& state);

// A seat's video in a roster's cell, "Video G60 S40 R0" (gain, sea and rain anti-clutter), or
// "Video off"; and in full for its tooltip, with the tune, the band and the sea state.
std::string VideoCell(const ClassVideo& video);
std::string VideoDetail(const ClassVideo& video);

struct ClassAnswer {
    std::string Run;
    int Question = 0; // from 0
    int Vessel = -1;  // the target's slot; -1 for set and drift
    Figure Asked = Figure::Cpa;
    double Value = 0;
    double SimTime = 0.5; // days
};
std::string ToJson(const ClassAnswer& m);
ClassParsed<ClassAnswer> ParseClassAnswer(std::string_view payload);

struct ClassRecord {
    std::string Run;
    std::string Student;
    std::vector<unsigned char> Bytes; // the run record file, whole
};
std::string ToJson(const ClassRecord& m);
ClassParsed<ClassRecord> ParseClassRecord(std::string_view payload);

// The first line of a seat's copy of an exercise. Its tolerances stay with the instructor, so a
// record made on a seat is marked only against the instructor's file.
inline constexpr std::string_view kSeatCopyMark =
    "# A class seat's copy: the marking stays with the instructor.\n";

// The exercise's text as a seat receives it: the [tolerance] table taken out, since how far an
// answer may be from the truth is the marker's, not the student's. The rest (the action to
// take included: the student is told what CPA to keep) runs the exercise. Empty with `error`
// set when the text is not TOML.
std::string SeatExerciseText(std::string_view text, std::string& error);

// A class code or seat name fit for a topic level and an account: 1 to 32 letters, digits,
// '-' and '_' (no '/', '+', '#' which MQTT reserves, nor spaces).
bool IsClassName(std::string_view name);

// "marovane/<class>/instructor/<what>" and "marovane/<class>/seat/<seat>/<what>".
std::string InstructorTopic(std::string_view classCode, std::string_view what);
std::string SeatTopic(std::string_view classCode, std::string_view seat, std::string_view what);
// The seat and what of a seat's topic of the class; none for any other topic.
struct SeatTopicParts {
    std::string Seat, What;
};
std::optional<SeatTopicParts> SplitSeatTopic(std::string_view classCode, std::string_view topic);

std::string Base64(const std::vector<unsigned char>& bytes);
std::optional<std::vector<unsigned char>> FromBase64(std::string_view text);

} // namespace mv
