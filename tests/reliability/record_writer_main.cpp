// A recorder that writes moments as fast as a long exercise at its highest time factor never
// could, to be killed at any moment by the kill test. Each moment's number goes to standard
// output once the writer has returned from it, and "a" after it once an answer handed in with
// it (one every tenth moment) has; the figures of moment i are known from i alone.

#include "core/record/run_writer.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

mv::RunTick Moment(int64_t i) {
    mv::RunTick t;
    t.Index = i;
    t.SimTime = 0.5 + static_cast<double>(i) / 28800.0;
    for (int v = 0; v < mv::kMaxVessels; ++v)
        t.Vessels.push_back({{static_cast<double>(i) * 0.001, v * 1.0}, 90.0f, 12.0f, 90, 12.0f});
    return t;
}

bool Say(const std::string& line) {
    return write(1, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string error;
    mv::RunOpening opening{{"Kill", "Kill.dem", "", "0"}, {}, Moment(0), mv::RunExercise{}};
    for (int v = 0; v < mv::kMaxVessels; ++v)
        opening.Vessels.push_back({v, mv::VesselLetter(v), mv::kMedium});
    auto writer = mv::RunWriter::Create(argv[1], opening, error);
    if (!writer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (int64_t i = 0;; ++i) {
        if (i > 0 && !writer->AddTick(Moment(i))) return 1;
        if (!Say(std::to_string(i) + "\n")) return 1;
        if (i % 10 == 5) {
            const mv::RunAnswer a{i, Moment(i).SimTime, static_cast<int>(i / 10),
                                  1, mv::Figure::Cpa,   0.5};
            if (!writer->AddAnswer(a) || !Say("a\n")) return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
