#pragma once
// frmReport: an assessed exercise's report on the screen, read-only, with Save PDF... and
// Close. The document itself is made by report/exercise_report.h.

#include "report/exercise_report.h"

#include <QString>
#include <QWidget>

#include <memory>

class QTextBrowser;
class QTextDocument;

namespace mv {

class Dialogs;

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
