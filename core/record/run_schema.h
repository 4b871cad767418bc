#pragma once
// The shape of a run record, declared once. Each table lists its columns in file order, each
// column with its name, its unit, the check a value read back must pass and the member of the
// plain row (run_record.h) it holds. The writer makes the tables, the INSERTs and the binding
// from these lists and the reader its SELECTs and its checks, so that no column is written in
// one place and read from another. The help page "Debrief" documents the same tables for
// readers with the sqlite3 shell, and `.schema` in that shell shows the units beside the
// columns. Figures are REAL (exact doubles: a float heading or speed is kept exactly), flags
// INTEGER 0 or 1, a figure asked by its name ("cpa", "tcpa", ...).

#include "core/record/run_record.h"

#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace mv::runschema {

// What a value read back must be before the program draws or marks with it.
enum class Check : int8_t {
    None,       // a flag (any integer is one), a text, a moment's number
    Range,      // an integer from Lo to Hi
    Slot,       // a vessel of the run: 0 to the number of vessels - 1
    SlotOrNone, // the same, or -1 for none
    Figure,     // a finite number no larger than kLargestFigure either way
    Positive,   // a figure above 0
    Picked,     // vessel slots separated by commas, at most six
    FigureName, // "cpa", "tcpa", "course", "speed", "aspect", "set", "drift"
};

// Where a column lives in a row: the member read for writing and the member set by reading.
template <class Row, class T> struct Member {
    const T& (*Get)(const Row&);
    T& (*Set)(Row&);
};
template <class Row>
using Access = std::variant<Member<Row, bool>, Member<Row, int>, Member<Row, int64_t>,
                            Member<Row, float>, Member<Row, double>, Member<Row, std::string>,
                            Member<Row, std::vector<int>>, Member<Row, Figure>>;

template <class Row> struct Field {
    const char* Name;
    Access<Row> Of;
    Check Checked = Check::None;
    int Lo = 0, Hi = 0;    // of Check::Range
    const char* Unit = ""; // as a comment beside the column in the file's schema
    bool Key = false;      // the table's INTEGER PRIMARY KEY
    int Since = 1;         // the format that first had it; later columns stand at the end
};

// A column from one generic lambda that names the member, `[](auto& r) -> auto& { return
// r.Display.Range; }`: its const instance reads for the writer, its other sets for the reader.
template <class Row, class L>
constexpr Field<Row> Col(const char* name, L member, Check check = Check::None, int lo = 0,
                         int hi = 0, const char* unit = "") {
    using T = std::remove_cvref_t<decltype(member(std::declval<Row&>()))>;
    // Through lambdas of fixed types: not every compiler converts a generic lambda to a
    // function pointer. A lambda that captures nothing is made anew where it is called.
    static_cast<void>(member);
    const T& (*get)(const Row&) = [](const Row& r) -> const T& { return L{}(r); };
    T& (*set)(Row&) = [](Row& r) -> T& { return L{}(r); };
    return {name, Member<Row, T>{get, set}, check, lo, hi, unit};
}

template <class Row> constexpr Field<Row> Keyed(Field<Row> f) {
    f.Key = true;
    return f;
}

// A column added to a table that older formats already had: a record of an earlier format lacks
// it, and reads it as the row's default.
template <class Row> constexpr Field<Row> AddedIn(int format, Field<Row> f) {
    f.Since = format;
    return f;
}

template <class Row> struct Table {
    const char* Name;
    std::span<const Field<Row>> Fields;
    int Since = 1;            // the format that first had it
    const char* Before = "";  // a column ahead of the fields, not in the row
    const char* After = "";   // a constraint after them
    const char* Options = ""; // after the closing bracket
    const char* Order = "";   // how the reader takes the rows
};

// A vessel's state at a moment, with the moment and the vessel it belongs to: a positions row.
struct PositionRow {
    int64_t Tick = 0;
    int Vessel = 0;
    RunVesselState State;
};

// A track's state at a moment: a track_states row.
struct TrackStateRow {
    int64_t Tick = 0;
    RunTrack Track;
};

// The most tracks a record may hold at one moment: the tracker's 40 with room to spare.
inline constexpr int kMostTrackNumber = 999;

#define MV_AT(path)                                                                                \
    [](auto& r) -> auto& {                                                                         \
        return r.path;                                                                             \
    }

inline constexpr Field<RunInfo> kRunFields[] = {
    Col<RunInfo>("title", MV_AT(Title)),
    Col<RunInfo>("scenario_file", MV_AT(ScenarioFile), Check::None, 0, 0,
                 "the demo file, \"own targets\", \"random traffic\""),
    Col<RunInfo>("started", MV_AT(Started), Check::None, 0, 0, "UTC, ISO 8601"),
    Col<RunInfo>("program_version", MV_AT(ProgramVersion)),
};

inline constexpr Field<RunVessel> kVesselFields[] = {
    Keyed(Col<RunVessel>("slot", MV_AT(Slot), Check::Range, 0, kMaxVessels - 1, "0 is A")),
    Col<RunVessel>("name", MV_AT(Name)),
    Col<RunVessel>("size", MV_AT(Size), Check::Figure, 0, 0, "0.05 small, 0.1 medium, 0.15 large"),
};

inline constexpr Field<RunTick> kTickFields[] = {
    Keyed(Col<RunTick>("tick", MV_AT(Index), Check::None, 0, 0, "0, 1, 2, ... in the order taken")),
    Col<RunTick>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days; 0.5 is 12:00:00"),
    Col<RunTick>("time_factor", MV_AT(TimeFactor), Check::Range, 1, 1000),
    Col<RunTick>("own_vessel", MV_AT(OwnVessel), Check::Slot),
    Col<RunTick>("range", MV_AT(Display.Range), Check::Positive, 0, 0, "nautical miles"),
    Col<RunTick>("range_index", MV_AT(Display.RangeIndex), Check::Range, 0, 9),
    Col<RunTick>("north_up", MV_AT(Display.NorthUp)),
    Col<RunTick>("course_up", MV_AT(Display.CourseUp)),
    Col<RunTick>("bearing_mode", MV_AT(Display.Bearings), Check::Range, 0, 1,
                 "0 relative, 1 course"),
    Col<RunTick>("rings", MV_AT(Display.RingsOn)),
    Col<RunTick>("heading_line", MV_AT(Display.HeadingLine)),
    Col<RunTick>("ebl_on", MV_AT(Display.EBLOn)),
    Col<RunTick>("ebl_bearing", MV_AT(Display.EBLBearing), Check::Figure, 0, 0,
                 "degrees on the screen, clockwise from its top"),
    Col<RunTick>("vrm_on", MV_AT(Display.VRMOn)),
    Col<RunTick>("vrm_range", MV_AT(Display.VRMRange), Check::Figure, 0, 0, "nautical miles"),
    Col<RunTick>("cursor_east", MV_AT(Display.CursorEast), Check::Figure, 0, 0, "nautical miles"),
    Col<RunTick>("cursor_north", MV_AT(Display.CursorNorth), Check::Figure, 0, 0, "nautical miles"),
    Col<RunTick>("plot_on", MV_AT(Display.PlotOn)),
    Col<RunTick>("plot_interval", MV_AT(Display.PlotFreqIndex), Check::Range, 0, 3,
                 "0 continuous, 1 to 3 for 3, 6 and 12 minutes"),
    Col<RunTick>("true_view", MV_AT(Display.TrueViewOn)),
    Col<RunTick>("true_trails", MV_AT(Display.TrueTrails)),
    Col<RunTick>("vectors", MV_AT(Display.Vectors), Check::Range, 0, 2,
                 "0 off, 1 relative, 2 true"),
    Col<RunTick>("vector_index", MV_AT(Display.VectorIndex), Check::Range, 0, 4,
                 "3, 6, 12, 15, 30 minutes"),
    Col<RunTick>("cpa_alarm", MV_AT(Display.CpaAlarmOn)),
    Col<RunTick>("guard_on", MV_AT(Display.GuardOn)),
    Col<RunTick>("guard_range", MV_AT(Display.GuardRange), Check::Figure, 0, 0, "nautical miles"),
    Col<RunTick>("cpa_limit", MV_AT(Display.CpaLimit), Check::Figure, 0, 0, "nautical miles"),
    Col<RunTick>("tcpa_limit", MV_AT(Display.TcpaLimit), Check::Figure, 0, 0, "minutes"),
    Col<RunTick>("picked", MV_AT(Display.Picked), Check::Picked, 0, 0,
                 "vessel slots, comma-separated"),
    AddedIn(6, Col<RunTick>("ebl2_on", MV_AT(Display.EBL2On))),
    AddedIn(6, Col<RunTick>("ebl2_bearing", MV_AT(Display.EBL2Bearing), Check::Figure, 0, 0,
                            "degrees on the screen, clockwise from its top")),
    AddedIn(6, Col<RunTick>("vrm2_on", MV_AT(Display.VRM2On))),
    AddedIn(6, Col<RunTick>("vrm2_range", MV_AT(Display.VRM2Range), Check::Figure, 0, 0,
                            "nautical miles")),
    AddedIn(6, Col<RunTick>("ebl2_offset", MV_AT(Display.EBL2Offset), Check::None, 0, 0,
                            "1: the second EBL starts from the sea position below")),
    AddedIn(6, Col<RunTick>("ebl2_north", MV_AT(Display.EBL2Origin.X), Check::Figure, 0, 0,
                            "nautical miles north")),
    AddedIn(6, Col<RunTick>("ebl2_east", MV_AT(Display.EBL2Origin.Y), Check::Figure, 0, 0,
                            "nautical miles east")),
};

inline constexpr Field<PositionRow> kPositionFields[] = {
    Col<PositionRow>("tick", MV_AT(Tick)),
    Col<PositionRow>("vessel", MV_AT(Vessel), Check::Slot),
    Col<PositionRow>("x", MV_AT(State.Pos.X), Check::Figure, 0, 0, "nautical miles north"),
    Col<PositionRow>("y", MV_AT(State.Pos.Y), Check::Figure, 0, 0, "nautical miles east"),
    Col<PositionRow>("heading", MV_AT(State.Heading), Check::Figure, 0, 0, "degrees true"),
    Col<PositionRow>("speed", MV_AT(State.Speed), Check::Figure, 0, 0, "knots"),
    Col<PositionRow>("new_heading", MV_AT(State.NewHeading), Check::Range, 0, 359,
                     "ordered, degrees true"),
    Col<PositionRow>("new_speed", MV_AT(State.NewSpeed), Check::Figure, 0, 0, "ordered, knots"),
};

inline constexpr Field<RunEvent> kEventFields[] = {
    Col<RunEvent>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunEvent>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunEvent>("kind", MV_AT(Kind)),
    Col<RunEvent>("vessel", MV_AT(Vessel), Check::SlotOrNone, 0, 0, "slot, or -1"),
    Col<RunEvent>("text", MV_AT(Text)),
};

inline constexpr Field<RunExercise> kExerciseFields[] = {
    Col<RunExercise>("file", MV_AT(File), Check::None, 0, 0, "the exercise file's name"),
    Col<RunExercise>("student", MV_AT(Student), Check::None, 0, 0, "empty when none was given"),
    Col<RunExercise>("text", MV_AT(Text), Check::None, 0, 0, "the exercise file's whole text"),
};

inline constexpr Field<RunAnswer> kAnswerFields[] = {
    Col<RunAnswer>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunAnswer>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunAnswer>("question", MV_AT(Question), Check::Range, 0, 9999, "from 0"),
    Col<RunAnswer>("vessel", MV_AT(Vessel), Check::SlotOrNone, 0, 0,
                   "the target's slot; -1 for set and drift"),
    Col<RunAnswer>("figure", MV_AT(Asked), Check::FigureName),
    Col<RunAnswer>("value", MV_AT(Value), Check::Figure, 0, 0,
                   "as typed: nautical miles, minutes, degrees true, knots; aspect red negative"),
};

inline constexpr Field<RunOrder> kOrderFields[] = {
    Col<RunOrder>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunOrder>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunOrder>("vessel", MV_AT(Vessel), Check::Slot),
    Col<RunOrder>("course", MV_AT(Course), Check::Range, 0, 359, "degrees true"),
    Col<RunOrder>("speed", MV_AT(Speed), Check::Figure, 0, 0, "knots"),
};

inline constexpr Field<RunEnding> kEndingFields[] = {
    Col<RunEnding>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunEnding>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunEnding>("how", MV_AT(How), Check::None, 0, 0,
                   "\"time limit\", \"all questions answered\", ..."),
};

inline constexpr Field<TrackStateRow> kTrackStateFields[] = {
    Col<TrackStateRow>("tick", MV_AT(Tick)),
    Col<TrackStateRow>("track", MV_AT(Track.Id), Check::Range, 1, kMostTrackNumber),
    Col<TrackStateRow>("state", MV_AT(Track.State), Check::Range, 0, 2,
                       "0 acquiring, 1 tracked, 2 lost"),
    Col<TrackStateRow>("trend", MV_AT(Track.Trend), Check::None, 0, 0, "its vector shown"),
    Col<TrackStateRow>("prediction", MV_AT(Track.Prediction), Check::None, 0, 0,
                       "its CPA and TCPA shown"),
    Col<TrackStateRow>("danger", MV_AT(Track.Danger), Check::None, 0, 0,
                       "inside the CPA/TCPA limits"),
    Col<TrackStateRow>("acknowledged", MV_AT(Track.Acknowledged)),
    Col<TrackStateRow>("x", MV_AT(Track.Pos.X), Check::Figure, 0, 0,
                       "nautical miles north; a lost track's last plot"),
    Col<TrackStateRow>("y", MV_AT(Track.Pos.Y), Check::Figure, 0, 0, "nautical miles east"),
    Col<TrackStateRow>("course", MV_AT(Track.Course), Check::Figure, 0, 0,
                       "degrees true over the ground"),
    Col<TrackStateRow>("speed", MV_AT(Track.Speed), Check::Figure, 0, 0, "knots over the ground"),
    Col<TrackStateRow>("cpa", MV_AT(Track.Cpa), Check::Figure, 0, 0, "nautical miles"),
    Col<TrackStateRow>("tcpa", MV_AT(Track.Tcpa), Check::Figure, 0, 0,
                       "minutes, negative once past"),
};

inline constexpr Field<RunTrackEvent> kTrackEventFields[] = {
    Col<RunTrackEvent>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunTrackEvent>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunTrackEvent>("kind", MV_AT(Kind), Check::Range, 0, 4,
                       "0 acquired, 1 lost, 2 swapped, 3 tracks all in use, 4 refused"),
    Col<RunTrackEvent>("track", MV_AT(Track), Check::Range, 0, kMostTrackNumber, "0 for a refusal"),
    Col<RunTrackEvent>("x", MV_AT(Pos.X), Check::Figure, 0, 0, "nautical miles north"),
    Col<RunTrackEvent>("y", MV_AT(Pos.Y), Check::Figure, 0, 0, "nautical miles east"),
    Col<RunTrackEvent>("from_echo", MV_AT(FromEcho), Check::SlotOrNone, 0, 0,
                       "the vessel slot it followed, or -1"),
    Col<RunTrackEvent>("to_echo", MV_AT(ToEcho), Check::SlotOrNone, 0, 0,
                       "the vessel slot it swapped to, or -1"),
};

inline constexpr Field<RunVideoSetting> kVideoSettingFields[] = {
    Col<RunVideoSetting>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunVideoSetting>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunVideoSetting>("video", MV_AT(Video), Check::None, 0, 0, "0 plain echoes, 1 video"),
    Col<RunVideoSetting>("gain", MV_AT(Gain), Check::Range, 0, 100),
    Col<RunVideoSetting>("sea", MV_AT(Sea), Check::Range, 0, 100, "sea anti-clutter"),
    Col<RunVideoSetting>("rain", MV_AT(Rain), Check::Range, 0, 100, "rain anti-clutter"),
    Col<RunVideoSetting>("tune", MV_AT(Tune), Check::Range, 0, 100),
    Col<RunVideoSetting>("band", MV_AT(Band), Check::Range, 0, 1, "0 X, 1 S"),
};

inline constexpr Field<RunVideoSea> kVideoSeaFields[] = {
    Col<RunVideoSea>("tick", MV_AT(Tick), Check::None, 0, 0, "the last moment before it"),
    Col<RunVideoSea>("sim_time", MV_AT(SimTime), Check::Figure, 0, 0, "days"),
    Col<RunVideoSea>("sea_state", MV_AT(SeaState), Check::Range, 0, 6, "0 calm .. 6 very rough"),
};

#undef MV_AT

inline constexpr Table<RunInfo> kRun{"run", kRunFields};
inline constexpr Table<RunVessel> kVessels{"vessels", kVesselFields,  1, "", "",
                                           "",        "ORDER BY slot"};
inline constexpr Table<RunTick> kTicks{"ticks", kTickFields, 1, "", "", "", "ORDER BY tick"};
inline constexpr Table<PositionRow> kPositions{
    "positions",     kPositionFields,        1, "", "PRIMARY KEY(tick, vessel)",
    "WITHOUT ROWID", "ORDER BY tick, vessel"};
inline constexpr Table<RunEvent> kEvents{"events", kEventFields, 1, "id INTEGER PRIMARY KEY", "",
                                         "",       "ORDER BY id"};
// Of an assessed exercise: at most one row each in `exercise` and `ending`.
inline constexpr Table<RunExercise> kExercise{"exercise", kExerciseFields, 2};
inline constexpr Table<RunAnswer> kAnswers{
    "answers", kAnswerFields, 2, "id INTEGER PRIMARY KEY", "", "", "ORDER BY id"};
inline constexpr Table<RunOrder> kOrders{"orders", kOrderFields, 2, "id INTEGER PRIMARY KEY", "",
                                         "",       "ORDER BY id"};
inline constexpr Table<RunEnding> kEnding{"ending", kEndingFields, 2};
// The tracker's output: empty in a record made with ARPA off, or before format 3.
inline constexpr Table<TrackStateRow> kTrackStates{
    "track_states",  kTrackStateFields,     3, "", "PRIMARY KEY(tick, track)",
    "WITHOUT ROWID", "ORDER BY tick, track"};
inline constexpr Table<RunTrackEvent> kTrackEvents{
    "track_events", kTrackEventFields, 3, "id INTEGER PRIMARY KEY", "", "", "ORDER BY id"};

// The radar video's controls as set: none before format 4.
inline constexpr Table<RunVideoSetting> kVideoSettings{
    "video_settings", kVideoSettingFields, 4, "id INTEGER PRIMARY KEY", "", "", "ORDER BY id"};
// The sea the video's clutter shows: none before format 5.
inline constexpr Table<RunVideoSea> kVideoSeas{
    "video_seas", kVideoSeaFields, 5, "id INTEGER PRIMARY KEY", "", "", "ORDER BY id"};

template <class T> constexpr const char* SqlType() {
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
        return "REAL";
    else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::vector<int>> ||
                       std::is_same_v<T, Figure>)
        return "TEXT";
    else
        return "INTEGER";
}

template <class Row> std::string CreateSql(const Table<Row>& t) {
    std::vector<std::pair<std::string, const char*>> lines; // a column and its unit
    if (*t.Before) lines.emplace_back(t.Before, "");
    for (const Field<Row>& f : t.Fields) {
        const char* type = std::visit(
            [](const auto& m) {
                return SqlType<std::remove_cvref_t<decltype(m.Get(std::declval<const Row&>()))>>();
            },
            f.Of);
        lines.emplace_back(
            std::string(f.Name) + " " + type + (f.Key ? " PRIMARY KEY" : " NOT NULL"), f.Unit);
    }
    if (*t.After) lines.emplace_back(t.After, "");
    std::string sql = std::string("CREATE TABLE ") + t.Name + "(\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // The comma goes before the unit's comment, which runs to the end of its line.
        sql += "  " + lines[i].first + (i + 1 < lines.size() ? "," : "");
        if (*lines[i].second) sql += std::string(" -- ") + lines[i].second;
        sql += "\n";
    }
    return sql + ")" + (*t.Options ? " " : "") + t.Options + ";\n";
}

// The columns of `t` in a record of format `format`.
template <class Row> std::string Columns(const Table<Row>& t, int format = kRunFormatVersion) {
    std::string list;
    for (const Field<Row>& f : t.Fields)
        if (f.Since <= format) list += (list.empty() ? "" : ", ") + std::string(f.Name);
    return list;
}

template <class Row> std::string InsertSql(const Table<Row>& t) {
    std::string marks;
    for (std::size_t i = 0; i < t.Fields.size(); ++i)
        marks += i ? ",?" : "?";
    return std::string("INSERT INTO ") + t.Name + "(" + Columns(t) + ") VALUES(" + marks + ")";
}

template <class Row> std::string SelectSql(const Table<Row>& t) {
    return "SELECT " + Columns(t) + " FROM " + t.Name + (*t.Order ? " " : "") + t.Order;
}

// Every table of the format written, as one script.
inline std::string CreateAll() {
    return CreateSql(kRun) + CreateSql(kVessels) + CreateSql(kTicks) + CreateSql(kPositions) +
           CreateSql(kEvents) + CreateSql(kExercise) + CreateSql(kAnswers) + CreateSql(kOrders) +
           CreateSql(kEnding) + CreateSql(kTrackStates) + CreateSql(kTrackEvents) +
           CreateSql(kVideoSettings) + CreateSql(kVideoSeas);
}

} // namespace mv::runschema
