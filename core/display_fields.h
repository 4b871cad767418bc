#pragma once
// The part of the radar display's state that the simulation tick reads and writes. The full
// display state of the radar console holds one of these.

#include "core/bearing_mode.h"

#include <array>
#include <cstdint>

namespace mv {

struct TickDisplay {
    double Range = 12.0;  // nautical miles from the centre to the edge of the picture
    bool NorthUp = false; // false: heads-up
    BearingMode Bearing = BearingMode::Relative;
    bool ShowSHL = true; // the ship's heading line
    bool TrueViewOn = false;
    bool FirstFrame = true; // set by every full redraw: one plot mark per vessel follows
    bool PlotOn = false;
    std::array<double, 4> PlotIntervals{}; // days between plot marks
    int16_t PlotFreqIndex = 0;
    double SinceLastPlot = 0.0; // days
    double PlotTime = 0.0;      // days since plotting was switched on

    bool PlotDue() const { return PlotOn && SinceLastPlot >= PlotIntervals.at(PlotFreqIndex); }
};

} // namespace mv
