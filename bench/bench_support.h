#pragma once
// What the benchmarks share: six vessels under way spread over the 12-mile picture, and a
// reporter that remembers each benchmark's time so a ratio to a baseline measured in the same
// run can be printed at the end.

#include "core/geometry.h"
#include "core/vessel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace mv::bench {

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

    // "label: 2.87 (432013 ns vs 150283 ns)", when both were run.
    void PrintRatio(const char* label, const std::string& name, const std::string& baseline) const {
        const auto it = nsPerIteration.find(name), base = nsPerIteration.find(baseline);
        if (it == nsPerIteration.end() || base == nsPerIteration.end() || base->second <= 0) return;
        std::printf("%s: %.2f (%.0f ns vs %.0f ns)\n", label, it->second / base->second, it->second,
                    base->second);
    }
};

} // namespace mv::bench
