#pragma once
// "Set Your OwnTargets": the user types the own vessel and one to five targets, runs them, and
// can store the situation last run as a demo file.

#include "core/scenario/own_targets.h"

#include <QDialog>

#include <array>
#include <filesystem>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mv {

class Dialogs;
class Exercise;
class NumericEntryFilter;
class TextViewer;

class SetTargets : public QDialog {
    Q_OBJECT
  public:
    SetTargets(Exercise& exercise, Dialogs& dialogs, TextViewer& viewer, QWidget* parent = nullptr);

    // Fills the rows from the scenario in force and shows the dialog; the caller returns.
    void Open();
    // The field texts and size choices as they stand.
    OwnTargetFields Fields() const;
    // Checks rows 0 to the number of targets; a failure is shown and its field selected.
    bool Validate();

  public slots:
    void cmdRun_Click();
    void cmdSaveDemo_Click();
    void cmdDescription_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void txtTargets_Change();
    void optTargets_Click(int k);

  signals:
    void cancelled();
    // A demo file was written: the demo list is to be built again.
    void demoStored();

  protected:
    void reject() override;

  private:
    struct Row {
        QLabel* lblVessel = nullptr;
        QComboBox* cboType = nullptr;
        QLineEdit *txtHeading = nullptr, *txtSpeed = nullptr, *txtRange = nullptr,
                  *txtBearing = nullptr;
    };
    void BuildRow(int i, QGridLayout* grid, NumericEntryFilter* keys);
    void ShowRows(int n);
    void SetStoreEnabled(bool on);
    QLineEdit* FieldEdit(int row, OwnTargetField field) const;
    // Where the save dialog starts: the user's demo folder, made if need be.
    std::filesystem::path DemoStoreFolder() const;

    Exercise& exercise_;
    Dialogs& dialogs_;
    TextViewer& viewer_;
    std::array<Row, kMaxVessels> rows_;
    std::array<QRadioButton*, kMaxVessels - 1> optTargets_{};
    QLineEdit* txtTargets_ = nullptr;
    QPushButton* cmdSaveDemo_ = nullptr;
    QPushButton* cmdDescription_ = nullptr;
    int16_t rowCount_ = 1;   // the accepted number of targets
    bool refilling_ = false; // the fields are being filled from the scenario in force
};

} // namespace mv
