// A recorder that writes moments as fast as a long exercise at its highest time factor never
// could, to be killed at any moment by the kill test. Each moment's number goes to standard
// output once it is handed to the writer; the figures of moment i are known from i alone.

#include "core/record/run_writer.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string error;
    std::vector<mv::RunVessel> vessels;
    for (int v = 0; v < mv::kMaxVessels; ++v)
        vessels.push_back({v, mv::VesselLetter(v), mv::kMedium});
    auto writer = mv::RunWriter::Create(argv[1], {"Kill", "Kill.dem", "", "0"}, vessels, error);
    if (!writer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (int64_t i = 0;; ++i) {
        mv::RunTick t;
        t.Index = i;
        t.SimTime = 0.5 + static_cast<double>(i) / 28800.0;
        for (int v = 0; v < mv::kMaxVessels; ++v)
            t.Vessels.push_back(
                {{static_cast<double>(i) * 0.001, v * 1.0}, 90.0f, 12.0f, 90, 12.0f});
        if (!writer->AddTick(t)) return 1;
        const std::string line = std::to_string(i) + "\n";
        if (write(1, line.data(), line.size()) < 0) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
