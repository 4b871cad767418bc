// A three-hour exercise at x1 with five targets (3,600 moments) as the debrief meets it:
// opening its record, beside reading the file's bytes, and a jump on the replay's timeline
// redrawn, beside a plain redraw of the same picture. Prints the record's size per hour.

#include "app/replay_window.h"
#include "bench/bench_support.h"
#include "core/record/run_reader.h"
#include "core/record/run_writer.h"
#include "core/simulation.h"
#include "gui/moment_renderer.h"
#include "gui/world_picture_widget.h"
#include "session/run_recorder.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace {

constexpr int kMoments = 3600;
std::filesystem::path recordPath;
mv::ReplayWindow* replay = nullptr;

// The six vessels of the benchmarks ticked for three hours at x1, plotting every 3 minutes,
// each moment recorded as the program records it.
bool WriteRecord(const std::filesystem::path& path) {
    mv::Simulation sim;
    mv::bench::PlaceSixVessels(sim.Vessels);
    mv::RadarDisplayState display;
    display.Tick.PlotOn = true;
    display.Tick.PlotFreqIndex = 1;
    display.EBLOn = display.VRMOn = true;
    display.VRMRange = 3.0;
    std::vector<mv::RunVessel> vessels;
    for (int i = 0; i < 6; ++i)
        vessels.push_back(
            {i, mv::VesselLetter(i), sim.Vessels.Vessel[static_cast<size_t>(i)].Size});
    std::string error;
    auto writer = mv::RunWriter::Create(path,
                                        {{"Bench", "Bench.dem", "2026-12-07T12:00:00Z", "0"},
                                         vessels,
                                         mv::RunRecorder::Moment(sim, display, 0),
                                         {}},
                                        error);
    if (!writer) {
        std::fprintf(stderr, "bench_replay: %s\n", error.c_str());
        return false;
    }
    mv::UnseenView view;
    for (int k = 1; k < kMoments; ++k) {
        sim.Tick(display.Tick, view);
        writer->AddTick(mv::RunRecorder::Moment(sim, display, k));
        if (k % 600 == 300)
            writer->AddEvent({k, sim.Clock.SimTime, "cpa data", 1, "B CPA data: CPA 1.20 nm."});
    }
    return !writer->failed();
}

void BM_OpenRecord(benchmark::State& state) {
    for (auto _ : state) {
        const mv::RunReadResult read = mv::ReadRunRecord(recordPath);
        if (!read.ok()) state.SkipWithError(read.Error.c_str());
        benchmark::DoNotOptimize(read.Record->Ticks.size());
    }
}
BENCHMARK(BM_OpenRecord)->Unit(benchmark::kMillisecond);

void BM_BaselineReadBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(recordPath, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        benchmark::DoNotOptimize(bytes.str().size());
    }
}
BENCHMARK(BM_BaselineReadBytes)->Unit(benchmark::kMillisecond);

void BM_TimelineJump(benchmark::State& state) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> moment(0, kMoments - 1);
    for (auto _ : state) {
        replay->ShowMoment(moment(random));
        replay->pictureWidget()->repaint();
    }
}
BENCHMARK(BM_TimelineJump)->Unit(benchmark::kMillisecond);

void BM_BaselinePlainRedraw(benchmark::State& state) {
    // The moment's plain state made once: only its drawing, of the same size, and the repaint.
    const mv::RadarMoment moment =
        mv::MomentOf(replay->run(), replay->moment(), {}, mv::DisplayPalette::Day);
    mv::WorldPicture picture;
    picture.resize(replay->pictureWidget()->size());
    mv::MomentRenderer renderer(picture);
    for (auto _ : state) {
        renderer.Render(moment);
        replay->pictureWidget()->repaint();
    }
}
BENCHMARK(BM_BaselinePlainRedraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    recordPath = std::filesystem::path(folder.path().toStdString()) / "bench.mvrun";
    if (!WriteRecord(recordPath)) return 1;
    const double bytes = static_cast<double>(std::filesystem::file_size(recordPath));
    mv::RunReadResult read = mv::ReadRunRecord(recordPath);
    if (!read.ok()) return 1;
    mv::ScriptedDialogs dialogs;
    mv::ReplayWindow window(std::move(*read.Record), QString::fromStdString(recordPath.string()),
                            dialogs, mv::DisplayPalette::Day, {});
    window.resize(1366, 768);
    window.show();
    QApplication::processEvents();
    replay = &window;
    const int status = mv::bench::RunAndReport(argc, argv, [&](const mv::bench::RatioReporter& r) {
        r.PrintRatio("open a 3,600-moment record / read its bytes", "BM_OpenRecord",
                     "BM_BaselineReadBytes");
        r.PrintRatio("timeline jump and repaint / plain redraw and repaint", "BM_TimelineJump",
                     "BM_BaselinePlainRedraw");
        std::printf("record of six vessels: %.0f kB for %d moments, %.0f kB per hour at a moment "
                    "every 3 seconds\n",
                    bytes / 1024, kMoments, bytes / 1024 / (kMoments * 3.0 / 3600.0));
    });
    replay = nullptr;
    return status;
}
