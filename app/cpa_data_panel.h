#pragma once
// pnlCPAData: the CPA data of one target, from its present course and speed or from the
// final ones of a manoeuvre under way, with the caution that the figures assume no change.

#include "core/display/display_state.h"
#include "core/simulation.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;

namespace mv {

class CpaDataPanel : public QWidget {
    Q_OBJECT
  public:
    CpaDataPanel(const Simulation& sim, const RadarDisplayState& display, QWidget* parent);
    // The data of vessel `vessel`, titled after its button's caption.
    void Show(int vessel, const QString& buttonCaption);
    void FocusClose();
    // The figures shown, in a line: "CPA 0.52 nm. at 045, TCPA 12.3 min., ...".
    QString Summary() const;

  public slots:
    void DoCPA();
    // The caution as the tick leaves the manoeuvres: shown only while one is under way.
    void ShowCaution();

  signals:
    void closeRequested();

  private:
    const Simulation& sim_;
    const RadarDisplayState& display_;
    int vessel_ = 0;
    QLabel* lblCPAtitle_ = nullptr;
    QLabel* lblCaution_ = nullptr;
    QRadioButton* optFinalData_ = nullptr;
    QPushButton* cmdCPAClose_ = nullptr;
    QLabel *lblTargetCourse_ = nullptr, *lblTargetSpeed_ = nullptr, *lblYourcourse_ = nullptr,
           *lblYourspeed_ = nullptr, *lblCPA_ = nullptr, *lblBCPA_ = nullptr, *lblTCPA_ = nullptr,
           *lblDRM_ = nullptr, *lblSRM_ = nullptr;
};

} // namespace mv
