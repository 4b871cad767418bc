#include "tools/plot/exercise_command.h"

#include "tools/plot/plot_text.h"

#include "core/aids/cpa_computer.h"
#include "core/exercise/answer_key.h"
#include "core/exercise/exercise_file.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace mv {

namespace {

std::string Knots(double v) {
    return KnotsText(v);
}

void PrintKey(std::ostream& out, const std::string& title, const Truth& t) {
    out << title << " at " << FormatClock(t.At) << " - own vessel course "
        << DirectionText(static_cast<float>(t.OwnWater.Course)) << ", speed "
        << Knots(t.OwnWater.Speed);
    if (t.Current.Flowing())
        out << "; over the ground " << DirectionText(static_cast<float>(t.OwnGround.Course)) << ", "
            << Knots(t.OwnGround.Speed) << "\nCurrent: set " << DirectionText(t.Current.Set)
            << ", drift " << Knots(t.Current.Drift);
    out << "\n";
    if (t.Targets.empty()) {
        out << "No targets.\n";
        return;
    }
    std::vector<std::vector<std::string>> rows{
        {"Target", "Bearing", "Range", "CPA", "TCPA", "Course", "Speed", "Aspect"}};
    if (t.Current.Flowing()) rows[0].insert(rows[0].end(), {"Course OG", "Speed OG"});
    for (const TargetTruth& g : t.Targets) {
        std::vector<std::string> row{
            VesselLetter(g.Vessel),
            DirectionText(g.Bearing),
            FormatNumber(g.Range, "#0.00") + " nm",
            g.Cpa.Computed ? FormatNumber(g.Cpa.CPA, "##0.00") + " nm" : "cannot be computed",
            g.Cpa.Computed ? FormatNumber(g.Cpa.TCPA, "##.0") + " min" : "",
            DirectionText(static_cast<float>(g.Water.Course)),
            Knots(g.Water.Speed),
            AspectText(g.Aspect)};
        if (t.Current.Flowing())
            row.insert(row.end(),
                       {DirectionText(static_cast<float>(g.Ground.Course)), Knots(g.Ground.Speed)});
        rows.push_back(row);
    }
    PrintTable(out, rows);
}

Json JsonKey(const Truth& t) {
    Json targets = Json::array();
    for (const TargetTruth& g : t.Targets) {
        const auto cpa = [&g](auto v) { return g.Cpa.Computed ? JsonFigure(v) : Json(nullptr); };
        targets.push_back({{"vessel", VesselLetter(g.Vessel)},
                           {"bearing", JsonFigure(g.Bearing)},
                           {"range", JsonFigure(g.Range)},
                           {"cpa", cpa(g.Cpa.CPA)},
                           {"bcpa", cpa(g.Cpa.BCPA)},
                           {"tcpa_min", cpa(g.Cpa.TCPA)},
                           {"course", JsonFigure(g.Water.Course)},
                           {"speed", JsonFigure(g.Water.Speed)},
                           {"course_over_ground", JsonFigure(g.Ground.Course)},
                           {"speed_over_ground", JsonFigure(g.Ground.Speed)},
                           {"aspect", JsonFigure(g.Aspect)},
                           {"aspect_text", AspectText(g.Aspect)}});
    }
    return {
        {"at", FormatClock(t.At)},
        {"current", {{"set", JsonFigure(t.Current.Set)}, {"drift", JsonFigure(t.Current.Drift)}}},
        {"own",
         {{"course", JsonFigure(t.OwnWater.Course)},
          {"speed", JsonFigure(t.OwnWater.Speed)},
          {"course_over_ground", JsonFigure(t.OwnGround.Course)},
          {"speed_over_ground", JsonFigure(t.OwnGround.Speed)}}},
        {"targets", std::move(targets)}};
}

} // namespace

int RunExerciseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       const std::vector<std::filesystem::path>& demoFolders) {
    const auto usage = [&err](const std::string& reason) {
        err << "marovane-plot: " << reason << "\n"
            << "usage: marovane-plot exercise FILE.toml [--at HH:MM[:SS]] [--json]\n";
        return 2;
    };
    std::optional<std::string> file;
    std::optional<double> at;
    bool json = false;
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        if (a == "--at") {
            if (n + 1 >= args.size()) return usage("option --at needs a value");
            at = ParseClockTime(args[++n]);
            if (!at)
                return usage("--at must be a time HH:MM or HH:MM:SS from 12:00 to 23:59:59, "
                             "not '" +
                             args[n] + "'");
        } else if (a == "--json") {
            json = true;
        } else if (a.starts_with("--")) {
            return usage("unknown option '" + a + "' for exercise");
        } else if (file) {
            return usage("unexpected argument '" + a + "'");
        } else {
            file = a;
        }
    }
    if (!file) return usage("exercise needs the name of an exercise file");

    const std::filesystem::path path(*file);
    Simulation start;
    const ExerciseReadResult read = LoadExercise(path, demoFolders, start);
    if (!read.ok()) {
        err << "marovane-plot: " << read.Error << "\n";
        return 1;
    }
    // Without --at, the key at every question's time: what the instructor marks against.
    std::vector<double> times;
    if (at) {
        times.push_back(*at);
    } else {
        for (const Question& q : read.Exercise->Questions)
            if (std::find(times.begin(), times.end(), q.At) == times.end()) times.push_back(q.At);
        if (times.empty()) times.push_back(start.Clock.SimTime);
    }
    const std::string title = start.Title.empty() ? path.filename().string() : start.Title;
    Json keys = Json::array();
    for (size_t n = 0; n < times.size(); ++n) {
        const Truth truth = TruthAt(start, times[n]);
        if (json) {
            keys.push_back(JsonKey(truth));
        } else {
            if (n) out << "\n";
            PrintKey(out, title, truth);
        }
    }
    if (json) PrintJson(out, at ? keys.front() : keys);
    return 0;
}

} // namespace mv
