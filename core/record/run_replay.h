#pragma once
// What a replay makes of a record: the vessel tables and display state of a moment, the
// moments whose plot marks stand in the picture then, and the event list as CSV.

#include "core/display/display_state.h"
#include "core/record/run_record.h"

#include <string>
#include <vector>

namespace mv {

// The vessels at a recorded moment (or the moment `index`) as the simulation had them.
void PlaceMoment(const RunRecord& run, const RunTick& tick, VesselTables& tables);
void PlaceMoment(const RunRecord& run, std::size_t index, VesselTables& tables);
// The display state a student had at the moment; the palette and the input mode are left as
// they are, and the True View is off (the replay has its own).
void ApplyDisplay(const RunDisplay& shown, RadarDisplayState& display);
// The moments whose plot marks the picture showed at moment `index`, oldest first: from the
// last full redraw (a start, a repeat, a jump, a new range, orientation or plot setting)
// onwards, a moment each plot interval (every moment for continuous plotting). Empty while
// plotting is off.
std::vector<std::size_t> PlotMoments(const RunRecord& run, std::size_t index);
// "time,tick,kind,vessel,text" and a line per event, each text cell quoted where it must be and
// never taken for a formula (an event's text holds what the student typed).
std::string EventsCsv(const RunRecord& run);
// The moment that shows an event: the one recorded with it where the event took one (a jump,
// a repeat), otherwise the last one before it.
std::size_t EventMoment(const RunRecord& run, const RunEvent& event);
// The alarms at moment `index`, stepped from the first moment (one picture; a player keeps
// an AlarmCheckpoints).
AlarmState AlarmsAt(const RunRecord& run, std::size_t index);

// The alarms at every kEvery-th moment, so that the alarms at any moment are stepped from the
// checkpoint at or before it: a jump on the timeline costs at most kEvery steps however long the
// run. Those not given at the start are kept as the stepping first passes them. The run must
// outlive it unchanged.
class AlarmCheckpoints {
  public:
    // 64 steps take well under a millisecond; a checkpoint is some 40 bytes, so a run of a
    // million moments keeps about 600 kB of them.
    static constexpr std::size_t kEvery = 64;

    // Every checkpoint of `run`, the whole run stepped through once (about a second for a
    // million moments): work for the thread that reads the record, so that the replay's first
    // jump, too, steps at most kEvery moments.
    static std::vector<AlarmState> StepThrough(const RunRecord& run);

    // `checkpoints` as StepThrough gave them for this run; any other count is dropped.
    explicit AlarmCheckpoints(const RunRecord& run, std::vector<AlarmState> checkpoints = {});
    // The alarms at moment `index` (clamped to the run), as stepped from the first moment.
    AlarmState At(std::size_t index);
    // One moment's step: the targets in danger at moment `index` by the limits then in force,
    // then the acknowledgements made before the next moment, found by the moment's number.
    void Step(std::size_t index, AlarmState& alarms) const;

  private:
    const RunRecord& run_;
    std::vector<int64_t> acknowledged_; // the moments after which the student acknowledged, sorted
    std::vector<AlarmState> states_;    // after stepping moments 0, kEvery, 2 kEvery, ...
};
// Days of sea time since plotting was last switched on, at moment `index`; 0 while it is off.
double PlotTimeAt(const RunRecord& run, std::size_t index);

// The moments each full redraw began, plotting was switched on and a plot mark was made, worked
// once over a run, so that a moment's plot marks and plot clock are found by a search instead
// of a walk back to where its picture began: a jump costs the same at any length of run. The
// run must outlive it unchanged.
class PlotHistory {
  public:
    explicit PlotHistory(const RunRecord& run);
    // As PlotMoments and PlotTimeAt (`index` within the run).
    std::vector<std::size_t> Moments(std::size_t index) const;
    double TimeAt(std::size_t index) const;

  private:
    const RunRecord& run_;
    std::vector<std::size_t> pictures_; // moments a full redraw began at, ascending
    std::vector<std::size_t> plotting_; // moments plotting began (or began again) at, ascending
    std::vector<std::size_t> marks_;    // moments a plot mark was made at, ascending
};

} // namespace mv
