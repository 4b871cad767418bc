#pragma once
// The part of the radar display's state that the simulation tick reads and writes. The full
// display state of the radar console holds one of these.

#include "core/bearing_mode.h"
#include "core/true_trails.h"

#include <array>
#include <cstdint>

namespace mv {

// Days between plot marks: continuous, then a hair under 3 and 6 minutes and a hair over 12.
// The clock's step is a hair over its nominal 3 seconds times the factor too (a second is
// 1.15740741E-05 days), so the sum of whole ticks reaches every interval exactly when the
// division says: the 12-minute mark falls every 4th tick at x60 and every 24th at x10.
inline constexpr std::array<double, 4> kPlotIntervals{0.0, 0.00208333333333, 0.00416666666666,
                                                      0.00833333333334};

struct TickDisplay {
    double Range = 12.0;  // nautical miles from the centre to the edge of the picture
    bool NorthUp = false; // false: heads-up, or course-up when CourseUp
    // Up is the own vessel's ordered course, so the picture holds still through yaw and turns.
    bool CourseUp = false;
    BearingMode Bearing = BearingMode::Relative;
    bool ShowSHL = true; // the ship's heading line
    bool TrueViewOn = false;
    bool FirstFrame = true; // set by every full redraw: one plot mark per vessel follows
    bool PlotOn = false;
    // The letters beside the echoes, from one press of Identify to the next.
    bool IdentifyOn = false;
    std::array<double, 4> PlotIntervals = kPlotIntervals; // days between plot marks
    int16_t PlotFreqIndex = 0;
    double SinceLastPlot = 0.0; // days
    double PlotTime = 0.0;      // days since plotting was switched on

    // The true-motion aids: trail points over the water and whether the trails shown are
    // those (true) or the grey relative marks.
    bool TrueTrails = false;
    TrueTrailStore Trails;

    bool HeadsUp() const { return !NorthUp && !CourseUp; }
    bool PlotDue() const { return PlotOn && SinceLastPlot >= PlotIntervals.at(PlotFreqIndex); }
};

} // namespace mv
