// Every exercise number the clock can hand out (1 to 999999), at every level, through the
// random traffic generator: each must come back, with finite positions, courses and speeds.
// A number that takes longer than the watchdog's limit is named and the run fails, so a
// generator loop that cannot end shows up here rather than as a frozen window in class.
// Prints the mean and the slowest time per number.
//
//   bench_random_scan [--from N] [--to N]      (CI scans a slice)

#include "core/scenario/random_traffic.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Far beyond any exercise's work (microseconds), short enough to report a hang at once.
constexpr auto kWatchdogLimit = std::chrono::seconds(5);

std::atomic<uint64_t> progress{0};
std::atomic<uint32_t> current{0};
std::atomic<int> currentLevel{0};

bool Finite(const mv::RandomTraffic& traffic) {
    for (const auto& t : traffic.Targets)
        if (!std::isfinite(t.Bearing) || !std::isfinite(t.Range) || !std::isfinite(t.Course) ||
            !std::isfinite(t.Speed) || t.Speed < 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    uint32_t from = 1, to = 999999;
    for (int i = 1; i + 1 < argc; i += 2) {
        const auto value = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        if (std::strcmp(argv[i], "--from") == 0)
            from = value;
        else if (std::strcmp(argv[i], "--to") == 0)
            to = value;
    }
    if (argc % 2 == 0 || from > to) {
        std::fprintf(stderr, "usage: bench_random_scan [--from N] [--to N], N from <= to\n");
        return 2;
    }

    std::thread([] {
        uint64_t seen = progress.load();
        for (;;) {
            std::this_thread::sleep_for(kWatchdogLimit);
            const uint64_t now = progress.load();
            if (now == seen) {
                std::fprintf(stderr, "exercise %u at level %d: no traffic after %lld s\n",
                             current.load(), currentLevel.load(),
                             static_cast<long long>(kWatchdogLimit.count()));
                std::_Exit(1);
            }
            seen = now;
        }
    }).detach();

    int failures = 0;
    double slowestUs = 0;
    uint32_t slowestNumber = from;
    const auto start = Clock::now();
    for (const auto level :
         {mv::Difficulty::Easy, mv::Difficulty::Moderate, mv::Difficulty::Difficult}) {
        currentLevel = static_cast<int>(level);
        for (uint32_t n = from;; ++n) {
            current = n;
            const auto t0 = Clock::now();
            const mv::RandomTraffic traffic = mv::GenerateRandomTraffic(level, n);
            const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
            if (us > slowestUs) {
                slowestUs = us;
                slowestNumber = n;
            }
            if (!Finite(traffic) && ++failures <= 10)
                std::fprintf(stderr, "exercise %u at level %d: a figure is not finite\n", n,
                             static_cast<int>(level));
            progress.fetch_add(1);
            if (n == to) break;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double count = 3.0 * (static_cast<double>(to - from) + 1.0);
    std::printf("%.0f exercises (numbers %u to %u at three levels) in %.1f s: %.2f us each, "
                "slowest %.1f us (exercise %u)\n",
                count, from, to, seconds, seconds * 1e6 / count, slowestUs, slowestNumber);
    if (failures > 0) {
        std::fprintf(stderr, "%d exercises with figures that are not finite\n", failures);
        return 1;
    }
    return 0;
}
