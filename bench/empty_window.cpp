// The start-up baseline: a process that opens an empty maximised QMainWindow, lets its first
// paint run and, with MAROVANE_QUIT_AFTER_MS set as for the program, quits that many
// milliseconds later. bench/startup.sh times it beside the program. With MAROVANE_BASELINE_TEXT
// set, the window shows one line of text as well: the first text drawn loads the font database
// (fontconfig's configuration and caches), which any window with words on it pays and an empty
// one does not. With MAROVANE_BASELINE_WIDGETS set it is a plain window of the program's kind
// instead: a menu bar of seven menus, a status line and five groups of six buttons (a tenth of
// the program's widgets), which shows what a window of such widgets costs before any work of
// its own.

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

void AddWidgets(QMainWindow& window) {
    for (const char* title : {"File", "Simulator", "Radar", "Aids", "Targets", "Seas", "Help"}) {
        QMenu* menu = window.menuBar()->addMenu(title);
        for (int i = 1; i <= 8; ++i)
            menu->addAction(QString("Command %1").arg(i));
    }
    window.statusBar()->showMessage("F1: help on the control in focus");
    auto* column = new QWidget(&window);
    auto* groups = new QVBoxLayout(column);
    for (int g = 1; g <= 5; ++g) {
        auto* box = new QGroupBox(QString("Group %1").arg(g), column);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < 6; ++i)
            grid->addWidget(new QPushButton(QString("Button %1").arg(i + 1), box), i / 3, i % 3);
        groups->addWidget(box);
    }
    window.setCentralWidget(column);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (qEnvironmentVariableIsSet("MAROVANE_BASELINE_WIDGETS"))
        AddWidgets(window);
    else if (qEnvironmentVariableIsSet("MAROVANE_BASELINE_TEXT"))
        window.setCentralWidget(new QLabel("12:00:00 x 2", &window));
    window.showMaximized();
    QCoreApplication::processEvents();
    if (const int ms = qEnvironmentVariableIntValue("MAROVANE_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
