#include "tools/plot/grade_command.h"

#include "core/exercise/answer_key.h"
#include "core/exercise/exercise_file.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace mv {

namespace {

// One column of the class table: a figure of a question, or a mark of the action.
struct Column {
    std::string Title;
    size_t Question = 0;
    int Vessel = -1;
    Figure Asked = Figure::Cpa;
};

struct Row {
    std::string Student, Record;
    std::vector<std::string> Cells;
    Score Total;
};

// The run as the simulation had it at one recorded moment, for the action's judge.
Simulation MomentOf(const RunRecord& record, const RunTick& tick) {
    Simulation sim;
    PlaceMoment(record, tick, sim.Vessels);
    sim.Clock.SimTime = tick.SimTime;
    return sim;
}

} // namespace

int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders) {
    const auto usage = [&err](const std::string& reason) {
        err << "marovane-plot: " << reason << "\n"
            << "usage: marovane-plot grade --exercise FILE.toml RECORD.mvrun... [--csv FILE]\n";
        return 2;
    };
    std::optional<std::string> exerciseFile, csvFile;
    std::vector<std::string> records;
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        if (a == "--exercise" || a == "--csv") {
            if (n + 1 >= args.size()) return usage("option " + a + " needs a value");
            (a == "--exercise" ? exerciseFile : csvFile) = args[++n];
        } else if (a.starts_with("--")) {
            return usage("unknown option '" + a + "' for grade");
        } else {
            records.push_back(a);
        }
    }
    if (!exerciseFile) return usage("grade needs --exercise and the exercise file");
    if (records.empty()) return usage("grade needs at least one run record");

    const std::filesystem::path path(*exerciseFile);
    const ExerciseReadResult read = ReadExerciseFile(path);
    Simulation start;
    std::string error = read.Error;
    if (read.ok())
        error = BuildExerciseSimulation(*read.Exercise, path.parent_path(), demoFolders, start);
    if (!error.empty()) {
        err << "marovane-plot: " << error << "\n";
        return 1;
    }
    const AssessedExercise& exercise = *read.Exercise;
    std::vector<Truth> truths;
    for (const Question& q : exercise.Questions)
        truths.push_back(TruthAt(start, q.At));

    std::vector<Column> columns;
    static const char* const names[] = {"CPA", "TCPA", "Course", "Speed", "Aspect", "Set", "Drift"};
    for (size_t i = 0; i < exercise.Questions.size(); ++i) {
        const Question& q = exercise.Questions[i];
        std::vector<int> targets = q.Targets;
        if (targets.empty())
            for (const TargetTruth& t : truths[i].Targets)
                targets.push_back(t.Vessel);
        for (int t : targets)
            for (Figure f : q.Figures)
                if (IsTargetFigure(f))
                    columns.push_back({"Q" + std::to_string(i + 1) + " " + VesselLetter(t) + " " +
                                           names[static_cast<size_t>(f)],
                                       i, t, f});
        for (Figure f : q.Figures)
            if (!IsTargetFigure(f))
                columns.push_back(
                    {"Q" + std::to_string(i + 1) + " " + names[static_cast<size_t>(f)], i, -1, f});
    }
    const bool action = exercise.Action.MinCpa > 0;
    std::vector<std::string> actionTitles;
    if (action) {
        for (const TargetTruth& t : TruthNow(start).Targets)
            actionTitles.push_back(VesselLetter(t.Vessel) + " passed");
        actionTitles.insert(actionTitles.end(), {"In time", "Apparent"});
        if (exercise.RestrictedVisibility) actionTitles.push_back("Rule 19(d)");
    }

    std::vector<Row> rows;
    int failed = 0;
    for (const std::string& file : records) {
        const RunReadResult run = ReadRunRecord(file);
        if (!run.ok()) {
            err << "marovane-plot: " << run.Error << "\n";
            ++failed;
            continue;
        }
        Row row;
        row.Record = std::filesystem::path(file).filename().string();
        std::vector<Mark> marks;
        for (const RunEvent& e : run.Record->Events) {
            if (e.Kind == "exercise") {
                const size_t at = e.Text.rfind(" for ");
                if (at != std::string::npos) row.Student = e.Text.substr(at + 5);
            } else if (e.Kind == "answer") {
                if (const auto a = ParseAnswerEvent(e.Text))
                    marks.push_back(MarkAnswer(exercise, truths, *a));
            }
        }
        // After a repeat the last pass through the exercise is the one judged.
        std::optional<ActionJudge> pass;
        double last = 0;
        for (const RunTick& tick : run.Record->Ticks) {
            if (!pass || tick.SimTime < last) pass.emplace(exercise);
            pass->Observe(MomentOf(*run.Record, tick));
            last = tick.SimTime;
        }
        const ActionVerdict verdict = pass ? pass->Verdict() : ActionVerdict{};
        for (const Column& c : columns) {
            std::string cell = "-"; // not answered
            for (const Mark& m : marks)
                if (std::tie(m.Given.Question, m.Given.Vessel, m.Given.Asked) ==
                    std::tie(c.Question, c.Vessel, c.Asked))
                    cell = m.Right ? "1" : "0";
            row.Cells.push_back(cell);
        }
        if (action) {
            for (const TargetTruth& t : TruthNow(start).Targets) {
                const auto o =
                    std::find_if(verdict.Outcomes.begin(), verdict.Outcomes.end(),
                                 [&t](const TargetOutcome& k) { return k.Vessel == t.Vessel; });
                row.Cells.push_back(o != verdict.Outcomes.end() && o->Kept ? "1" : "0");
            }
            row.Cells.push_back(verdict.Acted && verdict.InTime ? "1" : "0");
            row.Cells.push_back(verdict.Apparent ? "1" : "0");
            if (exercise.RestrictedVisibility)
                row.Cells.push_back(verdict.Acted && verdict.RulesKept ? "1" : "0");
        }
        row.Total = TotalScore(exercise, truths, marks, verdict);
        rows.push_back(row);
    }

    std::vector<std::string> head{"Student", "Record"};
    for (const Column& c : columns)
        head.push_back(c.Title);
    head.insert(head.end(), actionTitles.begin(), actionTitles.end());
    head.push_back("Total");
    for (const Row& r : rows) {
        out << (r.Student.empty() ? "(no name)" : r.Student) << " (" << r.Record
            << "): " << r.Total.Got << " of " << r.Total.OutOf << "\n";
    }
    if (csvFile) {
        std::string text;
        for (size_t k = 0; k < head.size(); ++k)
            text += (k ? "," : "") + CsvField(head[k]);
        text += "\r\n";
        for (const Row& r : rows) {
            text += CsvField(r.Student) + "," + CsvField(r.Record);
            for (const std::string& c : r.Cells)
                text += "," + c;
            text +=
                "," + std::to_string(r.Total.Got) + "/" + std::to_string(r.Total.OutOf) + "\r\n";
        }
        const std::string written = WriteFileAtomically(*csvFile, text);
        if (!written.empty()) {
            err << "marovane-plot: " << written << "\n";
            return 1;
        }
    }
    return failed ? 1 : 0;
}

} // namespace mv
