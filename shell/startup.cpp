#include "shell/startup.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QScreen>

namespace mv {

int RunMarovane(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marovane");
    QtDialogs dialogs;
    Application marovane(QApplication::applicationDirPath().toStdString(), dialogs);
    if (!marovane.Start()) return 1;
    dialogs.setParent(&marovane.mainWindow());
    // Fill the screen even where no window manager maximises windows.
    if (const QScreen* screen = QApplication::primaryScreen())
        marovane.mainWindow().setGeometry(screen->availableGeometry());
    marovane.mainWindow().showMaximized();
    return QApplication::exec();
}

} // namespace mv
