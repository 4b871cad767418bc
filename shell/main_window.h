#pragma once
// The main window: a multiple-document frame that holds the radar console and the dialogs.

#include <QMainWindow>

class QMdiArea;

namespace mv {

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return mdiArea_; }

  private:
    QMdiArea* mdiArea_ = nullptr;
};

} // namespace mv
