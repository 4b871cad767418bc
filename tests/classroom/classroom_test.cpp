// A class through a real Mosquitto broker on 127.0.0.1: one instructor and two headless seats in
// one process, each seat with its own exercise and recorder. Every wait is bounded.

#include "app/application.h"
#include "app/instructor/instructor_window.h"
#include "app/main_window.h"
#include "core/exercise/grading.h"
#include "core/record/run_reader.h"
#include "session/classroom/class_seat.h"
#include "session/exercise.h"
#include "session/radar_video_session.h"
#include "session/run_recorder.h"
#include "tests/classroom/class_fixture.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>

#include <cmath>
#include <memory>
#include <numbers>

namespace mv {
namespace {

using Classroom = ClassTest;

// Exam 1 (target B crossing from starboard, questions at 12:06 and 12:18) with a CPA tolerance
// of 0.5 nm that only the instructor holds, and no pausing for the student.
QString WriteExercise(const QTemporaryDir& dir) {
    QFile exam(MAROVANE_DATA_DIR "/Exam1-AlteringTarget.toml");
    EXPECT_TRUE(exam.open(QIODevice::ReadOnly));
    QFile out(dir.filePath("Exam1.toml"));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(exam.readAll().replace("[allow]\n", "[allow]\npause = false\n") +
              "\n[tolerance]\ncpa = 0.5\n");
    return out.fileName();
}

TEST_F(Classroom, AnExerciseRunsOnEverySeatAndIsMarkedAtTheInstructorAsAlone) {
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    JoinInstructor();
    JoinSeat(ann);
    JoinSeat(bob);
    ASSERT_EQ(teacher.seat("seat1")->Student, "Ann");

    // Started on both, held for the briefing; the seats have no demo of their own.
    ASSERT_EQ(teacher.StartExercise(WriteExercise(folder)), "");
    for (Machine* m : {&ann, &bob}) {
        ASSERT_TRUE(QTest::qWaitFor([m] { return m->exercise->assessed() != nullptr; }, kWaitMs))
            << m->name.toStdString() << ": "
            << (m->dialogs.shown.empty() ? "" : m->dialogs.shown.back().text.toStdString());
        EXPECT_TRUE(m->exercise->isBriefing());
        EXPECT_EQ(m->sim.Vessels.NumVessels, 2);
        // The tolerance stays with the marker: the seat's copy has the default 0.2 nm.
        EXPECT_DOUBLE_EQ(m->exercise->assessed()->Tolerance.Cpa, 0.2);
    }
    EXPECT_DOUBLE_EQ(teacher.exercise()->Tolerance.Cpa, 0.5);
    // Ann presses the briefing's Start while the class is held: her clock stays with the class.
    ann.exercise->EndBriefing();
    EXPECT_TRUE(ann.exercise->isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&ann] { return !ann.exercise->isRunning(); }, kWaitMs));

    // Resume all at x5 (an allowed factor), then pause all.
    teacher.SetTimeFactor(5);
    teacher.SetPaused(false);
    for (Machine* m : {&ann, &bob})
        ASSERT_TRUE(QTest::qWaitFor(
            [m] { return m->exercise->isRunning() && m->sim.Clock.TimeFactor == 5; }, kWaitMs));
    teacher.SetPaused(true);
    for (Machine* m : {&ann, &bob}) {
        ASSERT_TRUE(QTest::qWaitFor([m] { return m->exercise->isPaused(); }, kWaitMs));
        EXPECT_FALSE(m->exercise->isRunning());
    }

    // At 12:06 Ann gives B's CPA 0.3 nm off the answer key (right within the instructor's
    // 0.5 nm, wrong within the seat's 0.2) and a CPA of 9 nm for a target 12:06 shows closing
    // (wrong either way); Bob gives only B's TCPA, 20 minutes off.
    for (Machine* m : {&ann, &bob})
        m->TickTo(0.5 + 6.0 / 1440);
    const Truth& key = ann.exercise->truths()[0];
    ASSERT_EQ(key.Targets.size(), 1u);
    const double cpa = key.Targets[0].Cpa.CPA, tcpa = key.Targets[0].Cpa.TCPA;
    ann.exercise->HandIn({{0, 1, Figure::Cpa, cpa + 0.3}});
    ann.exercise->HandIn({{0, 1, Figure::Course, key.Targets[0].Water.Course + 90}});
    bob.exercise->HandIn({{0, 1, Figure::Tcpa, tcpa + 20}});
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            return teacher.seat("seat1")->Answers.size() == 2 &&
                   teacher.seat("seat2")->Answers.size() == 1;
        },
        kWaitMs));
    EXPECT_DOUBLE_EQ(teacher.seat("seat1")->Answers[0].Value, cpa + 0.3);
    EXPECT_EQ(teacher.seat("seat2")->Answers[0].Asked, Figure::Tcpa);

    // At 12:09 the instructor turns B (steering 270 at 14 knots) to 300 at 8 knots on every
    // seat.
    for (Machine* m : {&ann, &bob})
        m->TickTo(0.5 + 9.0 / 1440);
    ASSERT_EQ(teacher.Inject(1, 300, 8.0), "");
    EXPECT_NE(teacher.Inject(0, 270, std::nullopt), "") << "the own ship is the student's";
    for (Machine* m : {&ann, &bob}) {
        ASSERT_TRUE(
            QTest::qWaitFor([m] { return m->sim.Vessels.Vessel[1].NewHeading == 300; }, kWaitMs));
        EXPECT_FLOAT_EQ(m->sim.Vessels.Vessel[1].NewSpeed, 8.0f);
        m->TickTo(0.5 + 12.0 / 1440);
    }

    teacher.EndExercise();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            return !teacher.seat("seat1")->Record.empty() &&
                   !teacher.seat("seat2")->Record.empty() &&
                   teacher.seat("seat1")->Status == ClassStatus::Kind::Finished &&
                   teacher.seat("seat2")->Status == ClassStatus::Kind::Finished;
        },
        kWaitMs));

    // The class table: CPA and TCPA, course, speed, aspect for B at each question.
    const std::vector<GradeColumn> columns = teacher.Columns();
    ASSERT_EQ(columns.size(), 10u);
    EXPECT_EQ(columns[0].Title, "Q1 B CPA");
    const ClassMarks annMarks = teacher.Marks(*teacher.seat("seat1"));
    const ClassMarks bobMarks = teacher.Marks(*teacher.seat("seat2"));
    ASSERT_EQ(annMarks.Error, "");
    EXPECT_EQ(annMarks.Cells,
              (std::vector<std::string>{"1", "-", "0", "-", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(bobMarks.Cells,
              (std::vector<std::string>{"-", "0", "-", "-", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(annMarks.Total.Got, 1);
    EXPECT_EQ(bobMarks.Total.Got, 0);

    // The same marks as each seat's own record, marked alone as marovane-plot grade does.
    for (Machine* m : {&ann, &bob}) {
        const RunReadResult own = ReadRunRecord(m->recorder->currentPath().toStdString());
        ASSERT_TRUE(own.ok()) << own.Error;
        const RunGrading alone =
            GradeRun(*teacher.exercise(), teacher.exerciseStart(), *own.Record);
        const RunGrading gathered = *teacher.Grade(*teacher.seat(m->name));
        EXPECT_EQ(GradeCells(columns, gathered), GradeCells(columns, alone));
        EXPECT_EQ(gathered.Total.Got, alone.Total.Got);
        EXPECT_EQ(gathered.Total.OutOf, alone.Total.OutOf);
        EXPECT_EQ(gathered.Student, m->join.Student.toStdString());
        EXPECT_EQ(gathered.Ending, "ended by the instructor");
    }
}

// The student's video reaches the instructor's roster with her state as she turns it on and
// steps the knobs: gain down a notch from 70, sea anti-clutter up two from 30, the S band.
TEST_F(Classroom, ASeatsVideoSettingsShowInTheRosterAsSheSetsThem) {
    Machine ann("seat1", "Ann");
    JoinInstructor();
    JoinSeat(ann);
    ASSERT_EQ(teacher.StartExercise(WriteExercise(folder)), "");
    ASSERT_TRUE(QTest::qWaitFor([&ann] { return ann.exercise->assessed() != nullptr; }, kWaitMs));
    RadarVideoSession& video = ann.exercise->video();
    video.SetOn(true);
    video.StepControl(&VideoControls::Gain, -10);
    video.StepControl(&VideoControls::Sea, 10);
    video.StepControl(&VideoControls::Sea, 10);
    video.SetBand(RadarBand::S);
    const auto shown = [this] {
        const ClassSeatRow* row = teacher.seat("seat1");
        return row && row->State && row->State->Video && row->State->Video->On &&
               row->State->Video->Band == 1;
    };
    ASSERT_TRUE(QTest::qWaitFor(shown, kWaitMs)) << "no state with the video came";
    const ClassVideo& got = *teacher.seat("seat1")->State->Video;
    EXPECT_EQ(got.Gain, 60);
    EXPECT_EQ(got.Sea, 50);
    EXPECT_EQ(got.Rain, 0);
    EXPECT_EQ(got.Tune, 100);
    EXPECT_EQ(got.SeaState, video.seaState());
    ScriptedDialogs dialogs;
    InstructorWindow station(teacher, dialogs);
    station.ShowRoster();
    auto* roster = station.findChild<QTableWidget*>("tblRoster");
    ASSERT_EQ(roster->rowCount(), 1);
    EXPECT_EQ(roster->horizontalHeaderItem(7)->text(), "Video");
    EXPECT_EQ(roster->item(0, 7)->text(), "Video G60 S50 R0");
    EXPECT_TRUE(roster->item(0, 7)->toolTip().contains("tune 100, S band"))
        << roster->item(0, 7)->toolTip().toStdString();
}

TEST_F(Classroom, TheBrokerRefusesASeatWritingUnderAnotherSeatOrTheInstructor) {
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    JoinInstructor();
    JoinSeat(ann);
    JoinSeat(bob);
    QStringList refusals;
    QObject::connect(&ann.seat->link(), &ClassLink::published,
                     [&refusals](int, bool ok, const QString& why) {
                         if (!ok) refusals << why;
                     });
    const QByteArray lost = "{\"format\":\"Marovane class\",\"version\":1,\"kind\":\"status\","
                            "\"status\":\"lost\",\"student\":\"Bob\"}";
    ann.seat->link().Publish("marovane/nav1/seat/seat2/status", lost, 1, true);
    ann.seat->link().Publish("marovane/nav1/instructor/command", "{}", 1, false);
    ASSERT_TRUE(QTest::qWaitFor([&refusals] { return refusals.size() == 2; }, kWaitMs))
        << refusals.join("; ").toStdString();
    EXPECT_TRUE(refusals[0].contains("authori", Qt::CaseInsensitive)) << refusals[0].toStdString();
    EXPECT_EQ(teacher.seat("seat2")->Status, ClassStatus::Kind::Connected);
}

TEST_F(Classroom, AWrongPasswordIsRefusedWithAClearMessage) {
    Machine ann("seat1", "Ann");
    ann.join.Port = port;
    ann.join.Password = "guess";
    QString why;
    QObject::connect(ann.seat.get(), &ClassSeat::refused, [&why](const QString& t) { why = t; });
    ASSERT_TRUE(ann.seat->JoinClass(ann.join));
    ASSERT_TRUE(QTest::qWaitFor([&why] { return !why.isEmpty(); }, kWaitMs));
    EXPECT_TRUE(
        why.startsWith(QString("The class at 127.0.0.1:%1 refused the account seat1: ").arg(port)))
        << why.toStdString();
    EXPECT_FALSE(ann.seat->isJoined());
}

// The program joins from File > Join Class, and the instructor's buttons start, resume and
// pause its exercise.
TEST_F(Classroom, TheProgramJoinsFromTheFileMenuAndFollowsTheInstructorsButtons) {
    JoinInstructor();
    ScriptedDialogs teacherDialogs;
    InstructorWindow station(teacher, teacherDialogs);
    ScriptedDialogs dialogs;
    Application app(MAROVANE_DATA_DIR, dialogs);
    ASSERT_TRUE(app.Start());

    app.mainWindow().action("mnuJoinClass")->trigger();
    auto* join = app.mainWindow().findChild<QDialog*>("frmJoinClass");
    ASSERT_NE(join, nullptr);
    const auto type = [join](const char* name, const QString& text) {
        auto* field = join->findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr) << name;
        field->clear();
        QTest::keyClicks(field, text);
    };
    type("txtAddress", QString("127.0.0.1:%1").arg(port));
    type("txtClass", "nav1");
    type("txtName", "Ann");
    type("txtUser", "seat1");
    type("txtPassword", "seat1-pw");
    QTest::mouseClick(join->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    auto* roster = station.findChild<QTableWidget*>("tblRoster");
    ASSERT_TRUE(QTest::qWaitFor(
        [roster] {
            return roster->rowCount() == 1 && roster->item(0, 2) &&
                   roster->item(0, 2)->text() == "connected";
        },
        kWaitMs));
    EXPECT_EQ(roster->item(0, 1)->text(), "Ann");

    teacherDialogs.texts.push_back(WriteExercise(folder));
    QTest::mouseClick(station.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
    Exercise& e = app.exercise();
    ASSERT_TRUE(QTest::qWaitFor([&e] { return e.assessed() != nullptr; }, kWaitMs))
        << dialogs.messages().join("; ").toStdString();
    EXPECT_EQ(e.student(), "Ann");
    QTest::mouseClick(station.findChild<QPushButton*>("cmdResume"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&e] { return e.isRunning(); }, kWaitMs));
    QTest::mouseClick(station.findChild<QPushButton*>("cmdPause"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&e] { return !e.isRunning() && e.isPaused(); }, kWaitMs));
}

// A CA certificate that is not one is told at once, in the program's message box, and the Join
// Class box stays open with all that was typed, the student not yet in the class.
TEST_F(Classroom, AJoinWithACaFileThatIsNoCertificateIsRefusedAndLosesNothing) {
    ScriptedDialogs dialogs;
    Application app(MAROVANE_DATA_DIR, dialogs);
    ASSERT_TRUE(app.Start());
    const QString notCa = folder.filePath("notes.txt");
    QFile file(notCa);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("bring a pencil\n") > 0);
    file.close();

    app.mainWindow().action("mnuJoinClass")->trigger();
    auto* join = app.mainWindow().findChild<QDialog*>("frmJoinClass");
    ASSERT_NE(join, nullptr);
    const std::pair<const char*, QString> typed[] = {
        {"txtAddress", QString("127.0.0.1:%1").arg(port)},
        {"txtClass", "nav1"},
        {"txtName", "Ann"},
        {"txtUser", "seat1"},
        {"txtPassword", "seat1-pw"},
        {"txtCaFile", notCa}};
    for (const auto& [name, text] : typed) {
        auto* field = join->findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr) << name;
        field->clear();
        QTest::keyClicks(field, text);
    }
    QTest::mouseClick(join->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("Cannot use " + notCa + " as the class's CA"))
        << dialogs.messages()[0].toStdString();
    EXPECT_TRUE(join->isVisible());
    for (const auto& [name, text] : typed)
        EXPECT_EQ(join->findChild<QLineEdit*>(name)->text(), text) << name;
    QTest::qWait(300);
    EXPECT_EQ(teacher.seat("seat1"), nullptr);
}

TEST(ClassAddress, HostAndPortAsAStudentTypesThem) {
    const struct {
        const char* typed;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"192.168.1.10:1884", true, "192.168.1.10", 1884},
        {" bridge-pc ", true, "bridge-pc", 1883}, // the broker's own port when none is given
        {"[::1]:1884", true, "::1", 1884},
        {"fe80::1", true, "fe80::1", 1883}, // a bare IPv6 address: its colons are not a port
        {"host:0", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:port", false, "", 0},
        {":1883", false, "", 0},
        {"[::1", false, "", 0},
        {"two words:1883", false, "", 0},
    };
    for (const auto& c : cases) {
        QString host;
        int port = 0;
        EXPECT_EQ(ClassSeat::ParseAddress(c.typed, host, port), c.ok) << c.typed;
        if (!c.ok) continue;
        EXPECT_EQ(host, c.host) << c.typed;
        EXPECT_EQ(port, c.port) << c.typed;
    }
}

// Two students in one sea. Exam 1's own ship steers 000 at 12 knots; Ann (the first seat) has
// her, Bob's starts 1 nm to starboard of her, (0, 1) nm, on the same course and speed.
TEST_F(Classroom, TwoSeatsInOneSeaEachSeesTheOthersShipAndIsMarkedAgainstIt) {
    Machine ann("seat1", "Ann"), bob("seat2", "Bob");
    JoinInstructor();
    JoinSeat(ann);
    JoinSeat(bob);
    // Ann listens for Bob's answers and record too: the broker gives her his state only.
    QSet<QString> heard;
    QObject::connect(&ann.seat->link(), &ClassLink::message,
                     [&heard](const QString& topic, const QByteArray&) { heard << topic; });
    for (const char* what : {"answers", "record"})
        ann.seat->link().Subscribe(QString("marovane/nav1/seat/seat2/") + what, 1);

    ASSERT_EQ(teacher.StartExercise(WriteExercise(folder), true, 1.0), "");
    for (Machine* m : {&ann, &bob})
        ASSERT_TRUE(QTest::qWaitFor([m] { return m->exercise->assessed() != nullptr; }, kWaitMs));
    // Each has the scenario's own ship and B, and the other student's ship as C.
    struct Seen {
        Machine* at;
        Machine* other;
        double dy; // the other's start east of this seat's, nm
    };
    const Seen pairs[] = {{&ann, &bob, 1.0}, {&bob, &ann, -1.0}};
    for (const Seen& p : pairs) {
        ASSERT_EQ(p.at->sim.Vessels.NumVessels, 3);
        ASSERT_EQ(p.at->seat->seaShips().size(), 1u);
        EXPECT_EQ(p.at->seat->seaShips()[0].Slot, 2);
        EXPECT_EQ(p.at->seat->seaShips()[0].Name, p.other->join.Student);
        EXPECT_NEAR(p.at->sim.Vessels.VesselPos[2].Y, p.dy, 1e-6);
    }
    // B, 9 nm on Ann's 020, is 9 sin 20 - 1 = 2.078 nm east of Bob.
    EXPECT_NEAR(bob.sim.Vessels.VesselPos[1].X, 8.457, 1e-3);
    EXPECT_NEAR(bob.sim.Vessels.VesselPos[1].Y, 2.078, 1e-3);

    // Held at 12:06 (question 1), both have run 1.2 nm north: each sees the other 1 nm abeam.
    for (Machine* m : {&ann, &bob})
        m->TickTo(0.5 + 6.0 / 1440);
    const auto other = [](Machine& m) { return m.sim.Vessels.VesselPos[2]; };
    const auto own = [](Machine& m) { return m.sim.Vessels.VesselPos[0]; };
    EXPECT_NEAR(other(ann).X, 1.2, 0.01);
    EXPECT_NEAR(other(ann).Y, 1.0, 1e-6);
    bob.exercise->HandIn({{0, 1, Figure::Cpa, 1.0}});
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return teacher.seat("seat2")->Answers.size() == 1; }, kWaitMs));

    // Run at x5 (a tick each 3 s steps 15 s of sea time); Bob alters to 090. Ann sees the turn
    // within two state periods (1 s each) of his first tick of it, and each sees the other
    // within 0.1 nm of where she truly is, reckoned to the same sea time.
    teacher.SetTimeFactor(5);
    teacher.SetPaused(false);
    for (Machine* m : {&ann, &bob})
        ASSERT_TRUE(QTest::qWaitFor([m] { return m->exercise->isRunning(); }, kWaitMs));
    VesselData& bobShip = bob.sim.Vessels.Vessel[0];
    bobShip.NewHeading = 90;
    bob.sim.Turning = bob.sim.Maneuvering = true;
    bob.exercise->LogOrder(0, 90, 12, "Own ship to 090");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bobShip.Heading > 0; }, 4000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ann.sim.Vessels.Vessel[2].Heading > 0; }, 2500));
    const auto error = [&](const Seen& p) {
        const VesselData& v = p.other->sim.Vessels.Vessel[0];
        const double hours = (p.at->sim.Clock.SimTime - p.other->sim.Clock.SimTime) * 24;
        const double a = v.Heading * std::numbers::pi / 180;
        return std::hypot(other(*p.at).X - own(*p.other).X - std::cos(a) * v.Speed * hours,
                          other(*p.at).Y - own(*p.other).Y - p.dy - std::sin(a) * v.Speed * hours);
    };
    for (int sample = 0; sample < 4; ++sample) {
        QTest::qWait(900);
        for (const Seen& p : pairs)
            EXPECT_LT(error(p), 0.1) << p.at->name.toStdString() << " at sample " << sample;
    }
    // Held again, the next state puts each right where the other stands.
    teacher.SetPaused(true);
    for (Machine* m : {&ann, &bob})
        ASSERT_TRUE(QTest::qWaitFor([m] { return !m->exercise->isRunning(); }, kWaitMs));
    for (const Seen& p : pairs)
        EXPECT_TRUE(QTest::qWaitFor([&] { return error(p) < 0.001; }, 2500))
            << p.at->name.toStdString() << " off by " << error(p);

    teacher.EndExercise();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            return !teacher.seat("seat1")->Record.empty() && !teacher.seat("seat2")->Record.empty();
        },
        kWaitMs));
    // Each record, marked by the one marking, holds the other's ship as target C: at 12:06 1 nm
    // away, Bob on Ann's 090 and Ann on Bob's 270.
    for (const auto& [seat, bearing] : {std::pair{"seat1", 90.0}, std::pair{"seat2", 270.0}}) {
        const auto graded = teacher.Grade(*teacher.seat(seat));
        ASSERT_TRUE(graded);
        const TargetTruth* c = graded->Truths[0].Of(2);
        ASSERT_NE(c, nullptr) << seat;
        EXPECT_NEAR(c->Range, 1.0, 0.01) << seat;
        EXPECT_NEAR(c->Bearing, bearing, 0.5) << seat;
    }
    QTest::qWait(300); // what the broker would have sent Ann with the instructor's
    EXPECT_FALSE(heard.contains("marovane/nav1/seat/seat2/answers"));
    EXPECT_FALSE(heard.contains("marovane/nav1/seat/seat2/record"));
    EXPECT_TRUE(heard.contains("marovane/nav1/seat/seat2/state"));
}

} // namespace
} // namespace mv
