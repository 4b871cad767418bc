#include "shell/startup.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/program_folder.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace mv {

int RunMarovane(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marovane");
    // For a check that the program starts where no one can close it (a package test).
    if (const int ms = qEnvironmentVariableIntValue("MAROVANE_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    QtDialogs dialogs;
    Application marovane(ResolveProgramFolder(app.applicationDirPath().toStdString()), dialogs);
    if (!marovane.Start()) return 1;
    dialogs.setParent(&marovane.mainWindow());
    // Fill the screen even where no window manager maximises windows.
    if (const QScreen* screen = QApplication::primaryScreen())
        marovane.mainWindow().setGeometry(screen->availableGeometry());
    marovane.mainWindow().showMaximized();
    return QApplication::exec();
}

} // namespace mv
