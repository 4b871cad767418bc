#pragma once
// A radar console on an exercise of its own, in a temporary program folder, with scripted
// message boxes: the starting point of every window test that runs an exercise.

#include "display/radar_console.h"
#include "shell/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace mv::test {

class ExerciseFixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        exercise = std::make_unique<Exercise>(sim, display, dialogs, folder.path().toStdString());
        // The user's demo folder, not made yet, as on a first run.
        exercise->setUserFolder(folder.filePath("user").toStdString());
        console = std::make_unique<RadarConsole>(*exercise, dialogs);
        // A picture of about 720 x 800 pixels, some 30 pixels to the mile at 12 nm.
        console->resize(1100, 808);
        console->show();
    }

    void WriteDemo(const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // An own vessel at a standstill and target lines ("SIZE, heading, speed, bearing, range"),
    // started as a demo.
    void LoadOwnAnd(int ownHeading, std::initializer_list<QByteArray> targets) {
        QByteArray text = "Test\r\n " + QByteArray::number(1 + static_cast<int>(targets.size())) +
                          " \r\nMEDIUM, " + QByteArray::number(ownHeading) + ", 0\r\n";
        for (const QByteArray& t : targets)
            text += t + "\r\n";
        WriteDemo("Test.dem", text);
        ASSERT_TRUE(exercise->LoadDemo("Test.dem"));
    }
    void LoadOwnAndTarget(int ownHeading, const QByteArray& target) {
        if (target.isEmpty())
            LoadOwnAnd(ownHeading, {});
        else
            LoadOwnAnd(ownHeading, {target});
    }

    QTemporaryDir folder;
    Simulation sim;
    RadarDisplayState display;
    ScriptedDialogs dialogs;
    std::unique_ptr<Exercise> exercise;
    std::unique_ptr<RadarConsole> console;
};

} // namespace mv::test
