// marovane-instructor: the instructor station of a class. With --join it joins a broker that
// runs elsewhere; without, it starts a Mosquitto broker of its own with an account for each
// seat, and says how a seat joins.

#include "app/instructor/instructor_window.h"
#include "core/program_folder.h"
#include "gui/qt_dialogs.h"
#include "session/classroom/class_broker.h"
#include "session/classroom/class_instructor.h"
#include "session/classroom/class_seat.h"
#include "session/classroom/quit_on_signal.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

int Fail(const QString& why) {
    std::fprintf(stderr, "marovane-instructor: %s\n", why.toLocal8Bit().constData());
    return 1;
}

// Six letters a student types without a mistake: no 0/O or 1/l/I.
QString NewPassword() {
    const QString letters = "abcdefghjkmnpqrstuvwxyz23456789";
    QString p;
    for (int i = 0; i < 6; ++i)
        p += letters.at(static_cast<qsizetype>(
            QRandomGenerator::global()->bounded(static_cast<int>(letters.size()))));
    return p;
}

// The station's options, read before any window: --help prints them on a machine without a
// display as well.
void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription("The instructor station of a Marovane class.");
    parser.addHelpOption();
    parser.addOptions({
        {"class", "The class's code (letters, digits, - and _).", "CODE"},
        {"join", "Join the broker at HOST:PORT instead of starting one.", "HOST:PORT"},
        {"user", "The instructor's account on a broker joined.", "USER"},
        {"password", "Its password.", "PASSWORD"},
        {"seats", "Seat accounts seat1 ... seatN on the broker started (default 30).", "N", "30"},
        {"seat-password", "The seats' password (default: made up and shown).", "PASSWORD"},
        {"port", "The port of the broker started (default 1883).", "PORT", "1883"},
        {"bind", "The address it listens on (default: every interface).", "ADDRESS", "0.0.0.0"},
        {"cafile", "The CA certificate that proves a broker joined over TLS, or the CA of --cert.",
         "FILE"},
        {"cert", "The broker started speaks TLS with this certificate (PEM).", "FILE"},
        {"key", "The private key of --cert (PEM).", "FILE"},
        {"start", "Start this exercise file once --start-seats seats are connected.", "FILE"},
        {"start-seats", "Seats to wait for before --start (default 1).", "N", "1"},
        {"one-sea", "Start it in one sea, the ships NM nautical miles apart abeam.", "NM"},
    });
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all") {
            QCoreApplication plain(argc, argv);
            QCommandLineParser parser;
            AddOptions(parser);
            parser.process(plain); // prints the options and ends the program
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marovane Instructor");
    // Stopped by a signal, the station quits as if closed, and stops its broker on the way out.
    mv::QuitOnTerminationSignals(&app);
    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(app);
    const QString code = parser.value("class");
    if (code.isEmpty()) return Fail("give the class's code with --class CODE");

    const std::filesystem::path folder =
        mv::ResolveProgramFolder(QApplication::applicationDirPath().toStdString());
    mv::ClassInstructor instructor({folder});
    mv::ClassBroker broker;
    QTemporaryDir brokerFolder;
    mv::ClassInstructor::Join join;
    join.Class = code;
    QString hint;
    if (parser.isSet("join")) {
        if (!mv::ClassSeat::ParseAddress(parser.value("join"), join.Host, join.Port))
            return Fail("not a broker's address (host:port): " + parser.value("join"));
        join.User = parser.value("user");
        join.Password = parser.value("password");
        join.CaFile = parser.value("cafile");
        hint = QString("Class %1 on the broker at %2:%3").arg(code, join.Host).arg(join.Port);
    } else {
        const int seats = parser.value("seats").toInt();
        const int port = parser.value("port").toInt();
        if (seats < 1 || seats > 200) return Fail("--seats takes 1 to 200");
        if (port < 1 || port > 65535) return Fail("--port takes 1 to 65535");
        const QString seatPassword =
            parser.isSet("seat-password") ? parser.value("seat-password") : NewPassword();
        // The station's own account: made up afresh each time, never typed by anyone.
        join.User = "instructor";
        join.Password = NewPassword() + NewPassword();
        std::vector<mv::ClassAccount> accounts{{join.User, join.Password, true}};
        for (int i = 1; i <= seats; ++i)
            accounts.push_back({QString("seat%1").arg(i), seatPassword, false});
        if (!brokerFolder.isValid()) return Fail("no temporary folder for the broker's files");
        if (parser.isSet("cert") != parser.isSet("key"))
            return Fail("--cert and --key go together: the broker's certificate and its key");
        if (parser.isSet("cert")) {
            // A self-signed certificate is its own CA.
            const QString ca =
                parser.isSet("cafile") ? parser.value("cafile") : parser.value("cert");
            broker.SetTls({parser.value("cert"), parser.value("key"), ca});
            // The station dials its own broker at 127.0.0.1, which the certificate, made for
            // the name the seats dial, need not name.
            join.CaFile = ca;
            join.CheckHost = false;
        }
        const QString error =
            broker.Start(brokerFolder.path(), parser.value("bind"), port, code, accounts);
        if (!error.isEmpty()) return Fail(error);
        join.Host = "127.0.0.1";
        join.Port = port;
        hint = QString("Class %1: seats join with  marovane --join THIS-MACHINE:%2 --class %1 "
                       "--name NAME --user seatN --password %3%5  (seat1 to seat%4)")
                   .arg(code)
                   .arg(port)
                   .arg(seatPassword)
                   .arg(seats)
                   .arg(join.CaFile.isEmpty() ? QString() : " --cafile CA-CERTIFICATE");
        std::printf("%s\n", hint.toLocal8Bit().constData());
        std::fflush(stdout);
    }
    mv::QtDialogs dialogs;
    mv::InstructorWindow window(instructor, dialogs);
    window.setJoinHint(hint);
    QObject::connect(&instructor, &mv::ClassInstructor::refused, &window,
                     [&dialogs](const QString& why) {
                         dialogs.message(why, "Instructor", mv::Dialogs::Icon::Exclamation,
                                         mv::Dialogs::Buttons::Ok);
                     });
    QObject::connect(&broker, &mv::ClassBroker::stopped, &window, [&dialogs](const QString& why) {
        dialogs.message(why, "Instructor", mv::Dialogs::Icon::Critical, mv::Dialogs::Buttons::Ok);
    });
    if (!instructor.JoinClass(join)) return Fail(instructor.error());
    // A class started from a script: the exercise starts once enough seats are there.
    bool tried = false;
    if (parser.isSet("start")) {
        const int wanted = parser.value("start-seats").toInt();
        const double spacing = parser.value("one-sea").toDouble();
        if (wanted < 1) return Fail("--start-seats takes 1 or more");
        if (parser.isSet("one-sea") && !(spacing >= 0.2 && spacing <= 5))
            return Fail("--one-sea takes 0.2 to 5 nautical miles");
        QObject::connect(
            &instructor, &mv::ClassInstructor::rosterChanged, &window, [&, wanted, spacing] {
                if (tried) return;
                const auto& seats = instructor.seats();
                if (std::count_if(seats.begin(), seats.end(), [](const mv::ClassSeatRow& r) {
                        return r.Status == mv::ClassStatus::Kind::Connected;
                    }) < wanted)
                    return;
                tried = true; // once: a file that will not start says so once
                const QString error = instructor.StartExercise(parser.value("start"),
                                                               parser.isSet("one-sea"), spacing);
                if (!error.isEmpty())
                    return void(std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData()));
                // Started unattended, the station opens on the watch over the seats.
                if (auto* tabs = window.findChild<QTabWidget*>("tabClass"))
                    tabs->setCurrentIndex(tabs->count() - 1);
            });
    }
    window.show();
    return app.exec();
}
