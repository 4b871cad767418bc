// What a user of the radar picture waits for, each beside the cheapest thing of the same size,
// the two taking turns in the same run:
//  - a full redraw of the frame (face, five rings, the 360-degree bearing scale) at a step of
//    the range scale, which lays down the face kept, and of a face not seen before (a toggle of
//    the rings), at one and at two device pixels to the logical pixel, against a plain fill of
//    the same image;
//  - one tick of six vessels with continuous plotting, drawn by the radar console itself, so
//    each target moves its echo and stamps a grey mark into the image, against the same fill;
//  - the same tick followed by the repaint of the picture on the screen, against the repaint of
//    an empty widget of the same size;
//  - one step of a drag of the window's edge on a 4K screen at two device pixels to the
//    logical pixel: a new picture size and the full redraw, against the 16.7 ms of a frame at
//    60 Hz.
// Run with QT_QPA_PLATFORM=offscreen.

#include "app/radar_console.h"
#include "bench/bench_support.h"
#include "core/display/display_state.h"
#include "core/geometry.h"
#include "core/simulation.h"
#include "gui/radar_items.h"
#include "gui/radar_picture.h"
#include "gui/world_picture.h"
#include "gui/world_picture_widget.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <time.h>

namespace {

const QSize kPictureSize(1000, 1100);

// The labels the redraw places and captions, as the console sets them up.
void AddFrameLabels(mv::WorldPicture& picture) {
    mv::DeclareRadarItems(picture);
    for (const char* name :
         {"lbl000", "lbl090", "lbl180", "lbl270", "lblMode", "lblRR", "lblCRTRange", "lblCRTEBL",
          "lblCRTVRM", "lblRange", "lblBearing", "lblPlot", "lblPlotTime", "lblVesselData"})
        picture.setLabel(name, "000", mv::kRadarGreen);
}

// Argument: device pixels to the logical pixel. A step of the range scale, 12 and 6 nm in
// turn: the rings stand at the same sixths of the range, so the face kept is laid down again.
void BM_RedrawRadar(benchmark::State& state) {
    mv::WorldPicture picture;
    picture.resize(kPictureSize, static_cast<qreal>(state.range(0)));
    AddFrameLabels(picture);
    mv::RadarDisplayState display; // heads-up RELATIVE, 12 nm, rings on
    mv::RadarPicture radar(picture, display);
    bool twelve = false;
    for (auto _ : state) {
        twelve = !twelve;
        display.RangeIndex = twelve ? 7 : 6;
        display.Tick.Range = mv::kRangeScales[static_cast<size_t>(display.RangeIndex)];
        radar.RedrawRadar(mv::PointD{});
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_RedrawRadar)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A face drawn for the first time at its size (the rings switched on and off in turn, on a
// picture that keeps no face yet), as after a resize: ring by ring and tick by tick.
void BM_RedrawNewFace(benchmark::State& state) {
    mv::WorldPicture picture;
    picture.resize(kPictureSize, static_cast<qreal>(state.range(0)));
    AddFrameLabels(picture);
    mv::RadarDisplayState display;
    for (auto _ : state) {
        display.RingsOn = !display.RingsOn;
        mv::RadarPicture(picture, display).RedrawRadar(mv::PointD{});
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_RedrawNewFace)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_BaselineFill(benchmark::State& state) {
    QImage image(kPictureSize * static_cast<int>(state.range(0)), QImage::Format_RGB32);
    int shade = 0;
    for (auto _ : state) {
        // A changing colour, so no fill can be skipped as a repeat.
        image.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BaselineFill)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Arguments: the picture's logical width and height, at two device pixels to the logical pixel.
// Each step alternates between that size and one a few pixels larger, as a drag does.
void BM_ResizeStep(benchmark::State& state) {
    const QSize sizes[2] = {
        QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))),
        QSize(static_cast<int>(state.range(0)) + 7, static_cast<int>(state.range(1)) + 8)};
    constexpr qreal kRatio = 2.0;
    mv::WorldPicture picture;
    AddFrameLabels(picture);
    mv::RadarDisplayState display;
    mv::RadarPicture radar(picture, display);
    // The picture as it was when the drag began.
    picture.resize(sizes[0], kRatio);
    int step = 0;
    // A drag is smooth only if every step keeps up, so the slowest step counts as well as
    // the mean: in processor time, like the mean, so that other programs' turns on a shared
    // machine are not counted.
    double slowest = 0;
    const auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    double last = cpuMs();
    for (auto _ : state) {
        picture.resize(sizes[step ^= 1], kRatio);
        radar.RedrawRadar(mv::PointD{});
        benchmark::DoNotOptimize(picture.image().constBits());
        const double now = cpuMs();
        slowest = std::max(slowest, now - last);
        last = now;
    }
    state.counters["slowest_step_ms"] = slowest;
    state.counters["device_w"] = picture.image().width();
    state.counters["device_h"] = picture.image().height();
}
// A 4K screen (3840 x 2160) at ratio 2 gives the picture its full height: about 950 x 1055
// logical, 1900 x 2110 device pixels. Twice that across and down is the worst case, a picture
// of 1900 x 2110 logical pixels.
BENCHMARK(BM_ResizeStep)->Args({950, 1055})->Args({1900, 2110})->Unit(benchmark::kMillisecond);

// The radar console, laid out so that its picture is 1100 pixels high, with six vessels under
// way and plotting continuously: every tick stamps every echo into the picture.
struct Console {
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    std::unique_ptr<mv::Exercise> exercise;
    std::unique_ptr<mv::RadarConsole> console;
    mv::WorldPictureWidget* picRadarCRT = nullptr;
    int ticks = 0;

    Console() {
        const auto folder = std::filesystem::temp_directory_path() / "marovane_bench_radar";
        std::filesystem::create_directories(folder);
        exercise = std::make_unique<mv::Exercise>(sim, display, dialogs, folder);
        console = std::make_unique<mv::RadarConsole>(*exercise, dialogs);
        mv::bench::PlaceSixVessels(sim.Vessels);
        display.Tick.PlotOn = true;
        display.Tick.PlotFreqIndex = 0; // continuous: every pass stamps every echo
        // The picture takes the height less an 8-pixel frame and 0.9 of that across; the
        // resize draws the frame.
        console->resize(1400, kPictureSize.height() + 8);
        console->show();
        QApplication::processEvents();
        picRadarCRT = console->findChild<mv::WorldPictureWidget*>("picRadarCRT");
    }
    void Tick() {
        exercise->tmrSim_Timer();
        // At x1 a tick moves a target about 0.01 nm; back to the start long before any leaves
        // the 12-mile circle.
        if (++ticks == 2000) {
            ticks = 0;
            sim.Vessels.RestoreStartState();
        }
    }
    void Count(benchmark::State& state) const {
        int grey = 0;
        const QImage& img = picRadarCRT->picture().image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) == mv::kPlotGrey) ++grey;
        state.counters["grey"] = grey;
        state.counters["picture_w"] = picRadarCRT->width();
        state.counters["picture_h"] = picRadarCRT->height();
    }
};

void BM_Tick(benchmark::State& state) {
    Console c;
    for (auto _ : state)
        c.Tick();
    benchmark::DoNotOptimize(c.picRadarCRT->picture().image().constBits());
    c.Count(state);
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

void BM_TickAndRepaint(benchmark::State& state) {
    Console c;
    for (auto _ : state) {
        c.Tick();
        c.picRadarCRT->repaint();
    }
    c.Count(state);
}
BENCHMARK(BM_TickAndRepaint)->Unit(benchmark::kMicrosecond);

// Paints nothing: what any repaint of a widget that size costs, the picture's blit aside.
class EmptyWidget final : public QWidget {
  public:
    EmptyWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

  protected:
    void paintEvent(QPaintEvent*) override {}
};

void BM_BaselineRepaint(benchmark::State& state) {
    EmptyWidget widget;
    // The size the console gives its picture.
    widget.resize(static_cast<int>(std::lround(kPictureSize.height() * 0.9)),
                  kPictureSize.height());
    widget.show();
    QApplication::processEvents();
    for (auto _ : state)
        widget.repaint();
    state.counters["picture_w"] = widget.width();
    state.counters["picture_h"] = widget.height();
}
BENCHMARK(BM_BaselineRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("redraw / fill at ratio 1", "BM_RedrawRadar/1", "BM_BaselineFill/1");
        reporter.PrintRatio("redraw / fill at ratio 2", "BM_RedrawRadar/2", "BM_BaselineFill/2");
        reporter.PrintRatio("new face / fill at ratio 1", "BM_RedrawNewFace/1",
                            "BM_BaselineFill/1");
        reporter.PrintRatio("new face / fill at ratio 2", "BM_RedrawNewFace/2",
                            "BM_BaselineFill/2");
        reporter.PrintRatio("tick / fill", "BM_Tick", "BM_BaselineFill/1");
        reporter.PrintRatio("tick and repaint / empty repaint", "BM_TickAndRepaint",
                            "BM_BaselineRepaint");
        reporter.PrintAgainstFrame("resize step, 4K screen at ratio 2 (950 x 1055 logical)",
                                   "BM_ResizeStep/950/1055");
        reporter.PrintAgainstFrame("resize step at ratio 2, 1900 x 2110 logical",
                                   "BM_ResizeStep/1900/2110");
    });
}
