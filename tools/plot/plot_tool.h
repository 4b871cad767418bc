#pragma once
// The command line of marovane-plot, testable without a process: arguments in, text out.

#include "tools/plot/grade_command.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

// args excludes the program name. Returns the exit code: 0 done, 1 unreadable file or
// uncomputable sightings, 2 wrong arguments (usage on err). A demo named without a folder
// that is not in the working folder is looked for in demoFolders, in order. writePdf writes
// the reports of grade --pdf.
int RunPlotTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::vector<std::filesystem::path>& demoFolders = {},
                const ReportPdfWriter& writePdf = {});

} // namespace mv
