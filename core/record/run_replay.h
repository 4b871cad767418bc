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
// One moment's step of the alarms as the student had them: the targets in danger at moment
// `index` by the limits then in force, then the acknowledgements made before the next moment.
void StepAlarms(const RunRecord& run, std::size_t index, AlarmState& alarms);
// The alarms at moment `index`, stepped from the first moment.
AlarmState AlarmsAt(const RunRecord& run, std::size_t index);
// Days of sea time since plotting was last switched on, at moment `index`; 0 while it is off.
double PlotTimeAt(const RunRecord& run, std::size_t index);

} // namespace mv
