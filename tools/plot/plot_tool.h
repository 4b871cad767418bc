#pragma once
// The command line of marovane-plot, testable without a process: arguments in, text out.

#include <ostream>
#include <string>
#include <vector>

namespace mv {

// args excludes the program name. Returns the exit code: 0 done, 1 unreadable file or
// uncomputable sightings, 2 wrong arguments (usage on err).
int RunPlotTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace mv
