#pragma once
// frmCPAComputer: two timed sightings of a target, typed or copied from the EBL and VRM,
// worked into its CPA and its true course and speed, and then into the course or speed that
// makes her pass at a wanted distance. Close hides the window with its entries;
// closing it through its frame discards them (the next opening starts empty).

#include "core/aids/cpa_computer.h"
#include "core/display/display_state.h"
#include "core/simulation.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QTimeEdit;
class QPushButton;

namespace mv {

class Dialogs;
class NumericEntryFilter;

// The help page of the window.
inline constexpr const char* kCpaComputerHelpPage = "mvhe7i9e.htm";

class CpaComputerWindow : public QDialog {
    Q_OBJECT
  public:
    CpaComputerWindow(const Simulation& sim, const RadarDisplayState& display, Dialogs& dialogs,
                      QWidget* parent);

    // Shown modal to the console without waiting, the caret in the first hour.
    void Open();

  public slots:
    void cmdCompute_Click();
    void cmdCopyEBLVRM_Click(int row);
    // The course and the speed that give the wanted CPA, acting at the time set.
    void cmdSteer_Click();
    void cmdClose_Click() { hide(); }
    void cmdHelp_Click();

  signals:
    // A CPA worked, for the run's record.
    void logged(const QString& kind, int vessel, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Row {
        QLineEdit *Hour = nullptr, *Minute = nullptr, *Second = nullptr, *Range = nullptr,
                  *Bearing = nullptr;
    };
    SightingRows Entries() const;
    void ClearResults();
    // After a bearing or range edit: "Compute CPA" is offered exactly when both rows pass.
    void Validate();
    void TimeChanged(QLineEdit* field, TimePart part);
    void SetActNow();

    const Simulation& sim_;
    const RadarDisplayState& display_;
    Dialogs& dialogs_;
    NumericEntryFilter* filter_ = nullptr;
    std::array<Row, 2> rows_{};
    QPushButton* cmdCompute_ = nullptr;
    QLabel *lblCourse_ = nullptr, *lblSpeed_ = nullptr, *lblCPA_ = nullptr, *lblBCPA_ = nullptr,
           *lblTCPA_ = nullptr, *lblSRM_ = nullptr, *lblDRM_ = nullptr, *lblYourcourse_ = nullptr,
           *lblYourspeed_ = nullptr;
    QDoubleSpinBox* spnWantedCPA_ = nullptr;
    QTimeEdit* tmeAct_ = nullptr;
    QCheckBox* chkPort_ = nullptr;
    QPushButton* cmdSteer_ = nullptr;
    QLabel *lblNewCourse_ = nullptr, *lblNewSpeed_ = nullptr, *lblSteerNote_ = nullptr;
};

} // namespace mv
