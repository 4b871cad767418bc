// The program folder in the layouts a copy of the program is found in: a build tree, a portable
// copy unpacked anywhere, an installed prefix, and a copy whose data is lost.

#include "core/program_folder.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Empty files, with their folders, under a fresh folder.
class ProgramFolderTest : public testing::Test {
  protected:
    void Make(const std::vector<std::string>& files) {
        for (const std::string& file : files) {
            fs::create_directories((root / file).parent_path());
            std::ofstream(root / file) << "";
        }
    }
    mv::test::TempDir dir;
    const fs::path& root = dir.path;
};

TEST_F(ProgramFolderTest, TheFolderThatHoldsTheYawTable) {
    struct Case {
        const char* layout;
        std::vector<std::string> files;
        const char* exeFolder;
        const char* expected;
    };
    const Case cases[] = {
        {"build tree",
         {"build/bin/marovane", "build/bin/Yaw.txt", "build/bin/Default.dem"},
         "build/bin",
         "build/bin"},
        // A portable copy wins over an installed copy under the same prefix.
        {"portable copy in a prefix",
         {"usr/bin/Yaw.txt", "usr/share/marovane/Yaw.txt"},
         "usr/bin",
         "usr/bin"},
        // Found as /usr/share/marovane, not /usr/bin/../share/marovane: paths compare by element.
        {"installed prefix",
         {"usr/bin/marovane", "usr/share/marovane/Yaw.txt", "usr/share/marovane/Default.dem"},
         "usr/bin",
         "usr/share/marovane"},
        // Demos without a yaw table are a collection of demos, not the program's data.
        {"demos but no yaw table",
         {"usr/bin/Default.dem", "usr/share/marovane/Yaw.txt"},
         "usr/bin",
         "usr/share/marovane"},
        // Nothing anywhere: the executable's folder, so the message names where it looked.
        {"data lost", {"usr/bin/marovane", "usr/share/marovane/Default.dem"}, "usr/bin", "usr/bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        fs::remove_all(root);
        Make(c.files);
        EXPECT_EQ(mv::ResolveProgramFolder(root / c.exeFolder), root / c.expected);
    }
}

} // namespace
