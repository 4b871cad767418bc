#pragma once
// frmBriefing: an assessed exercise's briefing, shown as the exercise opens with its clock held:
// the title and description, the time limit, when each question comes and what it asks, what
// is asked of the own ship, and what the student may use. Start closes it and starts the clock.
// It stands at the left of the radar picture, clear of the picture's centre and the controls,
// and has no close box: the exercise waits for Start (or for the student to resume it).

#include <QWidget>

class QLabel;

namespace mv {

class Exercise;

class BriefingWindow : public QWidget {
    Q_OBJECT
  public:
    BriefingWindow(Exercise& exercise, QWidget& console);
    // The console's briefing, made on first use, filled for the exercise in force and shown at
    // the left of `picture`.
    static BriefingWindow& OpenOver(QWidget& console, Exercise& exercise, const QWidget& picture);
    void Open(const QWidget& picture);

  public slots:
    void cmdStart_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The briefing is over however it ended: started, resumed, ended or left.
    void ShowExerciseState();

    Exercise& exercise_;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblQuestions_ = nullptr;
    QLabel* lblAction_ = nullptr;
    QLabel* lblAllowed_ = nullptr;
};

} // namespace mv
