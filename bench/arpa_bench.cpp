// Forty tracks stepped through one antenna scan: the radar's plots of forty echoes made and
// the tracker's association and filter run on them, beside the forty truth CPAs the aids work
// today (PresentCpaInput and ComputeCPA for every target), the two taking turns in the same
// run. The ratio is what a scan of the tracker costs over the truth's figures; at 24 rpm a
// scan comes every 2.5 s of sea time, so at x120 a 3 s tick holds 144 of them.

#include "bench/bench_support.h"
#include "core/aids/cpa_data.h"
#include "core/arpa/tracker.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kTargets = 40;
// Twenty minutes of scans, then back to the start: every target stays within 10 nm, where a
// large ship's echo is seen on most scans, so nearly all forty tracks stay live (counted).
constexpr int64_t kCycle = 480;
constexpr int64_t kWarmUp = 72; // three minutes: every track has its prediction

struct World {
    mv::VesselTables vessels;
    std::vector<mv::PointD> start;
    mv::RadarSettings radar{.Exercise = 2024};

    World() {
        vessels.Create(kTargets + 1);
        start.assign(kTargets + 2, mv::PointD{});
        for (int i = 1; i <= kTargets; ++i) {
            auto& v = vessels.Vessel[static_cast<size_t>(i)];
            v.Size = mv::kLarge;
            v.Heading = static_cast<float>((i * 97) % 360);
            v.Speed = 4.0f + static_cast<float>(i % 9);
            mv::PolarOffset(mv::PointD{}, start[static_cast<size_t>(i)], static_cast<float>(i * 9),
                            3.0 + 0.075 * i);
        }
        vessels.VesselPos = start;
    }
    mv::Scan At(int64_t k) {
        const double hours = 2.5 * static_cast<double>(k) / 3600.0;
        for (int i = 1; i <= kTargets; ++i) {
            const auto& v = vessels.Vessel[static_cast<size_t>(i)];
            mv::PointD& p = vessels.VesselPos[static_cast<size_t>(i)];
            p = start[static_cast<size_t>(i)];
            mv::MovePoint(p, v.Heading, v.Speed * hours);
        }
        return mv::MakeScan(radar, k, vessels, vessels.VesselPos);
    }
};

void BM_ArpaScan(benchmark::State& state) {
    World world;
    mv::Tracker warm;
    for (int i = 1; i <= kTargets; ++i)
        warm.Acquire(world.vessels.VesselPos[static_cast<size_t>(i)], world.radar.Epoch);
    for (int64_t k = 1; k <= kWarmUp; ++k)
        warm.Update(world.At(k));
    mv::Tracker tracker = warm;
    int64_t k = kWarmUp;
    size_t plots = 0, scans = 0;
    for (auto _ : state) {
        if (++k > kCycle) {
            k = kWarmUp + 1;
            tracker = warm;
        }
        const mv::Scan scan = world.At(k);
        plots += scan.Plots.size();
        ++scans;
        tracker.Update(scan);
        benchmark::DoNotOptimize(tracker.Tracks().data());
    }
    int live = 0;
    for (const auto& t : tracker.Tracks())
        live += t.State != mv::TrackState::Lost;
    state.counters["live_tracks"] = live;
    state.counters["plots_per_scan"] = static_cast<double>(plots) / static_cast<double>(scans);
    benchmark::DoNotOptimize(tracker.TakeEvents());
}
BENCHMARK(BM_ArpaScan);

void BM_TruthCpas(benchmark::State& state) {
    World world;
    world.At(kWarmUp);
    for (auto _ : state) {
        for (int i = 1; i <= kTargets; ++i) {
            double range = 0;
            const auto cpa = mv::ComputeCPA(mv::PresentCpaInput(world.vessels, i, range),
                                            mv::BearingMode::Course);
            benchmark::DoNotOptimize(cpa);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TruthCpas);

} // namespace

int main(int argc, char** argv) {
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("one scan of 40 tracks / 40 truth CPAs", "BM_ArpaScan", "BM_TruthCpas");
    });
}
