// The tracker's accuracy table: for each of the performance standard's four situations, the
// 95th percentile of each error over 1000 exercise numbers beside the standard's limit, one
// minute (trend) and three minutes (prediction) after acquisition. Not a timing: it prints.
// Degrees, knots, nautical miles, minutes.

#include "tests/core/arpa/accuracy_runs.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::clamp(std::atoi(argv[1]), 20, 100000) : 1000;
    namespace a = mv::accuracy;
    std::printf("95th percentile of %d runs each (measured / limit)\n\n", runs);
    std::printf("%-12s %-5s %15s %15s %15s %15s %15s %15s\n", "situation", "after", "rel course",
                "rel speed", "CPA", "TCPA", "true course", "true speed");
    for (const auto& s : a::Situations()) {
        const a::Table m = a::Measure(s, runs);
        const a::Errors t = a::TrendLimits(s), p = a::PredictionLimits(s);
        std::printf("%-12s %-5s %6.2f / %5.1f %6.2f / %5.1f %6.2f / %5.1f %15s %15s %15s\n", s.Name,
                    "1 min", m.Trend.RelCourse, t.RelCourse, m.Trend.RelSpeed, t.RelSpeed,
                    m.Trend.Cpa, t.Cpa, "-", "-", "-");
        std::printf("%-12s %-5s %6.2f / %5.1f %6.2f / %5.1f %6.2f / %5.1f %6.2f / %5.1f "
                    "%6.2f / %5.1f %6.2f / %5.1f\n",
                    "", "3 min", m.Prediction.RelCourse, p.RelCourse, m.Prediction.RelSpeed,
                    p.RelSpeed, m.Prediction.Cpa, p.Cpa, m.Prediction.Tcpa, p.Tcpa,
                    m.Prediction.TrueCourse, p.TrueCourse, m.Prediction.TrueSpeed, p.TrueSpeed);
        if (m.Runs < runs) std::printf("  (target not seen in %d runs)\n", runs - m.Runs);
    }
    return 0;
}
