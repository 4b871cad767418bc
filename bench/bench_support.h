#pragma once
// What the benchmarks share: six vessels under way spread over the 12-mile picture, default
// flags that run every case several times in shuffled order, and a reporter that keeps every
// repetition's time so that ratios to a baseline run beside the case are printed at the end.

#include "core/geometry.h"
#include "core/vessel.h"
#include "core/vessel_view.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
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
    // The longest single step any run saw, for cases that count it ("slowest_step_ms").
    std::map<std::string, double> slowestStepMs;

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

    // "label: 9.8 ms (quartiles 9.5 to 10.1, 9 runs; slowest step 12.0 ms) = 0.59 of a
    // 16.7 ms frame at 60 Hz": the mean step of each run in processor time against a fixed
    // time rather than a measured one, and the longest single step of all the runs as the
    // case counted it ("slowest_step_ms").
    void PrintAgainstFrame(const char* label, const std::string& name) const {
        const auto it = nsPerIteration.find(name);
        if (it == nsPerIteration.end() || it->second.empty()) return;
        std::vector<double> ms;
        for (double ns : it->second)
            ms.push_back(ns / 1e6);
        std::sort(ms.begin(), ms.end());
        const auto slowest = slowestStepMs.find(name);
        const double frame = 1000.0 / 60.0;
        std::printf("%s: %.1f ms (quartiles %.1f to %.1f, %zu runs; slowest step %.1f ms) = "
                    "%.2f of a %.1f ms frame at 60 Hz\n",
                    label, Quantile(ms, 0.5), Quantile(ms, 0.25), Quantile(ms, 0.75), ms.size(),
                    slowest == slowestStepMs.end() ? ms.back() : slowest->second,
                    Quantile(ms, 0.5) / frame, frame);
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
