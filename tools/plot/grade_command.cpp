#include "tools/plot/grade_command.h"

#include "core/classroom/class_messages.h"
#include "core/csv_text.h"
#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/exercise/results_file.h"
#include "core/record/run_reader.h"
#include "core/scenario/demo_file.h"

#include <algorithm>
#include <map>
#include <memory>
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

// A path as a results file wrote it, which may be another system's: its last component,
// after a slash or a backslash.
std::string LastComponent(const std::string& written) {
    const size_t slash = written.find_last_of("/\\");
    return slash == std::string::npos ? written : written.substr(slash + 1);
}

// A file named in a results file: where it was written, or, once gathered from the class's
// machines into one folder, beside the results file (in the working folder for a results file
// named bare, "Ann.json").
std::filesystem::path Gathered(const std::string& written, const std::filesystem::path& folder) {
    const std::filesystem::path path(written);
    std::error_code ec;
    if (path.is_absolute() && std::filesystem::exists(path, ec)) return path;
    // A relative name is the results file's folder's, not the working folder's.
    if (path.is_relative() && std::filesystem::exists(folder / path, ec)) return folder / path;
    return folder / LastComponent(written);
}

// The answers and marks written on the student's machine are those the record gives.
bool WrittenAgrees(const ExerciseResults& written, const RunGrading& graded) {
    if (written.Answers.size() != graded.Answers.size()) return false;
    for (size_t i = 0; i < written.Answers.size(); ++i) {
        const ResultsAnswer& w = written.Answers[i];
        const Mark& m = graded.Answers[i].Marked;
        // Marks are written only once the exercise ended; before, only the answers are there.
        if (w.Given.Question != m.Given.Question || w.Given.Vessel != m.Given.Vessel ||
            w.Given.Asked != m.Given.Asked || w.Given.Value != m.Given.Value ||
            (w.Marked && w.Marked->Right != m.Right))
            return false;
    }
    return !written.Total ||
           (written.Total->Got == graded.Total.Got && written.Total->OutOf == graded.Total.OutOf);
}

// An exercise as it marks: read, its start built, and the columns it gives the class table.
struct Marking {
    AssessedExercise Exercise;
    Simulation Start;
    std::string File; // its file as the report names it
    std::vector<GradeColumn> Columns;
};

std::shared_ptr<const Marking> MarkingOf(AssessedExercise exercise, Simulation start,
                                         std::string file) {
    auto m = std::make_shared<Marking>(
        Marking{std::move(exercise), std::move(start), std::move(file), {}});
    m->Columns = GradeColumns(m->Exercise, QuestionTruths(m->Exercise, m->Start), m->Start);
    return m;
}

// Each input: a run record as it is, or a results file naming its exercise and record.
struct Input {
    std::filesystem::path Record;
    std::optional<ExerciseResults> Written;
    std::filesystem::path Results;
};

// Finds the exercise that marks each record: the instructor's file when one is given, else the
// exercise's text kept in the record, so that a copy renamed or edited on disk since cannot
// change the marking; for an older record that kept no text, the file its results file names.
class ExerciseFinder {
  public:
    ExerciseFinder(std::shared_ptr<const Marking> given,
                   const std::vector<std::filesystem::path>& demoFolders, std::ostream& err)
        : given_(std::move(given)), demoFolders_(demoFolders), err_(err) {}

    // The marking for the run, or none with the reason told.
    std::shared_ptr<const Marking> For(const Input& input, const RunRecord& run) {
        const std::string record = input.Record.filename().string();
        if (!run.Exercise) return Refuse(record + ": not a run of an assessed exercise");
        const std::string taken = LastComponent(run.Exercise->File);
        const std::string& text = run.Exercise->Text;
        if (given_) {
            const std::string file = std::filesystem::path(given_->File).filename().string();
            if (taken != file) return Refuse(record + ": a run of " + taken + ", not of " + file);
            if (!text.empty() && text != given_->Exercise.Text && !text.starts_with(kSeatCopyMark))
                err_ << "marovane-plot: the exercise in " << record << " differs from " << file
                     << "; marked against " << file << "\n";
            return given_;
        }
        // Demos an exercise names lie beside its file, or among the demo folders.
        const std::filesystem::path path =
            input.Written ? Gathered(input.Written->ExerciseFile, input.Results.parent_path())
                          : input.Record.parent_path() / taken;
        if (text.starts_with(kSeatCopyMark))
            return Refuse(record +
                          ": taken on a class seat, whose copy of the exercise has no "
                          "tolerances: give the instructor's " +
                          taken + " with --exercise");
        if (text.empty()) {
            if (!input.Written)
                return Refuse(record + ": an older record, without its exercise: give " + taken +
                              " with --exercise");
            return Loaded(path);
        }
        if (const auto known = byText_.find(text); known != byText_.end()) return known->second;
        ExerciseReadResult read = ParseExercise(text, taken);
        Simulation start;
        if (read.ok()) {
            const std::string built =
                BuildExerciseSimulation(*read.Exercise, path.parent_path(), demoFolders_, start);
            if (!built.empty()) read = {std::nullopt, built};
        }
        if (!read.ok()) return Refuse(record + ": " + read.Error);
        return byText_[text] = MarkingOf(std::move(*read.Exercise), std::move(start), taken);
    }

  private:
    std::shared_ptr<const Marking> Refuse(const std::string& why) {
        err_ << "marovane-plot: " << why << "\n";
        return nullptr;
    }

    std::shared_ptr<const Marking> Loaded(const std::filesystem::path& path) {
        if (const auto known = byFile_.find(path.string()); known != byFile_.end())
            return known->second;
        Simulation start;
        ExerciseReadResult read = LoadExercise(path, demoFolders_, start);
        if (!read.ok()) return Refuse(read.Error);
        // The same exercise as a record kept it marks the same.
        auto& same = byText_[read.Exercise->Text];
        if (!same) same = MarkingOf(std::move(*read.Exercise), std::move(start), path.string());
        return byFile_[path.string()] = same;
    }

    std::shared_ptr<const Marking> given_;
    const std::vector<std::filesystem::path>& demoFolders_;
    std::ostream& err_;
    std::map<std::string, std::shared_ptr<const Marking>> byText_, byFile_;
};

struct Row {
    std::string Student, Record, Written;
    std::vector<std::string> Cells;
    Score Total;
};

// The class table for a spreadsheet. Score and maximum stand in columns of their own: "10/10"
// in one cell is read as a date by some.
std::string ClassCsv(const std::vector<GradeColumn>& columns, const std::vector<Row>& rows) {
    std::vector<std::string> head{"Student", "Record"};
    for (const GradeColumn& c : columns)
        head.push_back(c.Title);
    head.insert(head.end(), {"Score", "Out of", "Written marks"});
    std::string text;
    for (size_t k = 0; k < head.size(); ++k)
        text += (k ? "," : "") + CsvTextField(head[k]);
    text += "\r\n";
    for (const Row& r : rows) {
        text += CsvTextField(r.Student) + "," + CsvTextField(r.Record);
        for (const std::string& c : r.Cells)
            text += "," + c;
        text += "," + std::to_string(r.Total.Got) + "," + std::to_string(r.Total.OutOf) + "," +
                r.Written + "\r\n";
    }
    return text;
}

} // namespace

int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders,
             const ReportPdfWriter& writePdf) {
    const auto usage = [&err](const std::string& reason) {
        err << "marovane-plot: " << reason << "\n"
            << "usage: marovane-plot grade RESULTS.json... [--exercise FILE.toml] [--csv FILE] "
               "[--pdf DIR]\n"
            << "       marovane-plot grade [--exercise FILE.toml] RECORD.mvrun... [--csv FILE] "
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
    if (pdfDir && !writePdf) return usage("this build of marovane-plot cannot write PDF reports");

    std::shared_ptr<const Marking> given;
    if (exerciseFile) {
        Simulation start;
        ExerciseReadResult read = LoadExercise(*exerciseFile, demoFolders, start);
        if (!read.ok()) {
            err << "marovane-plot: " << read.Error << "\n";
            return 1;
        }
        given = MarkingOf(std::move(*read.Exercise), std::move(start), *exerciseFile);
    }
    if (pdfDir) {
        std::error_code ec;
        std::filesystem::create_directories(*pdfDir, ec);
        if (ec) {
            err << "marovane-plot: the folder " << *pdfDir << " cannot be made: " << ec.message()
                << "\n";
            return 1;
        }
    }

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

    ExerciseFinder finder(given, demoFolders, err);
    // The class table is of one exercise: the first record marked sets it.
    std::shared_ptr<const Marking> table;
    std::string tableRecord;
    std::vector<Row> rows;
    for (const Input& input : inputs) {
        const std::string record = input.Record.filename().string();
        const RunReadResult run = ReadRunRecord(input.Record);
        const std::shared_ptr<const Marking> marking =
            run.ok() ? finder.For(input, *run.Record) : nullptr;
        if (!run.ok()) err << "marovane-plot: " << run.Error << "\n";
        if (!marking) {
            ++failed;
            continue;
        }
        if (table && marking != table) {
            const std::string was = std::filesystem::path(table->File).filename().string();
            const std::string is = std::filesystem::path(marking->File).filename().string();
            std::string why;
            if (is != was)
                why = record + ": a run of " + is + ", not of " + was;
            else if (!std::ranges::equal(marking->Columns, table->Columns, {}, &GradeColumn::Title,
                                         &GradeColumn::Title))
                why = record + ": its " + is + " asks other figures than " + tableRecord +
                      "'s; grade it on its own";
            else
                err << "marovane-plot: the exercise in " << record << " differs from the one in "
                    << tableRecord << "; each is marked against its own\n";
            if (!why.empty()) {
                err << "marovane-plot: " << why << "\n";
                ++failed;
                continue;
            }
        }
        if (!table) table = marking, tableRecord = record;
        const RunGrading grading = GradeRun(marking->Exercise, marking->Start, *run.Record);
        if (pdfDir) {
            const std::filesystem::path pdf =
                std::filesystem::path(*pdfDir) /
                ReportFileName(grading.Student, input.Record.string());
            const std::string report =
                writePdf(marking->Exercise, marking->File, *run.Record, grading, pdf);
            if (!report.empty()) {
                err << "marovane-plot: " << report << "\n";
                ++failed;
            }
        }
        std::string written = "-";
        if (input.Written) written = WrittenAgrees(*input.Written, grading) ? "agree" : "differ";
        rows.push_back(
            {grading.Student, record, written, GradeCells(table->Columns, grading), grading.Total});
    }

    for (const Row& r : rows) {
        out << (r.Student.empty() ? "(no name)" : r.Student) << " (" << r.Record
            << "): " << r.Total.Got << " of " << r.Total.OutOf << "\n";
        if (r.Written == "differ")
            out << "  the marks in its results file differ from the record's: an edited or "
                   "damaged file; the record's are given\n";
    }
    if (csvFile && rows.empty()) {
        // A class table of nobody would replace last week's with a header line.
        err << "marovane-plot: no run could be graded; " << *csvFile << " is left as it was\n";
        return 1;
    }
    if (csvFile) {
        const std::string written = WriteFileAtomically(
            *csvFile, ClassCsv(table ? table->Columns : std::vector<GradeColumn>{}, rows));
        if (!written.empty()) {
            err << "marovane-plot: " << written << "\n";
            return 1;
        }
    }
    return failed ? 1 : 0;
}

} // namespace mv
