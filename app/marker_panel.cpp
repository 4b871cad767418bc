#include "app/marker_panel.h"

#include "gui/control_rows.h"
#include "gui/radar_items.h"
#include "gui/radar_picture.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QWheelEvent>

namespace mv {

namespace {

// Amber markers stand out from the green rings and echoes; the cursor cross is white.
const QColor kMarkerColour(255, 190, 0);
const QColor kCursorColour(255, 255, 255);

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<ArrowKey> ArrowOf(int key) {
    switch (key) {
    case Qt::Key_Left:
        return ArrowKey::Left;
    case Qt::Key_Right:
        return ArrowKey::Right;
    case Qt::Key_Up:
        return ArrowKey::Up;
    case Qt::Key_Down:
        return ArrowKey::Down;
    default:
        return std::nullopt;
    }
}

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

MarkerPanel::MarkerPanel(Exercise& exercise, WorldPictureWidget& picture, Dialogs& dialogs,
                         QWidget* parent)
    : QWidget(parent), exercise_(exercise), display_(exercise.display()), picture_(picture),
      dialogs_(dialogs) {
    setObjectName("pnlMarkers");
    tmrUtility_.setObjectName("tmrUtility");
    tmrUtility_.setParent(this);
    tmrUtility_.setInterval(kUtilityIntervalMs);
    connect(&tmrUtility_, &QTimer::timeout, this, &MarkerPanel::tmrUtility_Timer);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    auto* cmdEBL =
        CommandButton("cmdEBL", "EBL", ButtonUse::Console, this, &MarkerPanel::cmdEBL_Click, this);
    cmdEBL->setToolTip("Bearing line on or off; Left and Right arrows on the radar turn it");
    auto* cmdVRM =
        CommandButton("cmdVRM", "VRM", ButtonUse::Console, this, &MarkerPanel::cmdVRM_Click, this);
    cmdVRM->setToolTip("Range ring on or off; Up and Down arrows or the wheel on the radar "
                       "move it");
    grid->addWidget(cmdEBL, 0, 0);
    grid->addWidget(cmdVRM, 0, 1);

    optKeysMode_ = new QRadioButton("Keys Mode", this);
    optKeysMode_->setObjectName("optKeysMode");
    optKeysMode_->setChecked(true);
    optCursorMode_ = new QRadioButton("Cursor Mode", this);
    optCursorMode_->setObjectName("optCursorMode");
    connect(optKeysMode_, &QRadioButton::clicked, this, &MarkerPanel::optKeysMode_Click);
    connect(optCursorMode_, &QRadioButton::clicked, this, &MarkerPanel::optCursorMode_Click);
    grid->addWidget(optKeysMode_, 1, 0);
    grid->addWidget(optCursorMode_, 1, 1);

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
    SetHoldButtons(true, display_.EBLOn);
    SetHoldButtons(false, display_.VRMOn);
    pnlCursorMode_ = new QWidget(place);
    pnlCursorMode_->setObjectName("pnlCursorMode");
    auto* cursorBox = new QGridLayout(pnlCursorMode_);
    cursorBox->setContentsMargins(0, 0, 0, 0);
    cursorBox->addWidget(new CursorModeImage(pnlCursorMode_), 0, 0);
    modePanels_->addWidget(pnlKeysMode_);
    modePanels_->addWidget(pnlCursorMode_);
    grid->addWidget(place, 2, 0, 1, 2);

    connect(&picture_, &WorldPictureWidget::mousePressed, this,
            &MarkerPanel::picRadarCRT_MouseDown);
    // A click gives the picture the keyboard, so the arrows move the markers at once.
    picture_.setFocusPolicy(Qt::StrongFocus);
    picture_.installEventFilter(this);
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
    connect(b, &QPushButton::pressed, this, [this, which] { Press(which); });
    // A button disabled while held reports its release too, so the timer always stops.
    connect(b, &QPushButton::released, this, [this, which] { Release(which); });
    return b;
}

WorldPicture& MarkerPanel::pic() {
    return picture_.picture();
}

// --- the overlays -------------------------------------------------------------------------

void MarkerPanel::PlaceEBL() {
    const WorldSegment line = mv::PlaceEBL(display_, exercise_.ownPos());
    pic().setOverlayLine(item::lneEBL, line.From.Y, line.From.X, line.To.Y, line.To.X,
                         kMarkerColour, 1);
    pic().setLabel(item::lblCRTEBL, Q(EBLCaption(display_, exercise_.ownHeading())), kRadarGreen);
    picture_.update();
}

void MarkerPanel::PlaceVRM() {
    // Placed even while hidden, so that switching it on shows the ring its caption reads.
    const PointD own = exercise_.ownPos();
    pic().setOverlayCircle(item::shpVRM, own.Y, own.X, display_.VRMRange, kMarkerColour);
    pic().setLabel(item::lblCRTVRM, Q(VRMCaption(display_.VRMRange)), kRadarGreen);
    picture_.update();
}

void MarkerPanel::DrawCursor() {
    const CursorCross c = mv::DrawCursor(display_);
    for (const auto& [name, arm] :
         {std::pair{item::lneHCursor, c.Horizontal}, std::pair{item::lneVCursor, c.Vertical}})
        pic().setOverlayLine(name, arm.From.Y, arm.From.X, arm.To.Y, arm.To.X, kCursorColour, 1);
    picture_.update();
}

void MarkerPanel::CursorToEBLVRM() {
    mv::CursorToEBLVRM(display_, exercise_.ownPos());
    DrawCursor();
}

void MarkerPanel::SetHoldButtons(bool ebl, bool on) {
    for (QPushButton* b :
         ebl ? std::array{cmdEBLClock_, cmdEBLCtrClock_} : std::array{cmdVRMIn_, cmdVRMOut_})
        b->setEnabled(on); // the icon greys its face for a disabled button
}

// --- the switches -------------------------------------------------------------------------

void MarkerPanel::SwitchMarker(bool ebl) {
    bool& on = ebl ? display_.EBLOn : display_.VRMOn;
    bool& pending = ebl ? display_.EBLPending : display_.VRMPending;
    // In cursor mode after a click the press shows the marker at the clicked bearing or range.
    if (display_.CursorMode == 1 && pending) {
        on = true;
        pending = false;
    } else {
        on = !on;
    }
    pic().setVisible(ebl ? item::lneEBL : item::shpVRM, on);
    pic().setVisible(ebl ? item::lblCRTEBL : item::lblCRTVRM, on);
    // The hold buttons follow the marker in either mode, so returning to keys mode never
    // leaves them greyed under a marker that is on.
    SetHoldButtons(ebl, on);
}

void MarkerPanel::cmdEBL_Click() {
    SwitchMarker(true);
    PlaceEBL();
}

void MarkerPanel::cmdVRM_Click() {
    SwitchMarker(false);
    if (display_.CursorMode == 1) PlaceVRM();
    picture_.update();
}

void MarkerPanel::SetInputMode(bool cursor) {
    (cursor ? optCursorMode_ : optKeysMode_)->setChecked(true);
    modePanels_->setCurrentWidget(cursor ? pnlCursorMode_ : pnlKeysMode_);
    if (cursor)
        picture_.setCursor(Qt::UpArrowCursor);
    else
        picture_.unsetCursor();
    display_.CursorMode = cursor ? 1 : 0;
    for (const QString* name :
         {&item::lblRange, &item::lblBearing, &item::lneHCursor, &item::lneVCursor})
        pic().setVisible(*name, cursor);
}

void MarkerPanel::ShowCursorReadouts() {
    pic().setLabel(item::lblRange, Q(CursorRangeCaption(display_.VRMRange)), kRadarGreen);
    pic().setLabel(item::lblBearing, Q(CursorBearingCaption(display_.EBLBearing)), kRadarGreen);
}

void MarkerPanel::optCursorMode_Click() {
    SetInputMode(true);
    CursorToEBLVRM();
    // The read-outs start where the cursor starts: on the bearing line at the ring.
    ShowCursorReadouts();
}

void MarkerPanel::optKeysMode_Click() {
    SetInputMode(false);
    picture_.update();
}

// --- press and hold -----------------------------------------------------------------------

void MarkerPanel::Press(MarkerButton b) {
    if (PressMarkerButton(display_, b)) tmrUtility_.start();
}

void MarkerPanel::Release(MarkerButton b) {
    if (ReleaseMarkerButton(display_, b)) tmrUtility_.stop();
}

void MarkerPanel::tmrUtility_Timer() {
    switch (UtilityTick(display_)) {
    case UtilityTickResult::NoMovement:
        dialogs_.message(kUtilityTimerError);
        break;
    case UtilityTickResult::VRMMoved:
        PlaceVRM();
        break;
    case UtilityTickResult::EBLMoved:
        PlaceEBL();
        break;
    }
}

// --- the picture --------------------------------------------------------------------------

void MarkerPanel::picRadarCRT_MouseDown(double x, double y, Qt::MouseButton) {
    if (!CursorClick(display_, exercise_.ownPos(), x, y)) return;
    DrawCursor();
    ShowCursorReadouts();
}

bool MarkerPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &picture_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto arrow = ArrowOf(key->key());
        if (!arrow) break;
        // The utility timer does the repeating, as for the buttons.
        if (key->isAutoRepeat()) return true;
        const MarkerButton b = ButtonForKey(*arrow);
        if (event->type() == QEvent::KeyPress) {
            if (heldKey_) Release(*heldKey_);
            heldKey_.reset();
            if (PressMarkerButton(display_, b)) {
                heldKey_ = b;
                tmrUtility_.start();
            }
        } else if (heldKey_ == b) {
            // A tap shorter than one timer tick still moves the marker one small step.
            if (display_.HoldCount == 0 && display_.MovementKind != 0) tmrUtility_Timer();
            Release(b);
            heldKey_.reset();
        }
        return true;
    }
    case QEvent::FocusOut:
        if (heldKey_) Release(*heldKey_);
        heldKey_.reset();
        break;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        wheelEighths_ += wheel->angleDelta().y();
        const int notches = wheelEighths_ / 120;
        wheelEighths_ -= notches * 120;
        if (notches != 0 && WheelVRM(display_, notches)) PlaceVRM();
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace mv
