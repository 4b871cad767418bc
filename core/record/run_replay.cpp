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

// What a moment's alarm step works in, kept from one step to the next when many are stepped
// rather than made afresh (and allocated) for each moment of the run.
struct AlarmScratch {
    VesselTables vessels;
    RadarDisplayState shown;
    std::vector<TargetAid> aids;
};

// The targets in danger at the moment, by the limits then in force.
void UpdateAlarms(const RunRecord& run, const RunTick& tick, AlarmState& alarms, AlarmScratch& s) {
    PlaceMoment(run, tick, s.vessels);
    // Every field the record keeps is written; the rest stay as a fresh state has them.
    ApplyDisplay(tick.Display, s.shown);
    const VesselTables& v = s.vessels;
    s.aids.clear();
    for (int i = 0; i < v.NumVessels; ++i)
        if (i != v.OwnVessel)
            s.aids.push_back(ComputeTargetAid(v, i, s.shown.Aids.VectorMinutes()));
    alarms.Update(AlarmCauses(s.aids, s.shown.Aids.Limits));
}

std::vector<int64_t> AcknowledgedMoments(const RunRecord& run) {
    std::vector<int64_t> moments;
    for (const RunEvent& e : run.Events)
        if (e.Kind == "acknowledge") moments.push_back(e.Tick);
    std::sort(moments.begin(), moments.end());
    return moments;
}

// One moment's step: the alarms at moment `index`, then the acknowledgements made before the
// next moment, found by the moment's number.
void StepAlarms(const RunRecord& run, const std::vector<int64_t>& acknowledged, std::size_t index,
                AlarmState& alarms, AlarmScratch& scratch) {
    const RunTick& tick = run.Ticks[index];
    UpdateAlarms(run, tick, alarms, scratch);
    if (std::binary_search(acknowledged.begin(), acknowledged.end(), tick.Index))
        alarms.AcknowledgeAll();
}

std::size_t CheckpointCount(const RunRecord& run) {
    return run.Ticks.empty() ? 0 : (run.Ticks.size() - 1) / AlarmCheckpoints::kEvery + 1;
}

} // namespace

AlarmState AlarmsAt(const RunRecord& run, std::size_t index) {
    return AlarmCheckpoints(run).At(index);
}

std::vector<AlarmState> AlarmCheckpoints::StepThrough(const RunRecord& run) {
    std::vector<AlarmState> states;
    states.reserve(CheckpointCount(run));
    const std::vector<int64_t> acknowledged = AcknowledgedMoments(run);
    AlarmScratch scratch;
    AlarmState alarms;
    for (std::size_t k = 0; k < run.Ticks.size(); ++k) {
        StepAlarms(run, acknowledged, k, alarms, scratch);
        if (k % kEvery == 0) states.push_back(alarms);
    }
    return states;
}

AlarmCheckpoints::AlarmCheckpoints(const RunRecord& run, std::vector<AlarmState> checkpoints)
    : run_(run), acknowledged_(AcknowledgedMoments(run)) {
    if (checkpoints.size() == CheckpointCount(run)) states_ = std::move(checkpoints);
}

void AlarmCheckpoints::Step(std::size_t index, AlarmState& alarms) const {
    if (index >= run_.Ticks.size()) return;
    AlarmScratch scratch;
    StepAlarms(run_, acknowledged_, index, alarms, scratch);
}

AlarmState AlarmCheckpoints::At(std::size_t index) {
    if (run_.Ticks.empty()) return {};
    index = std::min(index, run_.Ticks.size() - 1);
    AlarmScratch scratch;
    if (states_.empty()) {
        AlarmState first;
        StepAlarms(run_, acknowledged_, 0, first, scratch);
        states_.push_back(first);
    }
    // From the checkpoint at or before the moment, keeping those passed on the way.
    std::size_t from = std::min(index / kEvery, states_.size() - 1);
    AlarmState alarms = states_[from];
    for (std::size_t k = from * kEvery + 1; k <= index; ++k) {
        StepAlarms(run_, acknowledged_, k, alarms, scratch);
        if (k % kEvery == 0) states_.push_back(alarms);
    }
    return alarms;
}

} // namespace mv
