#pragma once
// The instructor's side of a class: joined to the broker under the instructor's account, it
// keeps the roster of seats (who is there, connected, lost or finished, when last heard, their
// state and answers), starts an exercise on every seat, runs the class's clock, injects orders
// to the targets, ends the exercise, and marks each seat from the run record it sends at the end
// with the one marking (GradeRun), against the instructor's own copy of the exercise with its
// tolerances.

#include "core/classroom/class_messages.h"
#include "core/classroom/one_sea.h"
#include "core/exercise/exercise_file.h"
#include "core/exercise/grading.h"
#include "core/simulation.h"
#include "session/classroom/class_link.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace mv {

struct ClassSeatRow {
    QString Seat; // the seat's account
    QString Student;
    ClassStatus::Kind Status = ClassStatus::Kind::Connected;
    QDateTime LastHeard;
    std::optional<ClassState> State;   // the last of this start
    std::vector<ClassAnswer> Answers;  // of this start, in the order they came
    std::vector<unsigned char> Record; // the run record, once sent
    // The target nearest the own ship in the last state, and whether it is within the
    // instructor's alert distance.
    std::optional<ClassNearest> Nearest;
    bool Alert = false;
};

// A seat's marks in the class table: a cell per column, or why it has none yet.
struct ClassMarks {
    std::vector<std::string> Cells;
    Score Total;
    QString Error; // "no record yet", "the record is damaged: ..."
};

class ClassInstructor : public QObject {
    Q_OBJECT
  public:
    struct Join {
        QString Host = "127.0.0.1";
        int Port = 1883;
        QString Class, User, Password;
        QString CaFile = {};   // the CA certificate of a broker that speaks TLS; empty for plain
        bool CheckHost = true; // off for the station's own broker, dialled at 127.0.0.1
    };

    explicit ClassInstructor(std::vector<std::filesystem::path> demoFolders,
                             QObject* parent = nullptr);

    bool JoinClass(const Join& join);
    void Leave();
    ClassLink& link() { return link_; }
    const QString& error() const { return error_; }
    bool isJoined() const { return link_.isConnected(); }

    // Reads an exercise file, checks it whole and starts it on every seat with the clock held
    // (the students read the briefing) until Resume. An error text, empty on success; on error
    // nothing is sent and the exercise in progress goes on.
    // In one sea every seat connected now takes part, in roster order: each steers her own
    // ship, the first the scenario's own ship, each next `spacing` nautical miles further to
    // starboard, and sees the others' ships as targets.
    QString StartExercise(const QString& file, bool oneSea = false,
                          double spacing = kDefaultSeaSpacing);
    // The ships of the start in force: empty when each seat sails alone.
    const std::vector<ClassExercise::Ship>& sea() const { return sea_; }
    // The class's clock: held or running, at a time factor (1, 2, 5 ... 120).
    void SetPaused(bool paused);
    void SetTimeFactor(int factor);
    bool isPaused() const { return clock_.Paused; }
    int timeFactor() const { return clock_.TimeFactor; }
    // An order to a target (slot 1 and on) on every seat: a course (degrees true) and/or a
    // speed (knots). An error text when there is no exercise or no such target.
    QString Inject(int vessel, std::optional<int> course, std::optional<double> speed);
    // The exercise ends on every seat; each sends its record.
    void EndExercise();
    // A seat whose own ship is this close to a target or closer (nautical miles) is in alert.
    // Every seat is judged again at once.
    void SetAlertDistance(double nm);
    double alertDistance() const { return alertDistance_; }
    static constexpr double kDefaultAlertDistance = 1.0;

    const std::vector<ClassSeatRow>& seats() const { return seats_; }
    const ClassSeatRow* seat(const QString& name) const;
    // The exercise in progress, as the instructor's file has it, and its start; none before
    // StartExercise.
    const AssessedExercise* exercise() const { return exercise_ ? &*exercise_ : nullptr; }
    const Simulation& exerciseStart() const { return start_; }
    const QString& run() const { return run_; }
    // The class table's columns, and a seat's marks from the record it sent.
    std::vector<GradeColumn> Columns() const;
    ClassMarks Marks(const ClassSeatRow& row) const;
    // The full marking of a seat's record, for a report; none without a readable record.
    std::optional<RunGrading> Grade(const ClassSeatRow& row, QString* error = nullptr) const;

  signals:
    void joined();
    void refused(const QString& why);
    void notice(const QString& text);
    // A seat appeared or its status, state, answers or record changed.
    void rosterChanged(const QString& seat);
    void answerReceived(const QString& seat, const mv::ClassAnswer& answer);
    void recordReceived(const QString& seat);
    // The broker refused a message of the instructor's.
    void sendRefused(const QString& why);

  public:
    // What the link delivers: a seat's message, read as untrusted input. Tests hand it states.
    void Received(const QString& topic, const QByteArray& payload);

  private:
    void Judge(ClassSeatRow& row) const;
    ClassSeatRow& Row(const QString& seat);
    void Send(const char* what, const std::string& json, bool retain);

    std::vector<std::filesystem::path> demoFolders_;
    ClassLink link_;
    Join join_;
    QString error_;
    std::vector<ClassSeatRow> seats_;
    std::optional<AssessedExercise> exercise_;
    Simulation start_;
    QString run_;
    ClassClock clock_;
    std::string exerciseJson_; // the start in force, as sent
    // In one sea, each seat's own exercise (tolerances and all) and its start, to mark it by.
    struct SeaMarking {
        QString Seat;
        AssessedExercise Exercise;
        Simulation Start;
    };
    std::vector<ClassExercise::Ship> sea_;
    std::vector<SeaMarking> seaMarking_;
    qint64 seq_ = 0;
    double alertDistance_ = kDefaultAlertDistance;
};

} // namespace mv
