#pragma once
// Where each field of a recorded display lives in the console's display state: one list for
// both ways, so that the moment the recorder takes and the picture the replay draws from it
// cannot disagree.

#include "core/display/display_state.h"
#include "core/record/run_record.h"

#include <type_traits>

namespace mv {

// Calls `pair(kept, shown)` for every recorded display field and its place in the display
// state; either side may be const, and `pair` copies one way.
template <class Kept, class Shown, class Pair>
void PairDisplayFields(Kept& kept, Shown& shown, Pair&& pair) {
    pair(kept.Range, shown.Tick.Range);
    pair(kept.RangeIndex, shown.RangeIndex);
    pair(kept.NorthUp, shown.Tick.NorthUp);
    pair(kept.CourseUp, shown.Tick.CourseUp);
    pair(kept.Bearings, shown.Tick.Bearing);
    pair(kept.RingsOn, shown.RingsOn);
    pair(kept.HeadingLine, shown.Tick.ShowSHL);
    pair(kept.EBLOn, shown.EBLOn);
    pair(kept.EBLBearing, shown.EBLBearing);
    pair(kept.VRMOn, shown.VRMOn);
    pair(kept.VRMRange, shown.VRMRange);
    pair(kept.EBL2On, shown.EBL2On);
    pair(kept.EBL2Bearing, shown.EBL2Bearing);
    pair(kept.VRM2On, shown.VRM2On);
    pair(kept.VRM2Range, shown.VRM2Range);
    pair(kept.EBL2Offset, shown.EBL2Offset);
    pair(kept.EBL2Origin, shown.EBL2Origin);
    pair(kept.CursorEast, shown.CursorEast);
    pair(kept.CursorNorth, shown.CursorNorth);
    pair(kept.PlotOn, shown.Tick.PlotOn);
    pair(kept.PlotFreqIndex, shown.Tick.PlotFreqIndex);
    pair(kept.TrueViewOn, shown.Tick.TrueViewOn);
    pair(kept.TrueTrails, shown.Tick.TrueTrails);
    pair(kept.Vectors, shown.Aids.Vectors);
    pair(kept.VectorIndex, shown.Aids.VectorIndex);
    pair(kept.CpaAlarmOn, shown.Aids.Limits.CpaAlarmOn);
    pair(kept.GuardOn, shown.Aids.Limits.GuardOn);
    pair(kept.GuardRange, shown.Aids.Limits.GuardRange);
    pair(kept.CpaLimit, shown.Aids.Limits.CpaLimit);
    pair(kept.TcpaLimit, shown.Aids.Limits.TcpaLimit);
    pair(kept.Picked, shown.Aids.Picked);
}

// The display as the record keeps it.
inline RunDisplay KeptDisplay(const RadarDisplayState& shown) {
    RunDisplay kept;
    PairDisplayFields(kept, shown, [](auto& to, const auto& from) {
        to = static_cast<std::remove_cvref_t<decltype(to)>>(from);
    });
    return kept;
}

} // namespace mv
