// One tick of the radar console with five targets and continuous plotting, drawn and
// repainted, with every radar-course aid on (relative vectors, true trails after two simulated
// hours, five picked targets in the data window, the CPA/TCPA alarm and the guard
// ring), against the same tick with the aids off, the two taking turns in the same run. The
// ratio is what the aids cost a tick; the true trails keep a bounded number of points, so it
// does not grow with the length of the exercise.
// Run with QT_QPA_PLATFORM=offscreen.

#include "app/radar_console.h"
#include "app/target_data_window.h"
#include "bench/bench_support.h"
#include "core/aids/trial_maneuver.h"
#include "core/simulation.h"
#include "gui/world_picture_widget.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

struct Console {
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    std::unique_ptr<mv::Exercise> exercise;
    std::unique_ptr<mv::RadarConsole> console;
    mv::WorldPictureWidget* picRadarCRT = nullptr;
    int ticks = 0;

    explicit Console(bool aids) {
        const auto folder = std::filesystem::temp_directory_path() / "marovane_bench_aids";
        std::filesystem::create_directories(folder);
        exercise = std::make_unique<mv::Exercise>(sim, display, dialogs, folder);
        console = std::make_unique<mv::RadarConsole>(*exercise, dialogs);
        mv::bench::PlaceSixVessels(sim.Vessels);
        display.Tick.PlotOn = true;
        display.Tick.PlotFreqIndex = 0; // continuous: a trail point every tick
        console->resize(1400, 1108);
        console->show();
        QApplication::processEvents();
        picRadarCRT = console->findChild<mv::WorldPictureWidget*>("picRadarCRT");
        if (aids) {
            display.Tick.TrueTrails = true;
            mv::AidSettings& a = display.Aids;
            a.Vectors = mv::VectorMode::Relative;
            a.Limits.CpaAlarmOn = a.Limits.GuardOn = true;
            for (int i = 1; i < 6; ++i)
                a.TogglePick(i, 0, 6);
            console->targetData().show();
        }
        // Two simulated hours at x1 (2400 ticks): the true trails hold all the points they keep.
        for (int k = 0; k < 2400; ++k)
            Tick();
    }
    void Tick() {
        exercise->tmrSim_Timer();
        // Back to the start long before any echo leaves the 12-mile circle; the trails stay.
        if (++ticks == 1000) {
            ticks = 0;
            sim.Vessels.RestoreStartState();
        }
    }
};

void BM_TickAidsOff(benchmark::State& state) {
    Console c(false);
    for (auto _ : state) {
        c.Tick();
        c.picRadarCRT->repaint();
    }
}
BENCHMARK(BM_TickAidsOff)->Unit(benchmark::kMicrosecond);

void BM_TickAidsOn(benchmark::State& state) {
    Console c(true);
    for (auto _ : state) {
        c.Tick();
        c.picRadarCRT->repaint();
    }
    state.counters["trail_points"] =
        static_cast<double>(c.display.Tick.Trails.Count(1) + c.display.Tick.Trails.Count(5));
}
BENCHMARK(BM_TickAidsOn)->Unit(benchmark::kMicrosecond);

// A trial shown is worked again at every tick: its longest look ahead, an hour's delay at x1
// (1200 ticks) and the turn, for five targets, with full true trails in the copy.
void BM_TrialHourAhead(benchmark::State& state) {
    Console c(true);
    const mv::TrialOrder order{90, 12.0f, 60.0};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            mv::RunTrial(c.sim, c.display.Tick, order, c.display.Tick.Bearing));
}
BENCHMARK(BM_TrialHourAhead)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("tick with every aid / tick without", "BM_TickAidsOn",
                            "BM_TickAidsOff");
    });
}
