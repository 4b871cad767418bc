#pragma once
// What the user sees while the program starts: frmSplash, a radar face with the product's
// name, shown while the windows are set up out of sight.

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

class QLabel;
class QPainter;

namespace mv {

// The splash picture's size in logical pixels.
inline constexpr QSize kSplashSize(285, 434);

void PaintSplashPicture(QPainter& p, const QRectF& rect);
QPixmap SplashPixmap(qreal ratio);

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    // owner: the backdrop, which the window manager then keeps under the splash.
    explicit SplashWindow(QWidget* owner = nullptr);
    ~SplashWindow() override;

    // A click or a key anywhere in the program while the splash shows: the user has seen it.
    bool isDismissed() const { return dismissed_; }

  signals:
    void dismissed();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* imgSplash_ = nullptr;
    bool dismissed_ = false;
};

} // namespace mv
