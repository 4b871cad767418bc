// Exercise files of any bytes: the reader gives either a whole exercise or one message that
// names the file and a line, never both; an exercise it accepts builds a simulation (or says
// why not, leaving the simulation untouched) that runs an hour at x120 with every position a
// number.

#include "core/exercise/exercise_file.h"
#include "fuzz/fuzz_check.h"

#include <cmath>

using namespace mv;
using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const ExerciseReadResult read = ParseExercise(fuzz::Bytes(data, size), "f.toml");
    Check(read.ok() == read.Error.empty(), "an exercise or a message, not both");
    if (!read.ok()) {
        Check(read.Error.starts_with("f.toml, line "), "the message names the file and line");
        return 0;
    }
    Simulation sim;
    const std::string error = BuildExerciseSimulation(*read.Exercise, {}, {}, sim);
    if (!error.empty()) {
        Check(sim.Vessels.NumVessels == 0, "a failed build leaves the simulation as it was");
        return 0;
    }
    TickDisplay display;
    UnseenView view;
    sim.Clock.SetTimeFactor(6);
    for (int t = 0; t < 10; ++t)
        sim.Tick(display, view);
    for (int i = 0; i < sim.Vessels.NumVessels; ++i) {
        const PointD& p = sim.Vessels.VesselPos[static_cast<size_t>(i)];
        Check(std::isfinite(p.X) && std::isfinite(p.Y), "every position a number");
    }
    return 0;
}
