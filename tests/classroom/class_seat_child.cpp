// A seat in a process of its own, for a test to stop and continue with signals as a machine
// that freezes would: `class_seat_child PORT USER PASSWORD STUDENT KEEPALIVE`. It says "joined"
// on its output at every connection and runs until killed.

#include "tests/classroom/class_machine.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: class_seat_child PORT USER PASSWORD STUDENT KEEPALIVE\n");
        return 2;
    }
    mv::Machine m(argv[2], argv[4]);
    m.join.Port = QString(argv[1]).toInt();
    m.join.Password = argv[3];
    m.join.KeepAlive = QString(argv[5]).toInt();
    QObject::connect(m.seat.get(), &mv::ClassSeat::joined, [] {
        std::printf("joined\n");
        std::fflush(stdout);
    });
    if (!m.seat->JoinClass(m.join)) {
        std::fprintf(stderr, "%s\n", qPrintable(m.seat->error()));
        return 1;
    }
    return app.exec();
}
