// One simulation tick of six vessels under way, two of them turning, beside a baseline of the
// bare dead reckoning of six points, the two taking turns in the same run. The ratio says what
// the tick's manoeuvre logic, echo geometry and read-out texts cost over the arithmetic it
// cannot avoid.

#include "bench/bench_support.h"
#include "core/geometry.h"
#include "core/simulation.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

mv::Simulation SixVessels() {
    mv::Simulation sim;
    mv::bench::PlaceSixVessels(sim.Vessels);
    return sim;
}

// Two vessels, the own vessel and target 2 (a large one), turn back and forth for ever.
void KeepTurning(mv::Simulation& sim) {
    auto& own = sim.Vessels.Vessel[0];
    auto& target = sim.Vessels.Vessel[2];
    if (own.Heading == static_cast<float>(own.NewHeading))
        own.NewHeading = static_cast<int16_t>(own.NewHeading == 0 ? 90 : 0);
    if (target.Heading == static_cast<float>(target.NewHeading))
        target.NewHeading = static_cast<int16_t>(target.NewHeading == 120 ? 200 : 120);
    sim.Turning = true;
    sim.Maneuvering = true;
}

void BM_Tick(benchmark::State& state) {
    mv::Simulation sim = SixVessels();
    mv::TickDisplay display;
    display.PlotOn = true;
    display.PlotIntervals = {0.5 / 1440, 1.0 / 1440, 3.0 / 1440, 6.0 / 1440};
    display.Range = 12.0;
    mv::bench::CountingView view;
    for (auto _ : state) {
        KeepTurning(sim);
        sim.Tick(display, view);
        if (sim.Clock.SimTime > 0.9) sim.Clock.SimTime = 0.5;
    }
    benchmark::DoNotOptimize(view.calls);
}
BENCHMARK(BM_Tick);

void BM_BaselineDeadReckoning(benchmark::State& state) {
    // The same six headings and speeds, but handed to the loop as data the compiler cannot
    // see through: with them as constants it works the sines and cosines out while compiling
    // and the baseline measures nothing but six additions.
    double headings[6] = {0, 60, 120, 180, 240, 300};
    double speeds[6] = {8, 9, 10, 11, 12, 13};
    benchmark::DoNotOptimize(headings);
    benchmark::DoNotOptimize(speeds);
    const double hours = 3.0 / 3600; // a tick at x1: 3 seconds of sea time
    mv::PointD pos[6]{};
    for (auto _ : state) {
        for (int i = 0; i < 6; ++i) {
            const double a = headings[i] * mv::kDegToRad;
            const double distance = speeds[i] * hours;
            pos[i].X += std::cos(a) * distance;
            pos[i].Y += std::sin(a) * distance;
        }
        // Also stands for any change to the headings and speeds, so every pass reads them
        // afresh.
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(pos);
    }
}
BENCHMARK(BM_BaselineDeadReckoning);

} // namespace

int main(int argc, char** argv) {
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("tick / dead-reckoning baseline", "BM_Tick",
                            "BM_BaselineDeadReckoning");
    });
}
