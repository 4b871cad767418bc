#include "core/record/run_replay.h"

#include "core/aids/target_aids.h"
#include "core/csv_text.h"
#include "core/number_text.h"
#include "core/record/run_display.h"

#include <algorithm>

namespace mv {

namespace {

// What a full redraw of the picture follows from, which erases the plot marks.
bool SamePicture(const RunTick& a, const RunTick& b) {
    const RunDisplay &x = a.Display, &y = b.Display;
    return a.OwnVessel == b.OwnVessel && b.SimTime >= a.SimTime && x.Range == y.Range &&
           x.NorthUp == y.NorthUp && x.CourseUp == y.CourseUp && x.Bearings == y.Bearings &&
           x.RingsOn == y.RingsOn && x.PlotOn == y.PlotOn && x.PlotFreqIndex == y.PlotFreqIndex &&
           x.TrueTrails == y.TrueTrails;
}

} // namespace

void PlaceMoment(const RunRecord& run, const RunTick& t, VesselTables& tables) {
    const auto n = static_cast<int16_t>(run.Vessels.size());
    if (tables.NumVessels != n) tables.Create(n);
    tables.OwnVessel = static_cast<int16_t>(t.OwnVessel);
    for (std::size_t i = 0; i < t.Vessels.size(); ++i) {
        const RunVesselState& v = t.Vessels[i];
        tables.VesselPos[i] = v.Pos;
        tables.Vessel[i] = {v.Heading, static_cast<int16_t>(v.NewHeading), v.Speed, v.NewSpeed,
                            run.Vessels[i].Size};
        // A replay never reports a collision: each is an event of the record.
        tables.VesselFlag[i] = kTrue;
    }
}

void PlaceMoment(const RunRecord& run, std::size_t index, VesselTables& tables) {
    PlaceMoment(run, run.Ticks.at(index), tables);
}

void ApplyDisplay(const RunDisplay& d, RadarDisplayState& s) {
    PairDisplayFields(d, s, [](const auto& from, auto& to) {
        to = static_cast<std::remove_cvref_t<decltype(to)>>(from);
    });
    s.Tick.TrueViewOn = false;
}

std::vector<std::size_t> PlotMoments(const RunRecord& run, std::size_t index) {
    std::vector<std::size_t> marks;
    const RunTick& now = run.Ticks.at(index);
    if (!now.Display.PlotOn) return marks;
    std::size_t from = index;
    while (from > 0 && SamePicture(run.Ticks[from - 1], run.Ticks[from]))
        --from;
    const double interval = kPlotIntervals.at(static_cast<std::size_t>(now.Display.PlotFreqIndex));
    double last = 0.0;
    for (std::size_t k = from; k <= index; ++k) {
        const double t = run.Ticks[k].SimTime;
        if (k == from || t - last >= interval) {
            marks.push_back(k);
            last = t;
        }
    }
    return marks;
}

std::string EventsCsv(const RunRecord& run) {
    std::string csv = "time,tick,kind,vessel,text\r\n";
    for (const RunEvent& e : run.Events)
        csv += FormatClock(e.SimTime) + "," + std::to_string(e.Tick) + "," + CsvTextField(e.Kind) +
               "," + (e.Vessel < 0 ? std::string() : VesselLetter(e.Vessel)) + "," +
               CsvTextField(e.Text) + "\r\n";
    return csv;
}

std::size_t EventMoment(const RunRecord& run, const RunEvent& event) {
    const std::size_t last = run.Ticks.size() - 1;
    const auto before = std::min(static_cast<std::size_t>(std::max<int64_t>(event.Tick, 0)), last);
    if (before < last && run.Ticks[before + 1].SimTime == event.SimTime) return before + 1;
    return before;
}

double PlotTimeAt(const RunRecord& run, std::size_t index) {
    if (!run.Ticks.at(index).Display.PlotOn) return 0.0;
    std::size_t from = index;
    while (from > 0 && run.Ticks[from - 1].Display.PlotOn &&
           run.Ticks[from - 1].SimTime <= run.Ticks[from].SimTime)
        --from;
    return run.Ticks[index].SimTime - run.Ticks[from].SimTime;
}

void StepAlarms(const RunRecord& run, std::size_t index, AlarmState& alarms) {
    if (index >= run.Ticks.size()) return;
    const RunTick& tick = run.Ticks[index];
    VesselTables v;
    PlaceMoment(run, tick, v);
    RadarDisplayState shown;
    ApplyDisplay(tick.Display, shown);
    std::vector<TargetAid> aids;
    for (int i = 0; i < v.NumVessels; ++i)
        if (i != v.OwnVessel) aids.push_back(ComputeTargetAid(v, i, shown.Aids.VectorMinutes()));
    alarms.Update(AlarmCauses(aids, shown.Aids.Limits));
    for (const RunEvent& e : run.Events)
        if (e.Kind == "acknowledge" && e.Tick == tick.Index) alarms.AcknowledgeAll();
}

AlarmState AlarmsAt(const RunRecord& run, std::size_t index) {
    AlarmState alarms;
    for (std::size_t k = 0; k <= index && k < run.Ticks.size(); ++k)
        StepAlarms(run, k, alarms);
    return alarms;
}

} // namespace mv
