#pragma once
// True trails: each target's past positions over the water (nautical miles, X north, Y east),
// taken at the plot marks. Drawn where they lie relative to the own vessel's present position,
// they show a target's true track on the relative-motion picture whatever the own vessel does.

#include "core/vessel.h"

#include <array>
#include <cstddef>
#include <vector>

namespace mv {

// Points kept per vessel: twelve minutes of continuous marks at x1 (a mark every 3 s), two
// hours of 30-second marks; older points drop off, so memory and drawing stay bounded however
// long the exercise runs.
inline constexpr std::size_t kTrueTrailPoints = 240;

class TrueTrailStore {
  public:
    void Add(int vessel, const PointD& position);
    void Clear();
    // The points of a vessel, oldest first, into `out` (cleared first).
    void Points(int vessel, std::vector<PointD>& out) const;
    std::size_t Count(int vessel) const;

  private:
    struct Ring {
        std::vector<PointD> points; // grows to kTrueTrailPoints, then is written round
        std::size_t next = 0;       // where the next point goes once full
    };
    std::array<Ring, kMaxVessels> rings_;
};

} // namespace mv
