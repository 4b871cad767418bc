#include "session/classroom/class_seat.h"

#include "core/classroom/class_messages.h"
#include "core/classroom/one_sea.h"
#include "core/clock.h"
#include "core/motion.h"
#include "core/number_text.h"
#include "core/vessel.h"
#include "session/exercise.h"
#include "session/radar_video_session.h"
#include "session/run_recorder.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace mv {

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}
std::string_view View(const QByteArray& payload) {
    return {payload.constData(), static_cast<size_t>(payload.size())};
}

// Answers and the record are kept by the broker until taken; the state is sent afresh each
// second, so a lost one is not missed.
constexpr int kKept = 1;
constexpr int kOnce = 0;
// The state goes out about once a second: enough for a roster and a watch over the seats,
// some 30 small messages a second for a class of thirty.
constexpr int kStateMs = 1000;

} // namespace

ClassSeat::ClassSeat(Exercise& exercise, RunRecorder& recorder, QObject* parent)
    : QObject(parent), exercise_(exercise), recorder_(recorder) {
    connect(&link_, &ClassLink::connected, this, [this] {
        // Back after a dropped link, a seat that had finished says so again.
        SendStatus(static_cast<int>(finished_ ? ClassStatus::Kind::Finished
                                              : ClassStatus::Kind::Connected));
        emit joined();
    });
    connect(&link_, &ClassLink::refused, this, &ClassSeat::refused);
    connect(&link_, &ClassLink::disconnected, this, &ClassSeat::notice);
    connect(&link_, &ClassLink::message, this, &ClassSeat::Received);
    connect(&exercise_, &Exercise::answerTaken, this, &ClassSeat::SendAnswer);
    connect(&exercise_, &Exercise::orderGiven, this, [this](const RunOrder& o) {
        ++orders_;
        lastOrder_ = ClassOrder{o.Vessel, o.Course, o.Speed, o.SimTime};
    });
    // The recorder, made before the seat, hears of the end first and has written it; the copy
    // is taken at once, before another exercise can begin a new record.
    connect(&exercise_, &Exercise::assessedFinished, this, &ClassSeat::SendRecord);
    // While the instructor holds the class, the student's own Start (the briefing's) or
    // Resume does not run the clock ahead of the others.
    connect(&exercise_, &Exercise::changed, this, [this] {
        if (held_ && exercise_.isRunning())
            QTimer::singleShot(0, this, [this] {
                if (held_ && exercise_.isRunning()) exercise_.SetPaused(true, true);
            });
    });
    connect(&exercise_, &Exercise::ticked, this, &ClassSeat::SeaTick);
    stateTimer_.setInterval(kStateMs);
    connect(&stateTimer_, &QTimer::timeout, this, &ClassSeat::SendState);
}

ClassSeat::~ClassSeat() {
    Leave();
}

bool ClassSeat::ParseAddress(const QString& text, QString& host, int& port) {
    QString h = text.trimmed();
    int p = 1883;
    const qsizetype colon = h.lastIndexOf(':');
    // "[::1]:1884": an IPv6 address in brackets; a bare IPv6 address has colons of its own.
    const bool bracketed = h.startsWith('[');
    if (colon >= 0 && (bracketed ? colon > 0 && h.at(colon - 1) == ']' : h.count(':') == 1)) {
        bool ok = false;
        p = h.mid(colon + 1).toInt(&ok);
        if (!ok || p < 1 || p > 65535) return false;
        h = h.left(colon);
    }
    if (bracketed) {
        if (!h.endsWith(']')) return false;
        h = h.mid(1, h.size() - 2);
    }
    if (h.isEmpty() || h.contains(' ')) return false;
    host = h;
    port = p;
    return true;
}

QString ClassSeat::Topic(const char* what) const {
    return QString::fromStdString(
        SeatTopic(join_.Class.toStdString(), join_.User.toStdString(), what));
}

bool ClassSeat::JoinClass(const Join& join) {
    auto s = ClassLink::ForClass(join.Host, join.Port, join.Class, join.User, join.Password,
                                 join.User, error_);
    if (!s) return false;
    if (!IsClassName(join.User.toStdString())) {
        error_ = "A seat's account is 1 to 32 letters, digits, '-' or '_': " + join.User;
        return false;
    }
    // Back in the same class (after a dropped link, say), the exercise in progress is this
    // class's: the retained start brings it back rather than opening it afresh.
    if (join.Class != join_.Class || join.Host != join_.Host || join.Port != join_.Port) {
        run_.clear();
        lastCommand_ = -1;
    }
    join_ = join;
    s->KeepAlive = join.KeepAlive;
    s->CaFile = join.CaFile;
    s->WillTopic = Topic("status");
    s->WillPayload =
        Bytes(ToJson(ClassStatus{ClassStatus::Kind::Lost, join.Student.toStdString()}));
    if (!link_.Open(*s)) {
        error_ = link_.error();
        return false;
    }
    const std::string code = join.Class.toStdString();
    link_.Subscribe(QString::fromStdString(InstructorTopic(code, "#")), kKept);
    stateTimer_.start();
    return true;
}

void ClassSeat::Leave() {
    stateTimer_.stop();
    // Said before the goodbye, which sends no last will; a seat that finished stays finished.
    // The exercise is not asked: a seat made its child is left as the exercise is destroyed.
    if (link_.isConnected() && !finished_) SendStatus(static_cast<int>(ClassStatus::Kind::Left));
    link_.Close();
}

void ClassSeat::SendStatus(int kind) {
    link_.Publish(Topic("status"),
                  Bytes(ToJson(ClassStatus{static_cast<ClassStatus::Kind>(kind),
                                           join_.Student.toStdString()})),
                  kKept, true);
}

void ClassSeat::Received(const QString& topic, const QByteArray& payload) {
    if (const auto parts = SplitSeatTopic(join_.Class.toStdString(), topic.toStdString())) {
        const QString seat = QString::fromStdString(parts->Seat);
        for (SeaShip& ship : sea_)
            if (ship.Seat == seat) {
                if (parts->What == "state") SeaState(ship, payload);
                if (parts->What == "status") SeaStatus(ship, payload);
            }
        return;
    }
    const QString head = QString::fromStdString(InstructorTopic(join_.Class.toStdString(), ""));
    if (!topic.startsWith(head)) return;
    const QString what = topic.mid(head.size());
    if (what == "exercise")
        OpenExercise(payload);
    else if (what == "clock")
        FollowClock(payload);
    else if (what == "command")
        Command(payload);
}

void ClassSeat::OpenExercise(const QByteArray& payload) {
    const auto read = ParseClassExercise(View(payload));
    if (!read.ok()) return emit notice(QString::fromStdString(read.Error));
    const ClassExercise& m = *read.Value;
    // The same start again (a reconnection, the seat's or the instructor's, brings it back):
    // the exercise runs on as it is, and its answers go again, since the instructor may not
    // have been there to take them; it keeps each once.
    if (QString::fromStdString(m.Run) == run_) return SendAnswers();
    // In one sea this seat opens its own exercise, its ship first; a seat not among the ships
    // (joined after the start) sails alone.
    std::string text = m.Text;
    std::vector<SeaShip> sea;
    const auto me = std::find_if(m.Sea.begin(), m.Sea.end(), [this](const auto& ship) {
        return QString::fromStdString(ship.Seat) == join_.User;
    });
    if (me != m.Sea.end()) {
        text = me->Text;
        for (const auto& ship : m.Sea)
            if (&ship != &*me)
                sea.push_back({QString::fromStdString(ship.Seat),
                               QString::fromStdString(ship.Name),
                               0,
                               PointD{ship.X - me->X, ship.Y - me->Y},
                               {},
                               false,
                               {}});
    } else if (!m.Sea.empty()) {
        emit notice("The class sails in one sea without this seat: the exercise runs alone");
    }
    auto folder = std::make_unique<QTemporaryDir>();
    if (!m.DemoName.empty()) {
        QFile demo(folder->filePath(QString::fromStdString(m.DemoName)));
        if (!folder->isValid() || !demo.open(QIODevice::WriteOnly) ||
            demo.write(Bytes(m.DemoText)) != static_cast<qint64>(m.DemoText.size()))
            return emit notice("The class's exercise could not be opened: its demo could not "
                               "be written to a temporary folder");
    }
    // The instructor starts another: the one running ends here, with its record sent, rather
    // than the student being asked.
    if (exercise_.assessed() && !exercise_.assessedEnded())
        exercise_.EndAssessed("ended by the instructor");
    if (!exercise_.OpenAssessedExerciseText(text, QString::fromStdString(m.File), join_.Student,
                                            folder->path().toStdString()))
        return emit notice("The class's exercise " + QString::fromStdString(m.File) +
                           " could not be opened");
    folder_ = std::move(folder);
    run_ = QString::fromStdString(m.Run);
    // The other ships follow the scenario's vessels, in seat order.
    const int scenario = exercise_.simulation().Vessels.NumVessels - static_cast<int>(sea.size());
    const std::string code = join_.Class.toStdString();
    for (size_t i = 0; i < sea.size(); ++i) {
        sea[i].Slot = scenario + static_cast<int>(i);
        for (const char* what : {"state", "status"})
            link_.Subscribe(
                QString::fromStdString(SeatTopic(code, sea[i].Seat.toStdString(), what)), kOnce);
        exercise_.Log("class", sea[i].Slot,
                      "In one sea: " + QString::fromStdString(VesselLetter(sea[i].Slot)) + " is " +
                          sea[i].Name + "'s ship");
    }
    sea_ = std::move(sea);
    lastCommand_ = -1;
    orders_ = 0;
    lastOrder_.reset();
    held_ = false;
    finished_ = false;
    SendStatus(static_cast<int>(ClassStatus::Kind::Connected));
    if (!clock_.isEmpty()) FollowClock(clock_);
}

void ClassSeat::FollowClock(const QByteArray& payload) {
    const auto read = ParseClassClock(View(payload));
    if (!read.ok()) return emit notice(QString::fromStdString(read.Error));
    clock_ = payload;
    const ClassClock& c = *read.Value;
    // A clock for a start this seat has not opened (yet): kept until it has.
    if (QString::fromStdString(c.Run) != run_ || !exercise_.assessed()) return;
    held_ = c.Paused;
    const Exercise::ChangeScope change(exercise_);
    const auto* factor = std::find(kTimeFactors.begin(), kTimeFactors.end(), c.TimeFactor);
    exercise_.SetTimeFactor(static_cast<int>(factor - kTimeFactors.begin()));
    if (!c.Paused) exercise_.EndBriefing();
    // The instructor holds the class even where the student may not pause.
    exercise_.SetPaused(c.Paused, true);
}

void ClassSeat::Command(const QByteArray& payload) {
    const auto read = ParseClassCommand(View(payload));
    if (!read.ok()) return emit notice(QString::fromStdString(read.Error));
    const ClassCommand& c = *read.Value;
    // QoS 1 may bring one twice; and a command of another start is not this exercise's.
    if (QString::fromStdString(c.Run) != run_ || c.Seq <= lastCommand_ || !exercise_.assessed())
        return;
    lastCommand_ = c.Seq;
    if (c.Is == ClassCommand::Kind::End) return exercise_.EndAssessed("ended by the instructor");
    Simulation& sim = exercise_.simulation();
    if (c.Vessel >= sim.Vessels.NumVessels || c.Vessel == sim.Vessels.OwnVessel) return;
    const Exercise::ChangeScope change(exercise_);
    // Given as the exercise's own orders are: the target turns and changes speed at her rate.
    VesselData& v = sim.Vessels.Vessel[static_cast<size_t>(c.Vessel)];
    QString text = "Order from the instructor: " + QString::fromStdString(VesselLetter(c.Vessel));
    if (c.Course) {
        v.NewHeading = static_cast<int16_t>(*c.Course);
        text += QString(" to %1").arg(*c.Course, 3, 10, QChar('0'));
    }
    if (c.Speed) {
        v.NewSpeed = static_cast<float>(*c.Speed);
        text += " at " + QString::fromStdString(KnotsText(*c.Speed));
    }
    sim.Maneuvering = true;
    exercise_.Log("instructor", c.Vessel, text);
}

void ClassSeat::SeaState(SeaShip& ship, const QByteArray& payload) {
    const auto read = ParseClassState(View(payload));
    if (!read.ok() || QString::fromStdString(read.Value->Run) != run_ || !exercise_.assessed())
        return;
    const ClassState& s = *read.Value;
    Simulation& sim = exercise_.simulation();
    if (ship.Slot >= sim.Vessels.NumVessels) return;
    const auto k = static_cast<size_t>(ship.Slot);
    VesselData& v = sim.Vessels.Vessel[k];
    PointD& at = sim.Vessels.VesselPos[k];
    if (ship.Lost) {
        ship.Lost = false;
        exercise_.Log("class", ship.Slot, ship.Name + "'s ship is heard again");
    }
    // Her seat is the authority for her ship: her heading and speed through the water as she
    // sent them, and her position reckoned on from the sea time of her state to ours, over the
    // ground in the current as our tick will carry her on.
    v.Heading = static_cast<float>(s.Course);
    v.NewHeading = static_cast<int16_t>(std::lround(s.Course) % 360);
    v.Speed = v.NewSpeed = static_cast<float>(s.Speed);
    const PointD reckoned = ReckonedPosition({s.X + ship.Offset.X, s.Y + ship.Offset.Y}, s.Course,
                                             s.Speed, sim.Current, s.SimTime, sim.Clock.SimTime);
    const PointD off{reckoned.X - at.X, reckoned.Y - at.Y};
    // A small error is blended in over the next ticks so her echo does not jump; a large one
    // (her first state, a long silence) or one while our clock stands is put right at once.
    if (std::hypot(off.X, off.Y) > kSnapDistance || !exercise_.isRunning()) {
        at = reckoned;
        ship.Correct = {};
        exercise_.NotifyMoved();
    } else {
        ship.Correct = off;
    }
}

void ClassSeat::SeaStatus(SeaShip& ship, const QByteArray& payload) {
    const auto read = ParseClassStatus(View(payload));
    if (!read.ok() || ship.Slot >= exercise_.simulation().Vessels.NumVessels) return;
    const bool lost =
        read.Value->Is == ClassStatus::Kind::Lost || read.Value->Is == ClassStatus::Kind::Left;
    if (!lost || ship.Lost) return;
    // Her seat is gone: she stays where last reckoned, stopped, until heard again.
    ship.Lost = true;
    VesselTables& v = exercise_.simulation().Vessels;
    const auto k = static_cast<size_t>(ship.Slot);
    ship.Held = {v.VesselPos[k].X + ship.Correct.X, v.VesselPos[k].Y + ship.Correct.Y};
    ship.Correct = {};
    v.Vessel[k].Speed = v.Vessel[k].NewSpeed = 0;
    exercise_.Log("class", ship.Slot,
                  ship.Name + "'s seat is lost: her ship is held where last reckoned");
    emit notice(ship.Name + "'s seat is lost: her ship " +
                QString::fromStdString(VesselLetter(ship.Slot)) + " is held where last reckoned");
}

void ClassSeat::SeaTick() {
    VesselTables& v = exercise_.simulation().Vessels;
    for (SeaShip& ship : sea_) {
        if (ship.Slot >= v.NumVessels) continue;
        PointD& at = v.VesselPos[static_cast<size_t>(ship.Slot)];
        if (ship.Lost) {
            at = ship.Held;
            continue;
        }
        // Half of what is left each tick (3 s apart): fifteen sixteenths in within four.
        at.X += ship.Correct.X / 2;
        at.Y += ship.Correct.Y / 2;
        ship.Correct.X /= 2;
        ship.Correct.Y /= 2;
    }
}

void ClassSeat::SendState() {
    if (!link_.isConnected() || run_.isEmpty() || !exercise_.isLoaded()) return;
    const Simulation& sim = exercise_.simulation();
    const RadarDisplayState& display = exercise_.display();
    const VesselTables& v = sim.Vessels;
    const auto own = static_cast<size_t>(v.OwnVessel);
    ClassState s;
    s.Run = run_.toStdString();
    s.SimTime = sim.Clock.SimTime;
    s.X = v.VesselPos[own].X;
    s.Y = v.VesselPos[own].Y;
    s.Course = v.Vessel[own].Heading;
    s.Speed = v.Vessel[own].Speed;
    s.Paused = !exercise_.isRunning();
    s.Answers = static_cast<int>(exercise_.answers().size());
    for (int i = 0; i < std::min<int>(v.NumVessels, kMaxVessels); ++i) {
        const auto k = static_cast<size_t>(i);
        s.Vessels.push_back({v.VesselPos[k].X, v.VesselPos[k].Y, v.Vessel[k].Heading,
                             v.Vessel[k].Speed, std::max<int>(TypeFromSize(v.Vessel[k].Size), 0)});
        if (i != v.OwnVessel && display.Aids.Alarms.InDanger(i)) s.Alarms.push_back(i);
    }
    s.Own = v.OwnVessel;
    s.Range = display.Tick.Range;
    s.Orientation = display.Tick.NorthUp    ? ClassState::Up::North
                    : display.Tick.CourseUp ? ClassState::Up::Course
                                            : ClassState::Up::Head;
    s.Vectors = static_cast<int>(display.Aids.Vectors);
    s.VectorMinutes = static_cast<int>(display.Aids.VectorMinutes());
    s.Orders = orders_;
    s.LastOrder = lastOrder_;
    const RadarVideoSession& video = exercise_.video();
    const VideoControls& c = video.controls();
    s.Video = ClassVideo{video.on(),      c.Gain, c.Sea, c.Rain, c.Tune, static_cast<int>(c.Band),
                         video.seaState()};
    link_.Publish(Topic("state"), Bytes(ToJson(s)), kOnce, false);
}

void ClassSeat::SendAnswer(const RunAnswer& a) {
    if (run_.isEmpty()) return;
    link_.Publish(Topic("answers"),
                  Bytes(ToJson(ClassAnswer{run_.toStdString(), a.Question, a.Vessel, a.Asked,
                                           a.Value, a.SimTime})),
                  kKept, false);
}

void ClassSeat::SendAnswers() {
    if (!exercise_.assessed()) return;
    for (const Exercise::HandedIn& h : exercise_.answers())
        SendAnswer({0, h.At, static_cast<int>(h.Given.Question), h.Given.Vessel, h.Given.Asked,
                    h.Given.Value});
}

void ClassSeat::SendRecord() {
    if (run_.isEmpty()) return;
    QTemporaryDir dir;
    const QString path = dir.filePath("run.mvrun");
    QString error = dir.isValid() ? recorder_.SaveCopy(path) : "no temporary folder";
    ClassRecord record{run_.toStdString(), join_.Student.toStdString(), {}};
    if (error.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            record.Bytes.assign(bytes.begin(), bytes.end());
        } else {
            error = file.errorString();
        }
    }
    if (!error.isEmpty())
        emit notice("The run's record could not be sent to the instructor: " + error);
    else if (link_.Publish(Topic("record"), Bytes(ToJson(record)), kKept, false))
        emit notice("The run's record went to the instructor");
    finished_ = true;
    SendStatus(static_cast<int>(ClassStatus::Kind::Finished));
}

} // namespace mv
