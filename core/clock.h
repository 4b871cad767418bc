#pragma once
// The simulation clock: ticks of 3 seconds of real time, each worth 3 seconds of sea time
// times the time factor.

#include <array>
#include <cstddef>
#include <cstdint>

namespace mv {

inline constexpr int kTickIntervalMs = 3000;
// The eighth entry is never selected.
inline constexpr std::array<int16_t, 8> kTimeFactors{1, 2, 5, 10, 30, 60, 120, 0};
inline constexpr int16_t kTimeFactorCount = 7;

struct SimClock {
    double SimTime = 0.5;        // days; 0.5 is 12:00:00
    int16_t TimeFactorIndex = 0; // 0..6
    int16_t TimeFactor = 1;
    double TimeStep = 0.0;     // days of sea time per tick
    double HoursPerTick = 0.0; // hours of sea time per tick

    SimClock() { SetTimeFactor(0); }
    // index 0..6; anything else is ignored.
    void SetTimeFactor(int16_t index);
};

} // namespace mv
