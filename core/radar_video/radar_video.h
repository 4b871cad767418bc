#pragma once
// Radar video: the picture as the receiver gives it, not as the truth is. A polar buffer of
// range cells by bearing lines, each an intensity 0..255, painted line by line as the antenna
// turns: the echoes spread by the pulse and the beam, receiver noise, sea and rain clutter and
// their anti-clutter controls, blind and shadow sectors, false echoes, racons and a SART.
// Every random draw is keyed on the exercise seed, the scan, the line and the cell, so a line
// is a pure function of them: the same seed gives the same picture in any order of painting.
// Nautical miles (X north, Y east), degrees true, days of sim time, knots.

#include "core/arpa/radar_plots.h"
#include "core/vessel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// X band (3 cm): a narrow beam, more sea and rain clutter. S band (10 cm): a beam twice as
// wide, sees through rain and sea.
enum class RadarBand : int16_t { X = 0, S = 1 };
enum class RadarPulse : int16_t { Short = 0, Medium = 1, Long = 2 };

// The controls on the radar's panel, each 0..100.
struct VideoControls {
    int Gain = 70;
    int Sea = 30;   // sea anti-clutter (STC)
    int Rain = 0;   // rain anti-clutter (FTC)
    int Tune = 100; // 100 tuned to the magnetron
    RadarBand Band = RadarBand::X;
    friend bool operator==(const VideoControls&, const VideoControls&) = default;
};

// A shower: its centre when the exercise starts, radius (nautical miles) and intensity 0..1
// (1 a tropical downpour). It drifts downwind at Drift knots.
struct RainArea {
    PointD Centre;
    double Radius = 1;
    double Intensity = 0.5;
    double Drift = 0;
};
// A sector of the own ship's superstructure between two bearings relative to the heading
// (degrees, clockwise from From to To): blind (a funnel, nothing seen through it) or shadow
// (a mast, echoes weakened by about 10 dB).
struct ShadowSector {
    float From = 0;
    float To = 0;
    bool Blind = false;
};
// The set's own mast forward, shadowing 2 degrees either side of the heading: the sectors of
// a ship whose exercise places none, in the program and in the marking alike.
inline constexpr ShadowSector kMastShadow{358, 2, false};
// A racon on a mark: its Morse letter as dots and dashes (".-" for A).
struct Racon {
    PointD Position;
    std::string Morse = "-..";
};
// A letter or digit in Morse as dots and dashes ("-.." for D), empty for any other character.
std::string MorseOf(char letter);

// What the sea and the ship give the video, fixed for an exercise.
struct VideoWorld {
    int SeaState = 0;   // 0 calm .. 6 very rough
    float WindFrom = 0; // degrees true the wind blows from; the showers drift away from it
    // Super-refraction: the horizon three times as far, and echoes beyond the pulse
    // repetition's range come back on the next trace (second-trace echoes).
    bool Ducting = false;
    // False echoes a set shows and an exercise may leave out to show one effect at a time:
    // side-lobe arcs of a strong close echo, multiple echoes between the own ship and a large
    // ship abeam, and indirect echoes by way of a mast.
    bool SideLobes = true, MultipleEchoes = true, IndirectEchoes = true;
    std::vector<RainArea> Rain;
    std::vector<ShadowSector> Sectors;
    std::vector<Racon> Racons;
    std::vector<PointD> Sarts;
};

// The seed of a scenario's video, from its title: the same title, the same picture, in the
// program and in the marking.
uint64_t VideoSeed(const std::string& title);

// The pulse a set chooses for a range scale (nautical miles), and the range its echo spreads
// over (nautical miles of radial length).
RadarPulse PulseFor(double rangeScale);
double PulseLength(RadarPulse pulse);
// The beam's width between its half-power points, degrees.
double BeamWidth(RadarBand band);
// "X SP GAIN 70 SEA 30 RAIN 0 TUNE 100"
std::string VideoReadout(const VideoControls& controls, RadarPulse pulse);

class RadarVideo {
  public:
    static constexpr int kCells = 512;  // range cells over the range scale
    static constexpr int kLines = 2048; // bearing lines a turn, 0.176 degrees each

    RadarVideo();

    // Paints every line the antenna swept after `from` and up to `to` (days), at most one
    // turn's worth (at a high time factor only the last turn shows). A new range scale wipes
    // the buffer: what it held was at another scale.
    void Paint(const RadarSettings& radar, const VideoWorld& world, const VideoControls& controls,
               const VesselTables& vessels, double rangeScale, double from, double to);
    // One line of one scan into `out` (kCells intensities): a pure function of its arguments.
    static void PaintLine(const RadarSettings& radar, const VideoWorld& world,
                          const VideoControls& controls, const VesselTables& vessels,
                          double rangeScale, double time, int64_t scan, int line, uint8_t* out);

    void Clear();
    // Cleared, and the buffers' memory given back (a megabyte each) until the next Paint: the
    // video is off most of the time.
    void Release();
    uint8_t At(int line, int cell) const { return Line(line)[cell]; }
    const uint8_t* Line(int line) const { return Row(video_, line); }
    // The afterglow: every line as painted, or what is left of older scans where they were
    // brighter (a phosphor that fades over a few turns).
    const uint8_t* Glow(int line) const { return Row(glow_, line); }
    double rangeScale() const { return range_; }
    // The lines of the last Paint: the first and how many (wrapping past kLines - 1).
    int firstPainted() const { return first_; }
    int paintedCount() const { return count_; }
    // The line under the antenna at the end of the last Paint.
    int sweepLine() const { return sweep_; }
    // Bytes of the two buffers while they are held.
    static constexpr std::size_t kBytes = 2u * kCells * kLines;

    // The antenna's line at a time (days), and the turn it is in.
    static int64_t TurnAt(const RadarSettings& radar, double time, int& line);

  private:
    static std::size_t Index(int line, int cell) {
        return static_cast<std::size_t>(line) * kCells + static_cast<std::size_t>(cell);
    }
    // A line of a buffer, or a blank line while the buffers are not held.
    static const uint8_t* Row(const std::vector<uint8_t>& buffer, int line);
    // Empty until the first Paint that sweeps a line, and again after Release.
    std::vector<uint8_t> video_, glow_;
    double range_ = 0;
    int first_ = 0, count_ = 0, sweep_ = 0;
    // Nothing painted since the buffers were last zeroed: a wipe then has nothing to do, and
    // each scenario's start wipes a megabyte that the video, mostly off, never painted.
    bool blank_ = true;
};

} // namespace mv
