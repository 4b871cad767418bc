#include "core/radar_video/radar_video.h"

#include "core/arpa/tracking.h"
#include "core/geometry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string_view>

namespace mv {

namespace {

constexpr double kLn2 = 0.69314718055994531;
// The draws' streams within a line: receiver noise, sea speckle, rain speckle.
constexpr int kNoiseDraw = 0;
constexpr int kSeaDraw = RadarVideo::kCells;
constexpr int kRainDraw = 2 * RadarVideo::kCells;
// Slots below zero key what belongs to a scan rather than a line: a target's fluctuation, a
// racon's flash.
int TargetSlot(int vessel) {
    return -1 - vessel;
}
int RaconSlot(int racon) {
    return -1000 - racon;
}

double Wrap180(double a) {
    a = std::fmod(a, 360.0);
    if (a > 180.0) a -= 360.0;
    if (a <= -180.0) a += 360.0;
    return a;
}
double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// An exponential draw of mean 1 (the power of Rayleigh noise and of clutter speckle), from a
// table of 4096 steps of the uniform: a million cells a turn cannot each afford a logarithm.
// The tail stops at 9 (9.5 dB over the mean), a chance of 1 in 8000 a cell.
struct ExponentialTable {
    std::array<float, 4096> value{};
    ExponentialTable() {
        for (size_t k = 0; k < value.size(); ++k)
            value[k] = static_cast<float>(-std::log(1.0 - (static_cast<double>(k) + 0.5) / 4096.0));
    }
};
float Exponential(double u) {
    static const ExponentialTable table;
    return table.value[static_cast<size_t>(u * 4096.0) & 4095u];
}
// 10 log10 x for x > 0, to about 0.02 dB: the exponent of the float and a quadratic in its
// mantissa.
float Decibels(float x) {
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int e = static_cast<int>((bits >> 23) & 255u) - 127;
    bits = (bits & 0x007FFFFFu) | 0x3F800000u;
    float m = 0;
    std::memcpy(&m, &bits, sizeof m);
    const float f = m - 1.0f; // log2(1 + f) on [0, 1)
    const float log2 = static_cast<float>(e) + f * (1.3465557f - 0.3465557f * f);
    return 3.0103f * log2;
}

// Signal to noise (power ratio) of a target on the beam's axis: 13 dB at the range where its
// class is seen on 8 scans of 10 (small craft 3.4 nm, coaster 8, large ship 11), with the
// fourth power of the range (the radar equation) either side.
double EchoPower(double size, double range) {
    const double reference = size == kLarge ? 11.0 : size == kMedium ? 8.0 : 3.4;
    const double r = std::max(range, 0.02) / reference;
    return 20.0 / (r * r * r * r);
}
// The share of an echo that fluctuates scan to scan: a yacht's few reflectors interfere and
// fade; a large ship's many add up to a steady echo.
double Fluctuation(double size) {
    return size == kLarge ? 0.15 : size == kMedium ? 0.4 : 0.9;
}
// The two-way gain of the beam at `off` degrees from its axis: a Gaussian one-way pattern of
// half-power width `beam`, squared on the way back.
double BeamGain(double off, double beam) {
    return std::exp(-8.0 * kLn2 * off * off / (beam * beam));
}
// Range beyond which an echo comes back after the next pulse has gone (nautical miles):
// c / (2 PRF), 3000 Hz short pulse, 1500 medium, 750 long.
double TraceRange(RadarPulse pulse) {
    switch (pulse) {
    case RadarPulse::Short:
        return 27.0;
    case RadarPulse::Medium:
        return 54.0;
    case RadarPulse::Long:
        break;
    }
    return 108.0;
}

bool InSector(const ShadowSector& s, double relative) {
    return Wrap360(relative - s.From) <= Wrap360(s.To - s.From);
}

// Adds `power` over the cells from range a to b (nautical miles).
void AddSpan(std::array<float, RadarVideo::kCells>& p, double cell, double a, double b,
             double power) {
    const int c0 = std::max(0, static_cast<int>(std::floor(a / cell)));
    const int c1 = std::min(RadarVideo::kCells - 1, static_cast<int>(std::floor(b / cell)));
    for (int c = c0; c <= c1; ++c)
        p[static_cast<size_t>(c)] += static_cast<float>(power);
}

} // namespace

uint64_t VideoSeed(const std::string& title) {
    // Apart from the plots' seed, so that the video's noise is not the plots' scatter.
    return TrackingSeed(title) ^ 0x766964656full;
}

RadarPulse PulseFor(double rangeScale) {
    if (rangeScale <= 1.5) return RadarPulse::Short;
    if (rangeScale <= 6.0) return RadarPulse::Medium;
    return RadarPulse::Long;
}

double PulseLength(RadarPulse pulse) {
    // 0.1, 0.5 and 1 microsecond pulses: 150 m, 80 m... as radial length of the echo.
    switch (pulse) {
    case RadarPulse::Short:
        return 0.05;
    case RadarPulse::Medium:
        return 0.15;
    case RadarPulse::Long:
        break;
    }
    return 0.3;
}

double BeamWidth(RadarBand band) {
    return band == RadarBand::S ? 2.0 : 1.0;
}

std::string MorseOf(char letter) {
    // A to Z, then 0 to 9.
    static constexpr std::array<std::string_view, 36> kCode{
        ".-",    "-...",  "-.-.",  "-..",   ".",     "..-.",  "--.",   "....",  "..",
        ".---",  "-.-",   ".-..",  "--",    "-.",    "---",   ".--.",  "--.-",  ".-.",
        "...",   "-",     "..-",   "...-",  ".--",   "-..-",  "-.--",  "--..",  "-----",
        ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---..", "----."};
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (c >= 'A' && c <= 'Z') return std::string(kCode[static_cast<size_t>(c - 'A')]);
    if (c >= '0' && c <= '9') return std::string(kCode[static_cast<size_t>(26 + c - '0')]);
    return {};
}

std::string VideoReadout(const VideoControls& c, RadarPulse pulse) {
    const char* p = pulse == RadarPulse::Short ? "SP" : pulse == RadarPulse::Medium ? "MP" : "LP";
    return std::string(c.Band == RadarBand::S ? "S " : "X ") + p + " GAIN " +
           std::to_string(c.Gain) + " SEA " + std::to_string(c.Sea) + " RAIN " +
           std::to_string(c.Rain) + " TUNE " + std::to_string(c.Tune);
}

RadarVideo::RadarVideo() = default;

const uint8_t* RadarVideo::Row(const std::vector<uint8_t>& buffer, int line) {
    static const std::array<uint8_t, kCells> blank{};
    return buffer.empty() ? blank.data() : &buffer[Index(line, 0)];
}

void RadarVideo::Clear() {
    first_ = count_ = 0;
    if (blank_) return;
    std::fill(video_.begin(), video_.end(), uint8_t{0});
    std::fill(glow_.begin(), glow_.end(), uint8_t{0});
    blank_ = true;
}

void RadarVideo::Release() {
    first_ = count_ = 0;
    range_ = 0;
    std::vector<uint8_t>().swap(video_);
    std::vector<uint8_t>().swap(glow_);
    blank_ = true;
}

int64_t RadarVideo::TurnAt(const RadarSettings& radar, double time, int& line) {
    const double turns = (time - radar.Epoch) * kSecondsPerDay / radar.ScanSeconds;
    if (!std::isfinite(turns)) {
        line = 0;
        return 0;
    }
    const double t = std::clamp(turns, -1e12, 1e12);
    const double whole = std::floor(t);
    line = std::clamp(static_cast<int>((t - whole) * kLines), 0, kLines - 1);
    return static_cast<int64_t>(whole);
}

void RadarVideo::Paint(const RadarSettings& radar, const VideoWorld& world,
                       const VideoControls& controls, const VesselTables& vessels,
                       double rangeScale, double from, double to) {
    if (rangeScale != range_) {
        Clear();
        range_ = rangeScale;
    }
    int lineFrom = 0, lineTo = 0;
    const int64_t turnFrom = TurnAt(radar, from, lineFrom);
    const int64_t turnTo = TurnAt(radar, to, lineTo);
    const int64_t a = turnFrom * kLines + lineFrom;
    const int64_t b = turnTo * kLines + lineTo;
    count_ = static_cast<int>(std::clamp<int64_t>(b - a, 0, kLines));
    first_ = static_cast<int>(((b - count_ + 1) % kLines + kLines) % kLines);
    sweep_ = lineTo;
    if (count_ > 0) {
        blank_ = false;
        if (video_.empty()) {
            video_.assign(kBytes / 2, 0);
            glow_.assign(kBytes / 2, 0);
        }
    }
    // The phosphor keeps about half of an echo's brightness from one turn to the next.
    constexpr int kKeep = 140; // of 256
    const double scanSeconds = radar.ScanSeconds / kSecondsPerDay;
    for (int k = 0; k < count_; ++k) {
        const int64_t g = b - count_ + 1 + k;
        const int64_t turn = g >= 0 ? g / kLines : -((-g + kLines - 1) / kLines);
        const int line = static_cast<int>(g - turn * kLines);
        const double time =
            radar.Epoch +
            (static_cast<double>(turn) + static_cast<double>(line) / kLines) * scanSeconds;
        uint8_t* out = &video_[Index(line, 0)];
        PaintLine(radar, world, controls, vessels, rangeScale, time, turn, line, out);
        uint8_t* glow = &glow_[Index(line, 0)];
        for (int c = 0; c < kCells; ++c)
            glow[c] = std::max(out[c], static_cast<uint8_t>(glow[c] * kKeep >> 8));
    }
}

void RadarVideo::PaintLine(const RadarSettings& radar, const VideoWorld& world,
                           const VideoControls& controls, const VesselTables& vessels,
                           double rangeScale, double time, int64_t scan, int line, uint8_t* out) {
    std::array<float, kCells> p{};
    const double cell = rangeScale / kCells;
    const double bearing = (line + 0.5) * 360.0 / kLines;
    const auto ownSlot = static_cast<size_t>(vessels.OwnVessel);
    const bool haveOwn = ownSlot < vessels.Vessel.size() && ownSlot < vessels.VesselPos.size();
    const PointD own = haveOwn ? vessels.VesselPos[ownSlot] : PointD{};
    const double heading = haveOwn ? vessels.Vessel[ownSlot].Heading : 0.0;
    const double relative = Wrap360(bearing - heading);
    const double beam = BeamWidth(controls.Band);
    const RadarPulse pulse = PulseFor(rangeScale);
    const double tau = PulseLength(pulse);
    const bool xBand = controls.Band == RadarBand::X;
    const uint64_t seed = radar.Exercise;

    // What the superstructure lets through on this bearing.
    double through = 1.0;
    const ShadowSector* mast = nullptr;
    for (const ShadowSector& s : world.Sectors)
        if (InSector(s, relative)) {
            through = s.Blind ? 0.0 : std::min(through, 0.1);
            if (!s.Blind) mast = &s;
        }

    // Sea clutter: strongest within about three cables, falling as the cube of the range
    // beyond, 6 dB more for each step of sea state, stronger up-wind, a quarter as strong in
    // S band.
    if (world.SeaState > 0 && through > 0) {
        const double peak = std::pow(10.0, (5.0 + 6.0 * world.SeaState) / 10.0) *
                            (1.0 + 0.6 * std::cos((bearing - world.WindFrom) * kDegToRad)) *
                            (xBand ? 1.0 : 0.25) * through;
        constexpr double kNear = 0.3; // nautical miles
        for (int c = 0; c < kCells; ++c) {
            const double r = (c + 0.5) * cell;
            const double q = r < kNear ? 1.0 : kNear * kNear * kNear / (r * r * r);
            const double level = peak * q;
            if (level < 0.01) break; // below a hundredth of the noise: the rest is calm
            p[static_cast<size_t>(c)] += static_cast<float>(
                level * Exponential(KeyedUniform(seed, scan, line, kSeaDraw + c)));
        }
    }

    // Rain: each shower where the wind has carried it, as a chord across the line.
    const double hours = (time - radar.Epoch) * 24.0;
    const double ux = std::cos(bearing * kDegToRad), uy = std::sin(bearing * kDegToRad);
    for (const RainArea& rain : world.Rain) {
        PointD centre = rain.Centre;
        MovePoint(centre, static_cast<float>(Wrap360(world.WindFrom + 180.0)), rain.Drift * hours);
        const double dx = centre.X - own.X, dy = centre.Y - own.Y;
        const double along = dx * ux + dy * uy;
        const double across2 = dx * dx + dy * dy - along * along;
        const double r2 = rain.Radius * rain.Radius;
        if (across2 >= r2) continue;
        const double half = std::sqrt(r2 - across2);
        // 25 dB at full intensity in X band; S band 12 dB less.
        const double level = std::pow(10.0, 2.5 * std::clamp(rain.Intensity, 0.0, 1.0)) *
                             (xBand ? 1.0 : 0.063) * through;
        const int c0 = std::max(0, static_cast<int>((along - half) / cell));
        const int c1 = std::min(kCells - 1, static_cast<int>((along + half) / cell));
        for (int c = c0; c <= c1; ++c)
            p[static_cast<size_t>(c)] += static_cast<float>(
                level * Exponential(KeyedUniform(seed, scan, line, kRainDraw + c)));
    }

    // Echoes.
    const int count = std::min<int>(vessels.NumVessels, static_cast<int>(vessels.VesselPos.size()));
    const double horizonFactor = world.Ducting ? 3.0 : 1.0;
    for (int slot = 0; slot < count && haveOwn; ++slot) {
        if (slot == vessels.OwnVessel) continue;
        const auto s = static_cast<size_t>(slot);
        float b = 0;
        double range = 0;
        if (GetVector(own, vessels.VesselPos[s], b, range) != 0) continue;
        const double size = vessels.Vessel[s].Size;
        if (range >= horizonFactor * RadarHorizon(radar.AntennaHeight, TargetHeight(size)))
            continue;
        const double f = Fluctuation(size);
        const double power =
            EchoPower(size, range) *
            ((1.0 - f) + f * Exponential(KeyedUniform(seed, scan, TargetSlot(slot), 0)));
        const double off = Wrap180(bearing - b);
        const double extent = std::max(size, 0.01) / 2; // the hull's radial length
        // On the beam, and through a trace further out when it lies beyond the pulses' range.
        const double shown = std::fmod(range, TraceRange(pulse));
        if (std::abs(off) < 2 * beam) {
            const double e = power * BeamGain(off, beam) * through;
            AddSpan(p, cell, shown - extent / 2, shown + extent / 2 + tau, e);
            // Echoes between the own ship and a large ship close abeam: at twice and three
            // times its range on its bearing, each 20 dB weaker.
            const double abeam = std::abs(std::sin((b - heading) * kDegToRad));
            if (world.MultipleEchoes && size == kLarge && range < 1.0 && abeam > 0.95) {
                AddSpan(p, cell, 2 * range, 2 * range + tau, e * 0.01);
                AddSpan(p, cell, 3 * range, 3 * range + tau, e * 1e-4);
            }
        } else if (world.SideLobes && std::abs(off) < 30.0) {
            // Side lobes: 25 dB down one way, 50 dB both ways; an arc at the echo's range,
            // seen only for a strong close target.
            AddSpan(p, cell, shown, shown + tau, power * 1e-5 * through);
        }
        // The beam on a mast is reflected to the target: its echo on the mast's bearing, a
        // little further than the target (the path round the mast), 30 dB down.
        if (mast != nullptr && world.IndirectEchoes)
            AddSpan(p, cell, range + 0.02, range + 0.02 + tau, power * 1e-3);
    }

    // Racons: the answer begins just behind the mark and is keyed in Morse outward, a dot
    // 0.075 nm long; a frequency-agile racon answers about one scan in two.
    for (size_t i = 0; i < world.Racons.size() && haveOwn; ++i) {
        const Racon& racon = world.Racons[i];
        float b = 0;
        double range = 0;
        if (GetVector(own, racon.Position, b, range) != 0) continue;
        if (range >= RadarHorizon(radar.AntennaHeight, 5.0)) continue;
        if (std::abs(Wrap180(bearing - b)) > beam) continue;
        if (KeyedUniform(seed, scan, RaconSlot(static_cast<int>(i)), 0) >= 0.5) continue;
        constexpr double kDot = 0.075;
        double r = range + 0.05;
        for (char ch : racon.Morse) {
            const double len = ch == '-' ? 3 * kDot : kDot;
            AddSpan(p, cell, r, r + len, 1e4 * through);
            r += len + kDot;
        }
    }
    // A SART: twelve dots outward from its position, 0.6 nm apart, the first on it.
    for (const PointD& sart : world.Sarts) {
        float b = 0;
        double range = 0;
        if (!haveOwn || GetVector(own, sart, b, range) != 0) continue;
        if (range >= RadarHorizon(radar.AntennaHeight, 1.0)) continue;
        if (std::abs(Wrap180(bearing - b)) > beam) continue;
        for (int k = 0; k < 12; ++k)
            AddSpan(p, cell, range + 0.6 * k, range + 0.6 * k + 0.08, 1e4 * through);
    }

    // The receiver: detuned, it loses up to 20 dB; the sea control (STC) takes off a
    // threshold falling with the range as the clutter does (up to 60 dB at three cables);
    // receiver noise of unit power; a logarithmic amplifier; the rain control (FTC), so the
    // inside of a shower goes and a leading edge stays; and the gain, which sets the level
    // (dB) shown as black.
    const double tune = std::pow(10.0, -2.0 * (100 - std::clamp(controls.Tune, 0, 100)) / 100.0);
    const double stc = std::pow(10.0, 6.0 * std::clamp(controls.Sea, 0, 100) / 100.0) - 1.0;
    const double ftc = std::clamp(controls.Rain, 0, 100) / 100.0;
    const double floorDb = 25.0 - 0.3 * std::clamp(controls.Gain, 0, 100);
    constexpr double kPerDb = 255.0 / 30.0;
    const int window = std::max(2, static_cast<int>(2 * tau / cell));
    std::array<float, kCells> v{};
    for (int c = 0; c < kCells; ++c) {
        const double r = (c + 0.5) * cell;
        const double threshold = stc * (r < 0.3 ? 1.0 : 0.027 / (r * r * r));
        const double signal = std::max(0.0, p[static_cast<size_t>(c)] * tune - threshold);
        v[static_cast<size_t>(c)] = static_cast<float>(
            signal + Exponential(KeyedUniform(seed, scan, line, kNoiseDraw + c)));
    }
    // The rain control differentiates the logarithmic video: less the mean level (dB over the
    // noise) of the cells just before, which is the shower's own inside a shower and nothing
    // over open water.
    for (auto& x : v)
        x = Decibels(x);
    double sum = 0;
    for (int c = 0; c < kCells; ++c) {
        double db = v[static_cast<size_t>(c)];
        if (ftc > 0) {
            if (c > 0) db -= ftc * sum / std::min(c, window);
            sum += std::max(0.0f, v[static_cast<size_t>(c)]);
            if (c >= window) sum -= std::max(0.0f, v[static_cast<size_t>(c - window)]);
        }
        out[c] = static_cast<uint8_t>(std::clamp((db - floorDb) * kPerDb, 0.0, 255.0));
    }
}

} // namespace mv
