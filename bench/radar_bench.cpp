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
//    once, as a range step is), against the same drag of a window of the same size that only
//    fills itself; with the median step and the slowest after the third in wall-clock time.
// Ratios are of processor time, which swings with the machine where the baseline is bound by
// memory: bench/instructions.sh counts the instructions of each step beside them.
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
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

const QSize kWindow(1920, 1050);
// Resizes closer together than this are one drag: longer than any step under callgrind.
constexpr int kDragPaceMs = 5000;

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

// What any window of this size costs to follow a drag of its edge: a top-level window that
// only fills itself with a changing colour.
class FillWindow final : public QWidget {
  public:
    FillWindow() { setAttribute(Qt::WA_OpaquePaintEvent); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(0, shade_ = (shade_ + 1) & 0xff, 0));
    }

  private:
    int shade_ = 0;
};

// Each case is one step, made ready by its constructor: the Google Benchmark loop and the
// instruction count (--instructions=N, under callgrind) run the same steps.
struct RangeStep {
    mv::Exercise& e = program->app->exercise();
    bool down = false;
    void operator()() {
        e.commands().Trigger((down = !down) ? "mnuRangeDown" : "mnuRangeUp");
        program->picture->repaint();
    }
};

struct TickAndRepaint {
    mv::Exercise& e = program->app->exercise();
    void operator()() {
        e.tmrSim_Timer();
        program->picture->repaint();
    }
};

struct BaselineFillBlit {
    FillBlitWidget widget;
    BaselineFillBlit() {
        widget.resize(program->picture->size());
        widget.show();
        QApplication::processEvents();
    }
    void operator()() { widget.repaint(); }
};

struct Tick {
    mv::Exercise& e = program->app->exercise();
    void operator()() { e.tmrSim_Timer(); }
};

struct BaselineFill {
    QImage image{program->picture->picture().image().size(), QImage::Format_RGB32};
    int shade = 0;
    void operator()() {
        image.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        benchmark::DoNotOptimize(image.constBits());
    }
};

// A drag of a window's corner: each step alternates between the window's size and one a few
// pixels smaller, resizing the platform window as the window system would; the events the
// resize posts (layout, resize of the children) run, then the whole window is painted. The
// wall-clock time of every step is kept, for the median and the slowest after the third (the
// first steps of a drag may grow buffers once).
class Drag {
  public:
    explicit Drag(QWidget& window) : window_(window) {}
    ~Drag() {
        window_.resize(kWindow);
        QApplication::processEvents();
    }
    void operator()() {
        const auto start = Clock::now();
        window_.windowHandle()->resize(sizes_[step_ ^= 1]);
        QApplication::processEvents();
        window_.repaint();
        stepsMs_.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    void Count(benchmark::State& state) const {
        if (stepsMs_.empty()) return;
        std::vector<double> sorted = stepsMs_;
        std::sort(sorted.begin(), sorted.end());
        state.counters["median_step_ms"] = sorted[sorted.size() / 2];
        const auto after = stepsMs_.begin() + std::min<std::ptrdiff_t>(3, std::ssize(stepsMs_));
        state.counters["slowest_step_ms"] =
            after == stepsMs_.end() ? 0 : *std::max_element(after, stepsMs_.end());
    }

  private:
    using Clock = std::chrono::steady_clock;
    QWidget& window_;
    const QSize sizes_[2] = {kWindow - QSize(7, 8), kWindow};
    int step_ = 0;
    std::vector<double> stepsMs_;
};

struct DragStep : Drag {
    // Under callgrind a step takes far longer than a hand's drag step: the picture is told
    // so, or it would take every step for a new drag and be drawn afresh each time.
    DragStep() : Drag(program->app->mainWindow()) { program->picture->setDragPace(kDragPaceMs); }
    ~DragStep() { program->picture->setDragPace(100); }
};

// A window that fills itself, shown at the main window's size; a base of the drag below, so
// made before the drag that moves it and gone after.
struct ShownFillWindow {
    FillWindow window;
    ShownFillWindow() {
        window.resize(kWindow);
        window.show();
        QApplication::processEvents();
    }
};

struct BaselineDragStep : ShownFillWindow, Drag {
    BaselineDragStep() : Drag(window) {}
};

template <typename Step> void Run(benchmark::State& state) {
    Step step;
    for (auto _ : state)
        step();
    if constexpr (std::is_base_of_v<Drag, Step>) step.Count(state);
}

void BM_RangeStep(benchmark::State& state) {
    Run<RangeStep>(state);
    state.counters["picture_w"] = program->picture->width();
    state.counters["picture_h"] = program->picture->height();
}
BENCHMARK(BM_RangeStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<TickAndRepaint>)->Name("BM_TickAndRepaint")->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<BaselineFillBlit>)->Name("BM_BaselineFillBlit")->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<Tick>)->Name("BM_Tick")->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<BaselineFill>)->Name("BM_BaselineFill")->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<DragStep>)->Name("BM_DragStep")->Unit(benchmark::kMillisecond);
BENCHMARK(Run<BaselineDragStep>)->Name("BM_BaselineDragStep")->Unit(benchmark::kMillisecond);

// The instruction count: each case made ready, a few steps run unseen (first paints, caches),
// then `count` steps counted by callgrind and written out under the case's name.
// bench/instructions.sh runs this under valgrind and divides.
template <typename Step> void CountInstructions(const char* name, int count) {
    Step step;
    for (int i = 0; i < 4; ++i)
        step();
    mv::bench::CountSteps(name, count, [&] { step(); });
}

int CountAllInstructions(int count) {
    CountInstructions<RangeStep>("BM_RangeStep", count);
    CountInstructions<BaselineFillBlit>("BM_BaselineFillBlit", count);
    CountInstructions<TickAndRepaint>("BM_TickAndRepaint", count);
    CountInstructions<Tick>("BM_Tick", count);
    CountInstructions<BaselineFill>("BM_BaselineFill", count);
    CountInstructions<DragStep>("BM_DragStep", count);
    CountInstructions<BaselineDragStep>("BM_BaselineDragStep", count);
    return 0;
}

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
    if (const int count = mv::bench::InstructionCount(argc, argv); count > 0) {
        const int status = CountAllInstructions(count);
        program = nullptr;
        return status;
    }
    const int status = mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& r) {
        const std::string at = " at ratio " + std::to_string(qRound(qApp->devicePixelRatio()));
        r.PrintRatio(("range step and repaint / fill and blit" + at).c_str(), "BM_RangeStep",
                     "BM_BaselineFillBlit");
        r.PrintRatio(("tick and repaint / fill and blit" + at).c_str(), "BM_TickAndRepaint",
                     "BM_BaselineFillBlit");
        r.PrintRatio(("tick / fill" + at).c_str(), "BM_Tick", "BM_BaselineFill");
        r.PrintRatio(("drag step / a window filling itself" + at).c_str(), "BM_DragStep",
                     "BM_BaselineDragStep");
        r.PrintSteps(("drag step, 1920 x 1050 window" + at).c_str(), "BM_DragStep");
    });
    program = nullptr;
    started.app->exercise().SetPaused(true);
    return status;
}
