// The program folder in the layouts a copy of the program is found in: a build tree, a portable
// copy unpacked anywhere, an installed prefix, and a copy whose data is lost.

#include "core/program_folder.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, TheFolderThatHoldsTheYawTable) {
    // The layout's empty files, the executable's folder under it, the folder expected.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"build tree", "build/bin/marovane build/bin/Yaw.txt build/bin/Default.dem", "build/bin",
         "build/bin"},
        // A portable copy wins over an installed copy under the same prefix.
        {"portable copy", "usr/bin/Yaw.txt usr/share/marovane/Yaw.txt", "usr/bin", "usr/bin"},
        // Found as /usr/share/marovane, not /usr/bin/../share/marovane: paths compare by element.
        {"installed prefix", "usr/bin/marovane usr/share/marovane/Yaw.txt", "usr/bin",
         "usr/share/marovane"},
        // Nothing anywhere: the executable's folder, so the message names where it looked.
        {"data lost", "usr/bin/marovane usr/share/marovane/Default.dem", "usr/bin", "usr/bin"},
    };
    for (const auto& [layout, files, exeFolder, expected] : cases) {
        SCOPED_TRACE(layout);
        const mv::test::TempDir dir;
        std::istringstream names(files);
        for (std::string file; names >> file;) {
            fs::create_directories((dir.path / file).parent_path());
            std::ofstream(dir.path / file) << "";
        }
        EXPECT_EQ(mv::ResolveProgramFolder(dir.path / exeFolder), dir.path / expected);
    }
}

} // namespace
