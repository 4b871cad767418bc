#pragma once
// frmTrialManeuver, the trial manoeuvre: the student types a course and speed for the own ship
// and a delay before she would act, and sees, without anything being ordered, every target's
// CPA and TCPA as they stand and as they would become, worked again at every tick while the
// trial is shown; the picture shows each target's predicted relative track, dashed, and the
// word TRIAL. Execute turns a trial without delay into the own ship's order, through the same
// checks and orders as the manoeuvre window; Cancel takes the trial off the picture.

#include "core/aids/trial_maneuver.h"

#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mv {

class Dialogs;
class Exercise;
class NumericEntryFilter;
class PlotOverlays;
class WorldPictureWidget;

inline constexpr const char* kTrialHelpPage = "trial.htm";
// A trial looks at most an hour ahead before the own ship acts.
inline constexpr double kMaxTrialDelay = 60.0; // minutes

class TrialWindow : public QWidget {
    Q_OBJECT
  public:
    TrialWindow(Exercise& exercise, Dialogs& dialogs, WorldPictureWidget& picture,
                PlotOverlays& overlays, QWidget* parent);

    // The trial worked again from the present moment and shown, or taken off the picture when
    // none is shown. Closing the window takes the trial away.
    void ShowTrial();
    bool trialShown() const { return order_.has_value(); }
    const TrialOutcome& outcome() const { return outcome_; }

    void cmdShowTrial_Click();
    void cmdExecute_Click();
    void cmdCancelTrial_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The typed order, or a message (and the focus on the field at fault).
    std::optional<TrialOrder> ReadOrder();
    void FillRows();
    void ShowButtons();

    Exercise& exercise_;
    Dialogs& dialogs_;
    WorldPictureWidget& picture_;
    PlotOverlays& overlays_;
    NumericEntryFilter* filter_ = nullptr;
    QLineEdit* txtCourse_ = nullptr;
    QLineEdit* txtSpeed_ = nullptr;
    QLineEdit* txtDelay_ = nullptr;
    QPushButton* cmdShowTrial_ = nullptr;
    QPushButton* cmdExecute_ = nullptr;
    QPushButton* cmdCancelTrial_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    std::vector<std::vector<QLabel*>> rows_; // a row per target slot, a label per column
    std::optional<TrialOrder> order_;        // the trial shown
    QString note_;                           // what the status says when no trial is shown
    TrialOutcome outcome_;
};

} // namespace mv
