#pragma once
// A run as it is kept for the debrief: what the scenario was, every tick's vessels and display
// state, and the events with their moments. Plain data, written by RunWriter as the run goes and
// read back whole by ReadRunRecord.

#include "core/figure.h"
#include "core/vessel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// The file's SQLite application id ("MvRn"): a record is told from any other SQLite file.
inline constexpr int32_t kRunApplicationId = 0x4D76526E;
// The format written; a reader takes this one and every older one. Format 2 added the tables
// of an assessed exercise (the exercise opened, answers, orders, ending); format 3 the
// tracker's output (its events, and its tracks at each moment while ARPA was on); format 4 the
// radar video's controls as the student set them; format 5 the sea the video's clutter shows;
// format 6 the second EBL and VRM and the second EBL's offset origin at every moment.
inline constexpr int kRunFormatVersion = 6;

struct RunInfo {
    std::string Title;
    std::string ScenarioFile;   // the demo file, or what else started the run ("random")
    std::string Started;        // wall-clock time, ISO 8601 UTC
    std::string ProgramVersion; // "0.1.0"
};

// A vessel slot of the run: its letter and size class (kSmall, kMedium or kLarge).
struct RunVessel {
    int Slot = 0;
    std::string Name;
    double Size = 0.0;
};

// The display a student works with at that moment.
struct RunDisplay {
    double Range = 12.0; // nautical miles
    int RangeIndex = 7;
    bool NorthUp = false;
    bool CourseUp = false;
    int Bearings = 0; // the bearing reference: 0 relative, 1 course
    bool RingsOn = true;
    bool HeadingLine = true;
    bool EBLOn = false;
    float EBLBearing = 0.0f; // degrees on the screen, clockwise from the top
    bool VRMOn = false;
    double VRMRange = 0.0; // nautical miles
    // The second pair; an offset second EBL starts from a sea position (nautical miles, X
    // north and Y east), so it stays on the echo it was laid on as the own vessel moves.
    bool EBL2On = false;
    float EBL2Bearing = 0.0f; // degrees on the screen, clockwise from the top
    bool VRM2On = false;
    double VRM2Range = 0.0; // nautical miles
    bool EBL2Offset = false;
    PointD EBL2Origin;
    double CursorEast = 0.0, CursorNorth = 0.0; // nautical miles
    bool PlotOn = false;
    int PlotFreqIndex = 0; // continuous, 3, 6 or 12 minutes
    bool TrueViewOn = false;
    bool TrueTrails = false;
    int Vectors = 0; // off, relative, true
    int VectorIndex = 1;
    bool CpaAlarmOn = false;
    bool GuardOn = false;
    double GuardRange = 3.0; // nautical miles
    float CpaLimit = 1.0f;   // the CPA/TCPA alarm's limits: nautical miles
    float TcpaLimit = 12.0f; // and minutes
    std::vector<int> Picked; // vessel slots picked for their data
    friend bool operator==(const RunDisplay&, const RunDisplay&) = default;
};

struct RunVesselState {
    PointD Pos;            // nautical miles, X north and Y east
    float Heading = 0.0f;  // degrees true
    float Speed = 0.0f;    // knots
    int NewHeading = 0;    // ordered, degrees true
    float NewSpeed = 0.0f; // ordered, knots
    friend bool operator==(const RunVesselState&, const RunVesselState&) = default;
};

// A track as the student saw it at a moment. Position where its symbol stood (a lost track's
// last plot); course and speed over the ground; CPA and TCPA from the track's own figures.
struct RunTrack {
    int Id = 0;              // the number beside the symbol, from 1
    int State = 0;           // 0 acquiring, 1 tracked, 2 lost
    bool Trend = false;      // its vector was shown (after about a minute)
    bool Prediction = false; // its CPA and TCPA were shown (after about three minutes)
    bool Danger = false;     // inside the student's CPA/TCPA limits
    bool Acknowledged = false;
    PointD Pos;          // nautical miles, X north and Y east
    float Course = 0.0f; // degrees true, over the ground
    float Speed = 0.0f;  // knots, over the ground
    double Cpa = 0.0;    // nautical miles
    double Tcpa = 0.0;   // minutes, negative once past
    friend bool operator==(const RunTrack&, const RunTrack&) = default;
};

// What the tracker did: acquired a track (by hand or in the zone), lost one, swapped one from
// an echo to another, warned that its tracks were all in use, or refused one for that reason.
// The echoes are the vessel slots of a swap (truth kept for the debrief), otherwise -1.
struct RunTrackEvent {
    int64_t Tick = 0;     // the last moment recorded before it
    double SimTime = 0.5; // days
    int Kind = 0;         // 0 acquired, 1 lost, 2 swapped, 3 capacity warning, 4 refused
    int Track = 0;        // 0 for a refusal
    PointD Pos;           // nautical miles: where it was acquired, lost or swapped
    int FromEcho = -1, ToEcho = -1;
    friend bool operator==(const RunTrackEvent&, const RunTrackEvent&) = default;
};

// The radar's picture and its controls from a moment on, until the next row: a row whenever
// the student changes them, and one as the run starts.
struct RunVideoSetting {
    int64_t Tick = 0;     // the last moment recorded before it
    double SimTime = 0.5; // days
    bool Video = false;   // the receiver's video shown, not the plain echoes
    int Gain = 70, Sea = 30, Rain = 0, Tune = 100; // each 0..100
    int Band = 0;                                  // 0 X (3 cm), 1 S (10 cm)
    friend bool operator==(const RunVideoSetting&, const RunVideoSetting&) = default;
};

// The sea state the video's clutter shows from a moment on (0 calm .. 6 very rough): the
// exercise's own until the Seas menu changes the sea. A row as the run starts and whenever it
// changes.
struct RunVideoSea {
    int64_t Tick = 0;     // the last moment recorded before it
    double SimTime = 0.5; // days
    int SeaState = 0;
    friend bool operator==(const RunVideoSea&, const RunVideoSea&) = default;
};

// One moment of the run: the start, every tick, and every command that moved the vessels
// without a tick (a jump, a repeat).
struct RunTick {
    int64_t Index = 0;
    double SimTime = 0.5; // days; 0.5 is 12:00:00
    int TimeFactor = 1;
    int OwnVessel = 0;
    RunDisplay Display;
    std::vector<RunVesselState> Vessels; // by slot
    std::vector<RunTrack> Tracks{};      // by number, while ARPA is on; none otherwise
};

struct RunEvent {
    int64_t Tick = 0;     // the last moment recorded before it
    double SimTime = 0.5; // days
    std::string Kind;     // "order", "jump", "pause", "resume", "time factor", "cpa data", ...
    int Vessel = -1;      // the slot it concerns, or -1
    std::string Text;     // as a person reads it, figures included
};

// The assessed exercise a run is of: the file's name as opened, the student, and the file's
// whole text, so that the marking reads the exercise the student took, whatever becomes of the
// file afterwards. Empty text in a record made before the text was kept.
struct RunExercise {
    std::string File;
    std::string Student; // empty when none was given
    std::string Text;
    friend bool operator==(const RunExercise&, const RunExercise&) = default;
};

// A figure handed in, exactly as typed: in the figure's unit (nautical miles, minutes, degrees
// true, knots), an aspect signed (negative red, positive green).
struct RunAnswer {
    int64_t Tick = 0;     // the last moment recorded before it
    double SimTime = 0.5; // days
    int Question = 0;     // index into the exercise's questions, from 0
    int Vessel = -1;      // the target's slot; -1 for set and drift
    Figure Asked = Figure::Cpa;
    double Value = 0;
    friend bool operator==(const RunAnswer&, const RunAnswer&) = default;
};

// An order given to a vessel by the student: the course and speed to come to.
struct RunOrder {
    int64_t Tick = 0;
    double SimTime = 0.5;
    int Vessel = 0;
    int Course = 0;   // degrees true
    double Speed = 0; // knots
    friend bool operator==(const RunOrder&, const RunOrder&) = default;
};

// How an assessed exercise ended: "time limit", "all questions answered", "ended by the
// student", "left for another scenario", "program closed".
struct RunEnding {
    int64_t Tick = 0;
    double SimTime = 0.5;
    std::string How;
    friend bool operator==(const RunEnding&, const RunEnding&) = default;
};

struct RunRecord {
    RunInfo Info;
    std::vector<RunVessel> Vessels;
    std::vector<RunTick> Ticks; // in the order recorded
    std::vector<RunEvent> Events;
    std::vector<RunTrackEvent> TrackEvents{};     // in the order they came
    std::vector<RunVideoSetting> VideoSettings{}; // in the order set
    std::vector<RunVideoSea> VideoSeas{};         // in the order the sea changed
    // Of an assessed exercise only.
    std::optional<RunExercise> Exercise;
    std::vector<RunAnswer> Answers; // in the order handed in
    std::vector<RunOrder> Orders;   // in the order given
    std::optional<RunEnding> Ending;

    // The moment shown at sea time `days`: of the moments at or before it, the latest in sea
    // time, and of equal ones (a repeat passes the same times again) the last recorded. Empty
    // before the first.
    std::optional<std::size_t> TickAt(double days) const;
};

} // namespace mv
