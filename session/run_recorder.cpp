#include "session/run_recorder.h"

#include "session/exercise.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStorageInfo>

namespace mv {

namespace {

// The free space is looked at again after this many moments (some 5 minutes of ticks).
constexpr int kSpaceCheckEvery = 100;

} // namespace

RunRecorder::RunRecorder(Exercise& exercise, QString folder, QObject* parent)
    : QObject(parent), exercise_(exercise), folder_(std::move(folder)) {
    setObjectName("runRecorder");
    connect(&exercise_, &Exercise::scenarioStarted, this, &RunRecorder::Begin);
    connect(&exercise_, &Exercise::ticked, this, &RunRecorder::TakeMoment);
    connect(&exercise_, &Exercise::moved, this, &RunRecorder::TakeMoment);
    connect(&exercise_, &Exercise::logged, this, &RunRecorder::Logged);
}

RunRecorder::~RunRecorder() {
    // A record still being made is waited for, and gets what was kept for it. Whoever would
    // be told that it failed may be going too, so nothing is said.
    const QSignalBlocker quiet(this);
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
    RunTick t;
    t.Index = index;
    t.SimTime = sim.Clock.SimTime;
    t.TimeFactor = sim.Clock.TimeFactor;
    t.OwnVessel = sim.Vessels.OwnVessel;
    RunDisplay& r = t.Display;
    r.Range = d.Tick.Range;
    r.RangeIndex = d.RangeIndex;
    r.NorthUp = d.Tick.NorthUp;
    r.CourseUp = d.Tick.CourseUp;
    r.Bearings = d.Tick.Bearing == BearingMode::Course ? 1 : 0;
    r.RingsOn = d.RingsOn;
    r.HeadingLine = d.Tick.ShowSHL;
    r.EBLOn = d.EBLOn;
    r.EBLBearing = d.EBLBearing;
    r.VRMOn = d.VRMOn;
    r.VRMRange = d.VRMRange;
    r.CursorEast = d.CursorEast;
    r.CursorNorth = d.CursorNorth;
    r.PlotOn = d.Tick.PlotOn;
    r.PlotFreqIndex = d.Tick.PlotFreqIndex;
    r.TrueViewOn = d.Tick.TrueViewOn;
    r.TrueTrails = d.Tick.TrueTrails;
    r.Vectors = static_cast<int>(d.Aids.Vectors);
    r.VectorIndex = d.Aids.VectorIndex;
    r.CpaAlarmOn = d.Aids.Limits.CpaAlarmOn;
    r.GuardOn = d.Aids.Limits.GuardOn;
    r.GuardRange = d.Aids.Limits.GuardRange;
    r.CpaLimit = d.Aids.Limits.CpaLimit;
    r.TcpaLimit = d.Aids.Limits.TcpaLimit;
    r.Picked = d.Aids.Picked;
    const auto& v = sim.Vessels;
    for (int i = 0; i < v.NumVessels; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        const VesselData& data = v.Vessel[slot];
        t.Vessels.push_back(
            {v.VesselPos[slot], data.Heading, data.Speed, data.NewHeading, data.NewSpeed});
    }
    return t;
}

QString RunRecorder::currentPath() const {
    if (making_.valid()) return makingPath_;
    return writer_ ? QString::fromStdString(writer_->path().string()) : QString();
}

QString RunRecorder::SaveCopy(const QString& to) {
    Settle();
    if (!writer_) return tr("this run is not recorded");
    return QString::fromStdString(writer_->SaveCopy(to.toStdString()));
}

void RunRecorder::Begin() {
    Settle();
    writer_.reset(); // the run before ends here, committed
    next_ = 0;
    if (!exercise_.isLoaded()) return;
    if (!QDir().mkpath(folder_)) return GiveUp(tr("the folder %1 cannot be made").arg(folder_));
    if (!SpaceLeft()) return;
    const Simulation& sim = exercise_.simulation();
    const QString title = QString::fromStdString(sim.Title);
    const QDateTime now = QDateTime::currentDateTime();
    QString path = QDir(folder_).filePath(FileName(now, title));
    // Two starts within one second: the second record gets a number.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder_).filePath(FileName(now, title, n));
    RunInfo info{sim.Title, exercise_.scenarioFile().toStdString(),
                 now.toUTC().toString(Qt::ISODate).toStdString(), MAROVANE_VERSION};
    std::vector<RunVessel> vessels;
    for (int i = 0; i < sim.Vessels.NumVessels; ++i)
        vessels.push_back({i, VesselLetter(i), sim.Vessels.Vessel[static_cast<size_t>(i)].Size});
    if (aside_) {
        // The first moment and the start event are taken below, while the clock stands where
        // the run began, and written when the file is made.
        makingPath_ = path;
        making_ = std::async(std::launch::async, [this, file = path.toStdString(), info, vessels] {
            Made made;
            made.writer = RunWriter::Create(file, info, vessels, made.error);
            // What was kept meanwhile is written when the event loop next comes round.
            QMetaObject::invokeMethod(this, &RunRecorder::Settle, Qt::QueuedConnection);
            return made;
        });
    } else {
        std::string error;
        writer_ = RunWriter::Create(path.toStdString(), info, vessels, error);
        if (!writer_) return GiveUp(QString::fromStdString(error));
        Prune();
    }
    TakeMoment();
    Logged("start", -1, tr("Started %1").arg(exercise_.scenarioFile()));
}

void RunRecorder::Settle() {
    if (!making_.valid()) return;
    Made made = making_.get();
    std::vector<std::variant<RunTick, RunEvent>> waiting;
    waiting.swap(waiting_);
    writer_ = std::move(made.writer);
    if (!writer_) return GiveUp(QString::fromStdString(made.error));
    Prune();
    bool ok = true;
    for (const auto& item : waiting)
        ok = ok &&
             (std::holds_alternative<RunTick>(item) ? writer_->AddTick(std::get<RunTick>(item))
                                                    : writer_->AddEvent(std::get<RunEvent>(item)));
    if (!ok || !writer_->Commit()) GiveUp(QString::fromStdString(writer_->error()));
}

void RunRecorder::TakeMoment() {
    if (making_.valid()) {
        waiting_.emplace_back(Moment(exercise_.simulation(), exercise_.display(), next_++));
        return;
    }
    if (!writer_) return;
    if (--untilSpaceCheck_ <= 0) {
        untilSpaceCheck_ = kSpaceCheckEvery;
        if (!SpaceLeft()) return;
    }
    // A tick comes every 3 seconds: each is committed at once, so a kill loses at most the
    // moment being written.
    if (!writer_->AddTick(Moment(exercise_.simulation(), exercise_.display(), next_++)) ||
        !writer_->Commit())
        GiveUp(QString::fromStdString(writer_->error()));
}

void RunRecorder::Logged(const QString& kind, int vessel, const QString& text) {
    if (!writer_ && !making_.valid()) return;
    RunEvent e;
    e.Tick = next_ - 1;
    e.SimTime = exercise_.simulation().Clock.SimTime;
    e.Kind = kind.toStdString();
    e.Vessel = vessel;
    e.Text = text.toStdString();
    if (making_.valid()) {
        waiting_.emplace_back(std::move(e));
        return;
    }
    if (!writer_->AddEvent(e) || !writer_->Commit())
        GiveUp(QString::fromStdString(writer_->error()));
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
    for (const QString& name : dir.entryList({"*.mvrun.part*"}, QDir::Files))
        dir.remove(name);
}

} // namespace mv
