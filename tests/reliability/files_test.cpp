// Files that fight back, through the real windows: a demo of 10 MB (refused by name) and a disk
// that fills up during Store as Demo. Each is said in a message or works; the running scenario and
// every file already on disk stay as they were, and nothing is left half-written.

#include "app/set_targets.h"
#include "app/traffic_selector.h"
#include "tests/support/exercise_fixture.h"

#include <QDir>

#include <csignal>
#include <sys/resource.h>

#include <fstream>

namespace {

class Files : public mv::test::ExerciseFixture {
  protected:
    void SetUp() override {
        ExerciseFixture::SetUp();
        WriteDemo("Head on.dem", "Head on\r\n 2 \r\nMEDIUM, 000, 12\r\nLARGE, 180, 10, 000, 8\r\n");
        traffic = &console->traffic();
        ASSERT_TRUE(exercise->LoadDemo("Head on.dem"));
    }
    // Store as Demo of the own-targets dialog, as run from the demo in force, to `path`.
    void Store(const QString& path) {
        traffic->Choose(mv::ScenarioSource::OwnTargets);
        Click("cmdRun", &traffic->setTargets());
        traffic->Choose(mv::ScenarioSource::OwnTargets);
        dialogs.texts = {"Stored", path};
        Click("cmdSaveDemo", &traffic->setTargets());
        traffic->setTargets().hide();
    }
    QByteArray Bytes(const QString& name) {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Leftovers() {
        return QDir(folder.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden);
    }
    mv::TrafficSelector* traffic = nullptr;
};

TEST_F(Files, ADemoOfTenMegabytesIsRefusedByNameAndTheScenarioGoesOn) {
    QByteArray text = "Long\r\n 2 \r\nMEDIUM, 000, 12\r\nLARGE, 180, 10, 000, 8\r\n";
    text += QByteArray(10 * 1024 * 1024, 'x');
    WriteDemo("Long.dem", text);
    const auto running = sim.Vessels.Vessel;
    EXPECT_FALSE(traffic->LoadDemoList());
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().back().contains("too large"));
    EXPECT_TRUE(dialogs.messages().back().contains("(Long.dem)"));
    EXPECT_FALSE(exercise->LoadDemo("Long.dem"));
    EXPECT_EQ(sim.Title, "Head on");
    EXPECT_EQ(sim.Vessels.Vessel, running);
}

TEST_F(Files, ADiskThatFillsUpDuringStoreLeavesTheOldFileWhole) {
    WriteDemo("Mine.dem", "Mine\r\n 1 \r\nSMALL, 090, 8\r\n");
    const QByteArray old = Bytes("Mine.dem");
    // A file-size limit is a full disk to the writer: the write fails with EFBIG instead of
    // the process being stopped by SIGXFSZ.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    traffic->Choose(mv::ScenarioSource::OwnTargets);
    Click("cmdRun", &traffic->setTargets());
    sim.Description = std::string(100 * 1024, 'y');
    traffic->Choose(mv::ScenarioSource::OwnTargets);
    dialogs.texts = {"Stored", folder.filePath("Mine.dem")};
    Click("cmdSaveDemo", &traffic->setTargets());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().back().startsWith("Error in SaveDemo: "))
        << dialogs.messages().back().toStdString();
    EXPECT_EQ(Bytes("Mine.dem"), old);
    EXPECT_TRUE(Leftovers().isEmpty());
    EXPECT_EQ(sim.Title, "Own targets"); // the scenario run just before goes on
}

} // namespace
