#pragma once
// Shows a WorldPicture: the widget only blits the retained image and its overlays.

#include "ui/world_picture.h"

#include <QWidget>

namespace mv {

class WorldPictureWidget : public QWidget {
    Q_OBJECT
  public:
    explicit WorldPictureWidget(QWidget* parent = nullptr);
    WorldPicture& picture() { return picture_; }
    const WorldPicture& picture() const { return picture_; }

  signals:
    // A press in world units (east, north for the radar).
    void mousePressed(double h, double v, Qt::MouseButton button);
    // The picture has been given a new, cleared image of the widget's size.
    void pictureResized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    WorldPicture picture_;
};

} // namespace mv
