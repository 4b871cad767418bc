#pragma once
// Random traffic: the difficulty, and an exercise number so that an instructor can hand a
// whole class the same traffic. Empty, the number comes from the clock; after every
// generation the field shows the number used.

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace mv {

class Dialogs;
class Exercise;

class RandomTargets : public QDialog {
    Q_OBJECT
  public:
    RandomTargets(Exercise& exercise, Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the dialog; the caller returns.
    void Open();

  public slots:
    void cmdRun_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  signals:
    void cancelled();

  protected:
    void reject() override;

  private:
    Exercise& exercise_;
    Dialogs& dialogs_;
    QRadioButton *optEasy_ = nullptr, *optModerate_ = nullptr, *optDifficult_ = nullptr;
    QLineEdit* txtExercise_ = nullptr;
};

} // namespace mv
