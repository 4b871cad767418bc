#pragma once
// The two input modes as tools on the radar picture. In keys mode the arrow keys turn the
// bearing line (left, right) and move the range ring (up, down), held as the buttons are, and
// the wheel moves the ring; in cursor mode a click, or the arrows and Enter, put the cursor on
// an echo and read its range and bearing. The press-and-hold of the buttons and of the keys runs on
// one 100 ms utility timer; the hold's own clock says how many steps are due, so a late or
// skipped firing costs the navigator no degrees.

#include "core/display/markers.h"
#include "gui/picture_tool.h"

#include <QElapsedTimer>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace mv {

class Dialogs;
class DisplayView;
class Exercise;
class WorldPicture;

class MarkerHold : public QObject {
    Q_OBJECT
  public:
    MarkerHold(Exercise& exercise, DisplayView& view, Dialogs& dialogs, QObject* parent);
    // A button or key pressed: the timer runs while the movement may go on.
    bool Press(MarkerButton b);
    void Release(MarkerButton b);

    // One step of the movement in progress, whatever the time: a tap shorter than a tick.
    bool Step();

  public slots:
    // A firing of the timer: one step, and every step the hold has earned and not yet had.
    void tmrUtility_Timer() { CatchUp(true); }

  private:
    void CatchUp(bool firing);

    Exercise& exercise_;
    DisplayView& view_;
    Dialogs& dialogs_;
    QTimer tmrUtility_;
    QElapsedTimer held_; // since the press
};

class KeysTool : public PictureTool {
  public:
    KeysTool(Exercise& exercise, DisplayView& view, MarkerHold& hold, QObject* parent);
    bool key(QKeyEvent* event) override;
    bool wheel(QWheelEvent* event) override;
    void focusLost() override;

  protected:
    Exercise& exercise_;
    DisplayView& view_;

  private:
    MarkerHold& hold_;
    std::optional<MarkerButton> heldKey_; // the arrow key held on the picture
    int wheelEighths_ = 0;                // a notch is 120 eighths of a degree
};

// Cursor mode from the keyboard too: the arrows move the pointer over the picture a few pixels
// a press (Shift: a larger step), Enter takes the point as a click does, Escape goes back to
// keys mode.
class CursorTool : public KeysTool {
  public:
    using KeysTool::KeysTool;
    // The picture the keyboard's pointer moves over: its widget and its pixels' world units.
    void setPicture(QWidget* widget, const WorldPicture* world);
    void press(double east, double north, Qt::MouseButton button) override;
    bool key(QKeyEvent* event) override;
    std::optional<Qt::CursorShape> pointer() const override { return Qt::UpArrowCursor; }

  private:
    QPointer<QWidget> widget_;
    const WorldPicture* world_ = nullptr;
    std::optional<QPointF> at_; // the keyboard's pointer, pixels in the picture
};

} // namespace mv
