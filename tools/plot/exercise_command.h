#pragma once
// marovane-plot exercise: the answer key of an assessed exercise at any moment, through the
// same simulation as the program (timed orders and current included).

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

// args follow the word "exercise". Returns 0 done, 1 an exercise that cannot be read or
// started, 2 wrong arguments. A demo the exercise names is looked for beside it, then in
// demoFolders.
int RunExerciseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       const std::vector<std::filesystem::path>& demoFolders);

} // namespace mv
