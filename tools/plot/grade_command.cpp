#include "tools/plot/grade_command.h"

#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/record/run_reader.h"
#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"

#include <optional>

namespace mv {

namespace {

// "Ann - Ann.pdf" from the student and the record's file name, with the letters a file name
// may not hold on any of the systems a class may share files with replaced.
std::string ReportFileName(const std::string& student, const std::string& record) {
    std::string name = (student.empty() ? std::string("No name") : student) + " - " +
                       std::filesystem::path(record).stem().string();
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    return name + ".pdf";
}

} // namespace

int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders,
             const ReportPdfWriter& writePdf) {
    const auto usage = [&err](const std::string& reason) {
        err << "marovane-plot: " << reason << "\n"
            << "usage: marovane-plot grade --exercise FILE.toml RECORD.mvrun... [--csv FILE] "
               "[--pdf DIR]\n";
        return 2;
    };
    std::optional<std::string> exerciseFile, csvFile, pdfDir;
    std::vector<std::string> records;
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        if (a == "--exercise" || a == "--csv" || a == "--pdf") {
            if (n + 1 >= args.size()) return usage("option " + a + " needs a value");
            (a == "--exercise" ? exerciseFile : a == "--csv" ? csvFile : pdfDir) = args[++n];
        } else if (a.starts_with("--")) {
            return usage("unknown option '" + a + "' for grade");
        } else {
            records.push_back(a);
        }
    }
    if (!exerciseFile) return usage("grade needs --exercise and the exercise file");
    if (records.empty()) return usage("grade needs at least one run record");
    if (pdfDir && !writePdf) return usage("this build of marovane-plot cannot write PDF reports");

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
    if (pdfDir) {
        std::error_code ec;
        std::filesystem::create_directories(*pdfDir, ec);
        if (ec) {
            err << "marovane-plot: the folder " << *pdfDir << " cannot be made: " << ec.message()
                << "\n";
            return 1;
        }
    }

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
        if (pdfDir) {
            const std::filesystem::path pdf =
                std::filesystem::path(*pdfDir) / ReportFileName(grading.Student, file);
            const std::string written =
                writePdf(exercise, *exerciseFile, *run.Record, truths, grading, pdf);
            if (!written.empty()) {
                err << "marovane-plot: " << written << "\n";
                ++failed;
            }
        }
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
