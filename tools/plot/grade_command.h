#pragma once
// marovane-plot grade: the class table of an assessed exercise, every mark worked afresh from
// the exercise file and the run records (the answers handed in and the own vessel's track), so
// nothing written by the program on the student's machine is taken on trust.

#include "core/exercise/grading.h"
#include "core/record/run_record.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

// Writes one graded run's report as a PDF at `pdf`: the exercise, its file as named on the
// command line, the run, the truths at the questions and the run's grading. Returns the reason
// it could not, empty on success. The tool's own main() gives one; without it --pdf is refused.
using ReportPdfWriter = std::function<std::string(
    const AssessedExercise& exercise, const std::string& exerciseFile, const RunRecord& run,
    const RunGrading& grading, const std::filesystem::path& pdf)>;

// args follow the word "grade". Returns 0 done, 1 an exercise or record that cannot be read or a
// report that cannot be written, 2 wrong arguments.
int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders,
             const ReportPdfWriter& writePdf = {});

} // namespace mv
