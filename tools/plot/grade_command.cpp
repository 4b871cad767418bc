#include "tools/plot/grade_command.h"

#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"

#include <optional>

namespace mv {

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
    const std::vector<Truth> truths = QuestionTruths(exercise, start);
    const std::vector<GradeColumn> columns = GradeColumns(exercise, truths, start);

    struct Row {
        std::string Student, Record;
        std::vector<std::string> Cells;
        Score Total;
    };
    std::vector<Row> rows;
    int failed = 0;
    for (const std::string& file : records) {
        const RunReadResult run = ReadRunRecord(file);
        if (!run.ok()) {
            err << "marovane-plot: " << run.Error << "\n";
            ++failed;
            continue;
        }
        const RunGrading grading = GradeRun(exercise, truths, *run.Record);
        rows.push_back({grading.Student, std::filesystem::path(file).filename().string(),
                        GradeCells(columns, grading), grading.Total});
    }

    std::vector<std::string> head{"Student", "Record"};
    for (const GradeColumn& c : columns)
        head.push_back(c.Title);
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
