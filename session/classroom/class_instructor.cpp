#include "session/classroom/class_instructor.h"

#include "core/record/run_reader.h"

#include <QFile>

#include <algorithm>

namespace mv {

namespace {

std::string_view PayloadView(const QByteArray& payload) {
    return {payload.constData(), static_cast<size_t>(payload.size())};
}

// The demo an exercise names, as its loader finds it: beside the exercise, then in the folders.
std::optional<std::filesystem::path> FindDemo(const std::string& name,
                                              const std::filesystem::path& beside,
                                              const std::vector<std::filesystem::path>& folders) {
    std::error_code ec;
    if (std::filesystem::exists(beside / name, ec)) return beside / name;
    for (const auto& f : folders)
        if (std::filesystem::exists(f / name, ec)) return f / name;
    return std::nullopt;
}

} // namespace

ClassInstructor::ClassInstructor(std::vector<std::filesystem::path> demoFolders, QObject* parent)
    : QObject(parent), demoFolders_(std::move(demoFolders)) {
    connect(&link_, &ClassLink::connected, this, [this] {
        // A broker restarted without its memory has lost the retained start and clock, which
        // late seats catch up from; and the start heard again has every seat send its answers
        // again, for those handed in while the instructor was away.
        if (!exerciseJson_.empty()) {
            Send("clock", ToJson(clock_), true);
            Send("exercise", exerciseJson_, true);
        }
        emit joined();
    });
    connect(&link_, &ClassLink::refused, this, &ClassInstructor::refused);
    connect(&link_, &ClassLink::disconnected, this, &ClassInstructor::notice);
    connect(&link_, &ClassLink::message, this, &ClassInstructor::Received);
    connect(&link_, &ClassLink::published, this, [this](int, bool ok, const QString& why) {
        if (!ok) emit sendRefused(why);
    });
    // Each start of the instructor's numbers its commands past every earlier start's.
    seq_ = QDateTime::currentMSecsSinceEpoch();
}

bool ClassInstructor::JoinClass(const Join& join) {
    const auto s = ClassLink::ForClass(join.Host, join.Port, join.Class, join.User, join.Password,
                                       "instructor", error_);
    if (!s) return false;
    auto settings = *s;
    settings.CaFile = join.CaFile;
    settings.CheckHost = join.CheckHost;
    join_ = join;
    if (!link_.Open(settings)) {
        error_ = link_.error();
        return false;
    }
    link_.Subscribe(QString::fromStdString(SeatTopic(join.Class.toStdString(), "+", "#")), 1);
    return true;
}

void ClassInstructor::Leave() {
    link_.Close();
}

void ClassInstructor::Send(const char* what, const std::string& json, bool retain) {
    link_.Publish(QString::fromStdString(InstructorTopic(join_.Class.toStdString(), what)),
                  QByteArray::fromStdString(json), 1, retain);
}

QString ClassInstructor::StartExercise(const QString& file, bool oneSea, double spacing) {
    const std::filesystem::path path = file.toStdString();
    Simulation start;
    ExerciseReadResult read = LoadExercise(path, demoFolders_, start);
    if (!read.ok()) return QString::fromStdString(read.Error);
    ClassExercise m;
    std::string error;
    m.Text = SeatExerciseText(read.Exercise->Text, error);
    if (!error.empty()) return QString::fromStdString(path.filename().string() + ": " + error);
    m.File = path.filename().string();
    if (const std::string& demo = read.Exercise->Scenario.Demo; !demo.empty()) {
        // Seats have the shipped demos, not one kept beside the instructor's exercise.
        const auto found = FindDemo(demo, path.parent_path(), demoFolders_);
        QFile f(found ? QString::fromStdString(found->string()) : QString());
        if (!found || !f.open(QIODevice::ReadOnly))
            return QString::fromStdString(m.File + ": the demo " + demo + " cannot be read");
        m.DemoName = std::filesystem::path(demo).filename().string();
        m.DemoText = f.readAll().toStdString();
    }
    std::vector<SeaMarking> marking;
    if (oneSea) {
        std::vector<const ClassSeatRow*> taking;
        for (const ClassSeatRow& r : seats_)
            if (r.Status == ClassStatus::Kind::Connected) taking.push_back(&r);
        if (taking.size() < 2)
            return "One sea needs two seats or more connected; " + QString::number(taking.size()) +
                   " is";
        const std::vector<PointD> starts =
            SeaStarts(start.Vessels, static_cast<int>(taking.size()), spacing);
        for (size_t k = 0; k < taking.size(); ++k) {
            const std::string full =
                OneSeaExerciseText(read.Exercise->Text, *read.Exercise, start, starts, k, error);
            ExerciseReadResult own = error.empty() ? ParseExercise(full, m.File)
                                                   : ExerciseReadResult{std::nullopt, error};
            Simulation ownStart;
            if (own.ok())
                error = BuildExerciseSimulation(*own.Exercise, path.parent_path(), demoFolders_,
                                                ownStart);
            else
                error = own.Error;
            if (!error.empty()) return QString::fromStdString(m.File + " in one sea: " + error);
            ClassExercise::Ship ship;
            ship.Seat = taking[k]->Seat.toStdString();
            ship.Name = taking[k]->Student.isEmpty() ? "Seat " + std::to_string(k + 1)
                                                     : taking[k]->Student.toStdString();
            ship.X = starts[k].X;
            ship.Y = starts[k].Y;
            ship.Text = SeatExerciseText(full, error);
            m.Sea.push_back(std::move(ship));
            marking.push_back({taking[k]->Seat, std::move(*own.Exercise), std::move(ownStart)});
        }
    }
    size_t size = m.Text.size() + m.DemoText.size();
    for (const ClassExercise::Ship& ship : m.Sea)
        size += ship.Text.size();
    if (size > kClassMessageLimit / 2)
        return QString::fromStdString(m.File + ": too long to send to the class");
    run_ = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz");
    m.Run = run_.toStdString();
    exercise_ = std::move(*read.Exercise);
    start_ = std::move(start);
    sea_ = m.Sea;
    seaMarking_ = std::move(marking);
    for (ClassSeatRow& r : seats_) {
        r.State.reset();
        r.Answers.clear();
        r.Record.clear();
        Judge(r);
    }
    // The clock first, held: a seat that opens the exercise finds the clock of its start.
    clock_ = {m.Run, true, 1};
    Send("clock", ToJson(clock_), true);
    exerciseJson_ = ToJson(m);
    Send("exercise", exerciseJson_, true);
    emit rosterChanged({});
    return {};
}

void ClassInstructor::SetPaused(bool paused) {
    if (run_.isEmpty()) return;
    clock_.Paused = paused;
    Send("clock", ToJson(clock_), true);
}

void ClassInstructor::SetTimeFactor(int factor) {
    if (run_.isEmpty()) return;
    clock_.TimeFactor = factor;
    Send("clock", ToJson(clock_), true);
}

QString ClassInstructor::Inject(int vessel, std::optional<int> course,
                                std::optional<double> speed) {
    if (!exercise_) return "No exercise is running in the class";
    if (vessel < 1 || vessel >= start_.Vessels.NumVessels || vessel == start_.Vessels.OwnVessel)
        return "No such target in the exercise";
    if (!course && !speed) return "An order needs a course or a speed";
    ClassCommand c{run_.toStdString(), ++seq_, ClassCommand::Kind::Order, vessel, course, speed};
    Send("command", ToJson(c), false);
    return {};
}

void ClassInstructor::EndExercise() {
    if (!exercise_) return;
    ClassCommand c;
    c.Run = run_.toStdString();
    c.Seq = ++seq_;
    c.Is = ClassCommand::Kind::End;
    Send("command", ToJson(c), false);
}

void ClassInstructor::SetAlertDistance(double nm) {
    alertDistance_ = nm;
    for (ClassSeatRow& r : seats_)
        Judge(r);
    emit rosterChanged({});
}

void ClassInstructor::Judge(ClassSeatRow& row) const {
    row.Nearest = row.State ? NearestTarget(*row.State) : std::nullopt;
    row.Alert = row.Nearest && row.Nearest->Distance <= alertDistance_;
}

const ClassSeatRow* ClassInstructor::seat(const QString& name) const {
    const auto it = std::find_if(seats_.begin(), seats_.end(),
                                 [&name](const ClassSeatRow& r) { return r.Seat == name; });
    return it == seats_.end() ? nullptr : &*it;
}

ClassSeatRow& ClassInstructor::Row(const QString& seat) {
    const auto it = std::find_if(seats_.begin(), seats_.end(),
                                 [&seat](const ClassSeatRow& r) { return r.Seat == seat; });
    if (it != seats_.end()) return *it;
    ClassSeatRow row;
    row.Seat = seat;
    seats_.push_back(std::move(row));
    // The roster in seat order, as the room is laid out.
    std::sort(seats_.begin(), seats_.end(),
              [](const ClassSeatRow& a, const ClassSeatRow& b) { return a.Seat < b.Seat; });
    return *std::find_if(seats_.begin(), seats_.end(),
                         [&seat](const ClassSeatRow& r) { return r.Seat == seat; });
}

void ClassInstructor::Received(const QString& topic, const QByteArray& payload) {
    const auto parts = SplitSeatTopic(join_.Class.toStdString(), topic.toStdString());
    if (!parts || !IsClassName(parts->Seat)) return;
    const QString name = QString::fromStdString(parts->Seat);
    const auto refuse = [&](const std::string& why) {
        emit notice(name + ": " + QString::fromStdString(why));
    };
    if (parts->What == "status") {
        // An empty retained message clears a seat gone for good.
        if (payload.isEmpty()) return;
        const auto read = ParseClassStatus(PayloadView(payload));
        if (!read.ok()) return refuse(read.Error);
        ClassSeatRow& row = Row(name);
        row.Status = read.Value->Is;
        row.Student = QString::fromStdString(read.Value->Student);
        row.LastHeard = QDateTime::currentDateTime();
    } else if (parts->What == "state") {
        const auto read = ParseClassState(PayloadView(payload));
        if (!read.ok()) return refuse(read.Error);
        ClassSeatRow& row = Row(name);
        row.LastHeard = QDateTime::currentDateTime();
        if (read.Value->Run == run_.toStdString()) {
            row.State = *read.Value;
            Judge(row);
        }
    } else if (parts->What == "answers") {
        const auto read = ParseClassAnswer(PayloadView(payload));
        if (!read.ok()) return refuse(read.Error);
        if (read.Value->Run != run_.toStdString()) return;
        ClassSeatRow& row = Row(name);
        row.LastHeard = QDateTime::currentDateTime();
        // A seat sends its answers again after a reconnection: one seen already is not new.
        const ClassAnswer& a = *read.Value;
        if (std::any_of(row.Answers.begin(), row.Answers.end(), [&a](const ClassAnswer& b) {
                return a.Question == b.Question && a.Vessel == b.Vessel && a.Asked == b.Asked &&
                       a.Value == b.Value && a.SimTime == b.SimTime;
            }))
            return;
        row.Answers.push_back(a);
        emit answerReceived(name, *read.Value);
    } else if (parts->What == "record") {
        const auto read = ParseClassRecord(PayloadView(payload));
        if (!read.ok()) return refuse(read.Error);
        if (read.Value->Run != run_.toStdString()) return;
        ClassSeatRow& row = Row(name);
        row.LastHeard = QDateTime::currentDateTime();
        row.Record = std::move(read.Value->Bytes);
        emit recordReceived(name);
    } else {
        return;
    }
    emit rosterChanged(name);
}

std::vector<GradeColumn> ClassInstructor::Columns() const {
    if (!exercise_) return {};
    return GradeColumns(*exercise_, QuestionTruths(*exercise_, start_), start_);
}

std::optional<RunGrading> ClassInstructor::Grade(const ClassSeatRow& row, QString* error) const {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!exercise_) return fail("no exercise");
    if (row.Record.empty()) return fail("no record yet");
    const RunReadResult read = ReadRunRecordBytes(row.Record);
    if (!read.ok()) return fail("the record cannot be read: " + QString::fromStdString(read.Error));
    if (!read.Record->Exercise) return fail("the record is not of an assessed exercise");
    // Marked against the instructor's exercise, tolerances and all; the seat's copy had none.
    // In one sea, against the seat's own, the other students' ships among its targets.
    for (const SeaMarking& s : seaMarking_)
        if (s.Seat == row.Seat) return GradeRun(s.Exercise, s.Start, *read.Record);
    return GradeRun(*exercise_, start_, *read.Record);
}

ClassMarks ClassInstructor::Marks(const ClassSeatRow& row) const {
    ClassMarks marks;
    const std::optional<RunGrading> graded = Grade(row, &marks.Error);
    if (!graded) return marks;
    marks.Cells = GradeCells(Columns(), *graded);
    marks.Total = graded->Total;
    return marks;
}

} // namespace mv
