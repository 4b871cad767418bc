// What a user of the radar console waits for, each beside a baseline doing the same kind of
// work in the same run, the two taking turns:
//  - a step of the range scale as the user makes it (12 and 6 nm in turn) with Default.dem's
//    targets, plot trails, the EBL, VRM, rings, letters and every read-out on, and the repaint
//    of the picture on the screen, against the repaint of a widget of the same size whose
//    paintEvent fills an image of its size and blits it;
//  - one tick of the exercise and the repaint of the picture, against the same widget;
//  - one tick drawn into the picture alone, against a plain fill of an image of its size;
//  - one step of a drag of the main window's edge, the new size coming from the window system
//    as a user's drag does: the layout of the console and its control column and the whole
//    window repainted (the picture keeps its size until the edge rests, then is drawn afresh
//    once, as a range step is), against the 16.7 ms of a frame at 60 Hz (the slowest step in
//    wall-clock time, the mean in processor time).
// The main window is 1920 x 1050 logical pixels, a maximised window on a 1080p screen; run with
// QT_SCALE_FACTOR=2 for the same window on a 4K screen at two device pixels to the logical pixel.
// Run with QT_QPA_PLATFORM=offscreen.

#include "app/application.h"
#include "app/main_window.h"
#include "app/radar_console.h"
#include "app/startup.h"
#include "bench/bench_support.h"
#include "core/display/display_state.h"
#include "gui/world_picture.h"
#include "gui/world_picture_widget.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

const QSize kWindow(1920, 1050);

// The program as started, Default.dem running, its window at kWindow, plot trails grown.
struct Program {
    mv::ScriptedDialogs dialogs;
    std::unique_ptr<mv::Application> app;
    mv::WorldPictureWidget* picture = nullptr;

    bool Start() {
        mv::StartupSeam seam;
        seam.splashHold = std::chrono::milliseconds(0);
        seam.programFolder = MAROVANE_DATA_DIR;
        seam.dialogs = &dialogs;
        app = mv::Main(seam);
        if (!app) return false;
        mv::MainWindow& window = app->mainWindow();
        window.showNormal();
        window.resize(kWindow);
        QApplication::processEvents();
        picture = app->console().pictureWidget();
        mv::Exercise& e = app->exercise();
        e.SetPaused(true); // ticks come from the benchmark alone
        // Start-up has plotting, Nav, the EBL, VRM and rings on; the letters come on here.
        e.commands().Trigger("mnuIdentify");
        if (!app->display().Tick.PlotOn) e.commands().Trigger("mnuPlotOnOff");
        if (!app->display().NavOn) e.commands().Trigger("actNav");
        for (int i = 0; i < 300; ++i)
            e.tmrSim_Timer();
        QApplication::processEvents();
        return true;
    }
};
Program* program = nullptr;

// What any picture of this size costs to show: an image of the widget's size in device
// pixels, filled with a changing colour so no fill is skipped, and blitted on every paint.
class FillBlitWidget final : public QWidget {
  public:
    FillBlitWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

  protected:
    void paintEvent(QPaintEvent*) override {
        const qreal ratio = devicePixelRatioF();
        const QSize device = (QSizeF(size()) * ratio).toSize();
        if (image_.size() != device) {
            image_ = QImage(device, QImage::Format_RGB32);
            image_.setDevicePixelRatio(ratio);
        }
        image_.fill(QColor(0, 0, shade_ = (shade_ + 1) & 0xff));
        QPainter(this).drawImage(QPointF(0, 0), image_);
    }

  private:
    QImage image_;
    int shade_ = 0;
};

void BM_RangeStep(benchmark::State& state) {
    mv::Exercise& e = program->app->exercise();
    bool down = false;
    for (auto _ : state) {
        e.commands().Trigger((down = !down) ? "mnuRangeDown" : "mnuRangeUp");
        program->picture->repaint();
    }
    state.counters["picture_w"] = program->picture->width();
    state.counters["picture_h"] = program->picture->height();
}
BENCHMARK(BM_RangeStep)->Unit(benchmark::kMicrosecond);

void BM_TickAndRepaint(benchmark::State& state) {
    mv::Exercise& e = program->app->exercise();
    for (auto _ : state) {
        e.tmrSim_Timer();
        program->picture->repaint();
    }
}
BENCHMARK(BM_TickAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_BaselineFillBlit(benchmark::State& state) {
    FillBlitWidget widget;
    widget.resize(program->picture->size());
    widget.show();
    QApplication::processEvents();
    for (auto _ : state)
        widget.repaint();
}
BENCHMARK(BM_BaselineFillBlit)->Unit(benchmark::kMicrosecond);

void BM_Tick(benchmark::State& state) {
    mv::Exercise& e = program->app->exercise();
    for (auto _ : state)
        e.tmrSim_Timer();
    benchmark::DoNotOptimize(program->picture->picture().image().constBits());
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

void BM_BaselineFill(benchmark::State& state) {
    QImage image(program->picture->picture().image().size(), QImage::Format_RGB32);
    int shade = 0;
    for (auto _ : state) {
        image.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BaselineFill)->Unit(benchmark::kMicrosecond);

// Each step alternates between the window's size and one a few pixels smaller, as a drag of
// its corner does, resizing the platform window as the window system would; the events the
// resize posts (layout, resize of the console and picture) run, then the whole window is
// painted.
void BM_DragStep(benchmark::State& state) {
    mv::MainWindow& window = program->app->mainWindow();
    const QSize sizes[2] = {kWindow - QSize(7, 8), kWindow};
    using Clock = std::chrono::steady_clock;
    double slowest = 0;
    int step = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        window.windowHandle()->resize(sizes[step ^= 1]);
        QApplication::processEvents();
        window.repaint();
        slowest = std::max(slowest,
                           std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    window.resize(kWindow);
    QApplication::processEvents();
    state.counters["slowest_step_ms"] = slowest;
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The runs the program records go to a folder removed at the end, not among the user's.
    const QTemporaryDir runs;
    qputenv("MAROVANE_RUNS", runs.path().toUtf8());
    QApplication app(argc, argv);
    Program started;
    if (!started.Start()) {
        std::fprintf(stderr, "bench_radar: the program did not start\n");
        return 1;
    }
    program = &started;
    const int status = mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& r) {
        const std::string at = " at ratio " + std::to_string(qRound(qApp->devicePixelRatio()));
        r.PrintRatio(("range step and repaint / fill and blit" + at).c_str(), "BM_RangeStep",
                     "BM_BaselineFillBlit");
        r.PrintRatio(("tick and repaint / fill and blit" + at).c_str(), "BM_TickAndRepaint",
                     "BM_BaselineFillBlit");
        r.PrintRatio(("tick / fill" + at).c_str(), "BM_Tick", "BM_BaselineFill");
        r.PrintAgainstFrame(("drag step, 1920 x 1050 window" + at).c_str(), "BM_DragStep");
    });
    program = nullptr;
    started.app->exercise().SetPaused(true);
    return status;
}
