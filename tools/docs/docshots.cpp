// Pictures of the program's windows for the help pages and the manual, drawn by the program
// itself on the offscreen platform, so that no picture shows a window as it used to be.
// usage: marovane-docshots DATA_FOLDER OUT_FOLDER

#include "app/about_box.h"
#include "app/answer_form.h"
#include "app/cpa_computer_window.h"
#include "app/exercise_report.h"
#include "app/index_lines_window.h"
#include "app/maneuver_window.h"
#include "app/marker_panel.h"
#include "app/radar_console.h"
#include "app/random_window.h"
#include "app/replay_window.h"
#include "app/scenario_list.h"
#include "app/set_targets.h"
#include "app/target_data_window.h"
#include "app/traffic_selector.h"
#include "app/trial_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "core/exercise/grading.h"
#include "core/radar_video/radar_video.h"
#include "core/record/run_reader.h"
#include "gui/qt_dialogs.h"
#include "gui/radar_video.h"
#include "session/exercise.h"
#include "session/run_recorder.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

namespace {

bool Save(QWidget& w, const QString& folder, const QString& name) {
    w.show();
    QApplication::processEvents();
    const bool ok = w.grab().save(QDir(folder).filePath(name + ".png"));
    if (!ok) std::fprintf(stderr, "marovane-docshots: cannot write %s\n", qPrintable(name));
    return ok;
}

// A radar-video lesson's picture drawn from the video model alone (no window): the exercise's
// world at its start, three turns of the antenna at `range` (nautical miles), north up, on a
// dark screen.
bool SaveVideo(const QString& data, const QString& folder, const char* exerciseFile,
               const QString& name, double range) {
    mv::Simulation sim;
    const mv::ExerciseReadResult read = mv::LoadExercise(
        QDir(data).filePath(exerciseFile).toStdString(), {data.toStdString()}, sim);
    if (!read.ok()) {
        std::fprintf(stderr, "marovane-docshots: %s\n", read.Error.c_str());
        return false;
    }
    const mv::AssessedExercise& e = *read.Exercise;
    mv::VideoWorld world = mv::VideoWorldFor(e.Video, sim.Vessels);
    mv::RadarSettings radar;
    radar.Exercise = mv::VideoSeed(sim.Title);
    radar.Epoch = sim.Clock.SimTime;
    mv::VideoControls controls;
    controls.Band = e.Video.Band;
    const double turn = radar.ScanSeconds / mv::kSecondsPerDay; // days
    mv::RadarVideo video;
    // Three turns, so the afterglow holds what a student sees after a few seconds.
    video.Paint(radar, world, controls, sim.Vessels, range, radar.Epoch, radar.Epoch + 3 * turn);
    mv::VideoSweep sweep;
    sweep.Resize(360, 1);
    sweep.PaintAll(video, 0, QColor(255, 190, 60));
    QImage out(380, 380, QImage::Format_RGB32);
    out.fill(QColor(10, 14, 10));
    QPainter p(&out);
    p.drawImage(10, 10, sweep.image());
    p.setPen(QColor(80, 110, 80));
    p.drawEllipse(QRectF(10, 10, 360, 360));
    p.end();
    const bool ok = out.save(QDir(folder).filePath(name + ".png"));
    if (!ok) std::fprintf(stderr, "marovane-docshots: cannot write %s\n", qPrintable(name));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: marovane-docshots DATA_FOLDER OUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);

    using namespace mv;
    Simulation sim;
    RadarDisplayState display;
    QtDialogs dialogs;
    Exercise exercise(sim, display, dialogs, QString::fromLocal8Bit(argv[1]).toStdString());
    RadarConsole console(exercise, dialogs);
    console.resize(1120, 760);
    console.show();
    // The run is recorded, for the replay's picture.
    QTemporaryDir runs;
    RunRecorder recorder(exercise, runs.path());
    recorder.setLowSpace(0);
    if (!exercise.LoadDemo("Default.dem")) return 1;
    // The picture a watch officer has after twelve minutes of the demo: markers on, a mark
    // every 3 minutes behind each echo, and the True View keeping the true tracks.
    // On target B, the large ship on the starboard bow, as she will be at 12:12.
    display.EBLBearing = 45.0f;
    display.VRMRange = 2.6;
    CommandRegistry& commands = exercise.commands();
    for (const char* command :
         {"mnuEBL", "mnuVRM", "mnuPlotFrequency(1)", "mnuPlotOnOff", "mnuTrueView"})
        commands.Trigger(command);
    console.trueView().cmdGrid_Click();
    console.trueView().resize(520, 520);
    for (int i = 0; i < 8; ++i)
        exercise.tmrSim_Timer();
    exercise.SetPaused(true);

    bool ok = Save(console, out, "console");
    ok = Save(console.trueView(), out, "trueview") && ok;
    console.trueView().hide();

    ManeuverWindow& maneuver = console.vesselPanel()->maneuverWindow();
    maneuver.OpenManeuver(1, "B");
    ok = Save(maneuver, out, "maneuver") && ok;
    maneuver.hide();
    maneuver.OpenCPAData(1, "B");
    ok = Save(maneuver, out, "cpadata") && ok;
    maneuver.hide();

    CpaComputerWindow computer(sim, display, dialogs, &console);
    ok = Save(computer, out, "cpacomputer") && ok;
    computer.hide();

    TrafficSelector& traffic = console.traffic();
    traffic.scenarioList().LoadDemoList();
    ok = Save(traffic.scenarioList(), out, "demos") && ok;
    traffic.scenarioList().hide();
    ok = Save(traffic.setTargets(), out, "settargets") && ok;
    traffic.setTargets().hide();
    ok = Save(traffic.randomTargets(), out, "randomtargets") && ok;
    traffic.randomTargets().hide();

    // The radar-course aids on the same run, a little further on: relative vectors of six
    // minutes, the CPA alarm at its limits of 1 nm and 12 minutes, and B and C picked for their
    // data.
    for (const char* command : {"mnuVectorsRelative", "mnuCpaAlarm"})
        commands.Trigger(command);
    for (int vessel : {1, 2})
        display.Aids.TogglePick(vessel, sim.Vessels.OwnVessel, sim.Vessels.NumVessels);
    commands.Trigger("mnuTargetData");
    exercise.SetPaused(false);
    for (int i = 0; i < 2; ++i) // B, on a collision course, still some minutes off
        exercise.tmrSim_Timer();
    exercise.SetPaused(true);
    ok = Save(console, out, "aids") && ok;
    ok = Save(console.targetData(), out, "targetdata") && ok;
    console.targetData().hide();
    for (const char* command : {"mnuVectorsOff", "mnuCpaAlarm", "mnuClearPicks"})
        commands.Trigger(command);

    // The same run replayed, stopped at 12:09, and its tracks as exported.
    RunReadResult run = ReadRunRecord(recorder.currentPath().toStdString());
    if (!run.ok()) return 1;
    ReplayWindow replay(std::move(*run.Record), recorder.currentPath(), dialogs,
                        DisplayPalette::Day, QString::fromLocal8Bit(argv[1]).toStdString());
    replay.resize(1000, 620);
    replay.ShowMoment(6);
    ok = Save(replay, out, "replay") && ok;
    ok = replay.ExportTracks(QDir(out).filePath("tracks.png")) && ok;
    replay.hide();

    // Crossing.dem three minutes in: a trial of 060 at once, which puts her on the port bow.
    exercise.SetPaused(false);
    if (!exercise.LoadDemo("Crossing.dem")) return 1;
    exercise.SetTimeFactor(0); // x1: a tick is 3 seconds
    for (int i = 0; i < 60; ++i)
        exercise.tmrSim_Timer();
    exercise.SetPaused(true);
    TrialWindow& trial = console.trial();
    trial.show();
    trial.findChild<QLineEdit*>("txtCourse")->setText("060");
    trial.findChild<QLineEdit*>("txtSpeed")->setText("12");
    trial.findChild<QLineEdit*>("txtDelay")->setText("3");
    trial.cmdShowTrial_Click();
    ok = Save(trial, out, "trial") && ok;
    ok = Save(console, out, "trialpicture") && ok;
    trial.hide();

    // ParallelIndex.dem with both lines laid, ten minutes in.
    exercise.SetPaused(false);
    if (!exercise.LoadDemo("ParallelIndex.dem")) return 1;
    exercise.SetTimeFactor(0);
    display.Index[0] = {true, 0.0f, 2.0, 0.0};
    display.Index[1] = {true, 0.0f, -1.5, 0.0};
    for (int i = 0; i < 200; ++i)
        exercise.tmrSim_Timer();
    exercise.SetPaused(true);
    IndexLinesWindow& index = console.indexLines();
    index.show();
    ok = Save(index, out, "indexlines") && ok;
    index.hide();
    ok = Save(console, out, "indexpicture") && ok;

    // Exam2-SetAndDrift.toml at 12:12, the second question's figures typed in the form; then
    // handed in and ended, and the report of the run.
    exercise.SetPaused(false);
    if (!exercise.OpenAssessedExercise(
            QDir(QString::fromLocal8Bit(argv[1])).filePath("Exam2-SetAndDrift.toml"), "Ann Lee"))
        return 1;
    exercise.SetTimeFactor(0);
    for (int i = 0; i < 240; ++i)
        exercise.tmrSim_Timer();
    exercise.SetPaused(true);
    AnswerForm& answers = AnswerForm::OpenOver(console, exercise, dialogs, 1);
    const std::pair<int, const char*> typed[] = {{0, "0.1"}, {1, "23.5"}, {2, "262"}, {3, "12"}};
    for (const auto& [figure, text] : typed)
        if (QLineEdit* e = answers.Entry(2, figure)) e->setText(text);
    ok = Save(answers, out, "answers") && ok;
    answers.cmdHandIn_Click();
    answers.hide();
    exercise.EndAssessed("ended by the student");
    if (auto done = ReadRunRecord(recorder.currentPath().toStdString()); done.ok()) {
        const RunGrading grading =
            GradeRun(*exercise.assessed(), exercise.exerciseStart(), *done.Record);
        ReportWindow report(BuildExerciseReport({*exercise.assessed(), exercise.exerciseFile(),
                                                 *done.Record, grading}),
                            {}, dialogs);
        report.resize(760, 620);
        ok = Save(report, out, "report") && ok;
    }

    // Each lesson at the range scale (nautical miles) that shows its effect.
    const struct {
        const char* file;
        const char* name;
        double range;
    } lessons[] = {{"Video1-SeaClutter.toml", "video_sea", 3},
                   {"Video2-Rain.toml", "video_rain", 12},
                   {"Video3-BlindSector.toml", "video_sector", 6},
                   {"Video4-FalseEchoes.toml", "video_false", 1.5},
                   {"Video5-RaconSart.toml", "video_racon", 12},
                   {"Video6-SmallCraft.toml", "video_smallcraft", 6}};
    for (const auto& l : lessons)
        ok = SaveVideo(QString::fromLocal8Bit(argv[1]), out, l.file, l.name, l.range) && ok;

    AboutBox about;
    ok = Save(about, out, "about") && ok;
    ok = about.findChild<QWidget*>("Image1")->grab().save(QDir(out).filePath("emblem.png")) && ok;
    return ok ? 0 : 1;
}
