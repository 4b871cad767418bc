#pragma once
// The program's entry: the start-up sequence from the splash to the main window, and the
// application object that opens the display.

#include <chrono>
#include <filesystem>
#include <memory>

class QApplication;

namespace mv {

class Application;
class Dialogs;

// The Qt application, or one line on stderr and exit code 1 when no display can be opened
// (instead of Qt's abort and core dump).
std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv);

// Start-up as the user meets it: the splash held a second from its first showing (less when a
// click or key dismisses it), the
// main window maximised with the console maximised inside it and Default.dem running. False
// when the program cannot go on (the message has been shown). The windows live until the
// event loop ends.
bool Main();

// What tests and benchmarks change about start-up; users never see it.
struct StartupSeam {
    std::chrono::milliseconds splashHold{1000};
    std::filesystem::path programFolder; // empty: beside the executable
    Dialogs* dialogs = nullptr;          // null: the Qt message boxes
    bool showDescription = true;         // the first exercise's description over the console
};
// The same sequence; the caller owns what it returns (null when the program cannot go on).
std::unique_ptr<Application> Main(const StartupSeam& seam);

} // namespace mv
