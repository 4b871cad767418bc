#pragma once
// Keeps an assessed exercise's results file in the results folder: begun as the exercise
// starts, written whole again with every answer handed in (so a crash loses none), and at the
// end given how it ended and the total, marked from the run's record as marovane-plot grade
// marks it. A copy of the record goes beside it then, so the folder holds all an instructor
// needs: "2026-12-07 143015 Exam1-AlteringTarget Ann.json" and ".mvrun".

#include "core/exercise/grading.h"
#include "core/exercise/results_file.h"
#include "core/record/run_record.h"

#include <QObject>
#include <QString>

#include <optional>

namespace mv {

class Exercise;
class RunRecorder;

class ResultsKeeper : public QObject {
    Q_OBJECT
  public:
    ResultsKeeper(Exercise& exercise, RunRecorder& recorder, QString folder,
                  QObject* parent = nullptr);

    // $MAROVANE_RESULTS when set, otherwise "results" in the user's data folder.
    static QString DefaultFolder();
    const QString& folder() const { return folder_; }
    // The results file of the assessed exercise in force or last ended, or empty.
    const QString& path() const { return path_; }
    const ExerciseResults& results() const { return results_; }
    // Once the exercise has ended: the run as recorded and its marking.
    const std::optional<RunRecord>& record() const { return record_; }
    const std::optional<RunGrading>& grading() const { return grading_; }

  signals:
    // The results file is whole with the total: the report can be made.
    void finished(const QString& path);
    // The results file could not be written: said in the status line and in a box at the end.
    void notice(const QString& text);

  private:
    void Begin();
    void Write();
    void Save();
    void Finish(const QString& how);

    Exercise& exercise_;
    RunRecorder& recorder_;
    QString folder_;
    QString path_;
    ExerciseResults results_;
    std::optional<RunRecord> record_;
    std::optional<RunGrading> grading_;
};

} // namespace mv
