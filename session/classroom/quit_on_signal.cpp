#include "session/classroom/quit_on_signal.h"

#include <QCoreApplication>
#include <QObject>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mv {

#ifdef Q_OS_UNIX
namespace {

// A signal handler may do next to nothing: it writes one byte into a pipe whose other end the
// event loop watches (the self-pipe), and the loop does the quitting.
int gPipe[2] = {-1, -1};

extern "C" void OnTerminate(int) {
    const char byte = 1;
    // Nothing to do if the pipe is full: a quit is already on its way.
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
}

} // namespace

bool QuitOnTerminationSignals(QObject* parent) {
    if (gPipe[0] >= 0) return true;
    if (::pipe(gPipe) != 0) return false;
    for (const int fd : gPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC); // not handed on to the broker
    }
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char bytes[16];
        while (::read(gPipe[0], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGINT, &action, nullptr) == 0;
}
#else
bool QuitOnTerminationSignals(QObject*) {
    return false;
}
#endif

} // namespace mv
