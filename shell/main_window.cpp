#include "shell/main_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace mv {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmRadarMDI");
    setWindowTitle("Marovane");
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    mdiArea_->setBackground(QColor(90, 110, 130));
    setCentralWidget(mdiArea_);
    // Room for a readable picture beside the controls.
    setMinimumSize(720, 480);
    resize(1280, 800);
}

QMdiSubWindow* MainWindow::addChild(QWidget* child) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setWindowTitle(child->windowTitle());
    sub->showMaximized();
    return sub;
}

} // namespace mv
