#pragma once
// The main window: a multiple-document frame that holds the radar console and owns the
// simulation timer.

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;
class QTimer;

namespace mv {

// Three seconds of real time between ticks, whatever the time factor.
inline constexpr int kTmrSimIntervalMs = 3000;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return mdiArea_; }
    QTimer& tmrSim() { return *tmrSim_; }
    // Shows a child window maximised inside the frame.
    QMdiSubWindow* addChild(QWidget* child);

  private:
    QMdiArea* mdiArea_ = nullptr;
    QTimer* tmrSim_ = nullptr;
};

} // namespace mv
