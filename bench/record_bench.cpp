// Long records as the debrief and the answer key meet them: 10^5 and 10^6 moments of six
// vessels over half a day of sea time (12:00:00 to 24:00:00). Each record is written once into a
// temporary folder; then `marovane-plot run` (open and summary), `run --at` the middle of the
// run, reading the record for the replay and filling its window until the first picture, and a
// timeline jump at 10%, 50% and 90% beside a plain redraw of the same picture. The last case grades
// 200 questions due at 23:59:59 against a recorded run, which should take well under a second.

#include "app/replay_window.h"
#include "bench/bench_support.h"
#include "core/exercise/exercise_file.h"
#include "core/record/run_reader.h"
#include "core/record/run_writer.h"
#include "core/simulation.h"
#include "gui/moment_renderer.h"
#include "gui/world_picture_widget.h"
#include "session/run_recorder.h"
#include "tests/support/scripted_dialogs.h"
#include "tools/plot/plot_tool.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

const std::vector<int64_t> kLengths{100'000, 1'000'000};
std::filesystem::path folder;
std::map<int64_t, std::filesystem::path> records;
std::map<int64_t, std::unique_ptr<mv::ReplayWindow>> replays;
mv::ScriptedDialogs dialogs;

// The six vessels of the benchmarks at a moment every 43,200 / n seconds; their motion is
// ticked at x1 (3 seconds) and started again every 3,600 moments, so that they stay inside the
// 12-mile picture whatever the length. The CPA alarm is on and acknowledged every 500 moments,
// so that the replay steps alarm state through the whole run.
bool WriteRecord(const std::filesystem::path& path, int64_t moments) {
    mv::Simulation sim;
    mv::bench::PlaceSixVessels(sim.Vessels);
    mv::RadarDisplayState display;
    display.Tick.PlotOn = true;
    display.Tick.PlotFreqIndex = 1;
    display.EBLOn = display.VRMOn = true;
    display.VRMRange = 3.0;
    display.Aids.Limits.CpaAlarmOn = true;
    std::vector<mv::RunVessel> vessels;
    for (int i = 0; i < 6; ++i)
        vessels.push_back(
            {i, mv::VesselLetter(i), sim.Vessels.Vessel[static_cast<size_t>(i)].Size});
    const double step = 0.5 / static_cast<double>(moments); // days
    const auto at = [&](int64_t k) {
        mv::RunTick t = mv::RunRecorder::Moment(sim, display, k);
        t.SimTime = 0.5 + step * static_cast<double>(k);
        return t;
    };
    std::string error;
    auto writer = mv::RunWriter::Create(
        path, {{"Bench", "Bench.dem", "2026-12-07T12:00:00Z", "0"}, vessels, at(0), {}}, error);
    if (!writer) {
        std::fprintf(stderr, "bench_record: %s\n", error.c_str());
        return false;
    }
    mv::bench::CountingView view;
    for (int64_t k = 1; k < moments && !writer->failed(); ++k) {
        if (k % 3600 == 0) sim.Vessels.RestoreStartState();
        sim.Tick(display.Tick, view);
        const mv::RunTick t = at(k);
        writer->AddTick(t);
        if (k % 500 == 250)
            writer->AddEvent({k, t.SimTime, "acknowledge", -1, "Alarm acknowledged"});
    }
    return !writer->failed();
}

std::string Clock(int64_t moment, int64_t moments) {
    const auto s = 43'200 + moment * 43'200 / moments;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
}

void Plot(benchmark::State& state, const std::vector<std::string>& args) {
    for (auto _ : state) {
        std::ostringstream out, err;
        if (mv::RunPlotTool(args, out, err) != 0) state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.str().size());
    }
}

void BM_RunSummary(benchmark::State& state) {
    Plot(state, {"run", records.at(state.range(0)).string()});
}
BENCHMARK(BM_RunSummary)->ArgsProduct({kLengths})->Unit(benchmark::kMillisecond);

void BM_RunAtMiddle(benchmark::State& state) {
    const int64_t n = state.range(0);
    Plot(state, {"run", records.at(n).string(), "--at", Clock(n / 2, n)});
}
BENCHMARK(BM_RunAtMiddle)->ArgsProduct({kLengths})->Unit(benchmark::kMillisecond);

// What the reading thread does before the replay can show its first picture: the record read
// and its alarms stepped through once for the timeline's jumps.
void BM_ReplayOpen(benchmark::State& state) {
    for (auto _ : state) {
        const mv::RunReadResult read = mv::ReadRunRecord(records.at(state.range(0)));
        if (!read.ok()) return state.SkipWithError(read.Error.c_str());
        benchmark::DoNotOptimize(mv::AlarmCheckpoints::StepThrough(*read.Record).size());
    }
}
BENCHMARK(BM_ReplayOpen)->ArgsProduct({kLengths})->Unit(benchmark::kMillisecond)->Iterations(1);

// What holds the window once the record has been read beside it: the replay filled with the
// run (its tracks thinned, its plot history made, its events listed)
// and its first picture drawn.
void BM_ReplayFill(benchmark::State& state) {
    std::unique_ptr<mv::ReplayWindow> window;
    for (auto _ : state) {
        state.PauseTiming();
        window.reset();
        mv::RunReadResult read = mv::ReadRunRecord(records.at(state.range(0)));
        if (!read.ok()) return state.SkipWithError(read.Error.c_str());
        std::vector<mv::AlarmState> alarms = mv::AlarmCheckpoints::StepThrough(*read.Record);
        window = std::make_unique<mv::ReplayWindow>(
            QString::fromStdString(records.at(state.range(0)).string()), dialogs,
            mv::DisplayPalette::Day, std::filesystem::path{});
        window->resize(1366, 768);
        window->show();
        QApplication::processEvents();
        state.ResumeTiming();
        window->Fill(std::move(*read.Record), std::move(alarms));
        window->repaint();
    }
}
BENCHMARK(BM_ReplayFill)->ArgsProduct({kLengths})->Unit(benchmark::kMillisecond)->Iterations(1);

// A jump to the percent given, from two moments away (one moment on is a step, not a jump).
void BM_TimelineJump(benchmark::State& state) {
    const int64_t n = state.range(0);
    if (!replays.count(n)) return state.SkipWithError("only the short record was written");
    mv::ReplayWindow& replay = *replays.at(n);
    const auto target = static_cast<std::size_t>(n * state.range(1) / 100);
    bool there = false;
    for (auto _ : state) {
        replay.ShowMoment(there ? target + 2 : target);
        replay.pictureWidget()->repaint();
        there = !there;
    }
}
BENCHMARK(BM_TimelineJump)
    ->ArgsProduct({kLengths, {10, 50, 90}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

void BM_BaselinePlainRedraw(benchmark::State& state) {
    if (!replays.count(state.range(0)))
        return state.SkipWithError("only the short record was written");
    mv::ReplayWindow& replay = *replays.at(state.range(0));
    // The moment's plain state made once: only its drawing, of the same size, and the repaint.
    const mv::RadarMoment moment =
        mv::MomentOf(replay.run(), replay.moment(), {}, mv::DisplayPalette::Day);
    mv::WorldPicture picture;
    picture.resize(replay.pictureWidget()->size());
    mv::MomentRenderer renderer(picture);
    for (auto _ : state) {
        renderer.Render(moment);
        replay.pictureWidget()->repaint();
    }
}
BENCHMARK(BM_BaselinePlainRedraw)->ArgsProduct({kLengths})->Unit(benchmark::kMillisecond);

// Exam 1's scenario asking 200 times for target B's CPA at 23:59:59, and an hour of its run
// recorded (1,200 moments at x1) with the exercise's text, as the program records it.
std::filesystem::path gradedRecord, gradedExercise;

bool WriteGradedRun() {
    std::string text = "title = \"Two hundred questions at midnight\"\n[scenario]\n"
                       "demo = \"AlteringTarget.dem\"\n";
    for (int q = 0; q < 200; ++q)
        text += "[[question]]\nat = 23:59:59\ntargets = [\"B\"]\nfigures = [\"cpa\"]\n";
    gradedExercise = folder / "Midnight.toml";
    std::ofstream(gradedExercise) << text;
    const mv::ExerciseReadResult read = mv::ParseExercise(text, "Midnight.toml");
    mv::Simulation sim;
    if (!read.ok() ||
        !mv::BuildExerciseSimulation(*read.Exercise, folder, {MAROVANE_DATA_DIR}, sim).empty()) {
        std::fprintf(stderr, "bench_record: %s\n", read.Error.c_str());
        return false;
    }
    mv::RadarDisplayState display;
    std::vector<mv::RunVessel> vessels;
    for (int i = 0; i < sim.Vessels.NumVessels; ++i)
        vessels.push_back(
            {i, mv::VesselLetter(i), sim.Vessels.Vessel[static_cast<size_t>(i)].Size});
    gradedRecord = folder / "midnight.mvrun";
    std::string error;
    auto writer =
        mv::RunWriter::Create(gradedRecord,
                              {{"Midnight", "AlteringTarget.dem", "2026-12-07T12:00:00Z", "0"},
                               vessels,
                               mv::RunRecorder::Moment(sim, display, 0),
                               mv::RunExercise{"Midnight.toml", "Ann", text}},
                              error);
    if (!writer) return false;
    mv::bench::CountingView view;
    for (int k = 1; k < 1200; ++k) {
        sim.Tick(display.Tick, view);
        writer->AddTick(mv::RunRecorder::Moment(sim, display, k));
    }
    for (int q = 0; q < 200; q += 20)
        writer->AddAnswer({1199, sim.Clock.SimTime, q, 1, mv::Figure::Cpa, 0.5});
    return !writer->failed();
}

void BM_Grade200AtMidnight(benchmark::State& state) {
    for (auto _ : state) {
        std::ostringstream out, err;
        if (mv::RunPlotTool({"grade", "--exercise", gradedExercise.string(), gradedRecord.string()},
                            out, err, {MAROVANE_DATA_DIR}) != 0)
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.str().size());
    }
}
BENCHMARK(BM_Grade200AtMidnight)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir temp;
    folder = temp.path().toStdString();
    if (!WriteGradedRun()) return 1;
    // MAROVANE_BENCH_SHORT=1 writes and measures only the shorter record: a quick look.
    const bool shortOnly = std::getenv("MAROVANE_BENCH_SHORT") != nullptr;
    for (const int64_t n : kLengths) {
        if (shortOnly && n != kLengths.front()) {
            records[n] = records[kLengths.front()];
            continue;
        }
        records[n] = folder / ("bench-" + std::to_string(n) + ".mvrun");
        if (!WriteRecord(records[n], n)) return 1;
        std::printf("record of %lld moments: %.1f MB\n", static_cast<long long>(n),
                    static_cast<double>(std::filesystem::file_size(records[n])) / 1e6);
        mv::RunReadResult read = mv::ReadRunRecord(records[n]);
        if (!read.ok()) return 1;
        auto window = std::make_unique<mv::ReplayWindow>(
            std::move(*read.Record), QString::fromStdString(records[n].string()), dialogs,
            mv::DisplayPalette::Day, std::filesystem::path{});
        window->resize(1366, 768);
        window->show();
        QApplication::processEvents();
        replays[n] = std::move(window);
    }
    if (const int count = mv::bench::InstructionCount(argc, argv); count > 0) {
        // Under callgrind: jumps to 90 % of the shorter record beside plain redraws of the picture
        // there (MAROVANE_BENCH_SHORT=1 spares writing the longer record under valgrind).
        mv::ReplayWindow& replay = *replays.at(kLengths.front());
        const auto target = static_cast<std::size_t>(kLengths.front() * 9 / 10);
        bool there = false;
        mv::bench::CountSteps("BM_TimelineJump", count, [&] {
            replay.ShowMoment(there ? target + 2 : target);
            replay.pictureWidget()->repaint();
            there = !there;
        });
        const mv::RadarMoment moment =
            mv::MomentOf(replay.run(), replay.moment(), {}, mv::DisplayPalette::Day);
        mv::WorldPicture picture;
        picture.resize(replay.pictureWidget()->size());
        mv::MomentRenderer renderer(picture);
        mv::bench::CountSteps("BM_BaselinePlainRedraw", count, [&] {
            renderer.Render(moment);
            replay.pictureWidget()->repaint();
        });
        replays.clear();
        return 0;
    }
    const int status = mv::bench::RunAndReport(argc, argv, [&](const mv::bench::RatioReporter& r) {
        for (const int64_t n : kLengths) {
            const std::string len = std::to_string(n);
            for (const char* pct : {"10", "50", "90"}) {
                const std::string label =
                    "jump to " + std::string(pct) + "% of " + len + " moments / plain redraw";
                r.PrintRatio(label.c_str(), "BM_TimelineJump/" + len + "/" + pct,
                             "BM_BaselinePlainRedraw/" + len);
            }
        }
    });
    replays.clear();
    return status;
}
