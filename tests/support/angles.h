#pragma once
// The gap between two bearings in degrees, 0 to 180, the short way round: 359 and 1 are 2
// apart.

#include <cmath>

namespace mv::test {

inline double AngleGap(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

} // namespace mv::test
