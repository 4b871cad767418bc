// The radar picture's two hot paths beside the cheapest thing that touches every pixel of the
// same 1000 x 1100 image, a plain fill, measured in the same run:
//  - a full redraw of the frame (face, five rings, the 360-degree bearing scale), done on every
//    range change, toggle and resize;
//  - one vessel pass of the tick with six vessels and continuous plotting, drawn by the radar
//    console itself, so each target moves its echo and stamps a grey mark into the image.
// Run with QT_QPA_PLATFORM=offscreen.

#include "bench/bench_support.h"
#include "core/geometry.h"
#include "core/simulation.h"
#include "display/display_state.h"
#include "display/radar_console.h"
#include "display/radar_items.h"
#include "display/radar_picture.h"
#include "shell/exercise.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/world_picture.h"
#include "ui/world_picture_widget.h"

#include <QApplication>
#include <QImage>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

const QSize kPictureSize(1000, 1100);

void BM_RedrawRadar(benchmark::State& state) {
    mv::WorldPicture picture;
    picture.resize(kPictureSize);
    mv::RadarDisplayState display; // heads-up RELATIVE, 12 nm, rings on
    mv::RadarPicture radar(picture, display);
    for (auto _ : state) {
        radar.RedrawRadar(mv::PointD{});
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_RedrawRadar)->Unit(benchmark::kMicrosecond);

void BM_VesselPass(benchmark::State& state) {
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    const auto folder = std::filesystem::temp_directory_path() / "marovane_bench_radar";
    std::filesystem::create_directories(folder);
    mv::Exercise exercise(sim, display, dialogs, folder);
    mv::RadarConsole console(exercise, dialogs);
    // The console gives the picture its height less an 8-pixel frame and 0.9 of that across.
    console.resize(1400, kPictureSize.height() + 8);
    console.show();
    QApplication::processEvents();

    mv::bench::PlaceSixVessels(sim.Vessels);
    display.Tick.PlotOn = true;
    display.Tick.PlotFreqIndex = 0; // continuous: every pass stamps every echo
    console.RedrawRadar();
    mv::VesselView& view = console;
    int passes = 0;
    for (auto _ : state) {
        sim.UpdateVessels(display.Tick, view, true);
        // At x1 a pass moves a target about 0.01 nm; back to the start long before any leaves
        // the 12-mile circle.
        if (++passes == 2000) {
            passes = 0;
            sim.Vessels.RestoreStartState();
        }
    }
    benchmark::DoNotOptimize(console.picture().image().constBits());
    int grey = 0;
    const QImage& img = console.picture().image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == mv::kPlotGrey) ++grey;
    state.counters["grey"] = grey;
    state.counters["picture_w"] = console.picture().size().width();
    state.counters["picture_h"] = console.picture().size().height();
}
BENCHMARK(BM_VesselPass)->Unit(benchmark::kMicrosecond);

void BM_BaselineFill(benchmark::State& state) {
    QImage image(kPictureSize, QImage::Format_RGB32);
    int shade = 0;
    for (auto _ : state) {
        // A changing colour, so no fill can be skipped as a repeat.
        image.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BaselineFill)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    mv::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintRatio("redraw / fill", "BM_RedrawRadar", "BM_BaselineFill");
    reporter.PrintRatio("vessel pass / fill", "BM_VesselPass", "BM_BaselineFill");
    return 0;
}
