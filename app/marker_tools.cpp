#include "app/marker_tools.h"

#include "core/display/display_commands.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace mv {

namespace {

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

} // namespace

MarkerHold::MarkerHold(Exercise& exercise, DisplayView& view, Dialogs& dialogs, QObject* parent)
    : QObject(parent), exercise_(exercise), view_(view), dialogs_(dialogs) {
    tmrUtility_.setObjectName("tmrUtility");
    tmrUtility_.setParent(this);
    tmrUtility_.setInterval(kUtilityIntervalMs);
    // A coarse timer may fire 5 % late; the steps are counted from the hold's clock anyway.
    tmrUtility_.setTimerType(Qt::PreciseTimer);
    connect(&tmrUtility_, &QTimer::timeout, this, &MarkerHold::tmrUtility_Timer);
}

bool MarkerHold::Press(MarkerButton b) {
    if (!PressMarkerButton(exercise_.display(), b)) return false;
    held_.start();
    tmrUtility_.start();
    return true;
}

void MarkerHold::Release(MarkerButton b) {
    // The steps earned up to the release are the navigator's, even if the timer was late.
    if (tmrUtility_.isActive() && exercise_.display().MovementKind != Movement::None)
        CatchUp(false);
    if (ReleaseMarkerButton(exercise_.display(), b)) tmrUtility_.stop();
}

void MarkerHold::CatchUp(bool firing) {
    const int due = UtilityTicksDue(exercise_.display().HoldCount, held_.elapsed(), firing);
    for (int i = 0; i < due; ++i)
        if (!Step()) break;
}

bool MarkerHold::Step() {
    switch (UtilityTick(exercise_.display())) {
    case UtilityTickResult::NoMovement:
        dialogs_.message(kUtilityTimerError);
        return false;
    case UtilityTickResult::VRMMoved:
        view_.PlaceVRM();
        break;
    case UtilityTickResult::EBLMoved:
        view_.PlaceEBL();
        break;
    }
    return true;
}

KeysTool::KeysTool(Exercise& exercise, DisplayView& view, MarkerHold& hold, QObject* parent)
    : PictureTool(parent), exercise_(exercise), view_(view), hold_(hold) {}

bool KeysTool::key(QKeyEvent* event) {
    const auto arrow = ArrowOf(event->key());
    if (!arrow) return false;
    // The utility timer does the repeating, as for the buttons.
    if (event->isAutoRepeat()) return true;
    const MarkerButton b = ButtonForKey(*arrow);
    RadarDisplayState& d = exercise_.display();
    if (event->type() == QEvent::KeyPress) {
        if (heldKey_) hold_.Release(*heldKey_);
        heldKey_.reset();
        if (hold_.Press(b)) heldKey_ = b;
    } else if (heldKey_ == b) {
        // A tap shorter than one timer tick still moves the marker one small step.
        if (d.HoldCount == 0 && d.MovementKind != Movement::None) hold_.Step();
        hold_.Release(b);
        heldKey_.reset();
    }
    return true;
}

bool KeysTool::wheel(QWheelEvent* event) {
    wheelEighths_ += event->angleDelta().y();
    const int notches = wheelEighths_ / 120;
    wheelEighths_ -= notches * 120;
    if (notches != 0 && WheelVRM(exercise_.display(), notches)) view_.PlaceVRM();
    return true;
}

void KeysTool::focusLost() {
    if (heldKey_) hold_.Release(*heldKey_);
    heldKey_.reset();
}

void CursorTool::press(double east, double north, Qt::MouseButton) {
    if (!CursorClick(exercise_.display(), exercise_.ownPos(), east, north)) return;
    view_.DrawCursor();
    view_.ShowCursorReadouts();
}

} // namespace mv
