// A station's broker in a process of its own, for a test to kill as a station may be killed:
// `class_broker_child FOLDER PORT`. It starts a class's broker on 127.0.0.1:PORT, says
// "listening" on its output, and runs until a signal ends it; SIGTERM and SIGINT quit it as
// they quit the instructor station.

#include "session/classroom/class_broker.h"
#include "session/classroom/quit_on_signal.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: class_broker_child FOLDER PORT\n");
        return 2;
    }
    mv::ClassBroker broker;
    const QString error = broker.Start(argv[1], "127.0.0.1", QString(argv[2]).toInt(), "nav1",
                                       {{"teacher", "teacher-pw", true}});
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!mv::QuitOnTerminationSignals(&app)) return 3;
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec(); // the broker is stopped on the way out
}
