#include "core/exercise/answer_key.h"

#include "core/aids/cpa_data.h"
#include "core/closest_approach.h"
#include "core/geometry.h"
#include "core/number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

namespace mv {

namespace {

// The clock adds a step of days each tick, so a time may be reached a hair early or late.
constexpr double kHalfSecond = 0.5 / 86400.0;

// An angle folded into [0, 360).
double Fold360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// An angle folded into (-180, 180].
double Fold180(double a) {
    a = Fold360(a);
    return a > 180.0 ? a - 360.0 : a;
}

CpaResult CpaOf(const VesselTables& vessels, int target, float& bearing, double& range) {
    const CpaInput in = PresentCpaInput(vessels, target, range);
    bearing = in.Bearing;
    return ComputeCPA(in, BearingMode::Course);
}

} // namespace

const TargetTruth* Truth::Of(int vessel) const {
    for (const TargetTruth& t : Targets)
        if (t.Vessel == vessel) return &t;
    return nullptr;
}

Truth TruthNow(const Simulation& sim) {
    Truth truth;
    truth.At = sim.Clock.SimTime;
    truth.Current = sim.Current;
    const VesselTables& v = sim.Vessels;
    if (v.NumVessels <= 0) return truth;
    const VesselData& own = v.Vessel[static_cast<size_t>(v.OwnVessel)];
    truth.OwnWater = {own.Heading, own.Speed};
    truth.OwnGround = OverGround(own.Heading, own.Speed, sim.Current);
    for (int i = 0; i < v.NumVessels; ++i) {
        if (i == v.OwnVessel) continue;
        const VesselData& d = v.Vessel[static_cast<size_t>(i)];
        TargetTruth t;
        t.Vessel = i;
        t.Cpa = CpaOf(v, i, t.Bearing, t.Range);
        // A target stopped in the water makes no way through it, whatever its heading.
        t.Water = {d.Heading, std::max(0.0f, d.Speed)};
        t.Ground = OverGround(t.Water.Course, t.Water.Speed, sim.Current);
        t.Aspect = Fold180(static_cast<double>(t.Bearing) + 180.0 - d.Heading);
        truth.Targets.push_back(t);
    }
    return truth;
}

Truth TruthAt(const Simulation& start, double at) {
    return TruthFrom(start, at);
}

Truth TruthFrom(Simulation sim, double at) {
    const double now = sim.Clock.SimTime;
    sim.Clock.SetTimeFactor(0);
    sim.Clock.SimTime = now;
    TickDisplay display;
    UnseenView view;
    // At most the ticks of 12 hours: an exercise's clock stops at midnight.
    for (int ticks = 0; ticks < 14400 && sim.Clock.SimTime + kHalfSecond < at; ++ticks)
        sim.Tick(display, view);
    return TruthNow(sim);
}

std::string AspectText(double aspect) {
    const int whole = RoundToInt16(std::fabs(Fold180(aspect)));
    if (whole == 0) return "Ahead";
    if (whole == 180) return "Astern";
    return (aspect < 0 ? "Red " : "Green ") + std::to_string(whole);
}

std::optional<double> ParseFigure(Figure figure, std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    double sign = 0; // a side named: -1 red, +1 green
    if (figure == Figure::Aspect && !text.empty() &&
        std::isalpha(static_cast<unsigned char>(text[0]))) {
        const char side = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        if (side != 'r' && side != 'g') return std::nullopt;
        sign = side == 'r' ? -1 : 1;
        const std::string_view word = side == 'r' ? "red" : "green";
        size_t n = 1;
        while (n < text.size() && n < word.size() &&
               std::tolower(static_cast<unsigned char>(text[n])) == word[n])
            ++n;
        if (n != 1 && n != word.size()) return std::nullopt;
        text.remove_prefix(n);
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 20) return std::nullopt;
    const std::string digits(text);
    char* end = nullptr;
    const double v = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || !std::isfinite(v)) return std::nullopt;
    const bool angle = figure == Figure::Course || figure == Figure::Set;
    if (figure == Figure::Aspect) {
        // With a side named, the angle off the bow from 0 to 180; without, signed.
        if (v < (sign != 0 ? 0 : -180) || v > 180) return std::nullopt;
        return sign != 0 ? sign * v : v;
    }
    if (angle && (v < 0 || v > 360)) return std::nullopt;
    if (figure != Figure::Tcpa && v < 0) return std::nullopt;
    return v;
}

std::string AnswerText(const Answer& answer) {
    static const char* const names[] = {"CPA", "TCPA", "Course", "Speed", "Aspect", "Set", "Drift"};
    std::string text = answer.Vessel >= 0 ? VesselLetter(answer.Vessel) + " " : "";
    text += names[static_cast<size_t>(answer.Asked)];
    text += " " + (answer.Asked == Figure::Aspect ? AspectText(answer.Value)
                                                  : PlainNumberText(answer.Value));
    return text;
}

std::string AnswerEventText(const Answer& answer) {
    return "Question " + std::to_string(answer.Question + 1) + ": " + AnswerText(answer);
}

Mark MarkAnswer(const AssessedExercise& exercise, const std::vector<Truth>& truths,
                const Answer& answer) {
    Mark mark;
    mark.Given = answer;
    if (answer.Question >= exercise.Questions.size() || answer.Question >= truths.size())
        return mark;
    const Question& q = exercise.Questions[answer.Question];
    const Truth& truth = truths[answer.Question];
    if (std::find(q.Figures.begin(), q.Figures.end(), answer.Asked) == q.Figures.end()) return mark;
    bool angle = false;
    bool meaningless = false; // a course of something that makes no way: any answer stands
    if (IsTargetFigure(answer.Asked)) {
        const TargetTruth* t = truth.Of(answer.Vessel);
        if (!t || (!q.Targets.empty() &&
                   std::find(q.Targets.begin(), q.Targets.end(), answer.Vessel) == q.Targets.end()))
            return mark;
        const CourseSpeed& cs = q.OverGround ? t->Ground : t->Water;
        switch (answer.Asked) {
        case Figure::Cpa:
            mark.Truth = t->Cpa.CPA;
            break;
        case Figure::Tcpa:
            mark.Truth = t->Cpa.TCPA;
            break;
        case Figure::Course:
            mark.Truth = cs.Course, angle = true;
            meaningless = cs.Speed < 0.05;
            break;
        case Figure::Speed:
            mark.Truth = cs.Speed;
            break;
        default:
            mark.Truth = t->Aspect, angle = true;
            break;
        }
    } else if (answer.Asked == Figure::Set) {
        mark.Truth = truth.Current.Set, angle = true;
        meaningless = truth.Current.Drift < 0.05f;
    } else {
        mark.Truth = truth.Current.Drift;
    }
    mark.Error = angle ? std::fabs(Fold180(answer.Value - mark.Truth))
                       : std::fabs(answer.Value - mark.Truth);
    // An answer exactly at the tolerance is right; 1e-9 absorbs the rounding of the figures.
    mark.Right = meaningless || mark.Error <= exercise.Tolerance.Of(answer.Asked) + 1e-9;
    return mark;
}

std::vector<int> ActionTargets(const AssessedExercise& exercise, const Simulation& start) {
    if (!exercise.Action.Targets.empty()) {
        std::vector<int> named = exercise.Action.Targets;
        std::sort(named.begin(), named.end());
        named.erase(std::unique(named.begin(), named.end()), named.end());
        return named;
    }
    std::vector<int> vessels;
    const auto& inline_ = exercise.Scenario.Vessels;
    for (int i = 0; i < start.Vessels.NumVessels; ++i) {
        const auto slot = static_cast<size_t>(i);
        if (i == start.Vessels.OwnVessel || (slot < inline_.size() && inline_[slot].Fixed))
            continue;
        vessels.push_back(i);
    }
    return vessels;
}

void ActionJudge::Observe(const Simulation& sim) {
    const VesselTables& now = sim.Vessels;
    if (now.NumVessels <= 0) return;
    const auto own = static_cast<size_t>(now.OwnVessel);
    const double required = exercise_.Action.MinCpa;
    if (!last_) {
        for (int i : targets_) {
            if (i == now.OwnVessel || i < 0 || i >= now.NumVessels) continue;
            float bearing = 0;
            double range = 0;
            GetVector(now.VesselPos[own], now.VesselPos[static_cast<size_t>(i)], bearing, range);
            verdict_.Outcomes.push_back({i, range, range >= required});
        }
        last_ = now;
        lastTime_ = sim.Clock.SimTime;
        return;
    }
    for (TargetOutcome& o : verdict_.Outcomes) {
        const auto t = static_cast<size_t>(o.Vessel);
        o.Closest =
            std::min(o.Closest, ClosestApproachInTick(last_->VesselPos[own], now.VesselPos[own],
                                                      last_->VesselPos[t], now.VesselPos[t]));
        o.Kept = o.Closest >= required;
    }
    const VesselData& was = last_->Vessel[own];
    const VesselData& is = now.Vessel[own];
    if (was.NewHeading != is.NewHeading || was.NewSpeed != is.NewSpeed) {
        // The order was given between the two ticks, against the picture the student saw.
        Alteration a{lastTime_,
                     static_cast<double>(was.NewHeading),
                     static_cast<double>(is.NewHeading),
                     was.NewSpeed,
                     is.NewSpeed,
                     false,
                     {}};
        JudgeAlteration(*last_, a);
        if (!verdict_.Acted) {
            verdict_.Acted = true;
            verdict_.Apparent = a.Apparent;
            verdict_.InTime =
                !exercise_.Action.ActBy || a.At <= *exercise_.Action.ActBy + kHalfSecond;
        }
        verdict_.RulesKept = verdict_.RulesKept && a.Faults.empty();
        verdict_.Alterations.push_back(a);
    }
    last_ = now;
    lastTime_ = sim.Clock.SimTime;
}

void ActionJudge::Finish() {
    if (!last_) return;
    const double required = exercise_.Action.MinCpa;
    for (TargetOutcome& o : verdict_.Outcomes) {
        float bearing = 0;
        double range = 0;
        const CpaResult cpa = CpaOf(*last_, o.Vessel, bearing, range);
        // Still closing: the passing is not over, so it counts by where it is heading.
        if (!cpa.Computed || cpa.TCPA <= 0) continue;
        o.Closing = true;
        o.Predicted = cpa.CPA;
        o.Kept = std::min(o.Closest, o.Predicted) >= required;
    }
}

void ActionJudge::JudgeAlteration(const VesselTables& before, Alteration& a) const {
    const double turn = Fold180(a.ToCourse - a.FromCourse);
    a.Apparent = std::fabs(turn) >= kApparentTurn ||
                 (a.FromSpeed > 0 && a.ToSpeed <= a.FromSpeed * kApparentSpeedRatio);
    if (!exercise_.RestrictedVisibility || turn == 0) return;
    const VesselData& own = before.Vessel[static_cast<size_t>(before.OwnVessel)];
    // A close-quarters situation is developing with a target that will pass nearer than the
    // distance asked for (2 miles when the exercise asks none) and has not passed yet.
    const double closeQuarters = exercise_.Action.MinCpa > 0 ? exercise_.Action.MinCpa : 2.0;
    for (int i = 0; i < before.NumVessels; ++i) {
        if (i == before.OwnVessel) continue;
        float bearing = 0;
        double range = 0;
        const CpaResult cpa = CpaOf(before, i, bearing, range);
        if (!cpa.Computed || cpa.CPA >= closeQuarters || cpa.TCPA <= 0) continue;
        const VesselData& t = before.Vessel[static_cast<size_t>(i)];
        const double relative = Fold360(static_cast<double>(bearing) - own.Heading);
        const bool forward = relative < 90 || relative > 270;
        // The own vessel overtakes when she comes up from more than 22.5 degrees abaft the
        // target's beam, faster than the target.
        const double fromTarget = Fold360(static_cast<double>(bearing) + 180.0 - t.Heading);
        const bool overtaking = fromTarget > 112.5 && fromTarget < 247.5 && own.Speed > t.Speed;
        const std::string name = VesselLetter(i);
        if (forward && turn < 0 && !overtaking)
            a.Faults.push_back("Altered to port for " + name + ", forward of the beam");
        const bool starboardAbaft = relative >= 90 && relative < 180;
        const bool portAbaft = relative > 180 && relative <= 270;
        if ((starboardAbaft && turn > 0) || (portAbaft && turn < 0))
            a.Faults.push_back("Altered towards " + name + ", abeam or abaft the beam");
    }
}

Score TotalScore(const AssessedExercise& exercise, const std::vector<Truth>& truths,
                 const std::vector<Mark>& marks, const ActionVerdict& action) {
    Score s;
    for (size_t i = 0; i < exercise.Questions.size() && i < truths.size(); ++i)
        for (Figure f : exercise.Questions[i].Figures)
            s.OutOf += IsTargetFigure(f)
                           ? static_cast<int>(exercise.Questions[i].Targets.empty()
                                                  ? truths[i].Targets.size()
                                                  : exercise.Questions[i].Targets.size())
                           : 1;
    // A figure answered more than once counts by its last answer.
    std::map<std::tuple<size_t, int, Figure>, bool> last;
    for (const Mark& m : marks)
        last[{m.Given.Question, m.Given.Vessel, m.Given.Asked}] = m.Right;
    for (const auto& [key, right] : last)
        s.Got += right ? 1 : 0;
    if (exercise.Action.MinCpa > 0) {
        for (const TargetOutcome& o : action.Outcomes)
            s.Got += o.Kept ? 1 : 0;
        s.OutOf += static_cast<int>(action.Outcomes.size());
        s.Got += (action.Acted && action.InTime ? 1 : 0) + (action.Apparent ? 1 : 0);
        s.OutOf += 2;
        if (exercise.RestrictedVisibility) {
            s.Got += action.Acted && action.RulesKept ? 1 : 0;
            s.OutOf += 1;
        }
    }
    return s;
}

} // namespace mv
