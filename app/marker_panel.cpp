#include "app/marker_panel.h"

#include "app/marker_tools.h"
#include "gui/command_actions.h"
#include "gui/control_rows.h"
#include "gui/radar_picture.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QWheelEvent>

namespace mv {

namespace {

// imgCursorMode: the picture is drawn for the size and pixel ratio it is shown at.
class CursorModeImage : public QWidget {
  public:
    explicit CursorModeImage(QWidget* parent) : QWidget(parent) {
        setObjectName("imgCursorMode");
        setMinimumSize(120, 90);
        setToolTip("Click an echo on the radar picture: the cursor marks it and reads its range "
                   "and bearing. Press EBL or VRM to lay the bearing line or range ring there.");
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        PaintCursorModePicture(p, QRectF(rect()));
    }
};

} // namespace

MarkerPanel::MarkerPanel(Exercise& exercise, CommandActions& actions, MarkerHold& hold,
                         QWidget* parent)
    : QWidget(parent), exercise_(exercise), hold_(hold) {
    setObjectName("pnlMarkers");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    auto* cmdEBL = MakeButton("cmdEBL", "EBL", ButtonUse::Console, this);
    cmdEBL->setToolTip("Bearing line on or off; Left and Right arrows on the radar turn it");
    CommandActions::Bind(cmdEBL, actions.action("mnuEBL"));
    auto* cmdVRM = MakeButton("cmdVRM", "VRM", ButtonUse::Console, this);
    cmdVRM->setToolTip("Range ring on or off; Up and Down arrows or the wheel on the radar "
                       "move it");
    CommandActions::Bind(cmdVRM, actions.action("mnuVRM"));
    // The second pair, dashed on the picture, beside the first in the one row: the column has
    // no height to spare on a low screen. The one switched on last takes the arrows.
    auto* cmdEBL2 = MakeButton("cmdEBL2", "EBL2", ButtonUse::Console, this);
    cmdEBL2->setToolTip("Second bearing line on or off; while it is the last switched on, the "
                        "Left and Right arrows turn it");
    CommandActions::Bind(cmdEBL2, actions.action("mnuEBL2"));
    auto* cmdVRM2 = MakeButton("cmdVRM2", "VRM2", ButtonUse::Console, this);
    cmdVRM2->setToolTip("Second range ring on or off; while it is the last switched on, the Up "
                        "and Down arrows and the wheel move it");
    CommandActions::Bind(cmdVRM2, actions.action("mnuVRM2"));
    auto* switches = new QHBoxLayout;
    switches->setSpacing(4);
    for (QPushButton* b : {cmdEBL, cmdVRM, cmdEBL2, cmdVRM2})
        switches->addWidget(b);
    grid->addLayout(switches, 0, 0, 1, 2);

    auto* optKeysMode = new QRadioButton("Keys Mode", this);
    optKeysMode->setObjectName("optKeysMode");
    auto* optCursorMode = new QRadioButton("Cursor Mode", this);
    optCursorMode->setObjectName("optCursorMode");
    CommandActions::Bind(optKeysMode, actions.action("mnuKeysMode"));
    CommandActions::Bind(optCursorMode, actions.action("mnuCursorMode"));
    grid->addWidget(optKeysMode, 1, 0);
    grid->addWidget(optCursorMode, 1, 1);

    // The two panels share one place; the input mode brings one of them to the front.
    auto* place = new QWidget(this);
    modePanels_ = new QStackedLayout(place);
    pnlKeysMode_ = new QWidget(place);
    pnlKeysMode_->setObjectName("pnlKeysMode");
    auto* keys = new QGridLayout(pnlKeysMode_);
    keys->setContentsMargins(0, 0, 0, 0);
    keys->setSpacing(4);
    cmdEBLCtrClock_ =
        AddHoldButton("cmdEBLCtrClock", ButtonFace::EBLCtrClock, MarkerButton::EBLCtrClock,
                      "Hold to turn the bearing line anticlockwise (Left arrow)");
    cmdEBLClock_ = AddHoldButton("cmdEBLClock", ButtonFace::EBLClock, MarkerButton::EBLClock,
                                 "Hold to turn the bearing line clockwise (Right arrow)");
    cmdVRMIn_ = AddHoldButton("cmdVRMIn", ButtonFace::VRMIn, MarkerButton::VRMIn,
                              "Hold to draw the range ring in (Down arrow, wheel)");
    cmdVRMOut_ = AddHoldButton("cmdVRMOut", ButtonFace::VRMOut, MarkerButton::VRMOut,
                               "Hold to push the range ring out (Up arrow, wheel)");
    // The bearing line's pair above the range ring's, each turning or moving the way its
    // picture shows.
    keys->addWidget(cmdEBLCtrClock_, 0, 0);
    keys->addWidget(cmdEBLClock_, 0, 1);
    keys->addWidget(cmdVRMIn_, 1, 0);
    keys->addWidget(cmdVRMOut_, 1, 1);
    pnlCursorMode_ = new QWidget(place);
    pnlCursorMode_->setObjectName("pnlCursorMode");
    auto* cursorBox = new QGridLayout(pnlCursorMode_);
    cursorBox->setContentsMargins(0, 0, 0, 0);
    cursorBox->setSpacing(4);
    cursorBox->addWidget(new CursorModeImage(pnlCursorMode_), 0, 0, 2, 1);
    // The second bearing line from the cursor's echo, to measure between two echoes or lay a
    // target's track; Centre brings it home to the own ship.
    auto* cmdEBL2Offset = MakeButton("cmdEBL2Offset", "Offset", ButtonUse::Console, pnlCursorMode_);
    cmdEBL2Offset->setToolTip("Start the second bearing line at the cursor; it stays on that "
                              "spot of sea as the own ship moves");
    CommandActions::Bind(cmdEBL2Offset, actions.action("mnuEBL2Offset"), false);
    auto* cmdEBL2Centre = MakeButton("cmdEBL2Centre", "Centre", ButtonUse::Console, pnlCursorMode_);
    cmdEBL2Centre->setToolTip("Start the second bearing line at the own ship again");
    CommandActions::Bind(cmdEBL2Centre, actions.action("mnuEBL2Centre"), false);
    // Beside the picture, so the panel is no higher than the hold buttons' panel it replaces.
    cursorBox->addWidget(cmdEBL2Offset, 0, 1);
    cursorBox->addWidget(cmdEBL2Centre, 1, 1);
    modePanels_->addWidget(pnlKeysMode_);
    modePanels_->addWidget(pnlCursorMode_);
    grid->addWidget(place, 2, 0, 1, 2);
    connect(&exercise_, &Exercise::changed, this, &MarkerPanel::ShowState);
    ShowState();
}

QPushButton* MarkerPanel::AddHoldButton(const char* name, ButtonFace face, MarkerButton which,
                                        const QString& tip) {
    auto* b = new QPushButton(pnlKeysMode_);
    b->setObjectName(name);
    b->setIcon(ButtonFaceIcon(face));
    b->setIconSize(QSize(22, 22));
    b->setMinimumHeight(32);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(tip);
    connect(b, &QPushButton::pressed, this, [this, which] { hold_.Press(which); });
    // A button disabled while held reports its release too, so the timer always stops.
    connect(b, &QPushButton::released, this, [this, which] { hold_.Release(which); });
    return b;
}

void MarkerPanel::ShowState() {
    const RadarDisplayState& d = exercise_.display();
    // The icon greys its face for a disabled button.
    cmdEBLClock_->setEnabled(SelectedEBLOn(d));
    cmdEBLCtrClock_->setEnabled(SelectedEBLOn(d));
    cmdVRMIn_->setEnabled(SelectedVRMOn(d));
    cmdVRMOut_->setEnabled(SelectedVRMOn(d));
    modePanels_->setCurrentWidget(d.CursorMode == InputMode::Cursor ? pnlCursorMode_
                                                                    : pnlKeysMode_);
}

} // namespace mv
