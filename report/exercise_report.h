#pragma once
// The report of an assessed exercise for the student and the instructor: the heading, which
// truth the answers were marked against, every question's figures beside the truth, the
// action's outcome and how it was made, the total, the radar as the student saw it at each
// answer and the true tracks of the whole run. One document serves the PDF and the window, so
// the two never differ. Every mark and truth in it comes from the run's grading; nothing is
// marked here, and no window is drawn: the pictures come from the moment renderer.

#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/record/run_record.h"

#include <QString>

#include <memory>

class QTextDocument;

namespace mv {

// What a report is made of. The student, how the exercise ended and the truths are the
// grading's (read from the record), the date the run's start.
struct ExerciseReport {
    const AssessedExercise& Exercise;
    QString ExerciseFile; // as it was opened, shown as its name
    const RunRecord& Run;
    const RunGrading& Grading; // GradeRun of the same exercise and run
};

// The report as one document, its pictures held in it. Needs a QGuiApplication for the fonts.
// The pictures are in the day palette whatever the light on the bridge: the report is paper.
std::unique_ptr<QTextDocument> BuildExerciseReport(const ExerciseReport& report);

// Prints a report onto A4 as a PDF at `pdfPath`, written whole under another name and then
// renamed into place, so a failure leaves any file there as it was. Returns the reason it could
// not be written, empty on success.
QString WriteReportPdf(const QTextDocument& document, const QString& pdfPath);
QString WriteExerciseReport(const ExerciseReport& report, const QString& pdfPath);

} // namespace mv
