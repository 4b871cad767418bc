// The soak run: a million ticks at x120 (six minutes of sea time each, some 11 years in all)
// through the core with six vessels manoeuvring all the time in a heavy sea, then ten
// thousand ticks through the real radar console offscreen with plot trails on. Prints the
// heap in use and the resident size at the start, after a warm-up and at the end, and fails
// when the heap grew after the warm-up or a vessel lost its position.
//
//   bench_soak [--core-ticks N] [--console-ticks N]

#include "app/radar_console.h"
#include "bench/bench_support.h"
#include "core/simulation.h"
#include "session/exercise.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Heap growth after the warm-up that still counts as none: allocator bookkeeping.
constexpr long kToleranceKb = 64;

struct Memory {
    long HeapKb = 0;     // bytes handed out by malloc and not freed
    long ResidentKb = 0; // VmRSS
};

Memory Measure() {
    Memory m;
    m.HeapKb = static_cast<long>(mallinfo2().uordblks / 1024);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) m.ResidentKb = std::strtol(line.c_str() + 6, nullptr, 10);
    return m;
}

class NullView final : public mv::VesselView {
  public:
    void ShowIdentity(bool) override {}
    void ManeuverStep(int, const mv::ManeuverReadout&) override {}
    void StatusLine(const std::string&) override {}
    // "hh:mm:ss x 120"
    void Clock(const std::string& t) override {
        clockOk = clockOk && t.size() >= 8 && t[2] == ':' && t[5] == ':';
    }
    void PlotClock(const std::string&) override {}
    void CentreOn(const mv::PointD&) override {}
    void TrueViewMark(int, const mv::PointD&) override {}
    void Collision(int, const std::array<std::array<mv::PointD, 9>, 2>&) override { ++collisions; }
    void ShowEcho(int, const mv::EchoLine&) override {}
    void HideEcho(int) override {}
    void PlotMark(int, const mv::EchoLine&) override {}
    void OwnLabel(int, const mv::PointD&) override {}
    void HeadingLine(const mv::PointD&, const mv::PointD&) override {}
    void CardinalLabels(const std::array<std::string, 4>&) override {}
    void BearingFailed() override {}
    bool clockOk = true;
    long collisions = 0;
};

// Every vessel that has reached its orders gets new ones: 100 degrees to starboard, so each
// keeps circling within a few miles, and a speed between 4 and 24 knots.
void KeepManoeuvring(mv::Simulation& sim, long tick) {
    for (int16_t i = 0; i < sim.Vessels.NumVessels; ++i) {
        auto& v = sim.Vessels.Vessel[static_cast<size_t>(i)];
        if (v.Heading == static_cast<float>(v.NewHeading) && v.Speed == v.NewSpeed) {
            v.NewHeading = static_cast<int16_t>((v.NewHeading + 100) % 360);
            v.NewSpeed = 4.0f + static_cast<float>((tick + 7 * i) % 21);
            sim.Maneuvering = true;
            if (i == sim.Vessels.OwnVessel) sim.Turning = true;
        }
    }
}

bool Positioned(const mv::Simulation& sim) {
    for (int16_t i = 0; i < sim.Vessels.NumVessels; ++i) {
        const auto& p = sim.Vessels.VesselPos[static_cast<size_t>(i)];
        const auto& v = sim.Vessels.Vessel[static_cast<size_t>(i)];
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(v.Heading) ||
            !std::isfinite(v.Speed))
            return false;
    }
    return true;
}

void PrepareSea(mv::Simulation& sim) {
    mv::bench::PlaceSixVessels(sim.Vessels);
    sim.Clock.SetTimeFactor(6); // x120
    sim.SeaState = 2;
    for (int r = 0; r < 40; ++r) {
        const float y = static_cast<float>(std::sin(r * 0.3) * 4.0);
        sim.Yaw.Rows.push_back({y, 1.5f * y, 0.5f * y, y});
    }
}

struct Report {
    const char* name;
    long ticks;
    Memory start, warm, end;
    bool ok() const { return end.HeapKb - warm.HeapKb <= kToleranceKb; }
    void Print() const {
        std::printf("%s: %ld ticks; heap %ld kB at start, %ld kB after warm-up, %ld kB at end "
                    "(%+ld kB); resident %ld kB, %ld kB, %ld kB\n",
                    name, ticks, start.HeapKb, warm.HeapKb, end.HeapKb, end.HeapKb - warm.HeapKb,
                    start.ResidentKb, warm.ResidentKb, end.ResidentKb);
    }
};

long WarmUp(long ticks) {
    return std::min<long>(1000, ticks / 10);
}

bool SoakCore(long ticks) {
    Report report{"core", ticks, Measure(), {}, {}};
    mv::Simulation sim;
    PrepareSea(sim);
    mv::TickDisplay display;
    display.PlotOn = true;
    display.Range = 12.0;
    NullView view;
    bool positioned = true;
    for (long t = 0; t < ticks; ++t) {
        if (t == WarmUp(ticks)) report.warm = Measure();
        KeepManoeuvring(sim, t);
        sim.Tick(display, view);
        positioned = positioned && Positioned(sim);
    }
    report.end = Measure();
    report.Print();
    std::printf("core: sea time %.0f days, %ld collisions, clock %s, positions %s\n",
                sim.Clock.SimTime - 0.5, view.collisions, view.clockOk ? "hh:mm:ss" : "BROKEN",
                positioned ? "finite" : "LOST");
    return report.ok() && positioned && view.clockOk;
}

bool SoakConsole(long ticks) {
    Report report{"console", ticks, Measure(), {}, {}};
    mv::Simulation sim;
    mv::RadarDisplayState display;
    mv::ScriptedDialogs dialogs;
    const auto folder = std::filesystem::temp_directory_path() / "marovane_soak";
    std::filesystem::create_directories(folder);
    mv::Exercise exercise(sim, display, dialogs, folder);
    mv::RadarConsole console(exercise, dialogs);
    console.resize(1100, 808);
    console.show();
    PrepareSea(sim);
    exercise.StartScenario(mv::ScenarioSource::Demo);
    exercise.SetTimeFactor(6);
    exercise.tmrSim().stop(); // the loop below is the timer
    display.Tick.PlotOn = true;
    display.Tick.PlotFreqIndex = 0; // continuous: every pass stamps every echo
    QApplication::processEvents();
    bool positioned = true;
    for (long t = 0; t < ticks; ++t) {
        if (t == WarmUp(ticks)) report.warm = Measure();
        KeepManoeuvring(sim, t);
        exercise.tmrSim_Timer();
        QApplication::processEvents(); // the repaint of the picture
        dialogs.shown.clear();         // the stand-in's record of collision messages
        positioned = positioned && Positioned(sim);
    }
    report.end = Measure();
    report.Print();
    std::printf("console: positions %s\n", positioned ? "finite" : "LOST");
    return report.ok() && positioned;
}

long Arg(int argc, char** argv, const char* flag, long fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0) return std::strtol(argv[i + 1], nullptr, 10);
    return fallback;
}

} // namespace

int main(int argc, char** argv) {
    const long coreTicks = Arg(argc, argv, "--core-ticks", 1000000);
    const long consoleTicks = Arg(argc, argv, "--console-ticks", 10000);
    const bool core = SoakCore(coreTicks);
    QApplication app(argc, argv);
    const bool console = SoakConsole(consoleTicks);
    const bool ok = core && console;
    std::printf("soak %s\n", ok ? "passed" : "FAILED: memory grew or a vessel was lost");
    return ok ? 0 : 1;
}
