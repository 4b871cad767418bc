#pragma once
// The CPA computer without its window: two timed sightings of one target, typed or copied
// from the EBL and VRM, worked into the target's relative and true motion and its CPA.
// Bearings in degrees true, ranges in nautical miles, times of day as day fractions.

#include "core/aids/cpa.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr const char* kCantComputeTitle = "Can't compute CPA";

// A plotting sheet reaches 36 nm, the longest range scale: a sighting's range r is
// 0 < r <= kMaxSightingRange nautical miles.
inline constexpr double kMaxSightingRange = 36.0;
// A sighting's bearing b is 0 <= b < kBearingCircle degrees true.
inline constexpr double kBearingCircle = 360.0;

// The entries of one sighting row (txtHour, txtMinute, txtSecond, txtRange, txtBearing).
struct SightingEntries {
    std::string Hour, Minute, Second, Range, Bearing;
    friend bool operator==(const SightingEntries&, const SightingEntries&) = default;
};
using SightingRows = std::array<SightingEntries, 2>;

enum class TimePart { Hour, Minute, Second };

// The text a time entry keeps after a change: hours above 24 become "24", minutes and
// seconds above 59 become "59"; anything else stays as typed.
std::string TimeFieldCeiling(std::string_view text, TimePart part);

// "h:m:s" as typed, each part one to maxDigits digits (at most 9), as a time of one day:
// hours 0..23, minutes and seconds 0..59. Empty for an empty part, an hour of 24, or anything
// else.
std::optional<double> ParseTimeOfDay(std::string_view text, size_t maxDigits = 9);
// The same time from its three parts, as the sighting rows hold them.
std::optional<double> ParseTimeOfDay(std::string_view hour, std::string_view minute,
                                     std::string_view second, size_t maxDigits = 9);

// Both rows complete and sensible: bearings 0 <= b < 360, ranges 0 < r <= 36, both times of
// one day and the second strictly later (a pair across midnight fails). Checked in that order.
std::optional<std::array<Sighting, 2>> ValidateSightings(const SightingRows& rows);

// A row filled from the display at the present moment: the VRM's range in nautical miles and
// the EBL's true bearing (EBLTrueBearing), as the sightings take them, written in the fields'
// own figures ("4.50", "045.5").
SightingEntries CopyEBLVRM(double simTime, double vrmRange, double trueBearing);

// The result labels of the CPA DATA panel.
struct CpaComputerTexts {
    std::string Course;     // lblCourse "000"
    std::string Speed;      // lblSpeed "12.0 kn"
    std::string CPA;        // lblCPA "0.50 nm"
    std::string BCPA;       // lblBCPA "000"
    std::string TCPA;       // lblTCPA "21.0 min" after the second sighting
    std::string SRM;        // lblSRM "20.0 kn"
    std::string DRM;        // lblDRM "000"
    std::string YourCourse; // lblYourcourse "000"
    std::string YourSpeed;  // lblYourspeed "12.0 kn"
    friend bool operator==(const CpaComputerTexts&, const CpaComputerTexts&) = default;
};

struct CpaComputerOutcome {
    std::optional<CpaComputerTexts> Texts;
    std::string Error; // shown under kCantComputeTitle; the labels keep what they showed
    bool ok() const { return Texts.has_value(); }
};

// Works the rows as they stand with the own vessel's present heading and speed.
CpaComputerOutcome ComputeCpaComputer(const SightingRows& rows, float ownHeading, float ownSpeed);

// The course and the speed to steer for a wanted CPA (nautical miles), acting at actTime (a day
// fraction), from the rows as they stand: "063" / "6.2", "none" where nothing gives it, and
// a note when the present course and speed already do. Error says why nothing was worked.
struct SteerTexts {
    std::string Course, Speed, Note, Error;
};
SteerTexts ComputeActionToSteer(const SightingRows& rows, float ownHeading, float ownSpeed,
                                double actTime, double wantedCPA, bool toPort);

} // namespace mv
