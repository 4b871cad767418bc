// The program as `cmake --install` lays it out under a prefix (the tree the Debian package is
// made of): started from its bin/ folder it finds the yaw table and the demos in
// share/marovane, starts Default.dem without a word, and looks for its documents there too.

#include "app/application.h"
#include "app/help_commands.h"
#include "app/radar_console.h"
#include "app/scenario_list.h"
#include "app/traffic_selector.h"
#include "core/program_folder.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QListWidget>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(InstalledTree, StartsFromBinWithItsDataAndDocumentsInShare) {
    const fs::path prefix = MAROVANE_INSTALL_CHECK_PREFIX;
    ASSERT_TRUE(fs::is_regular_file(prefix / "bin" / "marovane"));
    ASSERT_FALSE(fs::exists(prefix / "bin" / "Yaw.txt"));
    const fs::path folder = mv::ResolveProgramFolder(prefix / "bin");
    EXPECT_EQ(folder, prefix / "share" / "marovane");

    mv::ScriptedDialogs dialogs;
    mv::Application app(folder, dialogs);
    // The user's folder of a first run: nothing stored yet.
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text.toStdString();
    EXPECT_FALSE(app.simulation().Title.empty());
    size_t shipped = 0;
    for (const auto& entry : fs::directory_iterator(MAROVANE_DATA_DIR))
        shipped += entry.path().extension() == ".dem";
    EXPECT_GE(static_cast<size_t>(app.console().traffic().scenarioList().lstScenarios()->count()),
              shipped);

    // The manual is asked for where the install put the documents folder, when there is one.
    mv::OpenManual(dialogs, folder);
    ASSERT_FALSE(dialogs.shown.empty());
    // Opened when it is there; "File <path> not found" when the build made no documents.
    QString asked = dialogs.shown.back().text;
    if (asked.startsWith("File ") && asked.endsWith(" not found"))
        asked = asked.mid(5, asked.size() - 5 - 10);
    const fs::path manual = asked.toStdString();
    EXPECT_EQ(manual.parent_path(), folder / "Marovane Docs");
    if (fs::exists(fs::path(MAROVANE_BUILD_BIN_DIR) / "Marovane Docs" / manual.filename())) {
        EXPECT_TRUE(fs::is_regular_file(manual));
    }
}

} // namespace
