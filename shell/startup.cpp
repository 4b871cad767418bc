#include "shell/startup.h"

#include "shell/main_window.h"

#include <QApplication>

namespace mv {

int RunMarovane(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marovane");
    MainWindow window;
    window.showMaximized();
    return QApplication::exec();
}

} // namespace mv
