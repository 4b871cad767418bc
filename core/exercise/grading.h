#pragma once
// One run of an assessed exercise marked from its record alone: each answer handed in against
// the truth at its question's time, the action judged over the last pass through the exercise
// (a repeat starts the judging afresh), and the total. The program at the end of an exercise,
// its report and marovane-plot grade all mark through here, so none can disagree.

#include "core/exercise/answer_key.h"
#include "core/record/run_record.h"

#include <optional>
#include <string>
#include <vector>

namespace mv {

struct GradedAnswer {
    Mark Marked;
    double At = 0.5; // sea time it was handed in, days
};

// The event that opens a run of an assessed exercise: "Assessed exercise Exam1.toml for Ann",
// with "-" for a student who gave no name.
std::string ExerciseOpenedText(const std::string& file, const std::string& student);
// The event that ends it, "Exercise ended: time limit": the log's text for a person; the record
// keeps the ending itself as a typed row.
std::string ExerciseEndedText(const std::string& how);

// What the student's radar controls leave on the screen at a display question's time, judged on
// the same video model the picture is painted from: each target that matters shown when its
// echo lights a cell at kShownLevel or brighter on most of kJudgedScans scans, and the share of
// the cells away from every target (noise and clutter within the range scale) so lit.
struct DisplayVerdict {
    std::vector<int> Shown, Lost; // target slots
    double Noise = 0;             // 0..1
    bool Right = false;           // every target shown and the noise within the limit
};
// A quarter of full brightness (7.5 dB over the gain's black level): what is seen at a glance.
inline constexpr int kShownLevel = 64;
inline constexpr int kJudgedScans = 5;
DisplayVerdict JudgeDisplay(const DisplayQuestion& question, const RadarSettings& radar,
                            const VideoWorld& world, const VideoControls& controls,
                            const VesselTables& vessels, double rangeScale);

// Which truth a run's answers were marked against.
enum class TruthSource {
    // The student's own run as recorded: own ship as she steered it, targets as scripted, at
    // the time factors she chose.
    Run,
    // The answer key: the exercise run from its start at x1 without the student's orders (a
    // run with no recorded moment, such as answers kept without their record).
    Key,
};

struct RunGrading {
    std::string Student; // as the record names them; empty when it names none
    std::string Ending;  // how the exercise ended, as the record says; or empty
    TruthSource Source = TruthSource::Key;
    // The truth at each question's time in the pass judged (the last), in the exercise's order.
    std::vector<Truth> Truths;
    std::vector<GradedAnswer> Answers; // in the order handed in
    ActionVerdict Action;
    // Each "set up the display" in the exercise's order, judged in the last pass; every target
    // lost when the video was off then.
    std::vector<DisplayVerdict> Setups;
    Score Total;
    // The answer that counts for a figure: the last handed in; none when it was not answered.
    const GradedAnswer* Last(size_t question, int vessel, Figure asked) const;
};

// The targets a question asks of, in slot order: those it names, or every target at its time.
std::vector<int> AskedTargets(const Question& question, const Truth& atQuestion);

// The answer key: the truth at each question's time with the exercise run from `start` at x1
// and no order of the student's, in the exercise's order.
std::vector<Truth> QuestionTruths(const AssessedExercise& exercise, const Simulation& start);

// Marks a run from its record: every answer against the truth of its question in the pass it
// was handed in (the world of the recorded run at the question's time), the action over the last
// pass, and the total. `start` is the exercise's start (BuildExerciseSimulation), which gives
// the current, the targets' orders and, for a run with no moment recorded, the answer key.
// The one marking: the end of an exercise, its report, the replay and marovane-plot grade.
RunGrading GradeRun(const AssessedExercise& exercise, const Simulation& start,
                    const RunRecord& run);

// The columns of a class table: one per figure asked of each target and per figure of the
// current ("Q1 B CPA", "Q2 Set"), then the action's marks ("B passed", "In time", "Apparent",
// "Rule 19(d)").
struct GradeColumn {
    std::string Title;
    size_t Question = 0;
    int Vessel = -1; // the target's slot; -1 for a figure of the current or an action's mark
    Figure Asked = Figure::Cpa;
    // Setup: the display set up of exercise.Setups[Question].
    enum class Kind { Answer, Passed, InTime, Apparent, Rules, Setup } Is = Kind::Answer;
};
std::vector<GradeColumn> GradeColumns(const AssessedExercise& exercise,
                                      const std::vector<Truth>& truths, const Simulation& start);
// A run's cell in each column: "1" right or achieved, "0" wrong or not, "-" not answered.
std::vector<std::string> GradeCells(const std::vector<GradeColumn>& columns,
                                    const RunGrading& grading);

} // namespace mv
