#pragma once
// The sea-state pictures at the foot of the console's control panel (imgSeaState(0) calm,
// (1) moderate, (2) heavy sea) and the panel colour that goes with each. Drawn with QPainter at
// whatever size and device pixel ratio the screen asks for, so they stay sharp at 200 %.

#include <QColor>
#include <QRectF>
#include <QWidget>

#include <array>

class QPainter;
class QStackedLayout;

namespace mv {

// A small vessel in calm (0), moderate (1) or heavy (2) sea, filling rect.
void PaintSeaStatePicture(QPainter& p, const QRectF& rect, int seaState);

// The three pictures in one place, exactly one of them visible.
class SeaStatePanel : public QWidget {
    Q_OBJECT
  public:
    explicit SeaStatePanel(QWidget* parent = nullptr);
    void ShowSeaState(int seaState);
    // A colour laid over the pictures (transparent by day): dimmer at dusk and at night.
    void SetShade(const QColor& shade);

  private:
    QStackedLayout* stack_ = nullptr;
};

} // namespace mv
