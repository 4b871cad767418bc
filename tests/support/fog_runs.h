#pragma once
// A head-on meeting in fog as an assessed exercise (own vessel 000 at 12 knots, B 8 miles
// ahead on 180 at 10 knots, every target to pass at 2 miles by an alteration made by 12:10),
// and a student's recorded run of it: the own vessel ordered to a new course at 12:05:00.

#include "core/exercise/answer_key.h"
#include "core/exercise/grading.h"
#include "core/record/run_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace mv::test {

// The exercise's text with the question's figures, e.g. "\"cpa\"".
inline std::string FogExercise(const std::string& figures) {
    return "restricted_visibility = true\n[scenario]\n[[scenario.vessel]]\ncourse = 0\n"
           "speed = 12\n[[scenario.vessel]]\ncourse = 180\nspeed = 10\nbearing = 5\n"
           "range = 8\n[[question]]\nat = 12:06:00\nfigures = [" +
           figures + "]\n[action]\nmin_cpa = 2\nact_by = 12:10:00\n";
}

// `ticks` moments of 3 seconds from `start` into FOLDER/STUDENT.mvrun, the own vessel turned
// to `course` at tick 100 (12:05:00); `hand` gives answers "Question 1: ..." for B at a tick.
// `text` is the exercise's text the record keeps (none, as an older record).
inline void RecordFogRun(const std::filesystem::path& folder, const Simulation& start,
                         const std::string& student, int course, int ticks,
                         const std::function<void(int t, std::vector<Answer>&)>& hand,
                         const std::string& text = {}) {
    std::string error;
    std::unique_ptr<RunWriter> w;
    Simulation sim = start;
    TickDisplay display;
    UnseenView view;
    for (int t = 0; t <= ticks; ++t) {
        RunTick tick{t, sim.Clock.SimTime, 1, 0, {}, {}};
        for (size_t i = 0; i < 2; ++i) {
            const VesselData& v = sim.Vessels.Vessel[i];
            tick.Vessels.push_back(
                {sim.Vessels.VesselPos[i], v.Heading, v.Speed, v.NewHeading, v.NewSpeed});
        }
        if (t == 0) {
            w = RunWriter::Create(folder / (student + ".mvrun"),
                                  {{"Fog", "fog.toml", "2026-12-07T14:30:15Z", "0"},
                                   {{0, "A", kMedium}, {1, "B", kMedium}},
                                   tick,
                                   RunExercise{"fog.toml", student, text}},
                                  error);
            ASSERT_TRUE(w) << error;
            w->AddEvent({0, 0.5, "exercise", -1, ExerciseOpenedText("fog.toml", student)});
        } else {
            w->AddTick(tick);
        }
        if (t == 100) {
            sim.Vessels.Vessel[0].NewHeading = static_cast<int16_t>(course);
            sim.Maneuvering = sim.Turning = true;
        }
        std::vector<Answer> answers;
        hand(t, answers);
        for (const Answer& a : answers) {
            w->AddEvent({t, sim.Clock.SimTime, "answer", 1, AnswerEventText(a)});
            w->AddAnswer(
                {t, sim.Clock.SimTime, static_cast<int>(a.Question), a.Vessel, a.Asked, a.Value});
        }
        sim.Tick(display, view);
    }
    w->AddEvent({ticks, sim.Clock.SimTime, "end", -1, ExerciseEndedText("time limit")});
    w->SetEnding({ticks, sim.Clock.SimTime, "time limit"});
    ASSERT_FALSE(w->failed()) << w->error();
}

} // namespace mv::test
