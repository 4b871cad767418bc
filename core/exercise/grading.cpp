#include "core/exercise/grading.h"

#include "core/geometry.h"
#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"
#include "core/vessel_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace mv {

namespace {

// The questions' indices in order of their times, those due together in the file's order:
// truths are worked in one walk of the clock through them.
std::vector<size_t> QuestionsInTimeOrder(const AssessedExercise& exercise) {
    std::vector<size_t> order(exercise.Questions.size());
    for (size_t q = 0; q < order.size(); ++q)
        order[q] = q;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return exercise.Questions[a].At < exercise.Questions[b].At;
    });
    return order;
}

} // namespace

std::vector<Truth> QuestionTruths(const AssessedExercise& exercise, const Simulation& start) {
    // In order of time, one walk of the clock from the start at x1, as TruthAt steps: 200
    // questions at 23:59:59 step the twelve hours once.
    const std::vector<size_t> order = QuestionsInTimeOrder(exercise);
    std::vector<Truth> truths(order.size());
    Simulation sim = start;
    const double now = sim.Clock.SimTime;
    sim.Clock.SetTimeFactor(0);
    sim.Clock.SimTime = now;
    TickDisplay display;
    UnseenView view;
    int ticks = 0;
    for (const size_t q : order) {
        for (; ticks < 14400 && sim.Clock.SimTime + 0.5 / 86400.0 < exercise.Questions[q].At;
             ++ticks)
            sim.Tick(display, view);
        truths[q] = TruthNow(sim);
    }
    return truths;
}

std::string ExerciseOpenedText(const std::string& file, const std::string& student) {
    return "Assessed exercise " + file + " for " + (student.empty() ? "-" : student);
}

std::string ExerciseEndedText(const std::string& how) {
    return "Exercise ended: " + how;
}

const GradedAnswer* RunGrading::Last(size_t question, int vessel, Figure asked) const {
    const auto found = std::find_if(Answers.rbegin(), Answers.rend(), [&](const GradedAnswer& a) {
        return a.Marked.Given.Question == question && a.Marked.Given.Vessel == vessel &&
               a.Marked.Given.Asked == asked;
    });
    return found == Answers.rend() ? nullptr : &*found;
}

std::vector<int> AskedTargets(const Question& question, const Truth& atQuestion) {
    if (!question.Targets.empty()) return question.Targets;
    std::vector<int> all;
    for (const TargetTruth& t : atQuestion.Targets)
        all.push_back(t.Vessel);
    return all;
}

namespace {

// The clock adds a step of days each tick, so a time may be reached a hair early or late.
constexpr double kClockSlack = 0.5 / 86400.0;

// The moments of one pass through the exercise: from the start or a repeat (where sea time goes
// back) to the next.
struct Pass {
    size_t From = 0, To = 0; // moments [From, To) of the record
};

std::vector<Pass> Passes(const RunRecord& run) {
    std::vector<Pass> passes;
    for (size_t i = 0; i < run.Ticks.size(); ++i) {
        if (passes.empty() || run.Ticks[i].SimTime < run.Ticks[i - 1].SimTime)
            passes.push_back({i, i});
        passes.back().To = i + 1;
    }
    return passes;
}

// The world of the recorded run at moment `index`: the student's own ship as she steered it and
// the targets as she saw them, with the exercise's current and orders from `start`.
Simulation WorldAt(const Simulation& start, const RunRecord& run, size_t index) {
    Simulation sim = start;
    const RunTick& t = run.Ticks[index];
    PlaceMoment(run, t, sim.Vessels);
    sim.Clock.SimTime = t.SimTime;
    const VesselData& own = sim.Vessels.Vessel[static_cast<size_t>(sim.Vessels.OwnVessel)];
    // An order of the student's under way at that moment is carried on, as her ship did.
    sim.Turning = own.Heading != static_cast<float>(own.NewHeading);
    sim.Maneuvering = sim.ManeuverPending();
    return sim;
}

// The truth at each question's time in a pass: at the pass's moment then, or, where the
// student's time factor stepped past that time, carried on at x1 from the last moment before
// it. A pass that ended before a question is carried on from its last moment, as the student's
// radar would have gone on. The questions are taken in order of time, and those carried on
// from the same moment are worked in one walk of the clock: 200 questions at 23:59:59 after a
// run that ended at 13:00 step eleven hours once, not 200 times.
std::vector<Truth> TruthsInPass(const AssessedExercise& exercise, const Simulation& start,
                                const RunRecord& run, const Pass& pass) {
    const std::vector<size_t> order = QuestionsInTimeOrder(exercise);
    std::vector<Truth> truths(order.size());
    std::optional<size_t> from; // the moment `sim` was carried on from
    Simulation sim;
    int ticks = 0;
    TickDisplay display;
    UnseenView view;
    for (const size_t q : order) {
        const double at = exercise.Questions[q].At;
        // Sea time never goes back within a pass: the last moment at or before `at`.
        const auto first = run.Ticks.begin() + static_cast<std::ptrdiff_t>(pass.From);
        const auto after = std::upper_bound(
            first, run.Ticks.begin() + static_cast<std::ptrdiff_t>(pass.To), at + kClockSlack,
            [](double t, const RunTick& m) { return t < m.SimTime; });
        const size_t best =
            after == first ? pass.From : static_cast<size_t>(after - run.Ticks.begin()) - 1;
        if (from != best) {
            sim = WorldAt(start, run, best);
            const double now = sim.Clock.SimTime;
            sim.Clock.SetTimeFactor(0);
            sim.Clock.SimTime = now;
            from = best;
            ticks = 0;
        }
        // As TruthFrom steps: at x1, at most the ticks of 12 hours from the moment.
        for (; ticks < 14400 && sim.Clock.SimTime + kClockSlack < at; ++ticks)
            sim.Tick(display, view);
        truths[q] = TruthNow(sim);
    }
    return truths;
}

} // namespace

RunGrading GradeRun(const AssessedExercise& exercise, const Simulation& start,
                    const RunRecord& run) {
    RunGrading grading;
    if (run.Exercise) grading.Student = run.Exercise->Student;
    if (run.Ending) grading.Ending = run.Ending->How;
    const std::vector<Pass> passes = Passes(run);
    // The truths of each pass, worked when an answer or the report first needs them.
    std::vector<std::vector<Truth>> truths(passes.size());
    const auto truthsOf = [&](size_t p) -> const std::vector<Truth>& {
        if (truths[p].empty()) truths[p] = TruthsInPass(exercise, start, run, passes[p]);
        return truths[p];
    };
    std::vector<Truth> key;
    if (passes.empty()) {
        key = QuestionTruths(exercise, start);
        grading.Source = TruthSource::Key;
    } else {
        grading.Source = TruthSource::Run;
    }
    std::vector<Mark> marks;
    for (const RunAnswer& a : run.Answers) {
        // A question number below 0 is one the exercise does not have: marked wrong.
        const size_t question =
            a.Question < 0 ? exercise.Questions.size() : static_cast<size_t>(a.Question);
        const Answer given{question, a.Vessel, a.Asked, a.Value};
        // The pass it was handed in: the one holding the last moment recorded before it.
        size_t p = passes.size();
        for (size_t i = 0; i < passes.size(); ++i)
            if (passes[i].From < passes[i].To && run.Ticks[passes[i].From].Index <= a.Tick) p = i;
        const std::vector<Truth>& against = p < passes.size() ? truthsOf(p)
                                            : passes.empty()  ? key
                                                              : truthsOf(0);
        grading.Answers.push_back({MarkAnswer(exercise, against, given), a.SimTime});
        marks.push_back(grading.Answers.back().Marked);
    }
    grading.Truths = passes.empty() ? key : truthsOf(passes.size() - 1);
    // After a repeat the last pass through the exercise is the one judged.
    if (!passes.empty()) {
        ActionJudge judge(exercise, ActionTargets(exercise, start));
        for (size_t i = passes.back().From; i < passes.back().To; ++i) {
            Simulation sim;
            PlaceMoment(run, run.Ticks[i], sim.Vessels);
            sim.Clock.SimTime = run.Ticks[i].SimTime;
            judge.Observe(sim);
        }
        judge.Finish();
        grading.Action = judge.Verdict();
    } else {
        // With no moment to judge, no target counts as passed clear.
        for (int t : ActionTargets(exercise, start))
            grading.Action.Outcomes.push_back({t, 1e300, false, false, 0});
    }
    grading.Total = TotalScore(exercise, grading.Truths, marks, grading.Action);
    // Each display set up at its time in the last pass: the vessels of the last moment at or
    // before it, the controls set by then, the picture seeded as the program seeds it.
    for (const DisplayQuestion& q : exercise.Setups) {
        DisplayVerdict verdict;
        verdict.Noise = 1;
        const Pass* last = passes.empty() ? nullptr : &passes.back();
        size_t at = last ? last->To : 0;
        for (size_t i = last ? last->From : 0; last && i < last->To; ++i)
            if (run.Ticks[i].SimTime <= q.At + 1e-9) at = i;
        const RunVideoSetting* set = nullptr;
        for (const RunVideoSetting& s : run.VideoSettings)
            if (last && at < last->To && s.Tick <= run.Ticks[at].Index) set = &s;
        if (set && set->Video) {
            Simulation sim;
            PlaceMoment(run, run.Ticks[at], sim.Vessels);
            RadarSettings radar;
            radar.Exercise = VideoSeed(run.Info.Title);
            radar.Epoch = run.Ticks[last->From].SimTime;
            const VideoControls controls{set->Gain, set->Sea, set->Rain, set->Tune,
                                         set->Band == 1 ? RadarBand::S : RadarBand::X};
            DisplayQuestion judged = q;
            if (judged.Targets.empty())
                for (int s = 0; s < sim.Vessels.NumVessels; ++s)
                    if (s != sim.Vessels.OwnVessel) judged.Targets.push_back(s);
            // The sea she saw: the Seas menu's once she changed it, else the exercise's own.
            VideoWorld world = VideoWorldFor(exercise.Video, start.Vessels);
            for (const RunVideoSea& s : run.VideoSeas)
                if (s.Tick <= run.Ticks[at].Index) world.SeaState = s.SeaState;
            verdict = JudgeDisplay(judged, radar, world, controls, sim.Vessels,
                                   run.Ticks[at].Display.Range);
        }
        ++grading.Total.OutOf;
        grading.Total.Got += verdict.Right;
        grading.Setups.push_back(verdict);
    }
    return grading;
}

std::vector<GradeColumn> GradeColumns(const AssessedExercise& exercise,
                                      const std::vector<Truth>& truths, const Simulation& start) {
    static const char* const names[] = {"CPA", "TCPA", "Course", "Speed", "Aspect", "Set", "Drift"};
    std::vector<GradeColumn> columns;
    for (size_t i = 0; i < exercise.Questions.size(); ++i) {
        const Question& q = exercise.Questions[i];
        const std::string head = "Q" + std::to_string(i + 1) + " ";
        for (int t : AskedTargets(q, truths[i]))
            for (Figure f : q.Figures)
                if (IsTargetFigure(f))
                    columns.push_back(
                        {head + VesselLetter(t) + " " + names[static_cast<size_t>(f)], i, t, f});
        for (Figure f : q.Figures)
            if (!IsTargetFigure(f))
                columns.push_back({head + names[static_cast<size_t>(f)], i, -1, f});
    }
    using Kind = GradeColumn::Kind;
    for (size_t i = 0; i < exercise.Setups.size(); ++i)
        columns.push_back({"S" + std::to_string(i + 1) + " Display", i, -1, {}, Kind::Setup});
    if (exercise.Action.MinCpa > 0) {
        for (int t : ActionTargets(exercise, start))
            columns.push_back({VesselLetter(t) + " passed", 0, t, {}, Kind::Passed});
        columns.push_back({"In time", 0, -1, {}, Kind::InTime});
        columns.push_back({"Apparent", 0, -1, {}, Kind::Apparent});
        if (exercise.RestrictedVisibility)
            columns.push_back({"Rule 19(d)", 0, -1, {}, Kind::Rules});
    }
    return columns;
}

std::vector<std::string> GradeCells(const std::vector<GradeColumn>& columns,
                                    const RunGrading& grading) {
    const ActionVerdict& action = grading.Action;
    const auto mark = [](bool good) { return std::string(good ? "1" : "0"); };
    std::vector<std::string> cells;
    for (const GradeColumn& c : columns) {
        switch (c.Is) {
        case GradeColumn::Kind::Answer: {
            const GradedAnswer* last = grading.Last(c.Question, c.Vessel, c.Asked);
            cells.push_back(last ? mark(last->Marked.Right) : "-"); // "-": not answered
            break;
        }
        case GradeColumn::Kind::Passed: {
            const auto o =
                std::find_if(action.Outcomes.begin(), action.Outcomes.end(),
                             [&c](const TargetOutcome& k) { return k.Vessel == c.Vessel; });
            cells.push_back(mark(o != action.Outcomes.end() && o->Kept));
            break;
        }
        case GradeColumn::Kind::InTime:
            cells.push_back(mark(action.Acted && action.InTime));
            break;
        case GradeColumn::Kind::Apparent:
            cells.push_back(mark(action.Apparent));
            break;
        case GradeColumn::Kind::Setup:
            cells.push_back(
                mark(c.Question < grading.Setups.size() && grading.Setups[c.Question].Right));
            break;
        case GradeColumn::Kind::Rules:
            cells.push_back(mark(action.Acted && action.RulesKept));
            break;
        }
    }
    return cells;
}

DisplayVerdict JudgeDisplay(const DisplayQuestion& question, const RadarSettings& radar,
                            const VideoWorld& world, const VideoControls& controls,
                            const VesselTables& vessels, double rangeScale) {
    DisplayVerdict verdict;
    constexpr int kLines = RadarVideo::kLines, kCells = RadarVideo::kCells;
    const double cell = rangeScale / kCells;                     // nautical miles
    const double lineDegrees = 360.0 / kLines;                   // degrees
    const double beam = BeamWidth(controls.Band);                // degrees
    const double tail = PulseLength(PulseFor(rangeScale)) + 0.1; // the echo's radial length, nm
    const auto own = static_cast<size_t>(vessels.OwnVessel);
    std::vector<int> targets = question.Targets;
    if (targets.empty())
        for (int s = 0; s < vessels.NumVessels; ++s)
            if (s != vessels.OwnVessel) targets.push_back(s);
    // No own ship or no range scale: no picture, so nothing is shown.
    if (own >= vessels.VesselPos.size() || !(rangeScale > 0)) {
        verdict.Lost = targets;
        verdict.Noise = 1;
        return verdict;
    }
    // Each target's patch of the picture: bearing lines within a beam width of her bearing,
    // cells from her range to the end of her echo. Every vessel's patch is left out of the
    // noise, whether asked of or not.
    struct Patch {
        int Line0, Line1, Cell0, Cell1;
    };
    std::vector<Patch> patches(vessels.Vessel.size(), Patch{0, -1, 0, -1});
    for (int s = 0; s < vessels.NumVessels; ++s) {
        if (s == vessels.OwnVessel || static_cast<size_t>(s) >= vessels.VesselPos.size()) continue;
        float b = 0;
        double r = 0;
        if (GetVector(vessels.VesselPos[own], vessels.VesselPos[static_cast<size_t>(s)], b, r) != 0)
            continue;
        const int centre = static_cast<int>(std::floor(b / lineDegrees));
        const int half = static_cast<int>(std::ceil(beam / lineDegrees));
        patches[static_cast<size_t>(s)] = {centre - half, centre + half,
                                           static_cast<int>((r - 0.1) / cell),
                                           static_cast<int>((r + tail) / cell)};
    }
    int line0 = 0;
    const int64_t scan0 = RadarVideo::TurnAt(radar, question.At, line0);
    const auto timeOf = [&radar](int64_t scan, int line) {
        return radar.Epoch + (static_cast<double>(scan) + static_cast<double>(line) / kLines) *
                                 radar.ScanSeconds / kSecondsPerDay;
    };
    std::array<uint8_t, kCells> out{};
    for (int slot : targets) {
        const Patch& p = patches.at(static_cast<size_t>(slot));
        int seen = 0;
        for (int k = 0; k < kJudgedScans && p.Line1 >= p.Line0; ++k) {
            bool lit = false;
            for (int l = p.Line0; l <= p.Line1 && !lit; ++l) {
                const int line = (l % kLines + kLines) % kLines;
                RadarVideo::PaintLine(radar, world, controls, vessels, rangeScale,
                                      timeOf(scan0 + k, line), scan0 + k, line, out.data());
                for (int c = std::max(0, p.Cell0); c <= std::min(kCells - 1, p.Cell1); ++c)
                    lit = lit || out[static_cast<size_t>(c)] >= kShownLevel;
            }
            seen += lit;
        }
        (2 * seen > kJudgedScans ? verdict.Shown : verdict.Lost).push_back(slot);
    }
    // The noise from every eighth line of the scan in progress: 256 lines of 512 cells.
    long lit = 0, counted = 0;
    for (int line = 0; line < kLines; line += 8) {
        RadarVideo::PaintLine(radar, world, controls, vessels, rangeScale, timeOf(scan0, line),
                              scan0, line, out.data());
        for (int c = 0; c < kCells; ++c) {
            bool target = false;
            for (const Patch& p : patches)
                target = target ||
                         (c >= p.Cell0 && c <= p.Cell1 &&
                          (((line - p.Line0) % kLines + kLines) % kLines) <= p.Line1 - p.Line0);
            if (target) continue;
            ++counted;
            lit += out[static_cast<size_t>(c)] >= kShownLevel;
        }
    }
    verdict.Noise = counted > 0 ? static_cast<double>(lit) / static_cast<double>(counted) : 0;
    verdict.Right = verdict.Lost.empty() && verdict.Noise <= question.NoiseLimit;
    return verdict;
}

} // namespace mv
