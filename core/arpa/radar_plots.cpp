#include "core/arpa/radar_plots.h"

#include "core/geometry.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// SplitMix64's finaliser: every bit of the input reaches every bit of the output, so keys that
// differ by one (the next scan, the next slot) give unrelated numbers.
uint64_t Mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t KeyBits(uint64_t exercise, int64_t scan, int slot, uint32_t stream) {
    uint64_t h = Mix(exercise);
    h = Mix(h ^ static_cast<uint64_t>(scan));
    h = Mix(h ^ (static_cast<uint64_t>(static_cast<uint32_t>(slot)) << 32 | stream));
    return h;
}

// 53 bits: every double in [0, 1) this can give is exact, on any machine.
double ToUnit(uint64_t bits) {
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

constexpr double kPi = 3.14159265358979323846;
// The normals draw their two uniforms from streams apart from the plain uniforms'.
constexpr uint32_t kNormalStreams = 0x10000;

enum Draw : int { kDetect = 0, kRangeError = 1, kBearingError = 2 };

} // namespace

double KeyedUniform(uint64_t exercise, int64_t scan, int slot, int draw) {
    return ToUnit(KeyBits(exercise, scan, slot, static_cast<uint32_t>(draw)));
}

double KeyedNormal(uint64_t exercise, int64_t scan, int slot, int draw) {
    const auto stream = kNormalStreams + 2 * static_cast<uint32_t>(draw);
    // 1 - u lies in (0, 1]: the logarithm never sees a zero.
    const double u1 = 1.0 - ToUnit(KeyBits(exercise, scan, slot, stream));
    const double u2 = ToUnit(KeyBits(exercise, scan, slot, stream + 1));
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

double TargetHeight(double size) {
    // A yacht's or fishing boat's mast, a coaster's bridge, a large ship's superstructure.
    if (size == kLarge) return 25.0;
    if (size == kMedium) return 10.0;
    return 3.0;
}

double RadarHorizon(double antennaHeight, double targetHeight) {
    return 2.2 * (std::sqrt(std::max(antennaHeight, 0.0)) + std::sqrt(std::max(targetHeight, 0.0)));
}

double RangeSigma(double /*range*/) {
    return 40.0 / kMetresPerNauticalMile / 1.96;
}

double BearingSigma() {
    return 0.3 / 1.96;
}

double DetectionProbability(const RadarSettings& radar, double size, double range) {
    if (!(range >= 0.0) || range >= RadarHorizon(radar.AntennaHeight, TargetHeight(size)))
        return 0.0;
    // Where the standard's targets are seen on 8 scans of 10: a small craft at 3.4 nm, a
    // coaster at 8 nm, a large ship at 11 nm.
    const double reference = size == kLarge ? 11.0 : size == kMedium ? 8.0 : 3.4;
    const double r = range / reference;
    return std::pow(0.8, r * r * r * r);
}

int64_t ScanAtOrBefore(const RadarSettings& radar, double time) {
    // A millionth of a scan absorbs the rounding of sim times summed tick by tick, so a scan
    // due exactly at the end of a tick falls in that tick and not the next.
    const double scans = (time - radar.Epoch) * kSecondsPerDay / radar.ScanSeconds;
    if (!std::isfinite(scans)) return 0;
    // Far beyond any exercise (a scan every 2.5 s for eighty million years), and inside int64.
    return static_cast<int64_t>(std::floor(std::clamp(scans, -1e15, 1e15) + 1e-6));
}

double ScanTime(const RadarSettings& radar, int64_t scan) {
    return radar.Epoch + static_cast<double>(scan) * radar.ScanSeconds / kSecondsPerDay;
}

Scan MakeScan(const RadarSettings& radar, int64_t scan, const VesselTables& vessels,
              const std::vector<PointD>& positions) {
    Scan s;
    s.Index = scan;
    s.Time = ScanTime(radar, scan);
    const auto own = static_cast<size_t>(vessels.OwnVessel);
    if (own >= positions.size() || own >= vessels.Vessel.size()) return s;
    const PointD truth = positions[own];
    s.Own = truth;
    if (radar.LogError != 0) {
        // The dead reckoning's excess run: log error share of the speed, over the hours since
        // the epoch, along the heading.
        const VesselData& o = vessels.Vessel[own];
        const double hours = (s.Time - radar.Epoch) * 24.0;
        MovePoint(s.Own, o.Heading, radar.LogError / 100.0 * o.Speed * hours);
    }
    const int count = std::min<int>(vessels.NumVessels, static_cast<int>(positions.size()));
    for (int slot = 0; slot < count; ++slot) {
        if (slot == vessels.OwnVessel) continue;
        float bearing = 0;
        double range = 0;
        if (GetVector(truth, positions[static_cast<size_t>(slot)], bearing, range) != 0) continue;
        const double size = vessels.Vessel[static_cast<size_t>(slot)].Size;
        if (KeyedUniform(radar.Exercise, scan, slot, kDetect) >=
            DetectionProbability(radar, size, range))
            continue;
        Plot p;
        p.Echo = slot;
        p.Range = std::max(0.0, range + RangeSigma(range) *
                                            KeyedNormal(radar.Exercise, scan, slot, kRangeError));
        p.Bearing = FoldDegrees(static_cast<float>(
            bearing + radar.GyroError +
            BearingSigma() * KeyedNormal(radar.Exercise, scan, slot, kBearingError)));
        PolarOffset(s.Own, p.Position, p.Bearing, p.Range);
        s.Plots.push_back(p);
    }
    return s;
}

std::vector<Scan> ScansOverTick(const RadarSettings& radar, double from, double to,
                                const std::vector<PointD>& before, const VesselTables& vessels) {
    std::vector<Scan> scans;
    // A tick is at most 6 minutes (x120); a span of over an hour is no tick, and would make
    // thousands of scans.
    if (!std::isfinite(from) || !std::isfinite(to) || to - from > 1.0 / 24) return scans;
    const size_t count = std::min(before.size(), vessels.VesselPos.size());
    std::vector<PointD> at(count);
    for (int64_t k = ScanAtOrBefore(radar, from) + 1; k <= ScanAtOrBefore(radar, to); ++k) {
        const double f =
            to > from ? std::clamp((ScanTime(radar, k) - from) / (to - from), 0.0, 1.0) : 1.0;
        for (size_t i = 0; i < count; ++i) {
            at[i].X = before[i].X + f * (vessels.VesselPos[i].X - before[i].X);
            at[i].Y = before[i].Y + f * (vessels.VesselPos[i].Y - before[i].Y);
        }
        scans.push_back(MakeScan(radar, k, vessels, at));
    }
    return scans;
}

} // namespace mv
