#include "core/clock.h"

namespace mv {

void SimClock::SetTimeFactor(int16_t index) {
    if (index < 0 || index >= kTimeFactorCount) return;
    TimeFactorIndex = index;
    TimeFactor = kTimeFactors[static_cast<size_t>(index)];
    // Milliseconds to seconds to days, and seconds to hours, with the constants as written so
    // that the clock and the dead reckoning agree to the last digit with a hand calculation.
    TimeStep = static_cast<double>(kTickIntervalMs * TimeFactor) * 0.001 * 1.15740741E-05;
    HoursPerTick = kTickIntervalMs * 0.0002777777777778 * 0.001 * TimeFactor;
}

} // namespace mv
