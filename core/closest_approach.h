#pragma once
// How close two vessels came during one tick. At x120 a tick is six minutes of sea time, in
// which two ships closing at 20 knots run 2 nm: far more than the 0.01 nm at which hulls
// touch, so a test at the tick's instants alone lets them pass through each other.

#include "core/vessel.h"

namespace mv {

// The least distance, in nautical miles, between two vessels that each ran straight from
// their position at the start of the tick to their position at its end. Over the tick the
// relative track is a straight line; its nearest point to the own vessel is taken, but never
// before the start or after the end of the tick.
double ClosestApproachInTick(const PointD& ownStart, const PointD& ownEnd,
                             const PointD& targetStart, const PointD& targetEnd);

} // namespace mv
