// Radar video beside what the clean picture costs. A tick of six vessels at x1 with the video
// painted over the tick's 3 s (1.2 turns: one full turn of lines, sea state 4 and a shower),
// beside the tick alone; the lines of one 40 ms frame of the sweep beside the same tick; and a
// frame of video shown at 1080p (the swept sector laid into the disc image, then the face and
// the video blitted) beside a fill and blit of the same size. The buffers' memory is printed.

#include "bench/bench_support.h"
#include "core/radar_video/radar_video.h"
#include "core/simulation.h"
#include "gui/radar_video.h"

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
    void Tick(mv::bench::CountingView& view) {
        sim.Tick(display, view);
        if (sim.Clock.SimTime > 0.9) sim.Clock.SimTime = 0.5;
    }
};

// At 1080p the picture is about 1000 pixels high and the range circle 2 / 2.23 of that.
constexpr int kDiameter = 900;
constexpr int kWidth = 1920, kHeight = 1080;
// A frame of the sweep at 25 frames a second and 24 rpm: 1 / 62.5 of a turn.
constexpr int kFrameLines = mv::RadarVideo::kLines * 40 / 2500;

void BM_Tick(benchmark::State& state) {
    World w;
    mv::bench::CountingView view;
    for (auto _ : state)
        w.Tick(view);
    benchmark::DoNotOptimize(view.calls);
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

void BM_TickWithVideo(benchmark::State& state) {
    World w;
    mv::bench::CountingView view;
    mv::RadarVideo video;
    for (auto _ : state) {
        const double from = w.sim.Clock.SimTime;
        w.Tick(view);
        video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, from,
                    w.sim.Clock.SimTime);
    }
    benchmark::DoNotOptimize(video.At(0, 0));
    state.counters["lines"] = video.paintedCount();
}
BENCHMARK(BM_TickWithVideo)->Unit(benchmark::kMicrosecond);

void BM_VideoLinesOfAFrame(benchmark::State& state) {
    World w;
    mv::RadarVideo video;
    double t = 0.5;
    const double frame = 0.040 / mv::kSecondsPerDay;
    for (auto _ : state) {
        video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, t, t + frame);
        t += frame;
    }
    benchmark::DoNotOptimize(video.At(0, 0));
}
BENCHMARK(BM_VideoLinesOfAFrame)->Unit(benchmark::kMicrosecond);

void BM_VideoFrameShown(benchmark::State& state) {
    World w;
    mv::RadarVideo video;
    video.Paint(w.radar, w.world, w.controls, w.sim.Vessels, w.display.Range, 0.5,
                0.5 + 3.0 / mv::kSecondsPerDay);
    mv::VideoSweep sweep;
    sweep.Resize(kDiameter, 1.0);
    QImage face(kWidth, kHeight, QImage::Format_RGB32);
    face.fill(Qt::black);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    int first = 0;
    for (auto _ : state) {
        sweep.Paint(video, first, kFrameLines, 0.0, QColor(255, 200, 0));
        first = (first + kFrameLines) % mv::RadarVideo::kLines;
        QPainter p(&screen);
        p.drawImage(0, 0, face);
        p.drawImage((kWidth - kDiameter) / 2, 40, sweep.image());
    }
    benchmark::DoNotOptimize(screen.constBits());
    state.counters["sweep_bytes"] = static_cast<double>(sweep.bytes());
}
BENCHMARK(BM_VideoFrameShown)->Unit(benchmark::kMicrosecond);

void BM_BaselineFillBlit(benchmark::State& state) {
    QImage face(kWidth, kHeight, QImage::Format_RGB32);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    int shade = 0;
    for (auto _ : state) {
        face.fill(QColor(0, 0, shade = (shade + 1) & 0xff));
        QPainter(&screen).drawImage(0, 0, face);
    }
    benchmark::DoNotOptimize(screen.constBits());
}
BENCHMARK(BM_BaselineFillBlit)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return mv::bench::RunAndReport(argc, argv, [](const mv::bench::RatioReporter& r) {
        r.PrintRatio("tick with video / tick", "BM_TickWithVideo", "BM_Tick");
        r.PrintRatio("a frame's video lines / tick", "BM_VideoLinesOfAFrame", "BM_Tick");
        r.PrintRatio("video frame shown at 1080p / fill and blit", "BM_VideoFrameShown",
                     "BM_BaselineFillBlit");
        mv::VideoSweep sweep;
        sweep.Resize(kDiameter, 1.0);
        std::printf("memory: video and afterglow %zu bytes; sweep image and pixel table at %d "
                    "pixels across %zu bytes\n",
                    mv::RadarVideo::kBytes, kDiameter, sweep.bytes());
    });
}
