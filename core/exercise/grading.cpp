#include "core/exercise/grading.h"

#include "core/record/run_replay.h"
#include "core/scenario/demo_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace mv {

std::vector<Truth> QuestionTruths(const AssessedExercise& exercise, const Simulation& start) {
    std::vector<Truth> truths;
    for (const Question& q : exercise.Questions)
        truths.push_back(TruthAt(start, q.At));
    return truths;
}

namespace {
constexpr std::string_view kOpening = "Assessed exercise ";
constexpr std::string_view kFor = " for ";
constexpr std::string_view kEnded = "Exercise ended: ";
} // namespace

std::string ExerciseOpenedText(const std::string& file, const std::string& student) {
    return std::string(kOpening) + file + std::string(kFor) + (student.empty() ? "-" : student);
}

std::optional<ExerciseOpened> ExerciseOpenedIn(const RunRecord& run) {
    std::optional<ExerciseOpened> opened;
    for (const RunEvent& e : run.Events) {
        const size_t at = e.Text.rfind(kFor);
        if (e.Kind != "exercise" || !e.Text.starts_with(kOpening) || at == std::string::npos ||
            at < kOpening.size())
            continue;
        opened = ExerciseOpened{e.Text.substr(kOpening.size(), at - kOpening.size()),
                                e.Text.substr(at + kFor.size())};
        if (opened->Student == "-") opened->Student.clear();
    }
    return opened;
}

std::string ExerciseEndedText(const std::string& how) {
    return std::string(kEnded) + how;
}

std::string ExerciseEndedIn(const RunRecord& run) {
    std::string how;
    for (const RunEvent& e : run.Events)
        if (e.Kind == "end" && e.Text.starts_with(kEnded)) how = e.Text.substr(kEnded.size());
    return how;
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

RunGrading GradeRun(const AssessedExercise& exercise, const std::vector<Truth>& truths,
                    const RunRecord& run) {
    RunGrading grading;
    if (const auto opened = ExerciseOpenedIn(run)) grading.Student = opened->Student;
    grading.Ending = ExerciseEndedIn(run);
    std::vector<Mark> marks;
    for (const RunEvent& e : run.Events) {
        if (e.Kind == "answer") {
            if (const auto a = ParseAnswerEvent(e.Text)) {
                grading.Answers.push_back({MarkAnswer(exercise, truths, *a), e.SimTime});
                marks.push_back(grading.Answers.back().Marked);
            }
        }
    }
    // After a repeat the last pass through the exercise is the one judged.
    std::optional<ActionJudge> pass;
    double last = 0;
    for (const RunTick& tick : run.Ticks) {
        if (!pass || tick.SimTime < last) pass.emplace(exercise);
        Simulation sim;
        PlaceMoment(run, tick, sim.Vessels);
        sim.Clock.SimTime = tick.SimTime;
        pass->Observe(sim);
        last = tick.SimTime;
    }
    if (pass) grading.Action = pass->Verdict();
    grading.Total = TotalScore(exercise, truths, marks, grading.Action);
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
    if (exercise.Action.MinCpa > 0) {
        using Kind = GradeColumn::Kind;
        for (const TargetTruth& t : TruthNow(start).Targets)
            columns.push_back({VesselLetter(t.Vessel) + " passed", 0, t.Vessel, {}, Kind::Passed});
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
        case GradeColumn::Kind::Rules:
            cells.push_back(mark(action.Acted && action.RulesKept));
            break;
        }
    }
    return cells;
}

} // namespace mv
