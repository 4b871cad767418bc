#pragma once
// A student's machine without a screen, for tests and benchmarks of a class: an exercise, its
// recorder and the seat, as the program holds them.

#include "session/classroom/class_seat.h"
#include "session/exercise.h"
#include "session/run_recorder.h"
#include "tests/support/no_picture.h"
#include "tests/support/scripted_dialogs.h"

#include <QTemporaryDir>

#include <memory>

namespace mv {

// A student's machine: an exercise in an empty program folder (no demos: the exercise's demo
// comes from the instructor), its recorder, and the seat.
struct Machine {
    explicit Machine(const QString& seatName, const QString& student) : name(seatName) {
        exercise = std::make_unique<Exercise>(sim, display, dialogs, folder.path().toStdString());
        exercise->setView(&picture);
        recorder = std::make_unique<RunRecorder>(*exercise, folder.filePath("runs"));
        seat = std::make_unique<ClassSeat>(*exercise, *recorder);
        join.Class = "nav1";
        join.User = seatName;
        join.Password = seatName + "-pw";
        join.Student = student;
    }
    // Sea time runs on by whole ticks until `clock` (days), as the timer would run it.
    void TickTo(double clock) {
        while (sim.Clock.SimTime < clock)
            exercise->tmrSim_Timer();
    }

    QString name;
    QTemporaryDir folder;
    Simulation sim;
    RadarDisplayState display;
    ScriptedDialogs dialogs;
    NoPicture picture;
    std::unique_ptr<Exercise> exercise;
    std::unique_ptr<RunRecorder> recorder;
    std::unique_ptr<ClassSeat> seat;
    ClassSeat::Join join;
};

} // namespace mv
