#pragma once
// The answer key of an assessed exercise and the marking of a student's work: the truth at a
// moment, worked through the same simulation the student runs (timed orders and current
// included) and the same CPA arithmetic as the CPA data; each answer against its tolerance;
// and the action judged by what it achieved and by how it was made. Degrees true, knots,
// nautical miles, minutes; times in days of sea time (0.5 is 12:00:00).

#include "core/aids/cpa.h"
#include "core/exercise/exercise_file.h"
#include "core/motion.h"
#include "core/simulation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

struct TargetTruth {
    int Vessel = 0;
    float Bearing = 0; // from the own vessel, degrees true
    double Range = 0;  // nautical miles
    CpaResult Cpa;     // from the present courses and speeds; TCPA in minutes from the moment
    CourseSpeed Water; // the target's heading and speed through the water
    CourseSpeed Ground;
    // The own vessel's bearing from the target's head, -180 to 180: negative is red (the
    // target's port side is seen), positive green.
    double Aspect = 0;
};

struct Truth {
    double At = 0.5;
    CourseSpeed OwnWater, OwnGround;
    SeaCurrent Current;
    std::vector<TargetTruth> Targets; // every target, in slot order
    const TargetTruth* Of(int vessel) const;
};

// The truth at the simulation's present moment.
Truth TruthNow(const Simulation& sim);
// Runs a copy of `start` ahead at x1 to `at` and takes the truth there; `at` before the start
// gives the start's.
Truth TruthAt(const Simulation& start, double at);
// The same from a world already under way: `sim` stands at its own clock's time, with its
// orders under way, and is run ahead at x1 to `at` (nothing is run when it stands there).
Truth TruthFrom(Simulation sim, double at);

// "Red 30", "Green 145", "Ahead" or "Astern": an aspect as a navigator says it.
std::string AspectText(double aspect);

// A figure as the student types it: a decimal number in the figure's unit; an aspect also as
// "Red 30", "R30", "green 145" or "G 145" (0 to 180 degrees). Empty for anything else, or a
// figure out of its range (angles 0 to 360, distances, speeds and times not negative except a
// TCPA, which is negative once the CPA is past).
std::optional<double> ParseFigure(Figure figure, std::string_view text);

// A figure the student gave: for a target's figure the target's slot, for set and drift -1.
struct Answer {
    size_t Question = 0; // index into the exercise's questions
    int Vessel = -1;
    Figure Asked = Figure::Cpa;
    double Value = 0; // in the figure's unit; an aspect signed as TargetTruth::Aspect
};

// "B CPA 0.70", "Set 120": an answer as the run's record and the report show it.
std::string AnswerText(const Answer& answer);
// The run's log text of an answer, "Question 2: B Aspect Red 30": for a person to read; the
// record keeps the answer itself as a typed row.
std::string AnswerEventText(const Answer& answer);

struct Mark {
    Answer Given;
    double Truth = 0;
    double Error = 0; // how far off, in the figure's unit; angles the shorter way round
    bool Right = false;
};

// Marks an answer against the truths of its questions, one per question. An answer to a
// question or a target the exercise does not have is wrong, with the truth 0.
Mark MarkAnswer(const AssessedExercise& exercise, const std::vector<Truth>& truths,
                const Answer& answer);

// An alteration of the own vessel's course or speed counts as readily apparent to another
// vessel watching by radar when the course is changed by this much or more ...
inline constexpr double kApparentTurn = 30; // degrees
// ... or the speed is brought to half or less of what it was.
inline constexpr double kApparentSpeedRatio = 0.5;

struct TargetOutcome {
    int Vessel = 0;
    double Closest = 1e300; // nautical miles, the least distance over the run
    bool Kept = false;      // Closest at the required distance or more
    // Not yet past at the run's last moment: until finally past and clear it is judged by the
    // CPA predicted then (nautical miles), when that is nearer than Closest.
    bool Closing = false;
    double Predicted = 0;
};

// One order of the own vessel and what was judged of it.
struct Alteration {
    double At = 0;
    double FromCourse = 0, ToCourse = 0; // ordered, degrees true
    double FromSpeed = 0, ToSpeed = 0;   // ordered, knots
    bool Apparent = false;
    std::vector<std::string> Faults; // "Altered to port for B, forward of the beam"
};

struct ActionVerdict {
    std::vector<TargetOutcome> Outcomes;
    std::vector<Alteration> Alterations;
    bool Acted = false;    // the own vessel was ordered to alter at all
    bool InTime = true;    // the first alteration by the time asked for
    bool Apparent = false; // the first alteration large enough to be seen
    bool RulesKept = true; // no alteration against the rules for restricted visibility
};

// The targets the action is judged against, in slot order: those the exercise names, or every
// target of `start` that is not fixed.
std::vector<int> ActionTargets(const AssessedExercise& exercise, const Simulation& start);

// Follows a run tick by tick and judges the action at the end.
class ActionJudge {
  public:
    ActionJudge(const AssessedExercise& exercise, std::vector<int> targets)
        : exercise_(exercise), targets_(std::move(targets)) {}
    // The simulation as it stands at the start and after every tick.
    void Observe(const Simulation& sim);
    // The run has ended at the last moment observed: a target not yet past is judged by the
    // CPA predicted then.
    void Finish();
    const ActionVerdict& Verdict() const { return verdict_; }

  private:
    void JudgeAlteration(const VesselTables& before, Alteration& a) const;

    const AssessedExercise& exercise_;
    std::vector<int> targets_;
    ActionVerdict verdict_;
    std::optional<VesselTables> last_;
    double lastTime_ = 0.5;
};

// The student's total: a mark for each figure right, one for each target passed at the
// required distance and, when an action is asked for, one each for acting in time, for an
// alteration large enough and, in restricted visibility, for keeping the rules.
struct Score {
    int Got = 0, OutOf = 0;
};
// `truths` holds one per question, for the number of targets each asks of.
Score TotalScore(const AssessedExercise& exercise, const std::vector<Truth>& truths,
                 const std::vector<Mark>& marks, const ActionVerdict& action);

} // namespace mv
