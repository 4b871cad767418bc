#pragma once
// frmAnswers, the answer form of an assessed exercise: the student picks a question and types
// the figures it asks of each target (and the set and drift); Hand In checks every figure and
// hands the lot in, timed and into the run's record. The form never shows the truth.

#include <QWidget>

#include <map>
#include <utility>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace mv {

class Dialogs;
class Exercise;

class AnswerForm : public QWidget {
    Q_OBJECT
  public:
    AnswerForm(Exercise& exercise, Dialogs& dialogs, QWidget* parent);
    // Shows the form on `question`, or by default on the latest question whose time has come
    // (the first before any has).
    void Open(int question = -1);
    // The console's answer form, made on first use, opened so.
    static AnswerForm& OpenOver(QWidget& console, Exercise& exercise, Dialogs& dialogs,
                                int question = -1);
    // The entry of a target's (vessel slot, or -1 for set and drift) figure, or none.
    QLineEdit* Entry(int vessel, int figure) const;

  public slots:
    void cboQuestion_Change();
    void cmdHandIn_Click();

  private:
    Exercise& exercise_;
    Dialogs& dialogs_;
    QComboBox* cboQuestion_ = nullptr;
    QLabel* lblStudent_ = nullptr;
    QLabel* lblHandedIn_ = nullptr;
    QWidget* grid_ = nullptr;
    std::map<std::pair<int, int>, QLineEdit*> entries_;
};

} // namespace mv
