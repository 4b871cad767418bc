#pragma once
// What the benchmarks share: six vessels under way spread over the 12-mile picture, default
// flags that run every case several times in shuffled order, a reporter that keeps every
// repetition's time so that ratios to a baseline run beside the case are printed at the end,
// and the counting of a case's instructions under callgrind.

#include "core/geometry.h"
#include "core/vessel.h"
#include "core/vessel_view.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define MAROVANE_CALLGRIND 1
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace mv::bench {

// A view that counts what the tick hands it, so that the compiler keeps the work that makes
// the texts and the echoes.
class CountingView final : public VesselView {
  public:
    size_t calls = 0;
    void ShowIdentity(bool) override { ++calls; }
    void ManeuverStep(int, const ManeuverReadout&) override { ++calls; }
    void StatusLine(const std::string& t) override { calls += t.size(); }
    void Clock(const std::string& t) override { calls += t.size(); }
    void PlotClock(const std::string& t) override { calls += t.size(); }
    void CentreOn(const PointD&) override { ++calls; }
    void TrueViewMark(int, const PointD&) override { ++calls; }
    void Collision(int, const std::array<std::array<PointD, 9>, 2>&) override { ++calls; }
    void ShowEcho(int, const EchoLine&) override { ++calls; }
    void HideEcho(int) override { ++calls; }
    void PlotMark(int, const EchoLine&) override { ++calls; }
    void OwnLabel(int, const PointD&) override { ++calls; }
    void HeadingLine(const PointD&, const PointD&) override { ++calls; }
    void CardinalLabels(const std::array<std::string, 4>&) override { ++calls; }
    void BearingFailed() override { ++calls; }
};

// Own vessel and five targets of every size, each on its own heading at 8 to 13 knots, the
// targets 3 to 7 nm out: all inside the 12-mile circle for thousands of ticks at x1.
inline void PlaceSixVessels(VesselTables& tables) {
    tables.Create(6);
    const double sizes[6] = {kMedium, kSmall, kLarge, kMedium, kSmall, kLarge};
    for (int i = 0; i < 6; ++i) {
        auto& v = tables.Vessel[static_cast<size_t>(i)];
        v.Size = sizes[i];
        v.NewHeading = static_cast<int16_t>(i * 60);
        v.Heading = static_cast<float>(v.NewHeading);
        v.Speed = v.NewSpeed = 8.0f + static_cast<float>(i);
        if (i > 0)
            PolarOffset(PointD{}, tables.VesselPos[static_cast<size_t>(i)],
                        static_cast<float>(i * 70), 2.0 + i);
    }
    tables.SaveStartState();
}

// The command line with nine repetitions in shuffled order added where the caller gave none:
// a case and its baseline then take turns, so a slow spell of the machine falls on both.
class DefaultFlags {
  public:
    DefaultFlags(int argc, char** argv) : args_(argv, argv + argc) {
        const auto given = [&](const char* flag) {
            return std::any_of(args_.begin() + 1, args_.end(), [&](const char* a) {
                return std::strncmp(a, flag, std::strlen(flag)) == 0;
            });
        };
        if (!given("--benchmark_repetitions")) args_.push_back(repetitions_);
        if (!given("--benchmark_enable_random_interleaving")) args_.push_back(interleave_);
        argc_ = static_cast<int>(args_.size());
        args_.push_back(nullptr);
    }
    int& argc() { return argc_; }
    char** argv() { return args_.data(); }

  private:
    char repetitions_[32] = "--benchmark_repetitions=9";
    char interleave_[48] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args_;
    int argc_ = 0;
};

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // Processor nanoseconds per iteration of each repetition, by benchmark name, in the order
    // run. Processor time rather than the wall clock: on a machine shared with builds, the
    // clock also counts whatever else ran, and that is not the program's cost.
    std::map<std::string, std::vector<double>> nsPerIteration;
    // The longest single step any run saw, and each run's median step, in milliseconds, for
    // cases that count them ("slowest_step_ms", "median_step_ms").
    std::map<std::string, double> slowestStepMs;
    std::map<std::string, std::vector<double>> medianStepMs;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.run_name.str();
            nsPerIteration[name].push_back(run.GetAdjustedCPUTime() /
                                           benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9);
            const auto counter = run.counters.find("slowest_step_ms");
            if (counter != run.counters.end()) {
                double& slowest = slowestStepMs[name];
                slowest = std::max(slowest, counter->second.value);
            }
            const auto median = run.counters.find("median_step_ms");
            if (median != run.counters.end()) medianStepMs[name].push_back(median->second.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // "label: 2.31 (quartiles 2.20 to 2.45, 9 runs; medians 432.0 us vs 187.0 us)": the
    // ratio of the medians, and the spread of the ratios of the case's k-th run to the
    // baseline's k-th, which with shuffled order ran at about the same time.
    void PrintRatio(const char* label, const std::string& name, const std::string& baseline) const {
        const auto it = nsPerIteration.find(name), base = nsPerIteration.find(baseline);
        if (it == nsPerIteration.end() || base == nsPerIteration.end()) return;
        const double b = Median(base->second);
        if (!(b > 0)) return;
        std::vector<double> ratios;
        for (size_t k = 0; k < std::min(it->second.size(), base->second.size()); ++k)
            if (base->second[k] > 0) ratios.push_back(it->second[k] / base->second[k]);
        std::sort(ratios.begin(), ratios.end());
        std::printf("%s: %.2f (quartiles %.2f to %.2f, %zu runs; medians %s vs %s)\n", label,
                    Median(it->second) / b, Quantile(ratios, 0.25), Quantile(ratios, 0.75),
                    ratios.size(), Duration(Median(it->second)).c_str(), Duration(b).c_str());
    }

    // "label: median step 9.8 ms (quartiles of the runs' medians 9.5 to 10.1, 9 runs),
    // slowest after the third 12.0 ms = 1.22 of the median": wall-clock steps as the case
    // counted them ("median_step_ms", "slowest_step_ms").
    void PrintSteps(const char* label, const std::string& name) const {
        const auto it = medianStepMs.find(name);
        if (it == medianStepMs.end() || it->second.empty()) return;
        std::vector<double> ms = it->second;
        std::sort(ms.begin(), ms.end());
        const auto slowest = slowestStepMs.find(name);
        const double worst = slowest == slowestStepMs.end() ? 0 : slowest->second;
        const double median = Quantile(ms, 0.5);
        std::printf("%s: median step %.1f ms (quartiles of the runs' medians %.1f to %.1f, %zu "
                    "runs), slowest after the third %.1f ms = %.2f of the median\n",
                    label, median, Quantile(ms, 0.25), Quantile(ms, 0.75), ms.size(), worst,
                    median > 0 ? worst / median : 0);
    }

  private:
    // "850 ns", "432.0 us", "16.70 ms".
    static std::string Duration(double ns) {
        char text[32];
        if (ns < 1e4)
            std::snprintf(text, sizeof text, "%.0f ns", ns);
        else if (ns < 1e7)
            std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
        else
            std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
        return text;
    }
    // Linear between the order statistics of a sorted sample.
    static double Quantile(const std::vector<double>& sorted, double q) {
        if (sorted.empty()) return 0;
        const double at = q * static_cast<double>(sorted.size() - 1);
        const auto lo = static_cast<size_t>(at);
        const size_t hi = std::min(lo + 1, sorted.size() - 1);
        return sorted[lo] + (sorted[hi] - sorted[lo]) * (at - static_cast<double>(lo));
    }
    static double Median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return Quantile(values, 0.5);
    }
};

// N from "--instructions=N" on the command line: the program then counts each case's
// instructions under callgrind (bench/instructions.sh) instead of timing it. 0 without it.
inline int InstructionCount(int argc, char** argv) {
    constexpr const char* flag = "--instructions=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            return std::max(1, std::atoi(argv[i] + std::strlen(flag)));
    return 0;
}

// Runs `step` `count` times with callgrind counting, then writes the counts out under `name`
// (callgrind.out.PID.K, "desc: Trigger: Client Request: name"). Outside valgrind, or built
// without its header, the steps only run.
template <typename Step> void CountSteps(const char* name, int count, Step step) {
#ifdef MAROVANE_CALLGRIND
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
#endif
    for (int i = 0; i < count; ++i)
        step();
#ifdef MAROVANE_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(name);
#else
    (void)name;
#endif
}

// The cases chosen on the command line, run with the default flags into a RatioReporter;
// then `report` prints its ratios from what the reporter kept.
template <typename Report> int RunAndReport(int argc, char** argv, Report report) {
    DefaultFlags flags(argc, argv);
    benchmark::Initialize(&flags.argc(), flags.argv());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    report(reporter);
    return 0;
}

} // namespace mv::bench
