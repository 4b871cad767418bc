#include "app/replay_window.h"

#include "app/exercise_report.h"
#include "app/replay_tracks.h"
#include "app/window_text.h"
#include "core/clock.h"
#include "core/exercise/grading.h"
#include "core/number_text.h"
#include "core/program_folder.h"
#include "core/record/run_replay.h"
#include "gui/help_topics.h"
#include "gui/moment_renderer.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSlider>
#include <QSplitter>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// The timeline: a slider over the moments with a short mark above it at each event.
class TimelineSlider : public QSlider {
  public:
    explicit TimelineSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}
    void setMarks(std::vector<int> marks) {
        std::sort(marks.begin(), marks.end());
        marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
        marks_ = std::move(marks);
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QSlider::paintEvent(event);
        if (maximum() <= minimum()) return;
        QStyleOptionSlider o;
        initStyleOption(&o);
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderGroove, this);
        const int handle =
            style()->pixelMetric(QStyle::PM_SliderLength, &o, this); // the handle's width
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        // Marks in order, a line for each pixel column that has one: thousands of events over a
        // long run draw as the groove's width of lines at most.
        int drawn = -1;
        for (const int m : marks_) {
            const int x =
                groove.left() + handle / 2 +
                QStyle::sliderPositionFromValue(minimum(), maximum(), m, groove.width() - handle);
            if (x == drawn) continue;
            p.drawLine(x, 0, x, groove.top());
            drawn = x;
        }
    }

  private:
    std::vector<int> marks_;
};

} // namespace

ReplayWindow::ReplayWindow(RunRecord run, const QString& path, Dialogs& dialogs,
                           DisplayPalette colours, const std::filesystem::path& programFolder,
                           QWidget* parent)
    : ReplayWindow(path, dialogs, colours, programFolder, parent) {
    Fill(std::move(run));
}

ReplayWindow::ReplayWindow(const QString& path, Dialogs& dialogs, DisplayPalette colours,
                           const std::filesystem::path& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Tool), path_(path), dialogs_(dialogs), programFolder_(programFolder),
      colours_(colours) {
    setObjectName("frmReplay");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString("Replay - %1").arg(QFileInfo(path).completeBaseName()));

    auto* top = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    // The radar picture in its dark frame, as on the console; the renderer draws each moment
    // into it from the record alone.
    pnlRadar_ = new QFrame(split);
    pnlRadar_->setObjectName("pnlRadar");
    pnlRadar_->setFrameShape(QFrame::Panel);
    pnlRadar_->setFrameShadow(QFrame::Sunken);
    QPalette frame = pnlRadar_->palette();
    frame.setColor(QPalette::Window, PaletteFor(colours_).frame);
    pnlRadar_->setPalette(frame);
    pnlRadar_->setAutoFillBackground(true);
    pnlRadar_->setMinimumSize(240, 240);
    pnlRadar_->installEventFilter(this);
    picRadarCRT_ = new WorldPictureWidget(pnlRadar_);
    picRadarCRT_->setObjectName("picRadarCRT");
    renderer_ = std::make_unique<MomentRenderer>(picRadarCRT_->picture());
    auto* side = new QWidget(split);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    tracks_ = new ReplayTracks(side);
    tracks_->setColours(colours);
    sideColumn->addWidget(tracks_, 3);
    lstEvents_ = new QListWidget(side);
    lstEvents_->setObjectName("lstEvents");
    lstEvents_->setWordWrap(true);
    lstEvents_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click or Enter on an event, not the list taking its first row as it is shown.
    const auto jump = [this](QListWidgetItem* item) { lstEvents_Click(lstEvents_->row(item)); };
    connect(lstEvents_, &QListWidget::itemClicked, this, jump);
    connect(lstEvents_, &QListWidget::itemActivated, this, jump);
    sideColumn->addWidget(lstEvents_, 2);
    split->addWidget(pnlRadar_);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    top->addWidget(split, 1);

    sldTimeline_ = new TimelineSlider(this);
    sldTimeline_->setObjectName("sldTimeline");
    sldTimeline_->setRange(0, 0);
    sldTimeline_->setMinimumHeight(28);
    connect(sldTimeline_, &QSlider::valueChanged, this,
            [this](int v) { ShowMoment(static_cast<std::size_t>(v)); });
    top->addWidget(sldTimeline_);

    auto* controls = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& caption,
                            void (ReplayWindow::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 16);
        b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        connect(b, &QPushButton::clicked, this, slot);
        controls->addWidget(b);
        return b;
    };
    button("cmdStepBack", "<", &ReplayWindow::cmdStepBack_Click)->setToolTip("One moment back");
    cmdPlay_ = button("cmdPlay", "Play", &ReplayWindow::cmdPlay_Click);
    button("cmdStepForward", ">", &ReplayWindow::cmdStepForward_Click)->setToolTip("One moment on");
    cboSpeed_ = new QComboBox(this);
    cboSpeed_->setObjectName("cboSpeed");
    for (const int s : kReplaySpeeds)
        cboSpeed_->addItem(QString("x%1").arg(s));
    connect(cboSpeed_, &QComboBox::currentIndexChanged, this, &ReplayWindow::cboSpeed_Change);
    controls->addWidget(cboSpeed_);
    lblTime_ = new QLabel(this);
    lblTime_->setObjectName("lblReplayTime");
    controls->addWidget(lblTime_, 1);
    button("cmdExportPicture", "Picture...", &ReplayWindow::cmdExportPicture_Click)
        ->setToolTip("Save the radar picture of this moment as PNG");
    button("cmdExportTracks", "Tracks...", &ReplayWindow::cmdExportTracks_Click)
        ->setToolTip("Save the whole run's true tracks with time marks as PNG");
    button("cmdExportEvents", "Events...", &ReplayWindow::cmdExportEvents_Click)
        ->setToolTip("Save the event list as CSV");
    // A run of an assessed exercise can be marked: shown once the run says it is one.
    cmdReport_ = button("cmdReport", "Report...", &ReplayWindow::cmdReport_Click);
    cmdReport_->setToolTip("The assessed exercise's report of this run");
    cmdReport_->hide();
    button("cmdHelp", "&Help", &ReplayWindow::cmdHelp_Click);
    top->addLayout(controls);

    tmrPlay_.setObjectName("tmrPlay");
    connect(&tmrPlay_, &QTimer::timeout, this, &ReplayWindow::Step);
    cboSpeed_Change(0);
    // A new size of the picture clears it: the moment is drawn on it again.
    connect(picRadarCRT_, &WorldPictureWidget::pictureResized, this, &ReplayWindow::DrawPicture);
    resize(1100, 680);
    // Idle until the run is given.
    lblTime_->setText(QString::fromUtf8("Reading the record\u2026"));
    for (QWidget* w : std::initializer_list<QWidget*>{sldTimeline_, lstEvents_, cboSpeed_})
        w->setEnabled(false);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setEnabled(b->objectName() == "cmdHelp");
}

void ReplayWindow::Fill(RunRecord run, std::vector<AlarmState> alarmCheckpoints) {
    if (isFilled() || run.Ticks.empty()) return;
    if (alarmCheckpoints.empty()) alarmCheckpoints = AlarmCheckpoints::StepThrough(run);
    run_ = std::move(run);
    alarmSteps_ = std::make_unique<AlarmCheckpoints>(run_, std::move(alarmCheckpoints));
    plots_ = std::make_unique<PlotHistory>(run_);
    tracks_->setRun(&run_);
    std::vector<int> marks;
    for (const RunEvent& e : run_.Events) {
        lstEvents_->addItem(Q(FormatClock(e.SimTime)) + "  " + Q(e.Text));
        marks.push_back(static_cast<int>(EventMoment(run_, e)));
    }
    static_cast<TimelineSlider*>(sldTimeline_)->setMarks(std::move(marks));
    {
        const QSignalBlocker quiet(sldTimeline_);
        sldTimeline_->setRange(0, static_cast<int>(run_.Ticks.size()) - 1);
    }
    if (run_.Exercise) exerciseFile_ = run_.Exercise->File;
    cmdReport_->setVisible(!exerciseFile_.empty());
    for (QWidget* w : std::initializer_list<QWidget*>{sldTimeline_, lstEvents_, cboSpeed_})
        w->setEnabled(true);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setEnabled(true);
    alarmsMoment_.reset();
    ShowMoment(0);
    emit filled();
}

ReplayWindow::~ReplayWindow() {
    // The renderer draws into the picture's widget: it goes first.
    renderer_.reset();
}

WorldPicture& ReplayWindow::picture() {
    return picRadarCRT_->picture();
}

bool ReplayWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlRadar_ && event->type() == QEvent::Resize) {
        // The picture as large as the frame allows at the console's proportions, centred.
        const int margin = 4;
        const int room = pnlRadar_->width(), high = pnlRadar_->height();
        int h = high - 2 * margin;
        int w = static_cast<int>(std::lround(h * RadarPicture::kAspect));
        if (w > room - 2 * margin) {
            w = room - 2 * margin;
            h = static_cast<int>(std::lround(w / RadarPicture::kAspect));
        }
        picRadarCRT_->setGeometry((room - w) / 2, (high - h) / 2, std::max(w, 50), std::max(h, 50));
    }
    return QWidget::eventFilter(watched, event);
}

void ReplayWindow::ShowMoment(std::size_t index) {
    if (!isFilled()) return;
    moment_ = std::min(index, run_.Ticks.size() - 1);
    if (sldTimeline_->value() != static_cast<int>(moment_)) {
        const QSignalBlocker quiet(sldTimeline_);
        sldTimeline_->setValue(static_cast<int>(moment_));
    }
    const RunTick& t = run_.Ticks[moment_];
    lblTime_->setText(QString("%1  x%2  moment %3 of %4")
                          .arg(Q(FormatClock(t.SimTime)))
                          .arg(t.TimeFactor)
                          .arg(moment_ + 1)
                          .arg(run_.Ticks.size()));
    DrawPicture();
    tracks_->setMoment(moment_);
}

void ReplayWindow::DrawPicture() {
    if (!renderer_ || !isFilled()) return;
    // The alarms as the student had them, acknowledged or not: played on, one step from the
    // last moment shown; anywhere else, stepped from the checkpoint before the moment.
    if (alarmsMoment_ && *alarmsMoment_ + 1 == moment_)
        alarmSteps_->Step(moment_, alarms_);
    else if (!alarmsMoment_ || *alarmsMoment_ != moment_)
        alarms_ = alarmSteps_->At(moment_);
    alarmsMoment_ = moment_;
    renderer_->Render(MomentOf(run_, *plots_, moment_, alarms_, colours_));
    picRadarCRT_->update();
}

void ReplayWindow::cmdPlay_Click() {
    if (!isFilled()) return;
    if (tmrPlay_.isActive()) {
        tmrPlay_.stop();
    } else {
        if (moment_ + 1 >= run_.Ticks.size()) ShowMoment(0);
        tmrPlay_.start();
    }
    cmdPlay_->setText(tmrPlay_.isActive() ? "Pause" : "Play");
}

void ReplayWindow::Step() {
    if (!isFilled()) return;
    if (moment_ + 1 >= run_.Ticks.size()) {
        cmdPlay_Click(); // the end: the replay stops there
        return;
    }
    ShowMoment(moment_ + 1);
}

void ReplayWindow::cboSpeed_Change(int index) {
    if (index < 0 || index >= static_cast<int>(kReplaySpeeds.size())) return;
    // At x1 a moment every 3 seconds, as the run went; at x120 one every 25 ms.
    tmrPlay_.setInterval(kTickIntervalMs / kReplaySpeeds[static_cast<size_t>(index)]);
}

void ReplayWindow::lstEvents_Click(int row) {
    if (row < 0 || row >= static_cast<int>(run_.Events.size())) return;
    ShowMoment(EventMoment(run_, run_.Events[static_cast<size_t>(row)]));
}

QString ReplayWindow::ExportFolder() const {
    return QFileInfo(path_).absolutePath();
}

bool ReplayWindow::Written(bool ok, const QString& path) {
    if (!ok)
        dialogs_.message(QString("%1 could not be written.").arg(path), "Export",
                         Dialogs::Icon::Exclamation);
    return ok;
}

bool ReplayWindow::ExportPicture(const QString& path) {
    // At the screen's pixel ratio: what the user sees, pixel for pixel.
    const QPixmap shot = picRadarCRT_->grab();
    return Written(shot.save(path, "PNG"), path);
}

bool ReplayWindow::ExportTracks(const QString& path) {
    if (!isFilled()) return Written(false, path);
    const qreal ratio = devicePixelRatioF();
    QImage image(QSize(1200, 1200) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter p(&image);
    const QRectF area(0, 0, 1200, 1200);
    PaintTracks(p, area, run_, run_.Ticks.size() - 1, PaletteFor(colours_), true);
    p.setPen(PaletteFor(colours_).trueOwn);
    p.drawText(area.adjusted(10, 8, -10, -8), Qt::AlignTop | Qt::AlignLeft,
               QString("%1 - %2 to %3")
                   .arg(Q(run_.Info.Title), Q(FormatClock(run_.Ticks.front().SimTime)),
                        Q(FormatClock(run_.Ticks.back().SimTime))));
    p.end();
    return Written(image.save(path, "PNG"), path);
}

bool ReplayWindow::ExportEvents(const QString& path) {
    QSaveFile file(path);
    const std::string csv = EventsCsv(run_);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(csv.data(), static_cast<qint64>(csv.size())) ==
                        static_cast<qint64>(csv.size()) &&
                    file.commit();
    return Written(ok, path);
}

void ReplayWindow::cmdExportPicture_Click() {
    if (!isFilled()) return;
    const QString base = QFileInfo(path_).completeBaseName();
    const QString time = Q(FormatClock(run_.Ticks[moment_].SimTime)).remove(':');
    const QString path = dialogs_.saveFileName(
        "Save Picture", ExportFolder() + "/" + base + " " + time + ".png", "PNG pictures (*.png)");
    if (!path.isEmpty()) ExportPicture(path);
}

void ReplayWindow::cmdExportTracks_Click() {
    const QString path = dialogs_.saveFileName(
        "Save Tracks", ExportFolder() + "/" + QFileInfo(path_).completeBaseName() + " tracks.png",
        "PNG pictures (*.png)");
    if (!path.isEmpty()) ExportTracks(path);
}

void ReplayWindow::cmdReport_Click() {
    std::vector<std::filesystem::path> folders{ExportFolder().toStdString(), programFolder_};
    if (auto user = UserDemoFolder(); !user.empty()) folders.push_back(std::move(user));
    const auto found = std::find_if(folders.begin(), folders.end(), [this](const auto& f) {
        return std::filesystem::is_regular_file(f / exerciseFile_);
    });
    if (found == folders.end()) {
        dialogs_.message(QString("The exercise %1 is neither beside the run nor in the program's "
                                 "folders.")
                             .arg(Q(exerciseFile_)),
                         "Report", Dialogs::Icon::Exclamation);
        return;
    }
    const std::filesystem::path file = *found / exerciseFile_;
    Simulation start;
    const ExerciseReadResult read = LoadExercise(file, folders, start);
    if (!read.ok()) {
        dialogs_.message(Q(read.Error), "Report", Dialogs::Icon::Exclamation);
        return;
    }
    const RunGrading grading = GradeRun(*read.Exercise, start, run_);
    ShowExerciseReport({*read.Exercise, QString::fromStdString(file.string()), run_, grading},
                       ExportFolder() + "/" + QFileInfo(path_).completeBaseName() + " report.pdf",
                       dialogs_, this);
}

void ReplayWindow::cmdHelp_Click() {
    dialogs_.showHelp(HelpTopic(kReplayHelpPage));
}

void ReplayWindow::cmdExportEvents_Click() {
    const QString path = dialogs_.saveFileName(
        "Save Events", ExportFolder() + "/" + QFileInfo(path_).completeBaseName() + " events.csv",
        "CSV files (*.csv)");
    if (!path.isEmpty()) ExportEvents(path);
}

} // namespace mv
