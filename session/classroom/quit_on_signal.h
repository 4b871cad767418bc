#pragma once
// A station stopped with SIGTERM (a shutdown, `kill`) or SIGINT (Ctrl+C in its terminal) quits
// its event loop as if its window were closed, so that what it owns is torn down in order: the
// broker it started is stopped and its port freed, rather than left running with nobody to stop
// it.

class QObject;

namespace mv {

// Installs the handlers once for the program; the quit runs on the thread of `parent`, which
// owns the watcher. False when the handlers could not be set (the signals then end the program
// as they would by default).
bool QuitOnTerminationSignals(QObject* parent);

} // namespace mv
