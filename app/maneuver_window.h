#pragma once
// frmManeuver: the manoeuvre panel (a new course, a turn by some degrees, a new speed for any
// vessel) and, in the same window, the CPA data panel of a target. Modal to the console while
// the simulation runs on; the tick's manoeuvre steps keep its read-outs current.

#include "core/aids/maneuver.h"
#include "core/display/display_state.h"
#include "core/simulation.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace mv {

class CpaDataPanel;
class Dialogs;
class NumericEntryFilter;

class ManeuverWindow : public QDialog {
    Q_OBJECT
  public:
    ManeuverWindow(Simulation& sim, const RadarDisplayState& display, Dialogs& dialogs,
                   QWidget* parent);

    // The vessel-button dispatcher's two ways in: the panel filled for vessel `vessel` (a slot,
    // 0..5), the window shown without waiting for it to close, and activated.
    void OpenManeuver(int vessel, const QString& buttonCaption);
    void OpenCPAData(int vessel, const QString& buttonCaption);

    // The vessel the window works on.
    int vessel() const { return vessel_; }
    // The window is open on vessel `vessel`: its echo is drawn red.
    bool isOpenOn(int vessel) const;
    // The CPA data panel is the one shown (or shown last), not the manoeuvre panel.
    bool showsCpaData() const;
    // A manoeuvre step of the tick: shown when it is the window's vessel and the window is open.
    void ManeuverStep(int vessel, const ManeuverReadout& readout);
    // After every tick: the CPA data panel's caution follows the manoeuvres.
    void Ticked();

  signals:
    // The vessel's echo turns red while the window is open on it, and green again as it closes.
    void echoHighlighted(int vessel, bool on);
    // CPA data read, for the run's record.
    void logged(const QString& kind, int vessel, const QString& text);
    // An order given: the course (degrees true) and speed (knots) to come to, and the order as
    // the record's event says it (see Exercise::LogOrder).
    void ordered(int vessel, int course, double speed, const QString& text);

  public slots:
    void DoCPA();
    void cmdTurnLeft_Click();
    void cmdTurnRight_Click();
    void cmdTurnToCourse_Click();
    void cmdSpeed_Click();
    void cmdKeyPad_Click(int index);
    void cmdExecute_Click();
    void cmdManeuverClose_Click();
    void cmdCPAClose_Click() { cmdManeuverClose_Click(); }
    void txtSpeed_Change();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { cmdManeuverClose_Click(); }

  private:
    QWidget* BuildManeuverPanel();
    // Every time the window becomes active: the echo turns red, the manoeuvre flag is raised,
    // no field is selected for the keypad and the turn fields read "0".
    void Form_Activate();
    void Present(QWidget* panel);
    // The fields are the truth; the core works on a copy of their texts.
    void Pull();
    void Push();
    QLineEdit* FieldWidget(ManeuverField field) const;

    Simulation& sim_;
    const RadarDisplayState& display_;
    Dialogs& dialogs_;
    ManeuverEntries entries_;
    NumericEntryFilter* filter_ = nullptr;

    QStackedWidget* panels_ = nullptr;
    QWidget* pnlManeuver_ = nullptr;
    CpaDataPanel* pnlCPAData_ = nullptr;
    int vessel_ = 0;
    // The manoeuvre panel.
    QLabel *lblVessel_ = nullptr, *lblType_ = nullptr, *lblCourse_ = nullptr, *lblSpeed_ = nullptr;
    QLabel *lblTurning_ = nullptr, *lblSpeeding_ = nullptr;
    QLineEdit *txtCourse_ = nullptr, *txtTurnLeft_ = nullptr, *txtTurnRight_ = nullptr,
              *txtSpeed_ = nullptr;
    QPushButton* cmdManeuverClose_ = nullptr;
};

} // namespace mv
