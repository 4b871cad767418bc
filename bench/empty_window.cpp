// The start-up baseline: a process that opens an empty maximised QMainWindow, lets its first
// paint run and, with MAROVANE_QUIT_AFTER_MS set as for the program, quits that many
// milliseconds later. bench/startup.sh times it beside the program. With MAROVANE_BASELINE_TEXT
// set, the window shows one line of text as well: the first text drawn loads the font database
// (fontconfig's configuration and caches), which any window with words on it pays and an empty
// one does not.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (qEnvironmentVariableIsSet("MAROVANE_BASELINE_TEXT"))
        window.setCentralWidget(new QLabel("12:00:00 x 2", &window));
    window.showMaximized();
    QCoreApplication::processEvents();
    if (const int ms = qEnvironmentVariableIntValue("MAROVANE_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
