// A class through faults, with a real Mosquitto broker on 127.0.0.1: the broker restarted, a
// seat's link killed, a seat's machine frozen past its keepalive, two students of one name, the
// instructor station closed and reopened, messages that are not ours, and answers handed in
// while cut off. Every wait is bounded; the longest test takes some 12 s.

#include "core/record/run_reader.h"
#include "tests/classroom/class_fixture.h"

#include <QFile>
#include <QProcess>

#include <csignal>
#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mv {
namespace {

// A reconnection waits 1 s, then 2 s, before knocking again.
constexpr int kBackMs = 15000;

class ClassFaults : public ClassTest {
  protected:
    // Exam 1 started and opened on every seat given, its clock held.
    void Start(std::initializer_list<Machine*> seats) {
        ASSERT_EQ(teacher.StartExercise(MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml"), "");
        for (Machine* m : seats)
            ASSERT_TRUE(
                QTest::qWaitFor([m] { return m->exercise->assessed() != nullptr; }, kWaitMs));
    }
    size_t Answers(const QString& seat) const {
        const ClassSeatRow* row = teacher.seat(seat);
        return row ? row->Answers.size() : 0;
    }
};

// 12:06, the first question's time, in days.
constexpr double kQ1 = 0.5 + 6.0 / 1440;

TEST_F(ClassFaults, TheBrokerRestartsMidExerciseAndEveryoneComesBackWithNoAnswerLost) {
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    JoinInstructor(teacher);
    JoinSeat(ann);
    JoinSeat(bob);
    Start({&ann, &bob});
    ann.TickTo(kQ1);
    ann.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 1; }, kWaitMs));

    broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !teacher.isJoined() && !ann.seat->isJoined() && !bob.seat->isJoined(); },
        kWaitMs));
    ann.exercise->HandIn({{0, 1, Figure::Tcpa, 10.0}});
    EXPECT_EQ(ann.seat->link().pending(), 1);
    const double annAt = ann.sim.Clock.SimTime;
    StartBroker();

    // Back by themselves; the broker came back empty, and the instructor's start sent again
    // is taken as the same start, not a new one.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return teacher.isJoined() && ann.seat->isJoined() && bob.seat->isJoined() &&
                   Answers("seat1") == 2 && ann.seat->link().pending() == 0;
        },
        kBackMs));
    EXPECT_EQ(teacher.seat("seat1")->Answers[1].Asked, Figure::Tcpa);
    EXPECT_EQ(ann.sim.Clock.SimTime, annAt) << "the exercise was opened afresh";
    EXPECT_TRUE(Shows(teacher, "seat2", ClassStatus::Kind::Connected));
    // A seat joining only now still finds the exercise.
    Machine cleo("seat3", "Cleo");
    JoinSeat(cleo);
    ASSERT_TRUE(QTest::qWaitFor([&cleo] { return cleo.exercise->assessed() != nullptr; }, kWaitMs));
    EXPECT_EQ(cleo.seat->run(), teacher.run());
}

TEST_F(ClassFaults, ASeatWhoseLinkIsKilledIsLostThenRejoinsWhereItWas) {
    Machine ann("seat1", "Ann");
    JoinInstructor(teacher);
    JoinSeat(ann);
    Start({&ann});
    ann.TickTo(kQ1);
    ann.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 1; }, kWaitMs));

    ann.seat->DropLink();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shows(teacher, "seat1", ClassStatus::Kind::Lost); },
                                kWaitMs));
    // Alone, the exercise goes on, and an answer is handed in with no one to hear it.
    ann.TickTo(kQ1 + 1.0 / 1440);
    ann.exercise->HandIn({{0, 1, Figure::Tcpa, 10.0}});
    const double annAt = ann.sim.Clock.SimTime;

    JoinSeat(ann);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 2; }, kWaitMs));
    EXPECT_EQ(ann.sim.Clock.SimTime, annAt) << "the exercise was opened afresh";
    ann.exercise->HandIn({{0, 1, Figure::Speed, 14.0}});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 3; }, kWaitMs));

    teacher.EndExercise();
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return !teacher.seat("seat1")->Record.empty(); }, kWaitMs));
    const RunReadResult read = ReadRunRecordBytes(teacher.seat("seat1")->Record);
    ASSERT_TRUE(read.ok()) << read.Error;
    // Whole: one run from noon on, its sea time never going back, all three answers in it.
    const RunRecord& r = *read.Record;
    ASSERT_FALSE(r.Ticks.empty());
    EXPECT_DOUBLE_EQ(r.Ticks.front().SimTime, 0.5);
    for (size_t i = 1; i < r.Ticks.size(); ++i)
        ASSERT_GE(r.Ticks[i].SimTime, r.Ticks[i - 1].SimTime) << "tick " << i;
    EXPECT_GE(r.Ticks.back().SimTime, annAt);
    ASSERT_EQ(r.Answers.size(), 3u);
    EXPECT_EQ(r.Answers[2].Asked, Figure::Speed);
    ASSERT_TRUE(r.Ending);
    EXPECT_EQ(r.Ending->How, "ended by the instructor");
}

// A seat in its own process is stopped (SIGSTOP) past its keepalive of 5 s (libmosquitto's
// least), as a machine that freezes: the broker drops it after 7.5 s of silence and says it
// lost. Continued, it comes back. The broker looks for silent clients only now and then, and
// later still on a busy machine: up to 20 s is allowed for the loss.
TEST_F(ClassFaults, ASeatFrozenPastItsKeepaliveIsLostAndComesBackWhenItThaws) {
    JoinInstructor(teacher);
    QProcess child;
    child.start(SEAT_CHILD, {QString::number(port), "seat3", "seat3-pw", "Cleo", "5"});
    ASSERT_TRUE(child.waitForStarted(kWaitMs));
    const auto pid = static_cast<pid_t>(child.processId());
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return Shows(teacher, "seat3", ClassStatus::Kind::Connected); }, kWaitMs))
        << child.readAllStandardError().toStdString();
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    const bool lost =
        QTest::qWaitFor([this] { return Shows(teacher, "seat3", ClassStatus::Kind::Lost); }, 20000);
    ::kill(pid, SIGCONT);
    EXPECT_TRUE(lost) << "the broker kept a silent seat";
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return Shows(teacher, "seat3", ClassStatus::Kind::Connected); }, 8000));
    EXPECT_EQ(teacher.seat("seat3")->Student, "Cleo");
    child.kill();
    child.waitForFinished(kWaitMs);
}

TEST_F(ClassFaults, TwoStudentsOfOneNameAreToldApartByTheirSeats) {
    Machine first("seat1", "Ann Lee"), second("seat2", "Ann Lee");
    JoinInstructor(teacher);
    JoinSeat(first);
    JoinSeat(second);
    ASSERT_EQ(teacher.seats().size(), 2u);
    EXPECT_EQ(teacher.seat("seat1")->Student, "Ann Lee");
    EXPECT_EQ(teacher.seat("seat2")->Student, "Ann Lee");
    Start({&first, &second});
    second.TickTo(kQ1);
    second.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat2") == 1; }, kWaitMs));
    EXPECT_EQ(Answers("seat1"), 0u);
    // One leaves: shown as left, not lost, and the other is still there.
    first.seat->Leave();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shows(teacher, "seat1", ClassStatus::Kind::Left); },
                                kWaitMs));
    EXPECT_TRUE(Shows(teacher, "seat2", ClassStatus::Kind::Connected));
}

TEST_F(ClassFaults, TheClassGoesOnWhileTheInstructorStationIsClosedAndReopened) {
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    auto station = std::make_unique<ClassInstructor>(std::vector<std::filesystem::path>{});
    JoinInstructor(*station);
    for (Machine* m : {&ann, &bob}) {
        m->join.Port = port;
        ASSERT_TRUE(m->seat->JoinClass(m->join));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Shows(*station, m->name, ClassStatus::Kind::Connected); }, kWaitMs));
    }
    ASSERT_EQ(station->StartExercise(MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml"), "");
    station->SetPaused(false);
    for (Machine* m : {&ann, &bob})
        ASSERT_TRUE(QTest::qWaitFor([m] { return m->exercise->isRunning(); }, kWaitMs));

    station.reset();
    const double annAt = ann.sim.Clock.SimTime;
    // The seats' clocks run on, at their own timer, with no one at the station.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ann.sim.Clock.SimTime > annAt + 1.0 / 86400; }, kWaitMs));
    EXPECT_TRUE(ann.exercise->isRunning());
    EXPECT_TRUE(bob.exercise->isRunning());
    EXPECT_TRUE(ann.seat->isJoined());

    // Reopened, the roster comes back from the seats' kept statuses.
    ClassInstructor reopened{{MAROVANE_DATA_DIR}};
    JoinInstructor(reopened);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Shows(reopened, "seat1", ClassStatus::Kind::Connected) &&
                   Shows(reopened, "seat2", ClassStatus::Kind::Connected);
        },
        kWaitMs));
    EXPECT_EQ(reopened.seat("seat1")->Student, "Ann");
    EXPECT_EQ(reopened.seat("seat2")->Student, "Bob");
    EXPECT_TRUE(ann.exercise->isRunning());
}

TEST_F(ClassFaults, MessagesThatAreNotOursAreRefusedWithAWordAndTheClassGoesOn) {
    Machine ann("seat1", "Ann");
    JoinInstructor(teacher);
    JoinSeat(ann);
    Start({&ann});
    QStringList teacherSaid, annSaid;
    QObject::connect(&teacher, &ClassInstructor::notice,
                     [&teacherSaid](const QString& t) { teacherSaid << t; });
    QObject::connect(ann.seat.get(), &ClassSeat::notice,
                     [&annSaid](const QString& t) { annSaid << t; });
    const QByteArray head = R"({"format":"Marovane class","version":1,)";
    const QByteArray nested = QByteArray(200000, '[') + QByteArray(200000, ']');
    const QByteArray huge = head + R"("kind":"state","run":")" + QByteArray(2 << 20, 'x') + "\"}";
    // Each under the seat's own topics, which its account may write.
    const struct {
        const char* what;
        QByteArray payload;
    } bad[] = {
        {"state", "not json"},
        {"state", "{}"},
        {"state", R"({"format":"Marovane class","version":99,"kind":"state"})"},
        {"state", nested},
        {"state", huge},
        {"state", QByteArray("\xff\xfe\x00\x01", 4)},
        {"state", head + R"("kind":"state","run":"r","sim_time":1e308})"},
        {"answers", head + R"("kind":"answer","run":"r","question":-1})"},
        {"record", head + R"("kind":"record","run":"r","student":"A","bytes":"!!!!"})"},
        {"status", head + R"("kind":"status","status":"asleep","student":"A"})"},
    };
    for (const auto& b : bad)
        ann.seat->link().Publish(QString("marovane/nav1/seat/seat1/") + b.what, b.payload, 1,
                                 false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return teacherSaid.size() == static_cast<qsizetype>(std::size(bad)); }, kWaitMs))
        << teacherSaid.join("\n").toStdString();
    for (const QString& said : teacherSaid)
        EXPECT_TRUE(said.startsWith("seat1: A class ")) << said.toStdString();
    EXPECT_TRUE(teacherSaid[4].contains("longer than 1024 KB")) << teacherSaid[4].toStdString();
    EXPECT_TRUE(Shows(teacher, "seat1", ClassStatus::Kind::Connected));
    EXPECT_EQ(Answers("seat1"), 0u);

    // And to the seats, under the instructor's topics.
    const QString run = ann.seat->run();
    teacher.link().Publish("marovane/nav1/instructor/clock", nested, 1, false);
    teacher.link().Publish("marovane/nav1/instructor/command", "{\"seq\":", 1, false);
    teacher.link().Publish("marovane/nav1/instructor/exercise",
                           head + R"("kind":"exercise","run":"x","file":"../../etc/passwd",)" +
                               R"("text":""})",
                           1, false);
    ASSERT_TRUE(QTest::qWaitFor([&annSaid] { return annSaid.size() == 3; }, kWaitMs))
        << annSaid.join("\n").toStdString();
    EXPECT_TRUE(annSaid[2].contains("not a plain file name")) << annSaid[2].toStdString();
    EXPECT_EQ(ann.seat->run(), run);

    // The class goes on: the clock runs and an answer arrives.
    teacher.SetPaused(false);
    ASSERT_TRUE(QTest::qWaitFor([&ann] { return ann.exercise->isRunning(); }, kWaitMs));
    ann.TickTo(kQ1);
    ann.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 1; }, kWaitMs));
}

// The worst order: the instructor away, the broker down while the seat hands in three answers,
// the seat back before the instructor. The answers wait at the seat, then go again when the
// instructor's start is heard again, and arrive once each, in order.
TEST_F(ClassFaults, AnswersHandedInWhileCutOffArriveWhenTheInstructorIsBackLast) {
    Machine ann("seat1", "Ann");
    JoinInstructor(teacher);
    JoinSeat(ann);
    Start({&ann});
    ann.TickTo(kQ1);
    teacher.Leave();
    broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&ann] { return !ann.seat->isJoined(); }, kWaitMs));
    ann.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}, {0, 1, Figure::Tcpa, 10.0}});
    ann.exercise->HandIn({{0, 1, Figure::Speed, 14.0}});
    EXPECT_GE(ann.seat->link().pending(), 3);
    StartBroker();
    ASSERT_TRUE(QTest::qWaitFor(
        [&ann] { return ann.seat->isJoined() && ann.seat->link().pending() == 0; }, kBackMs));

    JoinInstructor(teacher);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Answers("seat1") == 3; }, kWaitMs));
    const auto& got = teacher.seat("seat1")->Answers;
    EXPECT_EQ(got[0].Asked, Figure::Cpa);
    EXPECT_EQ(got[1].Asked, Figure::Tcpa);
    EXPECT_EQ(got[2].Asked, Figure::Speed);
    QTest::qWait(500);
    EXPECT_EQ(Answers("seat1"), 3u) << "an answer sent twice is kept once";
}

// The port can be had again: nothing listens on 127.0.0.1:port.
bool PortFree(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    // A connection refused, not a failed bind: a bind also fails on the closing connections
    // that linger on the port for a while after the broker has gone (a broker sets
    // SO_REUSEADDR and binds past them).
    const bool free = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0;
    ::close(s);
    return free;
}

// However the station ends, its broker ends with it and the port is free for the next class:
// killed outright (the broker is told by the kernel), or asked to stop (a clean quit).
TEST(BrokerLife, TheBrokerNeverOutlivesItsStation) {
    if (ClassBroker::Program().isEmpty()) GTEST_SKIP() << "mosquitto is not installed";
    for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QTemporaryDir folder;
        const int port = ClassBroker::FreePort();
        QProcess station;
        station.start(BROKER_CHILD, {folder.path(), QString::number(port)});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                station.waitForReadyRead(50);
                return station.canReadLine() && station.readLine().startsWith("listening");
            },
            kWaitMs))
            << station.readAllStandardError().toStdString();
        ASSERT_FALSE(PortFree(port)) << "the broker does not hold its port";
        ::kill(static_cast<pid_t>(station.processId()), signal);
        ASSERT_TRUE(station.waitForFinished(kWaitMs));
        if (signal != SIGKILL) {
            EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
        }
        EXPECT_TRUE(QTest::qWaitFor([port] { return PortFree(port); }, kWaitMs))
            << "the broker still holds port " << port;
    }
}

// A self-signed certificate for 127.0.0.1 made by openssl in `dir` as NAME.pem and NAME.key;
// false when openssl is not installed or fails.
bool MakeCertificate(const QString& dir, const QString& name) {
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                   dir + "/" + name + ".key", "-out", dir + "/" + name + ".pem"});
    return openssl.waitForFinished(20000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

// The school's broker speaks TLS: a seat that trusts its CA joins and is seen by the instructor;
// a seat given another CA, or a file that is no certificate, is refused saying so, and the
// class goes on.
TEST(ClassTls, ASeatJoinsOnlyABrokerItsCaCertificateProves) {
    if (ClassBroker::Program().isEmpty()) GTEST_SKIP() << "mosquitto is not installed";
    QTemporaryDir dir;
    if (!MakeCertificate(dir.path(), "school") || !MakeCertificate(dir.path(), "other"))
        GTEST_SKIP() << "openssl is not installed or made no certificate";
    const QString school = dir.filePath("school.pem");
    const int port = ClassBroker::FreePort();
    ClassBroker broker;
    broker.SetTls({school, dir.filePath("school.key"), school});
    const QString started = broker.Start(dir.path(), "127.0.0.1", port, "nav1",
                                         {{"teacher", "teacher-pw", true},
                                          {"seat1", "seat1-pw", false},
                                          {"seat2", "seat2-pw", false}},
                                         kWaitMs);
    ASSERT_EQ(started.toStdString(), "");

    ClassInstructor teacher{{MAROVANE_DATA_DIR}};
    ClassInstructor::Join t{"127.0.0.1", port, "nav1", "teacher", "teacher-pw", school};
    ASSERT_TRUE(teacher.JoinClass(t)) << teacher.error().toStdString();
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    ann.join.Port = bob.join.Port = port;
    ann.join.CaFile = school;
    ASSERT_TRUE(ann.seat->JoinClass(ann.join)) << ann.seat->error().toStdString();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const ClassSeatRow* row = teacher.seat("seat1");
            return ann.seat->isJoined() && row && row->Status == ClassStatus::Kind::Connected;
        },
        kWaitMs))
        << "no seat over TLS in the roster";

    // Another CA: the broker is not the school's as far as this seat can tell.
    QString why;
    QObject::connect(bob.seat.get(), &ClassSeat::refused, [&why](const QString& w) { why = w; });
    bob.join.CaFile = dir.filePath("other.pem");
    // Refused at once, or once the handshake has failed on the link's own thread.
    if (!bob.seat->JoinClass(bob.join)) why = bob.seat->error();
    ASSERT_TRUE(QTest::qWaitFor([&why] { return !why.isEmpty(); }, kWaitMs)) << "never refused";
    EXPECT_TRUE(why.contains("could not be proved by the CA certificate")) << why.toStdString();
    EXPECT_FALSE(bob.seat->isJoined());
    EXPECT_EQ(teacher.seat("seat2"), nullptr);

    // A CA file that is a key, and one that is not there: told before any knocking.
    for (const QString& wrong : {dir.filePath("school.key"), dir.filePath("none.pem")}) {
        bob.join.CaFile = wrong;
        EXPECT_FALSE(bob.seat->JoinClass(bob.join));
        EXPECT_TRUE(bob.seat->error().contains("Cannot use " + wrong + " as the class's CA"))
            << bob.seat->error().toStdString();
    }
    EXPECT_TRUE(ann.seat->isJoined()) << "the class did not go on";
}

} // namespace
} // namespace mv
