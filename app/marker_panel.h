#pragma once
// The measuring controls of the radar console: the EBL and VRM switches, the four
// press-and-hold buttons that turn the bearing line and move the range ring, the keys/cursor
// mode options, and the cursor-mode click, arrow keys and wheel on the radar picture. The
// arithmetic is in core/display/markers.h; this panel places the overlays and runs the 100 ms
// utility timer between a press and its release.

#include "core/display/display_state.h"
#include "core/core/display/markers.h"
#include "core/vessel.h"
#include "gui/button_faces.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QPushButton;
class QRadioButton;
class QStackedLayout;

namespace mv {

class Dialogs;
class Exercise;
class WorldPicture;
class WorldPictureWidget;

class MarkerPanel : public QWidget {
    Q_OBJECT
  public:
    MarkerPanel(Exercise& exercise, WorldPictureWidget& picture, Dialogs& dialogs,
                QWidget* parent = nullptr);

    // The overlays from the state: the bearing line and the range ring, each with its caption,
    // the cursor cross, and the cursor where the bearing line crosses the ring.
    void PlaceEBL();
    void PlaceVRM();
    void DrawCursor();
    void CursorToEBLVRM();

  public slots:
    void cmdEBL_Click();
    void cmdVRM_Click();
    void optKeysMode_Click();
    void optCursorMode_Click();
    void tmrUtility_Timer();
    // A press on the picture at world point (east, north): measures in cursor mode.
    void picRadarCRT_MouseDown(double x, double y, Qt::MouseButton button);

  protected:
    // Arrow keys and the wheel on the radar picture.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPushButton* AddHoldButton(const char* name, ButtonFace face, MarkerButton which,
                               const QString& tip);
    void Press(MarkerButton b);
    void Release(MarkerButton b);
    void SetHoldButtons(bool ebl, bool on);
    // The EBL or VRM switch: the marker on or off, its caption and hold buttons with it.
    void SwitchMarker(bool ebl);
    // The input mode's option, panel, mouse cursor and cursor overlays; true for cursor mode.
    void SetInputMode(bool cursor);
    // The cursor's range and bearing read-outs on the picture.
    void ShowCursorReadouts();
    WorldPicture& pic();

    Exercise& exercise_;
    RadarDisplayState& display_;
    WorldPictureWidget& picture_;
    Dialogs& dialogs_;
    QTimer tmrUtility_;
    QPushButton* cmdEBLClock_ = nullptr;
    QPushButton* cmdEBLCtrClock_ = nullptr;
    QPushButton* cmdVRMIn_ = nullptr;
    QPushButton* cmdVRMOut_ = nullptr;
    QRadioButton* optKeysMode_ = nullptr;
    QRadioButton* optCursorMode_ = nullptr;
    QStackedLayout* modePanels_ = nullptr;
    QWidget* pnlKeysMode_ = nullptr;
    QWidget* pnlCursorMode_ = nullptr;
    std::optional<MarkerButton> heldKey_; // the arrow key held on the picture
    int wheelEighths_ = 0;                // a notch is 120 eighths of a degree
};

} // namespace mv
