// Start-up work to the first complete PPI picture: the whole start-up sequence offscreen with
// the splash hold at zero (the hold is a second of waiting, not work), beside creating and
// showing an empty QMainWindow in the same run. Processor time, so the builds that share the
// machine do not count.

#include "app/application.h"
#include "app/startup.h"
#include "bench/bench_support.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void BM_StartUp(benchmark::State& state) {
    mv::ScriptedDialogs dialogs;
    mv::StartupSeam seam;
    seam.splashHold = std::chrono::milliseconds(0);
    seam.programFolder = MAROVANE_DATA_DIR;
    seam.dialogs = &dialogs;
    for (auto _ : state) {
        auto app = mv::Main(seam);
        if (!app) {
            state.SkipWithError("start-up failed");
            break;
        }
        // The first complete picture is on the screen once the pending paints have run.
        QApplication::processEvents();
        state.PauseTiming();
        app->exercise().SetPaused(true);
        app.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_BaselineEmptyMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        window->resize(1280, 800);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BaselineEmptyMainWindow)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The runs the program records go to a folder removed at the end, not among the user's.
    const QTemporaryDir runs;
    qputenv("MAROVANE_RUNS", runs.path().toUtf8());
    QApplication app(argc, argv);
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("start-up / empty main window", "BM_StartUp/iterations:2",
                            "BM_BaselineEmptyMainWindow/iterations:2");
    });
}
