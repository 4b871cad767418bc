#pragma once

namespace mv {

// Creates the windows, shows the main window maximised and runs the event loop.
int RunMarovane(int argc, char** argv);

} // namespace mv
