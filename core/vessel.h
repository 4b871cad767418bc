#pragma once
// Vessel records and the tables that hold the own vessel and its targets.
// Positions are in nautical miles on a flat sea: X grows to the north, Y to the east.

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// Degrees to radians. This value, not a more exact pi/180, keeps every figure in step with
// the numbers that navigators were taught to expect from the trainer.
inline constexpr double kDegToRad = 0.01745329251994;

// Size classes, compared by exact value wherever they matter.
inline constexpr double kSmall = 0.05;
inline constexpr double kMedium = 0.1;
inline constexpr double kLarge = 0.15;

// Six vessel slots on the console: the own vessel and up to five targets.
inline constexpr int kMaxVessels = 6;
// The largest speed (knots), range (nautical miles) or bearing (degrees) a scenario may give.
// Far beyond any real figure, yet small enough that squares, long runs at x120 and the
// single-precision copies of the plotting arithmetic (at most 3.4e38) all stay finite; a
// larger one would show every CPA as a collision.
inline constexpr double kLargestFigure = 1e15;

// The slots are lettered "A" (slot 0) to "F" on the buttons, in titles and in messages.
std::string VesselLetter(int slot);

struct PointD {
    double X = 0.0; // north, nautical miles
    double Y = 0.0; // east, nautical miles
    friend bool operator==(const PointD&, const PointD&) = default;
};

struct VesselData {
    float Heading = 0.0f;   // degrees true in [0, 360); fractional while yawing
    int16_t NewHeading = 0; // ordered heading, whole degrees 0..359
    float Speed = 0.0f;     // knots through the water
    float NewSpeed = 0.0f;  // ordered speed, knots
    double Size = 0.0;      // kSmall, kMedium, kLarge, or 0 when unrecognised
    friend bool operator==(const VesselData&, const VesselData&) = default;
};

// 0 small, 1 medium, 2 large; anything else gives 0, a vessel that never turns.
double SizeFromType(int16_t type);
// The inverse: 0, 1, 2, or -1 for a size that is none of the three.
int16_t TypeFromSize(double size);

// True (-1) and false (0) as kept in the 16-bit flag table.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

// The vessel tables. Each array has NumVessels + 1 elements; the last one is a spare that
// nothing reads, so indices 0 .. NumVessels are always valid.
struct VesselTables {
    int16_t NumVessels = 0;
    int16_t OwnVessel = 0;
    std::vector<VesselData> Vessel;
    std::vector<PointD> VesselPos;
    std::vector<int16_t> VesselFlag;
    std::vector<VesselData> StartVessel;
    std::vector<PointD> StartPos;

    // Creates the tables anew for n vessels, every field zero.
    void Create(int16_t n);
    void SaveStartState();
    void RestoreStartState();
};

} // namespace mv
