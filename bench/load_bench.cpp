// Loading a demo as the chooser's Run does it, up to the vessel tables: the file read whole,
// parsed (titles, six vessels, the description reflowed) and the vessels placed, beside the
// bare read of the same bytes, the two taking turns in the same run. The ratio says what the
// parsing and the placing cost over the file system's own work. The demo is the largest
// shipped one, so the description's reflow weighs as it does for a user.

#include "bench/bench_support.h"
#include "core/scenario/demo_file.h"
#include "core/vessel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::filesystem::path LargestDemo() {
    std::filesystem::path largest;
    std::uintmax_t most = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MAROVANE_DATA_DIR))
        if (entry.path().extension() == ".dem" && entry.file_size() > most)
            most = entry.file_size(), largest = entry.path();
    return largest;
}

const std::filesystem::path kDemo = LargestDemo();

void BM_LoadDemo(benchmark::State& state) {
    for (auto _ : state) {
        const mv::DemoReadResult read = mv::ReadDemoFile(kDemo);
        if (!read.ok()) {
            state.SkipWithError(read.Error.c_str());
            break;
        }
        mv::VesselTables tables;
        mv::PlaceDemoVessels(*read.Scenario, tables);
        benchmark::DoNotOptimize(tables.VesselPos.data());
    }
}
BENCHMARK(BM_LoadDemo)->Unit(benchmark::kMicrosecond);

void BM_BaselineReadFile(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(kDemo, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_BaselineReadFile)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& reporter) {
        reporter.PrintRatio("demo load / file read", "BM_LoadDemo", "BM_BaselineReadFile");
    });
}
