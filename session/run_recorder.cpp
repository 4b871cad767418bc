#include "session/run_recorder.h"

#include "session/exercise.h"

#include "core/record/run_display.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStorageInfo>

#include <utility>

namespace mv {

namespace {

// The free space is looked at again after this many moments (some 5 minutes of ticks).
constexpr int kSpaceCheckEvery = 100;

} // namespace

RunRecorder::RunRecorder(Exercise& exercise, QString folder, QObject* parent)
    : QObject(parent), exercise_(exercise), folder_(std::move(folder)) {
    setObjectName("runRecorder");
    connect(&exercise_, &Exercise::scenarioStarted, this, &RunRecorder::Begin);
    connect(&exercise_, &Exercise::changed, this, [this] {
        if (starting_) TakeFirst();
    });
    connect(&exercise_, &Exercise::ticked, this, &RunRecorder::TakeMoment);
    connect(&exercise_, &Exercise::moved, this, &RunRecorder::TakeMoment);
    connect(&exercise_, &Exercise::logged, this, &RunRecorder::Logged);
    connect(&exercise_.video(), &RadarVideoSession::changed, this, [this] {
        if (next_ == 0) return;
        Put(VideoNow());
        PutSea();
    });
    connect(&exercise_, &Exercise::trackEvent, this, [this](const TrackEvent& e) {
        Put(RunTrackEvent{next_ - 1, e.Time, static_cast<int>(e.Kind), e.Track, e.Position,
                          e.FromEcho, e.ToEcho});
    });
    // An answer, an order and the ending belong after the last moment recorded. The ending is
    // connected here, before anyone else can be: the results keeper copies the record as
    // soon as it hears of the end, and the copy must hold the ending.
    connect(&exercise_, &Exercise::answerTaken, this, [this](RunAnswer a) {
        a.Tick = next_ - 1;
        Put(a);
    });
    connect(&exercise_, &Exercise::orderGiven, this, [this](RunOrder o) {
        o.Tick = next_ - 1;
        Put(o);
    });
    connect(&exercise_, &Exercise::assessedFinished, this, [this](const QString& how) {
        Put(RunEnding{next_ - 1, exercise_.simulation().Clock.SimTime, how.toStdString()});
    });
}

RunRecorder::~RunRecorder() {
    // A record still being made is waited for, and gets what was kept for it. Whoever would
    // be told that it failed may be going too, so nothing is said. A start whose first moment
    // never came was never seen, and the exercise it would be taken from may be gone already.
    const QSignalBlocker quiet(this);
    starting_ = false;
    Settle();
}

QString RunRecorder::DefaultFolder() {
    const QString set = qEnvironmentVariable("MAROVANE_RUNS");
    if (!set.isEmpty()) return set;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/runs";
}

QString RunRecorder::FileName(const QDateTime& started, const QString& title, int nth) {
    QString safe = title;
    // Characters that some file system refuses, and control characters, become blanks.
    safe.replace(QRegularExpression(R"([<>:"/\\|?*\x00-\x1f])"), " ");
    safe = safe.simplified();
    while (safe.endsWith('.'))
        safe.chop(1);
    if (safe.size() > 60) safe = safe.left(60).trimmed();
    if (safe.isEmpty()) safe = "Untitled exercise";
    const QString stamp = started.toString("yyyy-MM-dd HHmmss");
    return (nth > 1 ? stamp + QString("-%1").arg(nth) : stamp) + " " + safe + ".mvrun";
}

RunTick RunRecorder::Moment(const Simulation& sim, const RadarDisplayState& d, int64_t index) {
    RunTick t{
        index, sim.Clock.SimTime, sim.Clock.TimeFactor, sim.Vessels.OwnVessel, KeptDisplay(d), {},
        {}};
    const auto& v = sim.Vessels;
    for (int i = 0; i < v.NumVessels; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        const VesselData& data = v.Vessel[slot];
        t.Vessels.push_back(
            {v.VesselPos[slot], data.Heading, data.Speed, data.NewHeading, data.NewSpeed});
    }
    return t;
}

RunVideoSetting RunRecorder::VideoNow() const {
    const RadarVideoSession& v = exercise_.video();
    const VideoControls& c = v.controls();
    return {next_ - 1, exercise_.simulation().Clock.SimTime,
            v.on(),    c.Gain,
            c.Sea,     c.Rain,
            c.Tune,    static_cast<int>(c.Band)};
}

void RunRecorder::PutSea() {
    const int sea = exercise_.video().seaState();
    if (sea == std::exchange(seaPut_, sea)) return;
    Put(RunVideoSea{next_ - 1, exercise_.simulation().Clock.SimTime, sea});
}

RunTick RunRecorder::Now(int64_t index) const {
    RunTick t = Moment(exercise_.simulation(), exercise_.display(), index);
    if (!exercise_.display().Aids.Arpa) return t;
    const TrackingPicture& tracking = exercise_.tracking();
    for (const TrackView& v : exercise_.trackViews()) {
        const bool lost = v.State == TrackState::Lost;
        t.Tracks.push_back({v.Id, static_cast<int>(v.State), v.Trend, v.Prediction,
                            tracking.InDanger(v.Id),
                            tracking.InDanger(v.Id) && !tracking.DangerUnacknowledged(v.Id),
                            lost ? v.LastPlot : v.Aid.Position, v.Aid.Course, v.Aid.Speed,
                            v.Aid.Cpa.CPA, v.Aid.Cpa.TCPA});
    }
    return t;
}

QString RunRecorder::currentPath() const {
    if (starting_ || making_.valid()) return startPath_;
    return writer_ ? QString::fromStdString(writer_->path().string()) : QString();
}

QString RunRecorder::SaveCopy(const QString& to) {
    Settle();
    if (!writer_) return tr("this run is not recorded");
    return QString::fromStdString(writer_->SaveCopy(to.toStdString()));
}

void RunRecorder::Begin() {
    // A start that came before the last one showed its first moment was never seen: it is
    // not recorded. A record being made aside is waited for.
    starting_ = false;
    Settle();
    writer_.reset(); // the run before ends here, whole and in one file
    waiting_.clear();
    next_ = 1; // 0 is the first moment's, and what comes before it belongs to it
    if (!exercise_.isLoaded()) return;
    if (!QDir().mkpath(folder_)) return GiveUp(tr("the folder %1 cannot be made").arg(folder_));
    if (!SpaceLeft()) return;
    const QString title = QString::fromStdString(exercise_.simulation().Title);
    startedAt_ = QDateTime::currentDateTime();
    startPath_ = QDir(folder_).filePath(FileName(startedAt_, title));
    // Two starts within one second: the second record gets a number.
    for (int n = 2; QFileInfo::exists(startPath_); ++n)
        startPath_ = QDir(folder_).filePath(FileName(startedAt_, title, n));
    starting_ = true;
    Logged("start", -1, tr("Started %1").arg(exercise_.scenarioFile()));
}

void RunRecorder::TakeFirst() {
    starting_ = false;
    // The video as the run starts, ahead of whatever came while the first moment waited.
    seaPut_ = exercise_.video().seaState();
    const Simulation& sim = exercise_.simulation();
    waiting_.insert(waiting_.begin(), {VideoNow(), RunVideoSea{0, sim.Clock.SimTime, seaPut_}});
    RunOpening opening{{sim.Title, exercise_.scenarioFile().toStdString(),
                        startedAt_.toUTC().toString(Qt::ISODate).toStdString(), MAROVANE_VERSION},
                       {},
                       Now(0),
                       std::nullopt};
    for (int i = 0; i < sim.Vessels.NumVessels; ++i)
        opening.Vessels.push_back(
            {i, VesselLetter(i), sim.Vessels.Vessel[static_cast<size_t>(i)].Size});
    if (const AssessedExercise* assessed = exercise_.assessed())
        opening.Exercise = RunExercise{exercise_.exerciseFile().toStdString(),
                                       exercise_.student().toStdString(), assessed->Text};
    if (aside_) {
        making_ = std::async(std::launch::async, [this, file = startPath_.toStdString(),
                                                  opening = std::move(opening)] {
            Made made;
            made.writer = RunWriter::Create(file, opening, made.error);
            // What was kept meanwhile is written when the event loop next comes round.
            QMetaObject::invokeMethod(this, &RunRecorder::Settle, Qt::QueuedConnection);
            return made;
        });
        return;
    }
    std::string error;
    writer_ = RunWriter::Create(startPath_.toStdString(), opening, error);
    if (!writer_) return GiveUp(QString::fromStdString(error));
    Prune();
    Flush();
}

void RunRecorder::Settle() {
    if (starting_) TakeFirst();
    if (!making_.valid()) return;
    Made made = making_.get();
    writer_ = std::move(made.writer);
    if (!writer_) return GiveUp(QString::fromStdString(made.error));
    Prune();
    Flush();
}

void RunRecorder::Flush() {
    std::vector<Item> waiting;
    waiting.swap(waiting_);
    for (const Item& item : waiting)
        if (!Write(item)) return GiveUp(QString::fromStdString(writer_->error()));
}

bool RunRecorder::Write(const Item& item) {
    return std::visit(
        [this](const auto& row) {
            using Row = std::decay_t<decltype(row)>;
            if constexpr (std::is_same_v<Row, RunTick>)
                return writer_->AddTick(row);
            else if constexpr (std::is_same_v<Row, RunEvent>)
                return writer_->AddEvent(row);
            else if constexpr (std::is_same_v<Row, RunAnswer>)
                return writer_->AddAnswer(row);
            else if constexpr (std::is_same_v<Row, RunOrder>)
                return writer_->AddOrder(row);
            else if constexpr (std::is_same_v<Row, RunTrackEvent>)
                return writer_->AddTrackEvent(row);
            else if constexpr (std::is_same_v<Row, RunVideoSetting>)
                return writer_->AddVideoSetting(row);
            else if constexpr (std::is_same_v<Row, RunVideoSea>)
                return writer_->AddVideoSea(row);
            else
                return writer_->SetEnding(row);
        },
        item);
}

void RunRecorder::Put(Item item) {
    if (starting_ || making_.valid()) {
        waiting_.push_back(std::move(item));
        return;
    }
    if (writer_ && !Write(item)) GiveUp(QString::fromStdString(writer_->error()));
}

void RunRecorder::TakeMoment() {
    // A tick before the start's command has done (none comes so soon from the timer) makes
    // the moment it shows the first.
    if (starting_) return TakeFirst();
    if (!writer_ && !making_.valid()) return;
    if (writer_ && --untilSpaceCheck_ <= 0) {
        untilSpaceCheck_ = kSpaceCheckEvery;
        if (!SpaceLeft()) return;
    }
    // Each moment is committed as it is taken (see RunWriter): a kill loses none of them.
    Put(Now(next_++));
}

void RunRecorder::Logged(const QString& kind, int vessel, const QString& text) {
    Put(RunEvent{next_ - 1, exercise_.simulation().Clock.SimTime, kind.toStdString(), vessel,
                 text.toStdString()});
}

bool RunRecorder::SpaceLeft() {
    const QStorageInfo disk(folder_);
    if (!disk.isValid() || disk.bytesAvailable() >= lowSpace_) return true;
    GiveUp(tr("less than %1 MB is free on %2").arg(lowSpace_ / (1024 * 1024)).arg(disk.rootPath()));
    return false;
}

void RunRecorder::GiveUp(const QString& why) {
    writer_.reset();
    if (told_) return;
    told_ = true;
    emit notice(tr("This run is not recorded: %1. The exercise runs on.").arg(why));
}

void RunRecorder::Prune() {
    QDir dir(folder_);
    // The names begin with the date and time, so by name is oldest first.
    const QStringList runs = dir.entryList({"*.mvrun"}, QDir::Files, QDir::Name);
    const QString current = QFileInfo(currentPath()).fileName();
    qsizetype excess = runs.size() - keep_;
    for (const QString& name : runs) {
        if (excess <= 0) break;
        if (name == current) continue;
        for (const char* suffix : {"", "-wal", "-shm"})
            dir.remove(name + suffix);
        --excess;
    }
    // A record begun when the program was killed, before it was whole.
    RemoveLeftoverParts(folder_.toStdString());
}

} // namespace mv
