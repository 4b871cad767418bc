#pragma once
// Shows a WorldPicture: the widget only blits the retained image and its overlays. Every item
// declared in the picture becomes a child object of the widget under the item's name, so a
// test or a tool finds a caption inside the picture exactly as it finds a button.

#include "gui/picture_tool.h"
#include "gui/world_picture.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace mv {

// One item inside a picture, by name. Its properties read and write the picture itself, so
// they always equal what is painted.
class PictureItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool visible READ isVisible WRITE setVisible)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
  public:
    PictureItem(WorldPicture& picture, const QString& name, QObject* parent);
    QString text() const { return picture_.labelText(objectName()); }
    void setText(const QString& text) { picture_.setText(objectName(), text); }
    bool isVisible() const { return picture_.isVisible(objectName()); }
    void setVisible(bool visible) { picture_.setVisible(objectName(), visible); }
    QColor colour() const { return picture_.colour(objectName()); }
    void setColour(const QColor& colour) { picture_.setColour(objectName(), colour); }

  private:
    WorldPicture& picture_;
};

class WorldPictureWidget : public QWidget {
    Q_OBJECT
  public:
    explicit WorldPictureWidget(QWidget* parent = nullptr);
    WorldPicture& picture() { return picture_; }
    const WorldPicture& picture() const { return picture_; }
    // The tool that takes the presses, keys and wheel on the picture from now on (none: the
    // picture only shows).
    void setTool(PictureTool* tool);
    PictureTool* tool() const { return tool_; }
    // Window resizes closer together than `ms` milliseconds are one drag of its edge, and the
    // picture takes its new size a fifth longer after the last (100 ms unless set): a run
    // under an instruction counter steps far slower than a hand drags.
    void setDragPace(int ms);

  signals:
    // A press in world units (east, north for the radar).
    void mousePressed(double h, double v, Qt::MouseButton button);
    // The picture has been given a new, cleared image of the widget's size. While the window's
    // edge is being dragged this waits until the edge rests (see resizeEvent).
    void pictureResized();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Once a drag has rested: gives the picture the widget's size, if it has another.
    void takeSize();
    // Where the picture's top-left corner lies in the widget: centred while it has kept its
    // last size during a drag, else the widget's own corner.
    QPoint origin() const;

    WorldPicture picture_;
    QPointer<PictureTool> tool_;
    // Whether the window is being resized by the user, a few pixels a step: the window
    // system resized it less than a moment after it last did.
    bool dragged_ = false;
    QElapsedTimer lastWindowResize_;
    qint64 dragPaceMs_ = 100;
    QTimer settle_;
};

} // namespace mv
