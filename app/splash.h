#pragma once
// What the user sees while the program starts: frmSplash, a radar face with the product's
// name, and frmBackSim, a backdrop over the whole screen in the workspace colour, behind which
// the main window is set up out of sight.

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

class QLabel;
class QPainter;

namespace mv {

// The colour of an empty multiple-document area: the backdrop and the main window's workspace.
inline const QColor kWorkspaceColour(90, 110, 130);
// The splash picture's size in logical pixels.
inline constexpr QSize kSplashSize(285, 434);

void PaintSplashPicture(QPainter& p, const QRectF& rect);
QPixmap SplashPixmap(qreal ratio);

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    // owner: the main window, which the splash stays above.
    explicit SplashWindow(QWidget* owner = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* imgSplash_ = nullptr;
};

class BackdropWindow : public QWidget {
    Q_OBJECT
  public:
    BackdropWindow();
};

} // namespace mv
