#include "app/marker_tools.h"

#include "core/display/display_commands.h"
#include "gui/world_picture.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QCursor>
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
    // The second EBL's caption turns with the own heading as the first's does, and an offset
    // origin stays on its sea position while the picture moves with the own ship, and lies
    // as many miles off after a change of range scale or orientation.
    // Bound to the view's life where the view is an object, as the console's picture is.
    QObject* context = dynamic_cast<QObject*>(&view_);
    const auto follow = [&exercise = exercise_, &view = view_] {
        if (exercise.display().EBL2On) view.PlaceEBL();
    };
    connect(&exercise_, &Exercise::ticked, context ? context : this, follow);
    connect(&exercise_, &Exercise::changed, context ? context : this, follow);
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

void CursorTool::setPicture(QWidget* widget, const WorldPicture* world) {
    widget_ = widget;
    world_ = world;
    at_.reset();
}

bool CursorTool::key(QKeyEvent* event) {
    const int k = event->key();
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    const auto arrow = ArrowOf(k);
    if (!world_ || !widget_ || (!arrow && !enter && k != Qt::Key_Escape)) return false;
    if (event->type() != QEvent::KeyPress) return true;
    if (k == Qt::Key_Escape) {
        at_.reset();
        exercise_.commands().Trigger("mnuKeysMode");
        return true;
    }
    if (!at_) {
        // The first step starts from the own ship at the centre.
        const PointD own = exercise_.ownPos();
        at_ = world_->toPixel(own.Y, own.X);
    }
    if (enter) {
        const QPointF w = world_->toWorld(*at_);
        press(w.x(), w.y(), Qt::LeftButton);
        return true;
    }
    // A few pixels a press to lay it on an echo; Shift for the long way across the picture.
    const double step = (event->modifiers() & Qt::ShiftModifier) ? 24.0 : 4.0;
    const QPointF d = *arrow == ArrowKey::Left    ? QPointF(-step, 0)
                      : *arrow == ArrowKey::Right ? QPointF(step, 0)
                      : *arrow == ArrowKey::Up    ? QPointF(0, -step)
                                                  : QPointF(0, step);
    const QPointF to = *at_ + d;
    if (!widget_->rect().contains(to.toPoint())) return true; // the picture's edge stops it
    at_ = to;
    // The mouse pointer goes with it, so the student sees where Enter will take the point.
    QCursor::setPos(widget_->mapToGlobal(to.toPoint()));
    return true;
}

void CursorTool::press(double east, double north, Qt::MouseButton) {
    if (world_) at_ = world_->toPixel(east, north); // the keys go on from a click
    if (!CursorClick(exercise_.display(), exercise_.ownPos(), east, north)) return;
    view_.DrawCursor();
    view_.ShowCursorReadouts();
}

} // namespace mv
