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
    (void)run.Ticks.at(index);
    return PlotHistory(run).Moments(index);
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
    (void)run.Ticks.at(index);
    return PlotHistory(run).TimeAt(index);
}

PlotHistory::PlotHistory(const RunRecord& run) : run_(run) {
    double last = 0.0; // days: the sea time of the last mark
    for (std::size_t k = 0; k < run.Ticks.size(); ++k) {
        const RunTick& now = run.Ticks[k];
        const RunTick* before = k > 0 ? &run.Ticks[k - 1] : nullptr;
        const bool redrawn = !before || !SamePicture(*before, now);
        if (redrawn) pictures_.push_back(k);
        if (!now.Display.PlotOn) continue;
        // Going back in sea time (a repeat) starts the plot clock again as well.
        if (!before || !before->Display.PlotOn || before->SimTime > now.SimTime)
            plotting_.push_back(k);
        const double interval =
            kPlotIntervals.at(static_cast<std::size_t>(now.Display.PlotFreqIndex));
        if (redrawn || now.SimTime - last >= interval) {
            marks_.push_back(k);
            last = now.SimTime;
        }
    }
}

std::vector<std::size_t> PlotHistory::Moments(std::size_t index) const {
    if (index >= run_.Ticks.size() || !run_.Ticks[index].Display.PlotOn) return {};
    const std::size_t from =
        *std::prev(std::upper_bound(pictures_.begin(), pictures_.end(), index));
    return {std::lower_bound(marks_.begin(), marks_.end(), from),
            std::upper_bound(marks_.begin(), marks_.end(), index)};
}

double PlotHistory::TimeAt(std::size_t index) const {
    if (index >= run_.Ticks.size() || !run_.Ticks[index].Display.PlotOn) return 0.0;
    const std::size_t from =
        *std::prev(std::upper_bound(plotting_.begin(), plotting_.end(), index));
    return run_.Ticks[index].SimTime - run_.Ticks[from].SimTime;
}

namespace {

// The targets in danger at the moment, by the limits then in force.
void UpdateAlarms(const RunRecord& run, const RunTick& tick, AlarmState& alarms) {
    VesselTables v;
    PlaceMoment(run, tick, v);
    RadarDisplayState shown;
    ApplyDisplay(tick.Display, shown);
    std::vector<TargetAid> aids;
    for (int i = 0; i < v.NumVessels; ++i)
        if (i != v.OwnVessel) aids.push_back(ComputeTargetAid(v, i, shown.Aids.VectorMinutes()));
    alarms.Update(AlarmCauses(aids, shown.Aids.Limits));
}

} // namespace

AlarmState AlarmsAt(const RunRecord& run, std::size_t index) {
    return AlarmCheckpoints(run).At(index);
}

AlarmCheckpoints::AlarmCheckpoints(const RunRecord& run) : run_(run) {
    for (const RunEvent& e : run.Events)
        if (e.Kind == "acknowledge") acknowledged_.push_back(e.Tick);
    std::sort(acknowledged_.begin(), acknowledged_.end());
}

void AlarmCheckpoints::Step(std::size_t index, AlarmState& alarms) const {
    if (index >= run_.Ticks.size()) return;
    const RunTick& tick = run_.Ticks[index];
    UpdateAlarms(run_, tick, alarms);
    if (std::binary_search(acknowledged_.begin(), acknowledged_.end(), tick.Index))
        alarms.AcknowledgeAll();
}

AlarmState AlarmCheckpoints::At(std::size_t index) {
    if (run_.Ticks.empty()) return {};
    index = std::min(index, run_.Ticks.size() - 1);
    if (states_.empty()) {
        AlarmState first;
        Step(0, first);
        states_.push_back(first);
    }
    // From the checkpoint at or before the moment, keeping those passed on the way.
    std::size_t from = std::min(index / kEvery, states_.size() - 1);
    AlarmState alarms = states_[from];
    for (std::size_t k = from * kEvery + 1; k <= index; ++k) {
        Step(k, alarms);
        if (k % kEvery == 0) states_.push_back(alarms);
    }
    return alarms;
}

} // namespace mv
