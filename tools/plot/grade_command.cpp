#include "tools/plot/grade_command.h"

#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/exercise/results_file.h"
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

// A file named in a results file: where it was written, or, once gathered from the class's
// machines into one folder, beside the results file.
std::filesystem::path Gathered(const std::string& written, const std::filesystem::path& folder) {
    const std::filesystem::path path(written);
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || folder.empty()) return path;
    return folder / path.filename();
}

// The answers and marks written on the student's machine are those the record gives.
bool WrittenAgrees(const ExerciseResults& written, const RunGrading& graded) {
    if (written.Answers.size() != graded.Answers.size()) return false;
    for (size_t i = 0; i < written.Answers.size(); ++i) {
        const ResultsAnswer& w = written.Answers[i];
        const Mark& m = graded.Answers[i].Marked;
        if (w.Given.Question != m.Given.Question || w.Given.Vessel != m.Given.Vessel ||
            w.Given.Asked != m.Given.Asked || w.Given.Value != m.Given.Value || w.Right != m.Right)
            return false;
    }
    return !written.Total ||
           (written.Total->Got == graded.Total.Got && written.Total->OutOf == graded.Total.OutOf);
}

} // namespace

int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders,
             const ReportPdfWriter& writePdf) {
    const auto usage = [&err](const std::string& reason) {
        err << "marovane-plot: " << reason << "\n"
            << "usage: marovane-plot grade RESULTS.json... [--exercise FILE.toml] [--csv FILE] "
               "[--pdf DIR]\n"
            << "       marovane-plot grade --exercise FILE.toml RECORD.mvrun... [--csv FILE] "
               "[--pdf DIR]\n";
        return 2;
    };
    std::optional<std::string> exerciseFile, csvFile, pdfDir;
    std::vector<std::filesystem::path> files;
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        if (a == "--exercise" || a == "--csv" || a == "--pdf") {
            if (n + 1 >= args.size()) return usage("option " + a + " needs a value");
            (a == "--exercise" ? exerciseFile : a == "--csv" ? csvFile : pdfDir) = args[++n];
        } else if (a.starts_with("--")) {
            return usage("unknown option '" + a + "' for grade");
        } else {
            files.emplace_back(a);
        }
    }
    if (files.empty()) return usage("grade needs at least one results file or run record");

    // Each input: a run record as it is, or a results file naming its exercise and record.
    struct Input {
        std::filesystem::path Record;
        std::optional<ExerciseResults> Written;
        std::filesystem::path Results;
    };
    std::vector<Input> inputs;
    int failed = 0;
    for (const std::filesystem::path& file : files) {
        if (file.extension() == ".mvrun") {
            inputs.push_back({file, {}, {}});
            continue;
        }
        ResultsReadResult read = ReadResultsFile(file);
        if (read.ok() && read.Results->RecordFile.empty())
            read = {{},
                    file.filename().string() +
                        ": the run was not recorded, so it cannot be graded"};
        if (!read.ok()) {
            err << "marovane-plot: " << read.Error << "\n";
            ++failed;
            continue;
        }
        const std::filesystem::path record = Gathered(read.Results->RecordFile, file.parent_path());
        inputs.push_back({record, std::move(read.Results), file});
    }
    if (!exerciseFile)
        for (const Input& i : inputs)
            if (i.Written) {
                exerciseFile = Gathered(i.Written->ExerciseFile, i.Results.parent_path()).string();
                break;
            }
    if (!exerciseFile) return usage("grade needs --exercise and the exercise file");
    if (pdfDir && !writePdf) return usage("this build of marovane-plot cannot write PDF reports");

    const std::filesystem::path path(*exerciseFile);
    Simulation start;
    const ExerciseReadResult read = LoadExercise(path, demoFolders, start);
    if (!read.ok()) {
        err << "marovane-plot: " << read.Error << "\n";
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
        std::string Student, Record, Written;
        std::vector<std::string> Cells;
        Score Total;
    };
    std::vector<Row> rows;
    for (const Input& input : inputs) {
        if (input.Written &&
            std::filesystem::path(input.Written->ExerciseFile).filename() != path.filename()) {
            err << "marovane-plot: " << input.Results.filename().string() << ": taken in "
                << std::filesystem::path(input.Written->ExerciseFile).filename().string()
                << ", not in " << path.filename().string() << "\n";
            ++failed;
            continue;
        }
        const RunReadResult run = ReadRunRecord(input.Record);
        if (!run.ok()) {
            err << "marovane-plot: " << run.Error << "\n";
            ++failed;
            continue;
        }
        const RunGrading grading = GradeRun(exercise, truths, *run.Record);
        if (pdfDir) {
            const std::filesystem::path pdf =
                std::filesystem::path(*pdfDir) /
                ReportFileName(grading.Student, input.Record.string());
            const std::string report =
                writePdf(exercise, *exerciseFile, *run.Record, truths, grading, pdf);
            if (!report.empty()) {
                err << "marovane-plot: " << report << "\n";
                ++failed;
            }
        }
        std::string written = "-";
        if (input.Written) written = WrittenAgrees(*input.Written, grading) ? "agree" : "differ";
        rows.push_back({grading.Student, input.Record.filename().string(), written,
                        GradeCells(columns, grading), grading.Total});
    }

    std::vector<std::string> head{"Student", "Record"};
    for (const GradeColumn& c : columns)
        head.push_back(c.Title);
    head.insert(head.end(), {"Total", "Written marks"});
    for (const Row& r : rows) {
        out << (r.Student.empty() ? "(no name)" : r.Student) << " (" << r.Record
            << "): " << r.Total.Got << " of " << r.Total.OutOf << "\n";
        if (r.Written == "differ")
            out << "  the marks in its results file differ from the record's: an edited or "
                   "damaged file; the record's are given\n";
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
            text += "," + std::to_string(r.Total.Got) + "/" + std::to_string(r.Total.OutOf) + "," +
                    r.Written + "\r\n";
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
