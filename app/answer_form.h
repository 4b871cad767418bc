#pragma once
// frmAnswers, the answer form of an assessed exercise: the student picks a question and types
// the figures it asks of each target (and the set and drift); Hand In checks every figure and
// hands the lot in, timed and into the run's record; Enter in a figure does the same. The
// form never shows the truth, and it closes when the exercise ends.

#include <QWidget>

#include <map>
#include <tuple>
#include <utility>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

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
    // A question has come due: the form opens on the first of those that came due at this
    // moment and says they are all due. Returns the status line's words for them all.
    static QString OpenDue(QWidget& console, Exercise& exercise, Dialogs& dialogs, int question);
    // The entry of a target's (vessel slot, or -1 for set and drift) figure, or none.
    QLineEdit* Entry(int vessel, int figure) const;

  public slots:
    void cboQuestion_Change();
    void cmdHandIn_Click();

  private:
    // The first figure still empty takes the keyboard, or the first of all when none is.
    void FocusFirstEmpty();
    // Where the form first opens: clear of the radar picture's centre and read-outs.
    void PlaceOnce();

    Exercise& exercise_;
    Dialogs& dialogs_;
    QComboBox* cboQuestion_ = nullptr;
    QLabel* lblStudent_ = nullptr;
    QLabel* lblHandedIn_ = nullptr;
    QLabel* lblDue_ = nullptr;
    QPushButton* cmdHandIn_ = nullptr;
    QWidget* grid_ = nullptr;
    std::map<std::pair<int, int>, QLineEdit*> entries_;
    std::vector<QLineEdit*> tabOrder_; // the entries row by row, as Tab goes through them
    // Figures typed and not handed in, by question, target and figure, kept while the form
    // shows another question, so a question coming due never wipes what was being typed.
    std::map<std::tuple<int, int, int>, QString> typed_;
    int shown_ = -1; // the question whose entries are on the form
    // The questions that came due at the sea time (days) dueAt_.
    std::vector<int> due_;
    double dueAt_ = -1;
};

} // namespace mv
