#include "shell/startup.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "ui/dialogs.h"

#include <QApplication>

namespace mv {

int RunMarovane(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marovane");
    QtDialogs dialogs;
    Application marovane(QApplication::applicationDirPath().toStdString(), dialogs);
    if (!marovane.Start()) return 1;
    dialogs.setParent(&marovane.mainWindow());
    marovane.mainWindow().showMaximized();
    return QApplication::exec();
}

} // namespace mv
