#pragma once
// The main window: a multiple-document frame that holds the radar console.

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;

namespace mv {

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return mdiArea_; }
    // Shows a child window maximised inside the frame.
    QMdiSubWindow* addChild(QWidget* child);

  private:
    QMdiArea* mdiArea_ = nullptr;
};

} // namespace mv
