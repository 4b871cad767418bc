#pragma once
// The instructor station's window: the roster of seats (who is there, connected, lost or
// finished, last heard, sea time, answers handed in, score once marked), the class's commands
// (start an exercise on every seat, pause and resume all, the time factor for all, an order to
// a target, the end), the class table marked from the records the seats send at the end, and
// the watch: a live radar picture of every seat, with the seats close to a target marked.

#include "session/classroom/class_instructor.h"

#include <QHash>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QTabWidget;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace mv {

class Dialogs;
class SeatWatch;

class InstructorWindow : public QWidget {
    Q_OBJECT
  public:
    InstructorWindow(ClassInstructor& instructor, Dialogs& dialogs, QWidget* parent = nullptr);
    // What the class is and how a seat joins it, shown above the roster.
    void setJoinHint(const QString& text);

  public slots:
    void cmdStart_Click();
    void cmdPause_Click();
    void cmdResume_Click();
    void cboTimeFactor_Change();
    void cmdInject_Click();
    void txtAlertDistance_Change();
    void cmdEnd_Click();
    // The roster and the class table again from the instructor's state.
    void ShowRoster();
    SeatWatch* watch() const { return watch_; }

  private:
    ClassInstructor& instructor_;
    Dialogs& dialogs_;
    QLabel* lblJoin_;
    QLabel* lblExercise_;
    QTableWidget* tblRoster_;
    QTableWidget* tblMarks_;
    QComboBox* cboTimeFactor_;
    // The next start in one sea, the ships so many nautical miles apart abeam.
    QCheckBox* chkOneSea_;
    QDoubleSpinBox* txtSeaSpacing_;
    QComboBox* cboVessel_;
    QLineEdit* txtCourse_;
    QLineEdit* txtSpeed_;
    QDoubleSpinBox* txtAlertDistance_;
    QTabWidget* tabClass_;
    SeatWatch* watch_;
    QHash<QString, ClassMarks> marked_; // each seat's marks from the record it sent
};

} // namespace mv
