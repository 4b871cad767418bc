#include "shell/main_window.h"

#include <QMdiArea>

namespace mv {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmRadarMDI");
    setWindowTitle("Marovane");
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    setCentralWidget(mdiArea_);
    resize(1280, 800);
}

} // namespace mv
