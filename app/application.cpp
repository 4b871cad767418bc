#include "app/application.h"

#include "app/answer_form.h"
#include "app/briefing_window.h"
#include "app/cpa_computer_window.h"
#include "app/exercise_report.h"
#include "app/help_commands.h"
#include "app/index_lines_window.h"
#include "app/main_window.h"
#include "app/menu_table.h"
#include "app/radar_console.h"
#include "app/radar_view.h"
#include "app/replay_window.h"
#include "app/target_data_window.h"
#include "app/traffic_selector.h"
#include "app/trial_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "core/record/run_reader.h"
#include "core/scenario/yaw_file.h"
#include "gui/palette.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"
#include "session/exercise_results.h"
#include "session/run_recorder.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTextDocument>
#include <QThread>

#include <algorithm>

namespace mv {

namespace {

// The user's choices that outlive a run; tests run with Qt's test paths, so they never read or
// write the user's own file.
QSettings Settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marovane", "Marovane");
}
const char* const kPaletteKey = "display/palette";
const char* const kRunsKeptKey = "runs/keep";

} // namespace

Application::Application(const std::filesystem::path& programFolder, Dialogs& dialogs)
    : programFolder_(programFolder), dialogs_(dialogs) {}

Application::~Application() {
    // An assessed exercise still running when the program closes ends here: its results are
    // made whole with the record beside them, but no report window opens on the way out.
    if (results_ && exercise_->assessed() && !exercise_->assessedEnded()) {
        QObject::disconnect(results_, &ResultsKeeper::finished, nullptr, nullptr);
        exercise_->EndAssessed("program closed");
    }
    // The widgets' own colours back as they were found, for whatever runs after.
    if (main_) QApplication::setPalette(dayWidgets_);
}

bool Application::Initialise() {
    const YawReadResult yaw = ReadYawFile(programFolder_ / "Yaw.txt");
    if (!yaw.ok()) {
        dialogs_.message(QString::fromStdString(yaw.Error), "LoadYaw", Dialogs::Icon::Critical);
        return false;
    }
    sim_.Yaw = *yaw.Table;

    // The palette of the last run, before any window is made, so none flashes in another.
    dayWidgets_ = QApplication::palette();
    display_.Colours = PaletteNamed(Settings().value(kPaletteKey).toString());
    if (display_.Colours != DisplayPalette::Day)
        QApplication::setPalette(WidgetPalette(display_.Colours, dayWidgets_));
    main_ = std::make_unique<MainWindow>();
    exercise_ = new Exercise(sim_, display_, dialogs_, programFolder_, main_.get());
    console_ = new RadarConsole(*exercise_, dialogs_);
    // Every run from here on is recorded for the debrief.
    recorder_ = new RunRecorder(*exercise_, RunRecorder::DefaultFolder(), exercise_);
    recorder_->setKeep(Settings().value(kRunsKeptKey, kRunsKeptByDefault).toInt());
    // The record's file is made while the first picture is drawn, not before it.
    recorder_->setMakeAside(true);
    const auto status = [this](const QString& text) {
        main_->statusBar()->showMessage(text, 30000);
    };
    QObject::connect(recorder_, &RunRecorder::notice, main_.get(), status);
    // An assessed exercise's results, kept as it goes and reported at its end.
    results_ = new ResultsKeeper(*exercise_, *recorder_, ResultsKeeper::DefaultFolder(), exercise_);
    QObject::connect(results_, &ResultsKeeper::notice, main_.get(), status);
    QObject::connect(results_, &ResultsKeeper::finished, main_.get(),
                     [this](const QString& path) { ShowExerciseEnd(path); });
    QObject::connect(exercise_, &Exercise::scenarioStarted, main_.get(),
                     [this] { CloseForbiddenWindows(); });
    // A question's time: the answer form opens on it, and the status line says so; questions
    // due together are named together, the form on the first.
    QObject::connect(exercise_, &Exercise::questionDue, main_.get(), [this, status](int q) {
        const QString due = AnswerForm::OpenDue(*console_, *exercise_, dialogs_, q);
        if (!due.isEmpty()) status(due);
    });
    // An assessed exercise opens on its briefing, the clock held until the student starts.
    QObject::connect(exercise_, &Exercise::briefingBegun, main_.get(), [this] {
        BriefingWindow::OpenOver(*console_, *exercise_, *console_->pictureWidget());
    });
    // An exercise ended or left during its briefing takes the briefing's hold with it, so the
    // next scenario runs.
    QObject::connect(exercise_, &Exercise::assessedFinished, main_.get(),
                     [this] { exercise_->EndBriefing(); });
    main_->addChild(console_);
    RegisterMainWindowCommands(*this, [this] { main_->mnuExit_Click(); });
    // Closing the program by any means during an assessed exercise asks first; Yes ends the
    // exercise with its results as the program closes ("program closed").
    main_->mayClose = [this] {
        if (!exercise_->assessed() || exercise_->assessedEnded()) return true;
        return dialogs_.message("An assessed exercise is running. Leave it? It ends here and "
                                "Marovane closes: the answers handed in are kept with the "
                                "results.",
                                "Assessed exercise", Dialogs::Icon::Question,
                                Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
    };
    main_->InstallMenus(MenuTable(), console_->actions());
    ShowWidgetPalette();
    // F1 where no control carries a help number opens the help topics' contents.
    main_->contextHelp = [this](int contextId) {
        ShowContextHelp(dialogs_, contextId, &programFolder_);
    };
    // A demo file that cannot be listed ends the program, as a broken yaw table does.
    return console_->traffic().LoadDemoList();
}

void Application::CloseForbiddenWindows() {
    if (!exercise_->assessed()) return;
    const ExercisePermissions allowed = exercise_->allowed();
    if (console_->trueView().isVisible() && !display_.Tick.TrueViewOn) console_->trueView().hide();
    if (!allowed.CpaComputer)
        if (QWidget* w = console_->vesselPanel()->cpaComputer()) w->close();
    // A tool window never opened is not built only to be closed.
    if (!allowed.Aids.Trial && console_->trialShown()) console_->trial().close();
    if (!allowed.Aids.IndexLines && console_->indexLinesShown()) console_->indexLines().close();
    if (!allowed.Aids.TargetData && console_->targetDataShown()) console_->targetData().close();
}

void Application::ShowExerciseEnd(const QString& resultsPath) {
    const AssessedExercise* assessed = exercise_->assessed();
    const auto& grading = results_->grading();
    if (!assessed || !grading) return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(resultsPath).absolutePath());
    main_->statusBar()->showMessage(QString("The exercise has ended (%1): %2 of %3. The results "
                                            "are kept in %4.")
                                        .arg(exercise_->endedBy())
                                        .arg(grading->Total.Got)
                                        .arg(grading->Total.OutOf)
                                        .arg(folder),
                                    60000);
    const auto& run = results_->record();
    if (!run) return; // the status line has said why the record is missing
    // The report beside the results, and on the screen.
    QString pdf = resultsPath;
    pdf.replace(QRegularExpression(R"(\.json$)"), ".pdf");
    std::unique_ptr<QTextDocument> document =
        BuildExerciseReport({*assessed, exercise_->exerciseFile(), *run, *grading});
    const QString error = WriteReportPdf(*document, pdf);
    if (!error.isEmpty())
        dialogs_.message("The report is not written: " + error, "End Exercise",
                         Dialogs::Icon::Exclamation);
    ShowExerciseReport(std::move(document), pdf, dialogs_, main_.get());
}

bool Application::StartDefaultExercise() {
    // The first exercise, at x2 with plotting on and the clock running, even when the file
    // could not be read (the reader has said why; the console shows an empty face then). At
    // x2 the nearest target of Default.dem closes to 2 nm some 7 minutes after the start, time
    // to read the description and take a first round of bearings; x30 would bring her there
    // in under a minute.
    const Exercise::ChangeScope change(*exercise_);
    exercise_->LoadDemo("Default.dem");
    exercise_->SetTimeFactor(kFirstTimeFactor);
    CommandRegistry& commands = exercise_->commands();
    commands.Trigger("mnuPlotOnOff");
    exercise_->Start();
    // The bearing line and range ring are on from the start, and the echoes lettered, so a
    // student reads B, C and D by name.
    if (!display_.Tick.IdentifyOn) commands.Trigger("mnuIdentify");
    commands.Trigger("mnuEBL");
    commands.Trigger("mnuVRM");
    if (!display_.RingsOn) commands.Trigger("mnuRangeRings");
    // Where they can be seen: the bearing line clear of the heading line (30 degrees on the
    // screen) and the range ring between two range rings (3 nm), not at the centre.
    display_.EBLBearing = 30.0f;
    display_.VRMRange = 3.0;
    // The second pair, off at start, shows where it can be told from the first when switched on:
    // the line at 300 degrees on the screen, the ring at 5 nm.
    display_.EBL2Bearing = 300.0f;
    display_.VRM2Range = 5.0;
    console_->view().PlaceEBL();
    console_->view().RedrawRadar();
    console_->view().RedrawVessels();
    return true;
}

void Application::mnuOpenRun_Click() {
    const QString path =
        dialogs_.openFileName("Open Run", recorder_->folder(), "Marovane runs (*.mvrun)");
    if (!path.isEmpty()) OpenRun(path);
}

QWidget* Application::OpenRun(const QString& path) {
    auto* replay = new ReplayWindow(path, dialogs_, display_.Colours, programFolder_, main_.get());
    // The record is read on a thread of its own, through its own connection to the file, and
    // its alarms stepped through there once for the timeline's jumps: a million moments take
    // seconds, and the program's windows go on meanwhile. A window closed before the reading
    // ends drops what was read.
    struct Reading {
        RunReadResult run;
        std::vector<AlarmState> alarms;
    };
    auto read = std::make_shared<Reading>();
    QThread* reader = QThread::create([read, file = path.toStdString()] {
        read->run = ReadRunRecord(file);
        if (read->run.ok()) read->alarms = AlarmCheckpoints::StepThrough(*read->run.Record);
    });
    QObject::connect(reader, &QThread::finished, replay, [this, replay, read] {
        if (read->run.ok()) {
            replay->Fill(std::move(*read->run.Record), std::move(read->alarms));
            return;
        }
        replay->close();
        dialogs_.message(QString::fromStdString(read->run.Error), "Open Run",
                         Dialogs::Icon::Exclamation);
    });
    QObject::connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    // Over the middle of the main window, within the screen's working area, title bar and all.
    const QRect room = main_->screen()->availableGeometry().adjusted(0, 30, 0, 0);
    replay->resize(
        replay->size().boundedTo(room.size() * 0.9).expandedTo(replay->minimumSizeHint()));
    QRect place(QPoint(), replay->size());
    place.moveCenter(main_->frameGeometry().center());
    place.moveLeft(
        std::clamp(place.left(), room.left(), std::max(room.left(), room.right() - place.width())));
    place.moveTop(
        std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() - place.height())));
    replay->move(place.topLeft());
    replay->show();
    replay->raise();
    replay->activateWindow();
    reader->start();
    return replay;
}

void Application::SetPalette(DisplayPalette colours) {
    const Exercise::ChangeScope change(*exercise_);
    display_.Colours = colours;
    ShowWidgetPalette();
    Settings().setValue(kPaletteKey, PaletteName(colours));
}

void Application::ShowWidgetPalette() {
    QApplication::setPalette(WidgetPalette(display_.Colours, dayWidgets_));
    if (auto* area = main_->findChild<QMdiArea*>())
        area->setBackground(PaletteFor(display_.Colours).workspace);
}

} // namespace mv
