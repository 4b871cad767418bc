#include "session/exercise.h"

#include "core/clock.h"
#include "core/exercise/grading.h"
#include "core/geometry.h"
#include "core/scenario/demo_file.h"
#include "session/dialogs.h"

#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace mv {

Exercise::Exercise(Simulation& sim, RadarDisplayState& display, Dialogs& dialogs,
                   std::filesystem::path programFolder, QObject* parent)
    : QObject(parent), sim_(sim), display_(display), dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      userFolder_(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()),
      displayCommands_(sim, display), commands_(*this), video_(*this) {
    setObjectName("exercise");
    tmrSim_.setObjectName("tmrSim");
    tmrSim_.setParent(this);
    tmrSim_.setInterval(kTickIntervalMs);
    connect(&tmrSim_, &QTimer::timeout, this, &Exercise::tmrSim_Timer);
    RegisterExerciseCommands(*this);
    RegisterAidCommands(*this);
    RegisterVideoCommands(*this);
}

void Exercise::setView(ScenarioView* view) {
    view_ = view;
    displayCommands_.setView(view);
}

PointD Exercise::ownPos() const {
    return sim_.OwnPosition();
}

float Exercise::ownHeading() const {
    if (!isLoaded()) return 0.0f;
    return sim_.Vessels.Vessel[static_cast<size_t>(sim_.Vessels.OwnVessel)].Heading;
}

std::vector<TrackView> Exercise::trackViews() const {
    return tracking_.Views(sim_.Vessels, sim_.Current, display_.Aids.VectorMinutes(),
                           display_.Aids.SeaStabilised);
}

void Exercise::SetArpa(bool on) {
    AidSettings& a = display_.Aids;
    if ((!on && !a.Allowed.TruthAids) || on == a.Arpa) return;
    const ChangeScope change(*this);
    a.Arpa = on;
    // A picture left from before would show tracks coasted over the time it was off.
    if (on) RestartTracking();
    if (isLoaded()) Log("arpa", -1, on ? "ARPA on" : "ARPA off");
}

PointD Exercise::cursorOverWater() const {
    return pictureToWater(PointD{display_.CursorNorth, display_.CursorEast});
}

PointD Exercise::pictureToWater(PointD p) const {
    const VesselTables& v = sim_.Vessels;
    if (display_.Tick.NorthUp || v.NumVessels <= 0) return p;
    const auto own = static_cast<size_t>(v.OwnVessel);
    // Back from the picture: turned by plus the picture's up bearing.
    RotateBy(-PictureUp(v.Vessel[own], display_.Tick), p, v.VesselPos[own]);
    return p;
}

bool Exercise::anyAlarmUnacknowledged() const {
    return display_.Aids.Alarms.AnyUnacknowledged() || tracking_.AnyUnacknowledged();
}

void Exercise::RestartTracking() {
    tracking_.Start(TrackingSeed(scenarioFile_.toStdString() + "\n" + sim_.Title),
                    sim_.Clock.SimTime);
    display_.Aids.PickedTracks.clear();
    swapLogged_.clear();
}

void Exercise::PassOnTrackEvents() {
    // Two echoes passing within the gate can swap a track a dozen times in two minutes: one
    // line a minute tells the student, the record keeps every swap.
    constexpr double kSwapQuiet = 1.0 / 1440; // days
    for (const TrackEvent& e : tracking_.TakeEvents()) {
        emit trackEvent(e);
        if (e.Kind == TrackEventKind::Swapped) {
            const auto told = swapLogged_.find(e.Track);
            if (told != swapLogged_.end() && e.Time - told->second < kSwapQuiet) continue;
            swapLogged_[e.Track] = e.Time;
        }
        // A track acquired by hand is logged by its command; one from the zone is its alert.
        const std::string text = TrackEventText(e);
        if (!text.empty()) Log("track", -1, QString::fromStdString(text));
    }
}

void Exercise::StepAlarms(bool raised) {
    AidSettings& a = display_.Aids;
    raised = StepTruthAlarms(sim_.Vessels, a) || raised;
    if (a.Arpa) {
        raised = tracking_.UpdateDanger(trackViews(), a.Limits) || raised;
        std::erase_if(a.PickedTracks, [this](int id) { return !tracking_.tracker().Find(id); });
    }
    if (raised) emit alarmRaised();
}

bool Exercise::LoadDemo(const QString& fileName) {
    std::filesystem::path path = fileName.toStdString();
    if (path.is_relative()) path = programFolder_ / path;
    // The whole file is read and checked before anything of the running scenario changes.
    const DemoReadResult read = ReadDemoFile(path);
    if (!read.ok()) {
        dialogs_.message(QString::fromStdString(read.Error), "LoadDemo",
                         Dialogs::Icon::Exclamation);
        return false;
    }
    if (!MayLeaveAssessed()) return false;
    PlaceDemoVessels(*read.Scenario, sim_.Vessels);
    // A demo without a title goes by its file's name, not by the exercise before it.
    sim_.Title = ExerciseTitle(read.Scenario->Title, path.filename().string());
    sim_.Description = read.Scenario->Description;
    scenarioFile_ = QString::fromStdString(path.filename().string());
    StartScenario(ScenarioSource::Demo);
    return true;
}

void Exercise::StartScenario(ScenarioSource source) {
    const ChangeScope change(*this);
    if (!view_) return;
    answers_.clear();
    endedBy_.clear();
    questionsSeen_ = 0;
    if (!startingAssessed_ && assessed_) {
        assessed_.reset();
        truths_.clear();
        student_.clear();
        sim_.Current = {};
        sim_.Script.clear();
        display_.Aids.Allowed = {};
        tracking_.SetSensorErrors(0, 0);
    }
    if (source == ScenarioSource::OwnTargets) scenarioFile_ = "own targets";
    if (source == ScenarioSource::Random) scenarioFile_ = "random traffic";
    mv::StartScenario(source, sim_, display_, *view_);
    RestartTracking();
    emit scenarioStarted();
}

bool Exercise::OpenAssessedExercise(const QString& fileName, const QString& student) {
    const std::filesystem::path path = fileName.toStdString();
    // Read, checked and built apart, so that a mistake leaves the running scenario as it is.
    Simulation built;
    const ExerciseReadResult read = LoadExercise(path, {programFolder_, userFolder_}, built);
    return OpenAssessed(read, built, path, student);
}

bool Exercise::OpenAssessedExerciseText(const std::string& text, const QString& fileName,
                                        const QString& student,
                                        const std::filesystem::path& folder) {
    Simulation built;
    ExerciseReadResult read = ParseExercise(text, fileName.toStdString());
    if (read.ok()) {
        const std::string error =
            BuildExerciseSimulation(*read.Exercise, folder, {programFolder_, userFolder_}, built);
        if (!error.empty()) read = {std::nullopt, error};
    }
    return OpenAssessed(read, built, folder / fileName.toStdString(), student);
}

bool Exercise::OpenAssessed(const ExerciseReadResult& read, const Simulation& built,
                            const std::filesystem::path& path, const QString& student) {
    if (!view_) return false;
    if (!read.ok()) {
        dialogs_.message(QString::fromStdString(read.Error), "Open Exercise",
                         Dialogs::Icon::Exclamation);
        return false;
    }
    if (!MayLeaveAssessed()) return false;
    const ChangeScope change(*this);
    sim_.Vessels = built.Vessels;
    sim_.Current = built.Current;
    sim_.Script = built.Script;
    sim_.Title = ExerciseTitle(built.Title, path.filename().string());
    sim_.Description = built.Description;
    assessed_ = *read.Exercise;
    tracking_.SetSensorErrors(assessed_->GyroError, assessed_->LogError);
    truths_ = QuestionTruths(*assessed_, built);
    start_ = built;
    student_ = student;
    exerciseFile_ = QString::fromStdString(std::filesystem::absolute(path).string());
    display_.Aids.Allowed = assessed_->Allowed.Aids;
    display_.Aids.ApplyPermissions(display_.Tick.CourseUp, display_.Tick.TrueTrails);
    if (!assessed_->Allowed.TrueView) display_.Tick.TrueViewOn = false;
    scenarioFile_ = QString::fromStdString(path.filename().string());
    startingAssessed_ = true;
    StartScenario(ScenarioSource::Demo);
    startingAssessed_ = false;
    // Orders timed at the start are under way from the first tick.
    sim_.GiveScriptedOrders(0, sim_.Clock.SimTime);
    if (!TimeFactorAllowed(sim_.Clock.TimeFactorIndex))
        for (int i = 0; i < kTimeFactorCount; ++i)
            if (TimeFactorAllowed(i)) {
                sim_.Clock.SetTimeFactor(static_cast<int16_t>(i));
                break;
            }
    // The clock waits while the student reads the briefing, until Start (EndBriefing): the
    // briefing's hold, not a pause of the student's, so it holds where pausing is forbidden.
    paused_ = true;
    briefing_ = true;
    tmrSim_.stop();
    Log("exercise", -1,
        QString::fromStdString(
            ExerciseOpenedText(scenarioFile_.toStdString(), student_.toStdString())));
    emit briefingBegun();
    return true;
}

void Exercise::EndBriefing() {
    if (!std::exchange(briefing_, false)) return;
    const ChangeScope change(*this);
    paused_ = false;
    if (assessed_ && !assessedEnded()) tmrSim_.start();
}

void Exercise::HandIn(const std::vector<Answer>& answers) {
    if (!assessed_ || assessedEnded() || answers.empty()) return;
    const ChangeScope change(*this);
    // Kept as typed, unmarked: the marking comes at the end, from the run's record.
    for (const Answer& a : answers) {
        answers_.push_back({a, sim_.Clock.SimTime});
        Log("answer", a.Vessel, QString::fromStdString(AnswerEventText(a)));
        emit answerTaken(
            {0, sim_.Clock.SimTime, static_cast<int>(a.Question), a.Vessel, a.Asked, a.Value});
    }
    emit handedIn();
}

bool Exercise::AllAnswered() const {
    if (!assessed_ || assessed_->Action.MinCpa > 0) return false;
    for (const GradeColumn& c : GradeColumns(*assessed_, truths_, sim_)) {
        // A display set up is judged from the record at its time, not handed in.
        if (c.Is != GradeColumn::Kind::Answer) continue;
        const bool answered =
            std::any_of(answers_.begin(), answers_.end(), [&c](const HandedIn& h) {
                return h.Given.Question == c.Question && h.Given.Vessel == c.Vessel &&
                       h.Given.Asked == c.Asked;
            });
        if (!answered) return false;
    }
    return true;
}

bool Exercise::MayLeaveAssessed() {
    if (!assessed_ || assessedEnded()) return true;
    if (dialogs_.message("An assessed exercise is running. Leave it? It ends here: the answers "
                         "handed in are kept and the report is made.",
                         "Assessed exercise", Dialogs::Icon::Question,
                         Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    EndAssessed("left for another scenario");
    return true;
}

void Exercise::EndAssessed(const QString& how) {
    if (!assessed_ || assessedEnded()) return;
    const ChangeScope change(*this);
    endedBy_ = how;
    tmrSim_.stop();
    // Ended or left while the briefing held the clock: the hold goes with it, so that the
    // next scenario runs.
    if (std::exchange(briefing_, false)) paused_ = false;
    Log("end", -1, QString::fromStdString(ExerciseEndedText(how.toStdString())));
    emit assessedFinished(how);
}

bool Exercise::TimeFactorAllowed(int index) const {
    if (index < 0 || index >= kTimeFactorCount) return false;
    const std::vector<int16_t> allowed = this->allowed().TimeFactors;
    return std::find(allowed.begin(), allowed.end(), kTimeFactors[static_cast<size_t>(index)]) !=
           allowed.end();
}

void Exercise::Start() {
    const ChangeScope change(*this);
    if (!paused_ && !assessedEnded()) tmrSim_.start();
}

void Exercise::SetPaused(bool paused, bool byInstructor) {
    const ChangeScope change(*this);
    // An exercise that forbids pausing may still be resumed.
    if (paused && !paused_ && !allowed().Pause && !byInstructor) return;
    if (paused != paused_ && isLoaded())
        Log(paused ? "pause" : "resume", -1, paused ? "Paused" : "Resumed");
    paused_ = paused;
    if (paused_ || assessedEnded())
        tmrSim_.stop();
    else
        tmrSim_.start();
}

void Exercise::Repeat() {
    // An assessed exercise that has ended is not taken again on top of its results.
    if (!isLoaded() || !view_ || assessedEnded()) return;
    const ChangeScope change(*this);
    tmrSim_.stop();
    sim_.Vessels.RestoreStartState();
    sim_.Maneuvering = false;
    sim_.Turning = false;
    view_->RedrawRadar();
    view_->ClearTrueView();
    sim_.UpdateVessels(display_.Tick, *view_, false);
    ResetClocks(sim_, display_, *view_);
    sim_.GiveScriptedOrders(0, sim_.Clock.SimTime);
    questionsSeen_ = 0;
    RestartTracking();
    Log("repeat", -1, "Repeated from the start");
    emit moved();
    if (!paused_) tmrSim_.start();
}

void Exercise::SetTimeFactor(int index) {
    if (index < 0 || index >= kTimeFactorCount || index == sim_.Clock.TimeFactorIndex) return;
    // Refused, and said so, so that a chooser showing the refused factor shows the clock's.
    if (!TimeFactorAllowed(index)) return NotifyChanged();
    const ChangeScope change(*this);
    sim_.Clock.SetTimeFactor(static_cast<int16_t>(index));
    if (isLoaded()) Log("time factor", -1, QString("Time factor x%1").arg(sim_.Clock.TimeFactor));
}

void Exercise::PassOnce() {
    const bool running = tmrSim_.isActive();
    tmrSim_.stop();
    if (view_) view_->RedrawVessels();
    if (running && !assessedEnded()) tmrSim_.start();
}

void Exercise::tmrSim_Timer() {
    // A tick that reports a collision waits for the user inside the message box, where the
    // timer fires again: that tick is skipped, so one tick never runs inside another.
    if (ticking_ || !isLoaded() || !view_) return;
    ticking_ = true;
    before_ = sim_.Vessels.VesselPos;
    const double from = sim_.Clock.SimTime;
    sim_.Tick(display_.Tick, *view_);
    ticking_ = false;
    const bool wasUnacknowledged = anyAlarmUnacknowledged();
    const bool tracked =
        display_.Aids.Arpa && tracking_.Step(before_, from, sim_.Clock.SimTime, sim_.Vessels);
    PassOnTrackEvents();
    StepAlarms(tracked);
    emit ticked();
    // The acknowledgement's enabled state follows an alarm the tick raised.
    if (wasUnacknowledged != anyAlarmUnacknowledged()) NotifyChanged();
    if (assessed_ && !assessedEnded()) {
        // Half a second early counts as due: the clock's step is a hair over 3 seconds.
        const double now = sim_.Clock.SimTime + 0.5 / 86400;
        const double seen = std::exchange(questionsSeen_, now);
        for (size_t i = 0; i < assessed_->Questions.size(); ++i)
            // Every one that came due in this tick: two questions may share a time, or a
            // high time factor may step past both.
            if (assessed_->Questions[i].At > seen && assessed_->Questions[i].At <= now)
                emit questionDue(static_cast<int>(i));
    }
    // Half a second of sea time early at most: the last tick before the limit ends it.
    if (assessed_ && assessed_->TimeLimit > 0 &&
        sim_.Clock.SimTime + 0.5 / 86400 >= 0.5 + assessed_->TimeLimit / 1440)
        EndAssessed("time limit");
}

} // namespace mv
