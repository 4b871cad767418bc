#pragma once
// The report of an assessed exercise for the student and the instructor: the heading, every
// question's figures beside the truth, the action's outcome and how it was made, the total,
// the radar as the student saw it at each answer and the true tracks of the whole run. One
// document serves the PDF and the window, so the two never differ. Every mark in it comes from
// the run's grading; nothing is marked here.

#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/record/run_record.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QTextBrowser;
class QTextDocument;

namespace mv {

class Dialogs;

// What a report is made of. The student and how the exercise ended are the grading's (read
// from the record), the date the run's start.
struct ExerciseReport {
    const AssessedExercise& Exercise;
    QString ExerciseFile; // as it was opened, shown as its name
    const RunRecord& Run;
    const std::vector<Truth>& Truths; // one per question: QuestionTruths
    const RunGrading& Grading;        // GradeRun of the same exercise, truths and run
};

// The report as one document, its pictures held in it. Needs a QApplication: the radar
// pictures are drawn by the replay's own radar, offscreen, in the day palette.
std::unique_ptr<QTextDocument> BuildExerciseReport(const ExerciseReport& report);

// Prints a report onto A4 as a PDF at `pdfPath`, written whole under another name and then
// renamed into place, so a failure leaves any file there as it was. Returns the reason it could
// not be written, empty on success.
QString WriteReportPdf(const QTextDocument& document, const QString& pdfPath);
QString WriteExerciseReport(const ExerciseReport& report, const QString& pdfPath);

// frmReport: the report, read-only, with Save PDF... and Close.
class ReportWindow : public QWidget {
    Q_OBJECT
  public:
    // `suggestedPdf` is where Save PDF... proposes to write.
    ReportWindow(std::unique_ptr<QTextDocument> document, QString suggestedPdf, Dialogs& dialogs,
                 QWidget* parent = nullptr);
    ~ReportWindow() override;
    QTextDocument& document() { return *document_; }

  public slots:
    void cmdSavePdf_Click();

  private:
    std::unique_ptr<QTextDocument> document_;
    QString suggestedPdf_;
    Dialogs& dialogs_;
    QTextBrowser* txtReport_ = nullptr;
};

// Opens the report window of a run over `parent` (deleted when closed) and returns it.
ReportWindow* ShowExerciseReport(const ExerciseReport& report, const QString& suggestedPdf,
                                 Dialogs& dialogs, QWidget* parent);
// The same for a report already built (and perhaps printed).
ReportWindow* ShowExerciseReport(std::unique_ptr<QTextDocument> document,
                                 const QString& suggestedPdf, Dialogs& dialogs, QWidget* parent);

} // namespace mv
