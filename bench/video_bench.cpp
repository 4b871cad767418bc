// Radar video beside what the clean picture costs. The program's tick (the exercise's, six
// vessels at x1, a heavy sea) with the video on beside the same tick with it off: the tick only
// records the span for the sweep to paint, so the two should cost about the same. Apart from
// the tick: the lines of one 40 ms frame of the sweep, one full turn of lines, and a frame of
// video shown at 1080p and at 4K (the frame's lines painted, the swept sector laid into the disc
// image, then the face and the video blitted) beside a fill and blit of the same size. The
// buffers' memory is printed.

#include "bench/bench_support.h"
#include "core/radar_video/radar_video.h"
#include "core/simulation.h"
#include "gui/radar_video.h"
#include "session/exercise.h"
#include "tests/support/no_picture.h"
#include "tests/support/scripted_dialogs.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct World {
    mv::Simulation sim;
    mv::TickDisplay display;
    mv::RadarSettings radar;
    mv::VideoWorld world;
    mv::VideoControls controls;
    World() {
        mv::bench::PlaceSixVessels(sim.Vessels);
        display.Range = 12.0;
        radar.Exercise = 7;
        world.SeaState = 4;
        world.WindFrom = 45;
        world.Rain = {{{4, 4}, 2, 0.7}};
        world.Sectors = {{358, 2, false}, {170, 190, true}};
    }
};

// A frame of the sweep: 40 ms, 25 frames a second.
constexpr double kFrameDays = 0.040 / mv::kSecondsPerDay;
// The picture is about 0.93 of the screen's height and the range circle 2 / 2.23 of that.
int DiameterFor(int height) {
    return height * 5 / 6;
}

// The exercise as the program runs it, on a screenless view, with the six vessels started as
// own targets.
struct Session {
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    mv::NoPicture view;
    mv::Exercise exercise{sim, display, dialogs, "."};
    explicit Session(bool video) {
        exercise.setView(&view);
        mv::bench::PlaceSixVessels(sim.Vessels);
        exercise.StartScenario(mv::ScenarioSource::OwnTargets);
        display.Tick.Range = 12.0;
        sim.SeaState = 2;
        exercise.video().SetOn(video);
    }
    void Tick(benchmark::State& state) {
        exercise.tmrSim_Timer();
        // Some 11 000 ticks of 3 s before the vessels leave the picture: a repeat, untimed
        // (it paints the first turn afresh with the video on, as the program does).
        if (sim.Clock.SimTime > 0.9) {
            state.PauseTiming();
            exercise.Repeat();
            state.ResumeTiming();
        }
    }
};

void BM_Tick(benchmark::State& state) {
    Session s(false);
    for (auto _ : state)
        s.Tick(state);
    benchmark::DoNotOptimize(s.sim.Clock.SimTime);
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

void BM_TickWithVideo(benchmark::State& state) {
    Session s(true);
    for (auto _ : state)
        s.Tick(state);
    benchmark::DoNotOptimize(s.exercise.video().to());
}
BENCHMARK(BM_TickWithVideo)->Unit(benchmark::kMicrosecond);

void BM_VideoLinesOfAFrame(benchmark::State& state) {
    World w;
    mv::RadarVideo video;
    double t = 0.5;
    for (auto _ : state) {
        video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, t,
                    t + kFrameDays);
        t += kFrameDays;
    }
    benchmark::DoNotOptimize(video.At(0, 0));
    state.counters["lines"] = video.paintedCount();
}
BENCHMARK(BM_VideoLinesOfAFrame)->Unit(benchmark::kMicrosecond);

// A whole turn: what switching the video on, a repeat or a new scenario paints at once.
void BM_VideoTurn(benchmark::State& state) {
    World w;
    mv::RadarVideo video;
    const double turn = w.radar.ScanSeconds / mv::kSecondsPerDay;
    double t = 0.5;
    for (auto _ : state) {
        video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, t, t + turn);
        t += turn;
    }
    benchmark::DoNotOptimize(video.At(0, 0));
    state.counters["lines"] = video.paintedCount();
}
BENCHMARK(BM_VideoTurn)->Unit(benchmark::kMillisecond);

// Arguments: the screen's width and height in pixels.
void BM_VideoFrameShown(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const int diameter = DiameterFor(height);
    World w;
    mv::RadarVideo video;
    double t = 0.5;
    video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, t - 3.0 / 86400, t);
    mv::VideoSweep sweep;
    sweep.Resize(diameter, 1.0);
    sweep.PaintAll(video, 0.0, QColor(255, 200, 0));
    QImage face(width, height, QImage::Format_RGB32);
    face.fill(Qt::black);
    QImage screen(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, t,
                    t + kFrameDays);
        t += kFrameDays;
        sweep.Paint(video, video.firstPainted(), video.paintedCount(), 0.0, QColor(255, 200, 0));
        QPainter p(&screen);
        p.drawImage(0, 0, face);
        p.drawImage((width - diameter) / 2, (height - diameter) / 2, sweep.image());
    }
    benchmark::DoNotOptimize(screen.constBits());
    state.counters["sweep_bytes"] = static_cast<double>(sweep.bytes());
}
BENCHMARK(BM_VideoFrameShown)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

void BM_BaselineFillBlit(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    QImage face(width, height, QImage::Format_RGB32);
    QImage screen(width, height, QImage::Format_RGB32);
    int shade = 0;
    for (auto _ : state) {
        face.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        QPainter(&screen).drawImage(0, 0, face);
    }
    benchmark::DoNotOptimize(screen.constBits());
}
BENCHMARK(BM_BaselineFillBlit)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& r) {
        r.PrintRatio("tick with video / tick", "BM_TickWithVideo", "BM_Tick");
        r.PrintRatio("a frame's video lines / tick", "BM_VideoLinesOfAFrame", "BM_Tick");
        r.PrintRatio("video frame shown at 1080p / fill and blit", "BM_VideoFrameShown/1920/1080",
                     "BM_BaselineFillBlit/1920/1080");
        r.PrintRatio("video frame shown at 4K / fill and blit", "BM_VideoFrameShown/3840/2160",
                     "BM_BaselineFillBlit/3840/2160");
        std::printf("memory: video and afterglow %zu bytes\n", mv::RadarVideo::kBytes);
        for (const int height : {1080, 2160}) {
            mv::VideoSweep sweep;
            sweep.Resize(DiameterFor(height), 1.0);
            std::printf("memory: sweep image and pixel table at %d pixels across %zu bytes\n",
                        DiameterFor(height), sweep.bytes());
        }
    });
}
