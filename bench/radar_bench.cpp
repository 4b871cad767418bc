// The radar picture's two hot paths beside the cheapest thing that touches every pixel of the
// same 1000 x 1100 image, a plain fill, measured in the same run:
//  - a full redraw of the frame (face, five rings, the 360-degree bearing scale), done on every
//    range change, toggle and resize;
//  - one vessel pass of the tick with six vessels and continuous plotting, drawn by the radar
//    console itself, so each target moves its echo and stamps a grey mark into the image.
// Run with QT_QPA_PLATFORM=offscreen.

#include "core/geometry.h"
#include "core/simulation.h"
#include "display/display_state.h"
#include "display/radar_console.h"
#include "display/radar_picture.h"
#include "ui/dialogs.h"
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
    for (const char* name : {"lbl000", "lbl090", "lbl180", "lbl270", "lblMode", "lblRR"})
        picture.setLabel(name, "000", mv::kRadarGreen);
    mv::RadarPicture radar(picture, display);
    for (auto _ : state) {
        radar.RedrawRadar(mv::PointD{}, 6);
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_RedrawRadar)->Unit(benchmark::kMicrosecond);

// Six vessels spread over the 12-mile picture, all under way, so every pass moves them and
// every target's echo lies inside the range circle.
void PlaceSixVessels(mv::Simulation& sim) {
    sim.Vessels.Create(6);
    const double sizes[6] = {mv::kMedium, mv::kSmall, mv::kLarge,
                             mv::kMedium, mv::kSmall, mv::kLarge};
    for (int i = 0; i < 6; ++i) {
        auto& v = sim.Vessels.Vessel[static_cast<size_t>(i)];
        v.Size = sizes[i];
        v.NewHeading = static_cast<int16_t>(i * 60);
        v.Heading = static_cast<float>(v.NewHeading);
        v.Speed = v.NewSpeed = 8.0f + static_cast<float>(i);
        if (i > 0)
            mv::PolarOffset(mv::PointD{}, sim.Vessels.VesselPos[static_cast<size_t>(i)],
                            static_cast<float>(i * 70), 2.0 + i);
    }
    sim.Vessels.SaveStartState();
}

void BM_VesselPass(benchmark::State& state) {
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    QTimer tmrSim;
    const auto folder = std::filesystem::temp_directory_path() / "marovane_bench_radar";
    std::filesystem::create_directories(folder);
    mv::RadarConsole console(sim, display, dialogs, tmrSim, folder);
    // The console gives the picture its height less an 8-pixel frame and 0.9 of that across.
    console.resize(1400, kPictureSize.height() + 8);
    console.show();
    QApplication::processEvents();

    PlaceSixVessels(sim);
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

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> nsPerIteration;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (run.run_type == Run::RT_Iteration)
                nsPerIteration[run.benchmark_name()] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                    1e9;
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto& ns = reporter.nsPerIteration;
    const auto fill = ns.find("BM_BaselineFill");
    if (fill == ns.end() || fill->second <= 0) return 0;
    const auto print = [&](const char* name, const char* label) {
        const auto it = ns.find(name);
        if (it != ns.end())
            std::printf("%s / fill: %.2f (%.0f ns vs %.0f ns)\n", label, it->second / fill->second,
                        it->second, fill->second);
    };
    print("BM_RedrawRadar", "redraw");
    print("BM_VesselPass", "vessel pass");
    return 0;
}
