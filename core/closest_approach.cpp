#include "core/closest_approach.h"

#include <algorithm>
#include <cmath>

namespace mv {

double ClosestApproachInTick(const PointD& ownStart, const PointD& ownEnd,
                             const PointD& targetStart, const PointD& targetEnd) {
    // The target as seen from the own vessel, at the start and the end of the tick.
    const double n0 = targetStart.X - ownStart.X, e0 = targetStart.Y - ownStart.Y;
    const double dn = (targetEnd.X - ownEnd.X) - n0, de = (targetEnd.Y - ownEnd.Y) - e0;
    const double run2 = dn * dn + de * de;
    // Without relative motion the distance holds all through the tick.
    double t = 0.0;
    if (run2 > 0.0) t = std::clamp(-(n0 * dn + e0 * de) / run2, 0.0, 1.0);
    return std::hypot(n0 + t * dn, e0 + t * de);
}

} // namespace mv
