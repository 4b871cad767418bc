// The start-up baseline: a process that opens an empty maximised QMainWindow, lets its first
// paint run and, with MAROVANE_QUIT_AFTER_MS set as for the program, quits that many
// milliseconds later. bench/startup.sh times it beside the program.

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.showMaximized();
    QCoreApplication::processEvents();
    if (const int ms = qEnvironmentVariableIntValue("MAROVANE_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
