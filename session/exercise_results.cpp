#include "session/exercise_results.h"

#include "core/record/run_reader.h"
#include "session/exercise.h"
#include "session/run_recorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace mv {

ResultsKeeper::ResultsKeeper(Exercise& exercise, RunRecorder& recorder, QString folder,
                             QObject* parent)
    : QObject(parent), exercise_(exercise), recorder_(recorder), folder_(std::move(folder)) {
    setObjectName("resultsKeeper");
    // After the recorder's own start, so the record being written is known.
    connect(&exercise_, &Exercise::scenarioStarted, this, &ResultsKeeper::Begin);
    connect(&exercise_, &Exercise::handedIn, this, &ResultsKeeper::Write);
    connect(&exercise_, &Exercise::assessedFinished, this, &ResultsKeeper::Finish);
}

QString ResultsKeeper::DefaultFolder() {
    const QString set = qEnvironmentVariable("MAROVANE_RESULTS");
    if (!set.isEmpty()) return set;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/results";
}

void ResultsKeeper::Begin() {
    path_.clear();
    record_.reset();
    grading_.reset();
    results_ = {};
    const AssessedExercise* assessed = exercise_.assessed();
    if (!assessed) return;
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem = QFileInfo(exercise_.scenarioFile()).completeBaseName();
    const QString student = exercise_.student().isEmpty() ? "no name" : exercise_.student();
    if (!QDir().mkpath(folder_)) {
        emit notice(tr("The results cannot be kept: the folder %1 cannot be made.").arg(folder_));
        return;
    }
    // Copies cut short by a kill as an exercise ended. A copy takes milliseconds, so one five
    // minutes old is no other program's copy still being made in a shared folder.
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-300);
    for (const QFileInfo& f : QDir(folder_).entryInfoList(
             {"*.part", "*.part-journal", "*.part-wal", "*.part-shm"}, QDir::Files))
        if (f.lastModified() < stale) QFile::remove(f.filePath());
    // A second exercise begun within the same second gets a number, never another's file.
    for (int n = 1; path_.isEmpty() || QFileInfo::exists(path_); ++n) {
        QString name = RunRecorder::FileName(now, stem + " " + student, n);
        name.replace(QRegularExpression(R"(\.mvrun$)"), ".json");
        path_ = QDir(folder_).filePath(name);
    }
    results_.Student = exercise_.student().toStdString();
    results_.ExerciseFile = exercise_.exerciseFile().toStdString();
    results_.Title = exercise_.simulation().Title;
    results_.RecordFile = recorder_.currentPath().toStdString();
    results_.Started = now.toUTC().toString(Qt::ISODate).toStdString();
    Write();
}

void ResultsKeeper::Write() {
    if (path_.isEmpty()) return;
    // While the exercise runs, the answers and their times only: no truth, no mark.
    results_.Answers.clear();
    for (const Exercise::HandedIn& h : exercise_.answers())
        results_.Answers.push_back({h.Given, h.At, {}});
    Save();
}

void ResultsKeeper::Save() {
    const std::string error = WriteResultsFile(path_.toStdString(), results_);
    if (!error.empty())
        emit notice(tr("The results are not written: %1.").arg(QString::fromStdString(error)));
}

void ResultsKeeper::Finish(const QString& how) {
    if (path_.isEmpty()) return;
    const AssessedExercise& exercise = *exercise_.assessed();
    results_.Ended = how.toStdString();
    // The record beside the results, and the marks from it, as the instructor's grading
    // will work them.
    QString copy = path_;
    copy.replace(QRegularExpression(R"(\.json$)"), ".mvrun");
    const QString saved = recorder_.SaveCopy(copy);
    if (saved.isEmpty()) {
        results_.RecordFile = copy.toStdString();
        RunReadResult read = ReadRunRecord(copy.toStdString());
        if (read.ok()) record_ = std::move(*read.Record);
    } else {
        emit notice(tr("The run's record is not kept with the results: %1.").arg(saved));
    }
    std::optional<RunRecord> answersOnly;
    if (!record_) {
        // Without a record only the answers can be marked, from a record of them alone, by
        // the same marking against the answer key; with no moments to judge, the action
        // counts as not achieved.
        RunRecord answers;
        answers.Exercise = RunExercise{exercise_.scenarioFile().toStdString(),
                                       exercise_.student().toStdString(), exercise.Text};
        for (const Exercise::HandedIn& h : exercise_.answers())
            answers.Answers.push_back({0, h.At, static_cast<int>(h.Given.Question), h.Given.Vessel,
                                       h.Given.Asked, h.Given.Value});
        answersOnly = std::move(answers);
    }
    grading_ = GradeRun(exercise, exercise_.exerciseStart(), record_ ? *record_ : *answersOnly);
    results_.Answers = ResultsAnswers(*grading_);
    results_.Total = grading_->Total;
    Save();
    emit finished(path_);
}

} // namespace mv
