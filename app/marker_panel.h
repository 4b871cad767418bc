#pragma once
// The measuring controls of the radar console: the EBL and VRM switches and the keys/cursor
// mode options (views of their commands), and the four press-and-hold buttons that turn the
// bearing line and move the range ring. Which panel shows, and whether the hold buttons can be
// pressed, follows the state after every change.

#include "core/display/markers.h"
#include "gui/button_faces.h"

#include <QWidget>

class QPushButton;
class QRadioButton;
class QStackedLayout;

namespace mv {

class CommandActions;
class Exercise;
class MarkerHold;

class MarkerPanel : public QWidget {
    Q_OBJECT
  public:
    MarkerPanel(Exercise& exercise, CommandActions& actions, MarkerHold& hold,
                QWidget* parent = nullptr);

  private:
    QPushButton* AddHoldButton(const char* name, ButtonFace face, MarkerButton which,
                               const QString& tip);
    // The hold buttons follow their marker in either mode, so returning to keys mode never
    // leaves them greyed under a marker that is on; the input mode brings its panel forward.
    void ShowState();

    Exercise& exercise_;
    MarkerHold& hold_;
    QPushButton* cmdEBLClock_ = nullptr;
    QPushButton* cmdEBLCtrClock_ = nullptr;
    QPushButton* cmdVRMIn_ = nullptr;
    QPushButton* cmdVRMOut_ = nullptr;
    QStackedLayout* modePanels_ = nullptr;
    QWidget* pnlKeysMode_ = nullptr;
    QWidget* pnlCursorMode_ = nullptr;
};

} // namespace mv
