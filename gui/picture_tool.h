#pragma once
// What the user does on a picture (a press, the keys, the wheel) goes to the one tool
// installed on it, as a map tool works on a map canvas. Keys mode and cursor mode are tools;
// so is anything that is later placed or picked on the picture.

#include <QObject>
#include <Qt>

#include <optional>

class QKeyEvent;
class QWheelEvent;

namespace mv {

class PictureTool : public QObject {
  public:
    using QObject::QObject;

    // A press at a world point (east, north for the radar).
    virtual void press(double, double, Qt::MouseButton) {}
    // A key pressed or released on the picture; true when the tool used it.
    virtual bool key(QKeyEvent*) { return false; }
    // True when the tool used the wheel.
    virtual bool wheel(QWheelEvent*) { return false; }
    // The picture lost the keyboard: anything held is let go.
    virtual void focusLost() {}
    // The mouse pointer over the picture while the tool is on it; none: the usual arrow.
    virtual std::optional<Qt::CursorShape> pointer() const { return std::nullopt; }
};

} // namespace mv
