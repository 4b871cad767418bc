#pragma once
// A student's seat in a class: joined to the class's broker under the seat's account, it opens
// the exercise the instructor starts (from its text, its tolerances left at the instructor),
// follows the instructor's clock, carries out orders the instructor gives the targets, and
// tells the instructor its state about once a second, each answer as it is handed in, and at
// the end the whole run record, from which the instructor marks. Nothing marked comes back.

#include "core/classroom/class_messages.h"
#include "core/vessel.h"
#include "session/classroom/class_link.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace mv {

class Exercise;
class RunRecorder;
struct RunAnswer;

class ClassSeat : public QObject {
    Q_OBJECT
  public:
    struct Join {
        QString Host = "127.0.0.1";
        int Port = 1883;
        QString Class; // the class's code, as the instructor gave it
        QString User;  // the seat's account, also the seat's name among the topics
        QString Password;
        QString Student;     // the student's name, for the roster and the record
        int KeepAlive = 30;  // seconds without a word before the broker counts the seat lost
        QString CaFile = {}; // the CA certificate of a broker that speaks TLS; empty for plain
    };

    // `recorder` records the seat's runs; its record goes to the instructor at the end.
    ClassSeat(Exercise& exercise, RunRecorder& recorder, QObject* parent = nullptr);
    ~ClassSeat() override;

    // "host:port", "host" (port 1883) or "[::1]:1884". False when it is none of these.
    static bool ParseAddress(const QString& text, QString& host, int& port);

    // Begins joining; joined() or refused() follows. False with error() set when the details
    // cannot make a join (a class code or account with characters a topic may not hold).
    bool JoinClass(const Join& join);
    // Says goodbye: the roster shows the seat gone at once, not lost.
    void Leave();
    // The link dropped as if the program were killed: the broker tells the class the seat is
    // lost. For tests.
    void DropLink() { link_.Drop(); }
    bool isJoined() const { return link_.isConnected(); }
    ClassLink& link() { return link_; }
    const QString& error() const { return error_; }
    // The instructor's start in force ("" before one), and the last clock command's factor.
    const QString& run() const { return run_; }

    // In one sea: another seat's ship in this seat's tables, moved by dead reckoning from her
    // seat's last state.
    struct SeaShip {
        QString Seat, Name;
        int Slot = 0;
        PointD Offset;  // her start less this seat's (nautical miles): her frame to ours
        PointD Correct; // still to be blended in (nautical miles)
        bool Lost = false;
        PointD Held; // where a lost ship is held (nautical miles)
    };
    // The other seats' ships of this start; empty when the seat sails alone.
    const std::vector<SeaShip>& seaShips() const { return sea_; }
    // Past this (nautical miles) a ship's reckoned position is put right at once, not blended.
    static constexpr double kSnapDistance = 0.5;

  signals:
    void joined();
    void refused(const QString& why);
    // Something for the student's status line: the link dropped, an exercise that would not
    // open, the record sent.
    void notice(const QString& text);

  private:
    void Received(const QString& topic, const QByteArray& payload);
    void OpenExercise(const QByteArray& payload);
    void FollowClock(const QByteArray& payload);
    void Command(const QByteArray& payload);
    // Another seat's state or status, in one sea.
    void SeaState(SeaShip& ship, const QByteArray& payload);
    void SeaStatus(SeaShip& ship, const QByteArray& payload);
    void SeaTick();
    void SendState();
    void SendAnswer(const RunAnswer& answer);
    void SendAnswers();
    void SendRecord();
    void SendStatus(int kind);
    QString Topic(const char* what) const;

    Exercise& exercise_;
    RunRecorder& recorder_;
    ClassLink link_;
    Join join_;
    QString error_;
    QString run_;
    QByteArray clock_; // the last clock message, applied again once its exercise is open
    qint64 lastCommand_ = -1;
    // The student's orders of this start, for the instructor's watch.
    int orders_ = 0;
    std::optional<ClassOrder> lastOrder_;
    bool held_ = false;     // the instructor holds this start's clock
    bool finished_ = false; // this start has ended and its record has been sent
    QTimer stateTimer_;
    // The demo an exercise names, written where the exercise looks for it.
    std::unique_ptr<QTemporaryDir> folder_;
    std::vector<SeaShip> sea_;
};

} // namespace mv
