#pragma once
// marovane-plot grade: the class table of an assessed exercise, every mark worked afresh from
// the exercise file and the run records (the answers handed in and the own vessel's track), so
// nothing written by the program on the student's machine is taken on trust.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

// args follow the word "grade". Returns 0 done, 1 an exercise or record that cannot be read,
// 2 wrong arguments.
int RunGrade(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::filesystem::path>& demoFolders);

} // namespace mv
