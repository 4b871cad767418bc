#include "app/startup.h"

#include "app/application.h"
#include "app/class_join.h"
#include "app/main_window.h"
#include "app/radar_console.h"
#include "app/splash.h"
#include "app/traffic_selector.h"
#include "core/clock.h"
#include "core/program_folder.h"
#include "gui/qt_dialogs.h"
#include "session/exercise.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mv {

namespace {

QtMessageHandler previousHandler = nullptr;

// While the application opens the display: the platform's complaints are held back, and its
// fatal error becomes one plain line and exit code 1.
void DisplayMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs("marovane: no display could be opened; start it from a desktop session "
                   "(DISPLAY or WAYLAND_DISPLAY set)\n",
                   stderr);
        std::_Exit(1);
    }
    if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0) return;
    if (previousHandler) previousHandler(type, context, text);
}

// One pass of event processing: pending paints and messages run.
void Yield() {
    QCoreApplication::processEvents();
}

// What the running program keeps: its message boxes and the application object.
struct Program {
    QtDialogs dialogs;
    std::unique_ptr<Application> app;
};
std::unique_ptr<Program> program;

// A factor the clock has (1, 2, 5 ... 120) and the exercise allows; any other is let pass with a
// word on the terminal, and the exercise keeps its own.
void SetTimeFactorFromArguments(Exercise& exercise, const QStringList& arguments) {
    const qsizetype at = arguments.indexOf("--time-factor");
    if (at < 0) return;
    const QString text = at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
    bool ok = false;
    const int factor = text.toInt(&ok);
    const auto found =
        ok ? std::find(kTimeFactors.begin(), kTimeFactors.end() - 1, factor) : kTimeFactors.end();
    const int index = static_cast<int>(found - kTimeFactors.begin());
    if (found >= kTimeFactors.end() - 1 || !exercise.TimeFactorAllowed(index)) {
        std::fprintf(stderr, "marovane: --time-factor %s: not one of 1, 2, 5, 10, 30, 60, 120\n",
                     qPrintable(text));
        return;
    }
    exercise.SetTimeFactor(index);
}

} // namespace

std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv) {
#ifdef SIGXFSZ
    // A file grown past the user's file-size limit would otherwise end the program there and
    // then; ignored, the write fails instead, and the run goes on unrecorded with a notice.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    previousHandler = qInstallMessageHandler(DisplayMessages);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    QApplication::setApplicationName("Marovane");
    return app;
}

std::unique_ptr<Application> Main(const StartupSeam& seam) {
    // 1. The splash, and the moment it first showed: the hold counts from here. No backdrop
    // covers the screen behind it: a window manager takes an undecorated window of the
    // screen's size for a full-screen one and stacks it over the splash, and the main window
    // is set up hidden in any case.
    auto frmSplash = std::make_unique<SplashWindow>();
    frmSplash->show();
    QElapsedTimer shown;
    shown.start();

    // 2. The yaw table, the demo list and the windows, loaded hidden.
    Yield();
    static QtDialogs fallback;
    Dialogs& dialogs = seam.dialogs ? *seam.dialogs : fallback;
    std::filesystem::path folder = seam.programFolder;
    if (folder.empty())
        folder = ResolveProgramFolder(QApplication::applicationDirPath().toStdString());
    auto app = std::make_unique<Application>(folder, dialogs);
    if (!app->Initialise()) return nullptr;
    MainWindow& frmRadarMDI = app->mainWindow();
    // The size it will have maximised, before anything is drawn: the picture is drawn once at
    // the size it shows at, not again when the window opens. The platform's window is made
    // (hidden) for its frame, which the maximised window's inside leaves out.
    frmRadarMDI.winId();
    const QWindow* handle = frmRadarMDI.windowHandle();
    if (const QScreen* screen = frmRadarMDI.screen(); screen && handle)
        frmRadarMDI.setGeometry(screen->availableGeometry().marginsRemoved(handle->frameMargins()));
    Yield();

    // 5 to 11. Default.dem at x2 on the 12-mile scale, EBL, VRM and rings on, the PPI drawn.
    if (!app->StartDefaultExercise()) return nullptr;
    Yield();

    // 12. Maximised at the top left, still hidden.
    frmRadarMDI.hide();
    frmRadarMDI.move(0, 0);
    frmSplash->raise();
    frmRadarMDI.setWindowState(Qt::WindowMaximized);

    // 13. The splash stays until the hold has passed since it first showed, never longer
    // than the start-up work when that took longer, and not at all once a click or key has
    // dismissed it. Ticks and paints run meanwhile.
    const qint64 left = seam.splashHold.count() - shown.elapsed();
    if (left > 0 && !frmSplash->isDismissed()) {
        QEventLoop hold;
        QTimer::singleShot(static_cast<int>(left), &hold, &QEventLoop::quit);
        QObject::connect(frmSplash.get(), &SplashWindow::dismissed, &hold, &QEventLoop::quit);
        hold.exec();
    }

    // 14. The main window maximised, the console maximised inside it.
    frmRadarMDI.showMaximized();
    if (QMdiSubWindow* console = frmRadarMDI.consoleWindow()) {
        console->raise();
        console->showMaximized();
    }
    Yield();

    // 15. The splash is done with.
    frmSplash.reset();
    // The first exercise says what it is about where the student looks first.
    if (seam.showDescription && app->exercise().isLoaded())
        app->console().traffic().ShowDescription();
    // A run record named on the command line (a record opened from a file manager) is
    // replayed beside the exercise.
    for (const QString& arg : QApplication::arguments().mid(1))
        if (arg.endsWith(".mvrun", Qt::CaseInsensitive)) app->OpenRun(arg);
    // marovane --time-factor 30: the first exercise runs at x30 rather than its own factor
    // (a lab set up for fast plotting, and the memory measure's long run at x30).
    SetTimeFactorFromArguments(app->exercise(), QApplication::arguments());
    // marovane --join HOST:PORT --class CODE --name NAME: a seat of a class.
    JoinClassFromArguments(*app, QApplication::arguments());
    return app;
}

bool Main() {
    program = std::make_unique<Program>();
    StartupSeam seam;
    seam.dialogs = &program->dialogs;
    // For whole-process start-up timing (bench/startup.sh): the work without the wait.
    if (qEnvironmentVariableIsSet("MAROVANE_SPLASH_HOLD_MS"))
        seam.splashHold = std::chrono::milliseconds(
            std::max(0, qEnvironmentVariableIntValue("MAROVANE_SPLASH_HOLD_MS")));
    // For the unattended memory measure (bench/memory.sh): no description holds the clock, so
    // the exercise runs at once at the factor given.
    if (qEnvironmentVariableIsSet("MAROVANE_NO_DESCRIPTION")) seam.showDescription = false;
    program->app = Main(seam);
    if (!program->app) {
        program.reset();
        return false;
    }
    MainWindow& main = program->app->mainWindow();
    program->dialogs.setParent(&main);
    // Closing the main window ends the program, even from inside a message box's wait.
    main.endProgram = [] {
        if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::quit();
    };
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { program.reset(); });
    // For a check that the program starts where no one can close it (a package test). Armed
    // only now: a quit that fell inside the splash hold would be forgotten by the main event
    // loop, which clears it as it starts, and the program would never end.
    if (const int ms = qEnvironmentVariableIntValue("MAROVANE_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, qApp, &QCoreApplication::quit);
    return true;
}

} // namespace mv
