#include "tools/plot/plot_tool.h"

#include "tools/plot/exercise_command.h"
#include "tools/plot/grade_command.h"
#include "tools/plot/plot_text.h"

#include "core/aids/action_to_steer.h"
#include "core/vessel_view.h"

#include "core/aids/cpa.h"
#include "core/aids/cpa_computer.h"
#include "core/aids/cpa_data.h"
#include "core/aids/target_aids.h"
#include "core/geometry.h"
#include "core/number_text.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"
#include "core/scenario/random_traffic.h"
#include "core/simulation.h"
#include "core/vessel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <system_error>

namespace mv {

namespace {

// Written from the CPA computer's limits, so the text and the checks cannot part.
const std::string kUsage =
    "usage: marovane-plot demo FILE.dem [--at HH:MM[:SS] [--vector MIN]] [--json]\n"
    "       marovane-plot sightings --course C --speed S --first HH:MM:SS,BEARING,RANGE\n"
    "                               --second HH:MM:SS,BEARING,RANGE\n"
    "                               [--cpa D [--act HH:MM:SS] [--port]] [--json]\n"
    "       marovane-plot random --level easy|moderate|difficult [--number N]\n"
    "                            [--out FILE.dem] [--json]\n"
    "       marovane-plot exercise FILE.toml [--at HH:MM[:SS]] [--json]\n"
    "       marovane-plot grade RESULTS.json... [--exercise FILE.toml] [--csv FILE]\n"
    "                           [--pdf DIR]\n"
    "       marovane-plot grade [--exercise FILE.toml] RECORD.mvrun... [--csv FILE]\n"
    "                           [--pdf DIR]\n"
    "       marovane-plot run RECORD.mvrun [--at HH:MM[:SS] | --events] [--json]\n"
    "       marovane-plot --help\n"
    "\n"
    "demo       CPA data of every target of a demo scenario at its start, from the\n"
    "           present courses and speeds (bearings and DRM true). --at runs the\n"
    "           demo from 12:00:00 to that time and adds each target's true and\n"
    "           relative vector for MIN minutes (3, 6, 12, 15 or 30; 6 by default).\n"
    "sightings  the CPA computer: the target's course and speed and its CPA from two\n"
    "           sightings (true bearing in degrees, range 0 < r <= " +
    PlainNumberText(kMaxSightingRange) +
    " nautical miles)\n"
    "           with the own vessel on course C degrees true at S knots; with --cpa,\n"
    "           the course (speed kept) and the speed (course kept) that give a CPA\n"
    "           of D nautical miles, acting at --act (the second sighting's time when\n"
    "           not given) and altering to starboard, or to port with --port.\n"
    "random     the random traffic of exercise number N (a number from the clock when\n"
    "           none is given): the number, then the CPA data of every target.\n"
    "           --out writes the exercise as a demo file the simulator loads.\n"
    "           Targets are named B to F as on the console; A is the own vessel.\n"
    "exercise   the answer key of an assessed exercise at --at, or at each of its\n"
    "           questions' times: every target's CPA, TCPA, course and speed\n"
    "           through the water (and over the ground in a current) and aspect,\n"
    "           and the set and drift, run through the exercise's timed orders.\n"
    "grade      each student's marks in an assessed exercise, from the results files\n"
    "           the simulator writes or from the run records, worked afresh from\n"
    "           the exercise text each record keeps (or --exercise, the\n"
    "           instructor's file) and the answers and track recorded; a results\n"
    "           file whose written marks differ is told, a record of another\n"
    "           exercise is refused. The record a results file names is looked for\n"
    "           where it was written, then beside it. --csv writes the class\n"
    "           table, a column per figure and per mark, the score and its\n"
    "           maximum; --pdf writes each student's report into DIR (made if\n"
    "           need be) as \"STUDENT - RECORD.pdf\".\n"
    "run        a recorded run: its title, length and events; --at the moment of\n"
    "           the run at that time (the last pass through it after a repeat),\n"
    "           every vessel's position and each target's CPA data then; --events\n"
    "           the events with their times.\n"
    "--json     one JSON object on standard output, figures unrounded.\n";

// Wrong arguments: the reason goes first, then the usage, and the exit code is 2.
struct UsageError {
    std::string Reason;
};

int ReportUsage(const UsageError& e, std::ostream& err) {
    err << "marovane-plot: " << e.Reason << "\n" << kUsage;
    return 2;
}

// ---- demo and random ---------------------------------------------------------------------

struct TargetRow {
    int Vessel;
    float Bearing;
    double Range;
    CpaInput In;
    CpaResult Out;
};

// CPA data of every target at the start, from the present courses and speeds.
std::vector<TargetRow> TargetRows(const VesselTables& tables) {
    const int own = tables.OwnVessel;
    const VesselData& ownData = tables.Vessel.at(static_cast<size_t>(own));
    std::vector<TargetRow> rows;
    for (int i = 0; i < tables.NumVessels; ++i) {
        if (i == own) continue;
        const auto k = static_cast<size_t>(i);
        TargetRow row{i, 0.0f, 0.0, {}, {}};
        GetVector(tables.VesselPos.at(static_cast<size_t>(own)), tables.VesselPos.at(k),
                  row.Bearing, row.Range);
        const VesselData& t = tables.Vessel.at(k);
        row.In = {t.Heading,
                  t.Speed,
                  ownData.Heading,
                  ownData.Speed,
                  row.Bearing,
                  static_cast<float>(row.Range),
                  0.0};
        row.Out = ComputeCPA(row.In, BearingMode::Course);
        rows.push_back(row);
    }
    return rows;
}

// Every target's figures; a figure of a CPA that cannot be computed is null, not the zero it
// holds.
Json JsonTargets(const std::vector<TargetRow>& rows) {
    Json targets = Json::array();
    for (const TargetRow& r : rows) {
        const auto figure = [&r](auto v) { return r.Out.Computed ? JsonFigure(v) : Json(nullptr); };
        targets.push_back({{"vessel", VesselLetter(r.Vessel)},
                           {"bearing", JsonFigure(r.Bearing)},
                           {"range", JsonFigure(r.Range)},
                           {"cpa", figure(r.Out.CPA)},
                           {"bcpa", figure(r.Out.BCPA)},
                           {"tcpa_min", figure(r.Out.TCPA)},
                           {"drm", figure(r.Out.DRM)},
                           {"srm", figure(r.Out.SRM)},
                           {"course", JsonFigure(r.In.TargetCourse)},
                           {"speed", JsonFigure(r.In.TargetSpeed)}});
    }
    return targets;
}

// The heading line and the table of targets; units written as nm, kt and min throughout.
void PrintTargetTable(std::ostream& out, const std::string& heading, const VesselTables& tables,
                      const std::vector<TargetRow>& rows) {
    const VesselData& own = tables.Vessel.at(static_cast<size_t>(tables.OwnVessel));
    out << heading << " - own vessel " << VesselLetter(tables.OwnVessel) << " course "
        << DirectionText(own.Heading) << ", speed " << KnotsText(own.Speed) << "\n";
    if (rows.empty()) {
        out << "No targets.\n";
        return;
    }
    std::vector<std::vector<std::string>> table{
        {"Target", "Bearing", "Range", "Course", "Speed", "CPA", "BCPA", "TCPA", "DRM", "SRM"}};
    for (const TargetRow& r : rows) {
        table.push_back({VesselLetter(r.Vessel), DirectionText(r.Bearing), MilesText(r.Range),
                         DirectionText(r.In.TargetCourse), KnotsText(r.In.TargetSpeed),
                         MilesText(r.Out.CPA), DirectionText(r.Out.BCPA), MinutesText(r.Out.TCPA),
                         DirectionText(r.Out.DRM), KnotsText(r.Out.SRM)});
        // Zeros here would read as a collision.
        if (!r.Out.Computed)
            std::fill(table.back().begin() + 5, table.back().end(), kCpaNotComputed);
    }
    PrintTable(out, table);
}

// The file a demo argument names: as given when it exists or names a folder, otherwise the
// first of the demo folders that holds it, as the simulator's chooser lists them.
std::filesystem::path FindDemo(const std::string& name,
                               const std::vector<std::filesystem::path>& folders) {
    const std::filesystem::path given(name);
    std::error_code ec;
    if (given.has_parent_path() || std::filesystem::exists(given, ec)) return given;
    for (const auto& folder : folders)
        if (std::filesystem::exists(folder / given, ec)) return folder / given;
    return given;
}

// The vessels as the program has them at `at` (a day fraction): ticks of 3 seconds at x1 from
// 12:00:00, the last one reaching the time.
void RunTo(VesselTables& tables, double at) {
    Simulation sim;
    sim.Vessels = tables;
    TickDisplay display;
    UnseenView view;
    // Half a step short counts as there: the clock's step is a hair over 3 seconds.
    while (sim.Clock.SimTime < at - sim.Clock.TimeStep / 2)
        sim.Tick(display, view);
    tables = sim.Vessels;
}

int RunDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const std::vector<std::filesystem::path>& demoFolders) {
    bool json = false;
    std::optional<std::string> file;
    std::optional<double> at;
    double vectorMinutes = kVectorMinutes[static_cast<size_t>(kDefaultVectorIndex)];
    bool vectorGiven = false;
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        if (a == "--at" || a == "--vector") {
            if (n + 1 >= args.size()) return ReportUsage({"option " + a + " needs a value"}, err);
            const std::string& v = args[++n];
            if (a == "--at") {
                at = ParseClockTime(v);
                if (!at)
                    return ReportUsage({"--at must be a time HH:MM or HH:MM:SS from 12:00 "
                                        "to 23:59:59, not '" +
                                        v + "'"},
                                       err);
            } else {
                const auto m = std::find_if(kVectorMinutes.begin(), kVectorMinutes.end(),
                                            [&v](int k) { return std::to_string(k) == v; });
                if (m == kVectorMinutes.end())
                    return ReportUsage(
                        {"--vector must be 3, 6, 12, 15 or 30 minutes, not '" + v + "'"}, err);
                vectorMinutes = *m;
                vectorGiven = true;
            }
        } else if (a == "--json")
            json = true;
        else if (a.starts_with("--"))
            return ReportUsage({"unknown option '" + a + "' for demo"}, err);
        else if (file)
            return ReportUsage({"unexpected argument '" + a + "'"}, err);
        else
            file = a;
    }
    if (!file) return ReportUsage({"demo needs the name of a .dem file"}, err);
    if (vectorGiven && !at) return ReportUsage({"--vector goes with --at"}, err);

    const std::filesystem::path path = FindDemo(*file, demoFolders);
    const DemoReadResult read = ReadDemoFile(path);
    if (!read.ok()) {
        err << "marovane-plot: " << read.Error;
        std::error_code ec;
        if (!demoFolders.empty() && !path.has_parent_path() && !std::filesystem::exists(path, ec)) {
            err << "; not in the demo folders either:";
            for (const auto& folder : demoFolders)
                err << " " << folder.string();
        }
        err << "\n";
        return 1;
    }
    VesselTables tables;
    PlaceDemoVessels(*read.Scenario, tables);
    if (at) RunTo(tables, *at);
    const std::vector<TargetRow> rows = TargetRows(tables);
    // The vectors as the radar draws them, from the same figures.
    std::vector<std::pair<std::string, std::string>> vectors;
    Json jsonVectors = Json::array();
    for (const TargetRow& r : rows) {
        const TargetAid aid = ComputeTargetAid(tables, r.Vessel, vectorMinutes);
        const TargetDataTexts texts = TargetData(aid); // as the target data panel shows them
        vectors.emplace_back(texts.TrueVector, texts.RelativeVector);
        float trueDir = 0.0f, relDir = 0.0f;
        double trueLen = 0.0, relLen = 0.0;
        GetVector(aid.Position, aid.TrueEnd, trueDir, trueLen);
        GetVector(aid.Position, aid.RelativeEnd, relDir, relLen);
        jsonVectors.push_back({{"vessel", VesselLetter(r.Vessel)},
                               {"true_direction", JsonFigure(trueDir)},
                               {"true_nm", JsonFigure(trueLen)},
                               {"relative_direction", JsonFigure(relDir)},
                               {"relative_nm", JsonFigure(relLen)}});
    }

    if (json) {
        Json doc = Json::object();
        if (at) {
            doc["at"] = FormatClock(*at);
            doc["vector_min"] = vectorMinutes;
        }
        doc["targets"] = JsonTargets(rows);
        if (at) doc["vectors"] = std::move(jsonVectors);
        PrintJson(out, doc);
        return 0;
    }
    const std::string& title = read.Scenario->Title;
    std::string heading = title.empty() ? std::string("(untitled)") : title;
    if (at) heading += " at " + FormatClock(*at);
    PrintTargetTable(out, heading, tables, rows);
    if (at) {
        out << "\nVectors for " << vectorMinutes << " min:\n";
        std::vector<std::vector<std::string>> table{{"Target", "True vector", "Relative vector"}};
        for (size_t k = 0; k < rows.size(); ++k)
            table.push_back({VesselLetter(rows[k].Vessel), vectors[k].first, vectors[k].second});
        PrintTable(out, table);
    }
    return 0;
}

// Options of the form --name VALUE or --name=VALUE, and flags without a value. Throws
// UsageError.
std::map<std::string, std::string> ParseOptions(const std::vector<std::string>& args,
                                                std::string_view command,
                                                const std::vector<std::string_view>& withValue,
                                                const std::vector<std::string_view>& flags) {
    std::map<std::string, std::string> values;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (!name.starts_with("--")) throw UsageError{"unexpected argument '" + name + "'"};
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const bool isFlag = std::find(flags.begin(), flags.end(), name) != flags.end();
        if (!isFlag && std::find(withValue.begin(), withValue.end(), name) == withValue.end())
            throw UsageError{"unknown option '" + name + "' for " + std::string(command)};
        if (isFlag && hasValue) throw UsageError{"option " + name + " takes no value"};
        if (!isFlag && !hasValue) {
            if (i + 1 >= args.size()) throw UsageError{"option " + name + " needs a value"};
            value = args[++i];
        }
        if (!values.emplace(name, value).second)
            throw UsageError{"option " + name + " is given twice"};
    }
    return values;
}

// Figures with every digit the reader keeps: singles with 9 significant digits, the range
// (a single widened to a double when the target was placed) with 17.
std::string ExactText(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}
std::string ExactText(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

DemoRecord RandomDemoRecord(const RandomTraffic& traffic, Difficulty level) {
    DemoRecord record;
    record.Title = RandomTrafficTitle(level, traffic.Exercise);
    const VesselData& own = traffic.Tables.Vessel[0];
    record.Lines.push_back({kMedium, DirectionText(own.NewHeading), ExactText(own.Speed), "", ""});
    for (size_t k = 0; k < traffic.Targets.size(); ++k) {
        const RandomTarget& t = traffic.Targets[k];
        const VesselData& v = traffic.Tables.Vessel[k + 1];
        record.Lines.push_back({kMedium, DirectionText(v.NewHeading), ExactText(v.Speed),
                                ExactText(t.Bearing), ExactText(static_cast<double>(t.Range))});
    }
    record.Description =
        RandomTrafficSummary(level, traffic.Exercise) +
        "\r\n\r\n"
        "Plot every echo at regular intervals and find its CPA and TCPA. Some targets may be on a "
        "collision course: their bearings stay steady while the ranges close. Decide for each "
        "which vessel is to keep out of the way under the Collision Regulations, and if it is "
        "you, act early and boldly, then plot again to check that every new CPA is at least "
        "one mile.\r\n";
    return record;
}

int RunRandom(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::map<std::string, std::string> values;
    Difficulty level = Difficulty::Easy;
    uint32_t exercise = 0;
    try {
        values = ParseOptions(args, "random", {"--level", "--number", "--out"}, {"--json"});
        if (!values.contains("--level")) throw UsageError{"random needs --level"};
        const auto parsed = DifficultyFromName(values["--level"]);
        if (!parsed)
            throw UsageError{"--level '" + values["--level"] +
                             "': the level must be easy, moderate or difficult"};
        level = *parsed;
        if (values.contains("--number")) {
            const std::string& text = values["--number"];
            const auto number = ParseExerciseNumber(text);
            if (!number)
                throw UsageError{"--number '" + text +
                                 "': the exercise number must be a whole number from 0 to "
                                 "4294967295"};
            exercise = *number;
        } else {
            exercise = ExerciseFromClock();
        }
    } catch (const UsageError& e) {
        return ReportUsage(e, err);
    }

    const RandomTraffic traffic = GenerateRandomTraffic(level, exercise);
    if (values.contains("--out")) {
        const std::string error =
            WriteFileAtomically(values["--out"], DemoFileText(RandomDemoRecord(traffic, level)));
        if (!error.empty()) {
            err << "marovane-plot: " << error << "\n";
            return 1;
        }
    }
    const std::vector<TargetRow> rows = TargetRows(traffic.Tables);
    if (values.contains("--json")) {
        PrintJson(out, {{"exercise", traffic.Exercise}, {"targets", JsonTargets(rows)}});
        return 0;
    }
    PrintTargetTable(out,
                     "Exercise " + std::to_string(traffic.Exercise) + ", " +
                         std::string(DifficultyName(level)),
                     traffic.Tables, rows);
    return 0;
}

// ---- sightings ---------------------------------------------------------------------------

Sighting ParseSighting(const std::string& option, const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    const std::string where = option + " '" + text + "'";
    if (parts.size() != 3) throw UsageError{where + ": expected HH:MM:SS,BEARING,RANGE"};
    Sighting s;
    // At most two digits a part: "0:0:059" is refused.
    const auto time = ParseTimeOfDay(parts[0], 2);
    if (!time) throw UsageError{where + ": the time must be HH:MM:SS within one day"};
    s.Time = *time;
    const auto bearing = ParseNumber(parts[1]);
    if (!bearing || *bearing < 0 || *bearing >= kBearingCircle)
        throw UsageError{where + ": the bearing must be a number from 0 up to (not including) " +
                         PlainNumberText(kBearingCircle)};
    s.Bearing = *bearing;
    const auto range = ParseNumber(parts[2]);
    if (!range || *range <= 0 || *range > kMaxSightingRange)
        throw UsageError{where + ": the range must be more than 0 and at most " +
                         PlainNumberText(kMaxSightingRange) + " nautical miles"};
    s.Range = *range;
    return s;
}

int RunSightings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::map<std::string, std::string> values;
    float course = 0, speed = 0;
    Sighting first, second;
    SteerInput steer; // WantedCPA above 0 when an action is asked for
    try {
        const std::vector<std::string_view> needed = {"--course", "--speed", "--first", "--second"};
        values = ParseOptions(args, "sightings",
                              {"--course", "--speed", "--first", "--second", "--cpa", "--act"},
                              {"--json", "--port"});
        for (const auto& name : needed)
            if (!values.contains(std::string(name)))
                throw UsageError{"sightings needs " + std::string(name)};
        const auto c = ParseNumber(values["--course"]);
        if (!c || *c < 0 || *c >= kBearingCircle)
            throw UsageError{"--course '" + values["--course"] +
                             "': the course must be a number from 0 up to (not including) " +
                             PlainNumberText(kBearingCircle)};
        const auto s = ParseNumber(values["--speed"]);
        if (!s || *s < 0 || *s > 1000)
            throw UsageError{"--speed '" + values["--speed"] +
                             "': the speed must be a number of knots from 0 to 1000"};
        course = static_cast<float>(*c);
        speed = static_cast<float>(*s);
        first = ParseSighting("--first", values["--first"]);
        second = ParseSighting("--second", values["--second"]);
        if (values.contains("--cpa")) {
            const auto d = ParseNumber(values["--cpa"]);
            if (!d || *d <= 0 || *d > kMaxSightingRange)
                throw UsageError{"--cpa '" + values["--cpa"] +
                                 "': the wanted CPA must be more than 0 and at most " +
                                 PlainNumberText(kMaxSightingRange) + " nautical miles"};
            steer.WantedCPA = *d;
            steer.ActTime = second.Time;
            if (values.contains("--act")) {
                const auto act = ParseTimeOfDay(values["--act"], 2);
                if (!act)
                    throw UsageError{"--act '" + values["--act"] +
                                     "': the time must be HH:MM:SS within one day"};
                steer.ActTime = *act;
            }
            steer.ToPort = values.contains("--port");
        } else if (values.contains("--act") || values.contains("--port")) {
            throw UsageError{"--act and --port go with --cpa"};
        }
    } catch (const UsageError& e) {
        return ReportUsage(e, err);
    }

    const SightingsOutcome outcome = ComputeFromSightings(course, speed, first, second);
    if (!outcome.ok()) {
        err << "marovane-plot: Can't compute CPA: " << outcome.Error << "\n";
        return 1;
    }
    const SightingsResult& r = *outcome.Result;
    std::optional<SteerResult> action;
    if (steer.WantedCPA > 0) {
        steer.Latest = second;
        steer.TargetCourse = r.TargetCourse;
        steer.TargetSpeed = r.TargetSpeed;
        steer.OwnCourse = course;
        steer.OwnSpeed = speed;
        action = ActionForCPA(steer);
        if (!action->Error.empty()) {
            err << "marovane-plot: " << action->Error << "\n";
            return 1;
        }
    }

    if (values.contains("--json")) {
        Json doc{{"course", JsonFigure(r.TargetCourse)},
                 {"speed", JsonFigure(r.TargetSpeed)},
                 {"cpa", JsonFigure(r.CPA)},
                 {"bcpa", JsonFigure(r.BCPA)},
                 {"time_of_cpa", FormatClock(r.TimeOfCPA)},
                 {"srm", JsonFigure(r.SRM)},
                 {"drm", JsonFigure(r.DRM)}};
        if (action) {
            const auto orNull = [](const std::optional<float>& v) {
                return v ? JsonFigure(*v) : Json(nullptr);
            };
            doc["new_course"] = orNull(action->Course);
            doc["new_speed"] = orNull(action->Speed);
            doc["already_clear"] = action->AlreadyClear;
        }
        PrintJson(out, doc);
        return 0;
    }

    out << "CPA DATA\n";
    // Label, figure, unit: the figures line up on their last digit.
    PrintTable(out,
               {
                   {"Target course", DirectionText(r.TargetCourse), ""},
                   {"Target speed", KnotsFigure(r.TargetSpeed), kKnotsUnit},
                   {"CPA", MilesFigure(r.CPA), kMilesUnit},
                   {"Bearing", DirectionText(r.BCPA), ""},
                   {"TCPA", MinutesFigure((r.TimeOfCPA - second.Time) * 1440.0), kMinutesUnit},
                   {"SRM", KnotsFigure(r.SRM), kKnotsUnit},
                   {"DRM", DirectionText(r.DRM), ""},
                   {"Your course", DirectionText(course), ""},
                   {"Your speed", KnotsFigure(speed), kKnotsUnit},
               },
               true);
    if (action) {
        out << "\nACTION FOR A CPA OF " << MilesText(steer.WantedCPA) << " AT "
            << FormatClock(steer.ActTime) << "\n";
        PrintTable(out,
                   {{steer.ToPort ? "Course, to port" : "Course, to starboard",
                     SteerCourseText(*action), ""},
                    {"or speed", SteerSpeedText(*action), action->Speed ? kKnotsUnit : ""}},
                   true);
        if (action->AlreadyClear)
            out << "Your present course and speed already give this CPA or more.\n";
    }
    return 0;
}

// ---- run ------------------------------------------------------------------------------

void PrintEvents(std::ostream& out, const RunRecord& r, bool json) {
    if (json) {
        Json events = Json::array();
        for (const RunEvent& e : r.Events)
            events.push_back(
                {{"tick", e.Tick},
                 {"time", FormatClock(e.SimTime)},
                 {"kind", e.Kind},
                 {"vessel", e.Vessel < 0 ? Json(nullptr) : Json(VesselLetter(e.Vessel))},
                 {"text", e.Text}});
        PrintJson(out, {{"events", std::move(events)}});
        return;
    }
    // Words, not figures: every column left-aligned, two blanks apart.
    std::vector<std::array<std::string, 4>> table{{"Time", "Event", "Vessel", "What"}};
    for (const RunEvent& e : r.Events)
        table.push_back(
            {FormatClock(e.SimTime), e.Kind, e.Vessel < 0 ? "-" : VesselLetter(e.Vessel), e.Text});
    std::array<size_t, 3> width{};
    for (const auto& row : table)
        for (size_t c = 0; c < width.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    for (const auto& row : table) {
        for (size_t c = 0; c < width.size(); ++c)
            out << row[c] << std::string(width[c] - row[c].size() + 2, ' ');
        out << row[3] << "\n";
    }
}

int RunRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::map<std::string, std::string> values;
    std::optional<double> at;
    if (args.empty() || args[0].starts_with("--"))
        return ReportUsage({"run needs the name of a .mvrun record"}, err);
    try {
        values =
            ParseOptions({args.begin() + 1, args.end()}, "run", {"--at"}, {"--json", "--events"});
        if (values.contains("--at")) {
            at = ParseClockTime(values["--at"]);
            if (!at)
                throw UsageError{"--at must be a time HH:MM or HH:MM:SS from 12:00 to "
                                 "23:59:59, not '" +
                                 values["--at"] + "'"};
            if (values.contains("--events")) throw UsageError{"--at and --events go alone"};
        }
    } catch (const UsageError& e) {
        return ReportUsage(e, err);
    }
    // Half a second over counts as there: the clock's step is a hair over 3 seconds. Only the
    // moment asked for is read, so that a day's record answers as fast as an hour's.
    const std::optional<double> seek =
        at ? std::optional(*at + 0.5 / 86400.0) : std::optional<double>();
    const RunOutlineResult read = ReadRunOutline(args[0], seek);
    if (!read.ok()) {
        err << "marovane-plot: " << read.Error << "\n";
        return 1;
    }
    const RunOutline& outline = *read.Outline;
    const RunRecord& r = outline.Record;
    const bool json = values.contains("--json");
    if (values.contains("--events")) {
        PrintEvents(out, r, json);
        return 0;
    }
    if (!at) {
        if (json) {
            PrintJson(out, {{"title", r.Info.Title},
                            {"scenario", r.Info.ScenarioFile},
                            {"started", r.Info.Started},
                            {"vessels", r.Vessels.size()},
                            {"moments", outline.Moments},
                            {"from", FormatClock(outline.First)},
                            {"to", FormatClock(outline.Last)},
                            {"events", r.Events.size()}});
            return 0;
        }
        out << (r.Info.Title.empty() ? std::string("(untitled)") : r.Info.Title) << " ("
            << r.Info.ScenarioFile << "), recorded " << r.Info.Started << "\n"
            << r.Vessels.size() << " vessels, " << outline.Moments << " moments from "
            << FormatClock(outline.First) << " to " << FormatClock(outline.Last) << ", "
            << r.Events.size() << " events\n";
        return 0;
    }
    if (r.Ticks.empty()) {
        err << "marovane-plot: the run begins at " << FormatClock(outline.First) << ", after "
            << FormatClock(*at) << "\n";
        return 1;
    }
    const RunTick& t = r.Ticks.front();
    VesselTables tables;
    PlaceMoment(r, t, tables);
    const std::vector<TargetRow> rows = TargetRows(tables);
    if (json) {
        Json vessels = Json::array();
        for (size_t i = 0; i < t.Vessels.size(); ++i) {
            const RunVesselState& v = t.Vessels[i];
            vessels.push_back({{"vessel", VesselLetter(static_cast<int>(i))},
                               {"north_nm", JsonFigure(v.Pos.X)},
                               {"east_nm", JsonFigure(v.Pos.Y)},
                               {"heading", JsonFigure(v.Heading)},
                               {"speed", JsonFigure(v.Speed)}});
        }
        PrintJson(out, {{"at", FormatClock(t.SimTime)},
                        {"tick", t.Index},
                        {"time_factor", t.TimeFactor},
                        {"own", VesselLetter(t.OwnVessel)},
                        {"vessels", std::move(vessels)},
                        {"targets", JsonTargets(rows)}});
        return 0;
    }
    PrintTargetTable(out, r.Info.Title + " at " + FormatClock(t.SimTime), tables, rows);
    return 0;
}

} // namespace

namespace {

// Passes text on without the control characters a terminal would act on: a record's title or
// a student's name carrying ESC sequences could retitle the window, hide lines or ring the
// bell. Tab and line feed stay; so does every printable byte, UTF-8 included, but the C1
// controls (U+0080 to U+009F, two bytes C2 80 to C2 9F), which some terminals also obey.
class TerminalTextBuf : public std::streambuf {
  public:
    explicit TerminalTextBuf(std::streambuf* to) : to_(to) {}
    ~TerminalTextBuf() override {
        if (pendingC2_) to_->sputc('\xC2');
    }

  protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        const auto c = static_cast<unsigned char>(traits_type::to_char_type(ch));
        if (pendingC2_) {
            pendingC2_ = false;
            if (c >= 0x80 && c <= 0x9F) return ch; // a C1 control: both bytes go
            if (to_->sputc('\xC2') == traits_type::eof()) return traits_type::eof();
        }
        if (c == 0xC2) {
            pendingC2_ = true;
            return ch;
        }
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) return ch;
        return to_->sputc(static_cast<char>(c)) == traits_type::eof() ? traits_type::eof() : ch;
    }
    int sync() override { return to_->pubsync(); }

  private:
    std::streambuf* to_;
    bool pendingC2_ = false;
};

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::vector<std::filesystem::path>& demoFolders,
               const ReportPdfWriter& writePdf) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        }
    }
    if (args.empty()) return ReportUsage({"no command given"}, err);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "demo") return RunDemo(rest, out, err, demoFolders);
    if (args[0] == "random") return RunRandom(rest, out, err);
    if (args[0] == "sightings") return RunSightings(rest, out, err);
    if (args[0] == "run") return RunRun(rest, out, err);
    if (args[0] == "exercise") return RunExerciseCommand(rest, out, err, demoFolders);
    if (args[0] == "grade") return RunGrade(rest, out, err, demoFolders, writePdf);
    return ReportUsage({"unknown command '" + args[0] + "'"}, err);
}

} // namespace

int RunPlotTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::vector<std::filesystem::path>& demoFolders,
                const ReportPdfWriter& writePdf) {
    TerminalTextBuf outText(out.rdbuf()), errText(err.rdbuf());
    std::ostream safeOut(&outText), safeErr(&errText);
    const int code = RunCommand(args, safeOut, safeErr, demoFolders, writePdf);
    safeOut.flush();
    safeErr.flush();
    return code;
}

} // namespace mv
