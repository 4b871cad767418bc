#pragma once
// The exercise in progress: it owns the simulation timer and the one truth of whether the
// exercise runs or is paused, starts scenarios, repeats them and sets the time factor, and it
// holds the display commands and the registry of every command. Every window reads its state
// from here and from the plain state values; none keeps a copy. After every command it emits
// changed() once, so check marks, enabled states and captions follow at once.

#include "core/arpa/tracking.h"
#include "core/display/display_commands.h"
#include "core/display/display_state.h"
#include "core/exercise/answer_key.h"
#include "core/exercise/exercise_file.h"
#include "core/record/run_record.h"
#include "core/scenario/scenario_start.h"
#include "core/simulation.h"
#include "session/command_registry.h"
#include "session/radar_video_session.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <map>
#include <optional>
#include <vector>

namespace mv {

class Dialogs;

class Exercise : public QObject {
    Q_OBJECT
  public:
    Exercise(Simulation& sim, RadarDisplayState& display, Dialogs& dialogs,
             std::filesystem::path programFolder, QObject* parent = nullptr);

    // Changes made while one of these lives are announced by one changed() when the outermost
    // ends, so a command that runs other commands still notifies once.
    class ChangeScope {
      public:
        explicit ChangeScope(Exercise& exercise) : exercise_(exercise) { ++exercise_.changing_; }
        ~ChangeScope() {
            if (--exercise_.changing_ != 0) return;
            // Limits, picks, a jump or a new scenario may bring a target into danger.
            exercise_.StepAlarms(false);
            emit exercise_.changed();
        }
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

      private:
        Exercise& exercise_;
    };
    // Something outside the commands changed the state (a window closed by its frame, a jump
    // from a vessel button): one changed().
    void NotifyChanged() { const ChangeScope change(*this); }

    // The window that shows the exercise: the radar console's picture.
    void setView(ScenarioView* view);
    QTimer& tmrSim() { return tmrSim_; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    // The user's own demos (the program folder may be read-only): listed after the shipped
    // ones, and where Store as Demo starts. Made when a demo is first stored there.
    const std::filesystem::path& userFolder() const { return userFolder_; }
    void setUserFolder(std::filesystem::path folder) { userFolder_ = std::move(folder); }
    Simulation& simulation() { return sim_; }
    RadarDisplayState& display() { return display_; }
    DisplayCommands& displayCommands() { return displayCommands_; }
    CommandRegistry& commands() { return commands_; }
    Dialogs& dialogs() { return dialogs_; }

    bool isLoaded() const { return sim_.Vessels.NumVessels > 0; }

    // The student's tracking picture (ARPA), stepped with every tick while ARPA is on and
    // made afresh at every scenario start, Repeat and switching on.
    TrackingPicture& tracking() { return tracking_; }
    const TrackingPicture& tracking() const { return tracking_; }
    // Every track as the student sees it now, for the display's vector time.
    std::vector<TrackView> trackViews() const;
    // ARPA on or off; refused off where the exercise allows no truth-based aids.
    void SetArpa(bool on);
    // The cursor's point over the water (nautical miles): the cursor is kept where it stands
    // on the picture, which may be turned.
    PointD cursorOverWater() const;
    // A point of the picture (nautical miles, turned as the picture is) over the water.
    PointD pictureToWater(PointD point) const;
    // An alarm stands that the student has not acknowledged: the truth's or the tracker's.
    bool anyAlarmUnacknowledged() const;
    // The own vessel's position (nautical miles) and heading (degrees true); the origin and 000
    // before any scenario is loaded.
    PointD ownPos() const;
    float ownHeading() const;
    bool isPaused() const { return paused_; }
    // The timer runs: started and not paused.
    bool isRunning() const { return tmrSim_.isActive(); }

    // Reads a demo file (relative to the program folder, or a full path) and starts it; the
    // timer is the caller's. A file that cannot be read is reported under "LoadDemo" and the
    // running scenario goes on untouched.
    bool LoadDemo(const QString& fileName);
    // Runs the start steps of a source whose vessels are already in the tables. Any other
    // source than an assessed exercise ends the exercise: no current, no timed orders, every
    // aid and time factor allowed again.
    void StartScenario(ScenarioSource source);
    // Reads an assessed exercise, checks it whole and starts it for the student, with only the
    // aids and time factors it allows; the timer is the caller's. A file with a mistake is
    // reported under "Open Exercise" and the running scenario goes on untouched.
    bool OpenAssessedExercise(const QString& fileName, const QString& student);
    // The same from an exercise's text (as a class's instructor sends it); `fileName` names it
    // in messages and in the record, and a demo it names is looked for in `folder` first.
    bool OpenAssessedExerciseText(const std::string& text, const QString& fileName,
                                  const QString& student, const std::filesystem::path& folder);
    // The assessed exercise in force, or none.
    const AssessedExercise* assessed() const { return assessed_ ? &*assessed_ : nullptr; }
    const QString& student() const { return student_; }
    // The assessed exercise's file as opened, a full path.
    const QString& exerciseFile() const { return exerciseFile_; }
    // What the student may use: everything outside an assessed exercise.
    ExercisePermissions allowed() const {
        return assessed_ ? assessed_->Allowed : ExercisePermissions{};
    }
    bool TimeFactorAllowed(int index) const;
    // The radar video: its controls, whether it is shown, and the buffer the sweep paints.
    RadarVideoSession& video() { return video_; }
    const RadarVideoSession& video() const { return video_; }
    // The student's answers in the order handed in, each with the sea time (days) it was
    // handed in at, and into the run's record as it is handed in, so a crash loses none.
    struct HandedIn {
        Answer Given;
        double At = 0.5;
    };
    const std::vector<HandedIn>& answers() const { return answers_; }
    // Hands in the figures given together. Nothing is taken after the end.
    void HandIn(const std::vector<Answer>& answers);
    // Every figure the exercise asks has an answer, and no action is asked for (with one, the
    // run goes on to judge the passing of every target): the exercise may end.
    bool AllAnswered() const;
    // The answer key's truth at each question's time, worked out as the exercise was opened:
    // what a question asks of, never shown to the student nor kept on her machine.
    const std::vector<Truth>& truths() const { return truths_; }
    // The assessed exercise as it starts (its vessels, current and orders), which the marking
    // carries the recorded run on from.
    const Simulation& exerciseStart() const { return start_; }
    // The assessed exercise is over: at its time limit, once all its questions are answered,
    // or when the student ends it (how: "time limit", "all questions answered", "ended by the
    // student"). The clock stops for good and no answer is taken; the student may still look
    // at the picture. Nothing when no assessed exercise runs or it has ended already.
    void EndAssessed(const QString& how);
    bool assessedEnded() const { return !endedBy_.isEmpty(); }
    // Asked before any other scenario takes the place of an assessed exercise that runs: the
    // student confirms, and the exercise ends ("left for another scenario") with its results
    // and report. True when nothing stands in the way.
    bool MayLeaveAssessed();
    const QString& endedBy() const { return endedBy_; }
    // An assessed exercise opens with its clock held while the student reads the briefing;
    // the hold is the briefing's, so it holds where the exercise forbids pausing too.
    bool isBriefing() const { return briefing_ && assessed_ && !assessedEnded(); }
    // The briefing is over: the student pressed Start, and the clock runs from now on. Called
    // also when the exercise ended or was left during the briefing, so that the hold does not
    // outlive it and the next scenario runs.
    void EndBriefing();

    // The timer runs from now on, unless the user paused the exercise.
    void Start();
    // `byInstructor`: the class's instructor holds the clock, where the exercise forbids the
    // student to pause too.
    void SetPaused(bool paused, bool byInstructor = false);
    void TogglePause() { SetPaused(!paused_); }
    // Back to the start positions and 12:00:00, any manoeuvre under way dropped; a running
    // exercise runs on and a paused one stays paused.
    void Repeat();
    void SetTimeFactor(int index);
    // The vessels drawn once where they are, the tick's rhythm starting afresh from now; a
    // paused exercise is shown where it stands and stays paused.
    void PassOnce();

    // Something the student did or met that the debrief lists: an order, a jump, a CPA read,
    // a collision. `vessel` is the slot it concerns, or -1.
    void Log(const QString& kind, int vessel, const QString& text) {
        emit logged(kind, vessel, text);
    }
    // An order to a vessel: logged as an event and kept as a typed row of the record.
    void LogOrder(int vessel, int course, double speed, const QString& text) {
        Log("order", vessel, text);
        emit orderGiven({0, sim_.Clock.SimTime, vessel, course, speed});
    }
    // The vessels were moved without a tick (a jump): the record keeps the moment.
    void NotifyMoved() { emit moved(); }
    // The file a demo was read from, or how the scenario in force was made.
    const QString& scenarioFile() const { return scenarioFile_; }

  signals:
    // A target came into danger or an ARPA alert came up: the console sounds and shows the
    // target data. Once per alarm, whether or not any window shows the aids.
    void alarmRaised();
    // Once after every command: scenario started, paused or resumed, repeated, time factor set,
    // a display command run.
    void changed();
    // After every tick, when the picture is to be shown anew.
    void ticked();
    // A scenario has started: its vessels are placed and the clock reads 12:00:00.
    void scenarioStarted();
    // An event of the run (see Log) and a move without a tick (see NotifyMoved).
    void logged(const QString& kind, int vessel, const QString& text);
    void moved();
    // An assessed exercise's question has come due: the clock has just passed its time. Once
    // for each question that came due in the same tick, in their order.
    void questionDue(int question);
    // An assessed exercise has opened, its clock held for the briefing (see isBriefing).
    void briefingBegun();
    // A figure handed in, as typed (its Tick is the recorder's to fill), and an order given to
    // a vessel (see LogOrder): typed rows of the run's record.
    void answerTaken(const mv::RunAnswer& answer);
    void orderGiven(const mv::RunOrder& order);
    // An assessed exercise took answers, and when it ended (see EndAssessed).
    void handedIn();
    void assessedFinished(const QString& how);
    // The tracker acquired, lost or swapped a track, or ran out of tracks: every one, for the
    // record, in the order they came (after the tick or command that made them).
    void trackEvent(const mv::TrackEvent& event);

  public slots:
    void tmrSim_Timer();

  private:
    // The alarms brought to this moment; emits alarmRaised() when one came up (or `raised`).
    void StepAlarms(bool raised);
    void RestartTracking();
    // The tracker's events passed on, and the ones a student should hear of logged; a track
    // swapping back and forth between two echoes close together is logged once a minute.
    void PassOnTrackEvents();
    bool OpenAssessed(const ExerciseReadResult& read, const Simulation& built,
                      const std::filesystem::path& path, const QString& student);

    Simulation& sim_;
    RadarDisplayState& display_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    std::filesystem::path userFolder_;
    QString scenarioFile_;
    ScenarioView* view_ = nullptr;
    QTimer tmrSim_;
    DisplayCommands displayCommands_;
    CommandRegistry commands_;
    TrackingPicture tracking_;
    std::vector<PointD> before_;       // the vessels' positions before the tick, reused
    std::map<int, double> swapLogged_; // by track: when (days) its last swap was logged
    int changing_ = 0;
    bool paused_ = false;
    bool ticking_ = false;
    std::optional<AssessedExercise> assessed_;
    std::vector<HandedIn> answers_;
    std::vector<Truth> truths_;
    Simulation start_;
    QString student_;
    QString exerciseFile_;
    QString endedBy_;
    double questionsSeen_ = 0; // sea time (days) up to which questions have come due
    bool startingAssessed_ = false;
    bool briefing_ = false; // the clock held for the briefing (see isBriefing)
    // Last: it registers with the exercise's signals and reads its state as it is made.
    RadarVideoSession video_;
};

// The commands of the exercise and of the display, under their menu entries' names, captions
// and shortcuts: Repeat, Pause, the time factors, Identify, the radar modes, the input modes,
// the range steps and scales, rings, EBL, VRM, heading line, bearings, plotting and seas.
void RegisterExerciseCommands(Exercise& exercise);
// The radar-course aids: course-up, true trails, vectors and their time, picking targets for
// their data, the CPA/TCPA alarm and its limits, the guard ring and the acknowledgement. Each
// one an exercise forbids is greyed.
void RegisterAidCommands(Exercise& exercise);

} // namespace mv
