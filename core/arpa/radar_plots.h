#pragma once
// The radar's plots: once a scan, the measured range and bearing of every echo it detects,
// with the measurement noise and the misses a real set has. What the tracker sees; the truth
// stays in the vessel tables. Every plot is drawn from a generator keyed on the exercise
// number, the scan and the vessel slot, so the same exercise gives the same plots on every
// machine and in any order of evaluation, and the answer key can recompute them.
// Nautical miles (X north, Y east), degrees true, days of sim time, metres for heights.

#include "core/vessel.h"

#include <cstdint>
#include <vector>

namespace mv {

inline constexpr double kMetresPerNauticalMile = 1852.0;
inline constexpr double kSecondsPerDay = 86400.0;

struct RadarSettings {
    uint64_t Exercise = 0;     // the exercise number: the seed of every plot
    double ScanSeconds = 2.5;  // 24 rpm
    double AntennaHeight = 15; // metres above the sea
    double Epoch = 0.5;        // days: the time of scan 0, the exercise's start
    // Fixed sensor errors, none by default. Gyro: degrees added to every bearing measured (the
    // compass reads high by it). Log: percent by which the own speed through the water reads
    // high, so the own position the plots are laid off from runs ahead of the truth along
    // the own heading by that share of the distance run since the epoch.
    double GyroError = 0;
    double LogError = 0;
};

// One echo as measured.
struct Plot {
    // The vessel slot whose echo this is. Truth, kept so that the record and the marking can
    // tell which vessel a track followed; the tracker never associates by it.
    int Echo = 0;
    float Bearing = 0; // degrees true from the own vessel, measured
    double Range = 0;  // nautical miles, measured
    PointD Position;   // over the water: the own position plus the measured range and bearing
};

struct Scan {
    int64_t Index = 0;
    double Time = 0; // days
    // The own vessel's position as it knows it: the truth, but for a log error's run ahead.
    PointD Own;
    std::vector<Plot> Plots;
};

// The height of a vessel's radar-reflecting superstructure by size class, metres.
double TargetHeight(double size);
// The radar horizon for an antenna and a target height (metres), nautical miles:
// 2.2 (sqrt(h antenna) + sqrt(h target)), standard refraction.
double RadarHorizon(double antennaHeight, double targetHeight);
// Standard deviations of one plot's random error, scan to scan, at a range (nautical miles):
// range 40 m and bearing 0.3 degrees, each a 95 % bound (1.96 sigma), what a plot extractor
// centring an echo of a few cells gives. The radar's larger allowance for a bearing taken by
// hand (1 degree) is mostly fixed error (heading marker, gyro), the same on every scan; the
// gyro error below models it.
double RangeSigma(double range);
double BearingSigma(); // degrees
// The chance that one scan shows the target: 0.8 at its class's reference range (the test
// conditions of the performance standard for radars), nearer to 1 closer in, falling off with
// the fourth power of the range beyond it (the radar equation), none beyond the horizon.
double DetectionProbability(const RadarSettings& radar, double size, double range);

// The scan at or before a time, and a scan's time (days).
int64_t ScanAtOrBefore(const RadarSettings& radar, double time);
double ScanTime(const RadarSettings& radar, int64_t scan);

// The plots of one scan with every vessel where `positions` puts it (one per slot of the
// tables, the own vessel at OwnVessel).
Scan MakeScan(const RadarSettings& radar, int64_t scan, const VesselTables& vessels,
              const std::vector<PointD>& positions);

// Every scan whose time lies after `from` and no later than `to` (days): one tick, with each
// vessel taken along a straight line from `before` (its position at `from`) to where the
// tables hold it now (at `to`). None for a span of over an hour or a time that is not a
// number.
std::vector<Scan> ScansOverTick(const RadarSettings& radar, double from, double to,
                                const std::vector<PointD>& before, const VesselTables& vessels);

// The portable generator under the plots: a uniform in [0, 1) and a standard normal drawn by
// Box-Muller from it, both a pure function of their key.
double KeyedUniform(uint64_t exercise, int64_t scan, int slot, int draw);
double KeyedNormal(uint64_t exercise, int64_t scan, int slot, int draw);

} // namespace mv
