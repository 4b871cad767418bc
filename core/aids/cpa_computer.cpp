#include "core/aids/cpa_computer.h"

#include "core/aids/action_to_steer.h"

#include "core/number_text.h"

#include <algorithm>
#include <cctype>

namespace mv {

namespace {

constexpr double kSecondsInDay = 86400.0;

std::optional<int> Digits(std::string_view part, size_t maxDigits) {
    if (part.empty() || part.size() > maxDigits) return std::nullopt;
    int v = 0;
    for (char c : part) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

std::string TimeFieldCeiling(std::string_view text, TimePart part) {
    const double value = LeadingNumber(text);
    if (part == TimePart::Hour && value > 24) return "24";
    if (part != TimePart::Hour && value > 59) return "59";
    return std::string(text);
}

std::optional<double> ParseTimeOfDay(std::string_view text, size_t maxDigits) {
    const auto first = text.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    const auto second = text.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    // A third colon stays in the seconds, which then are not digits.
    return ParseTimeOfDay(text.substr(0, first), text.substr(first + 1, second - first - 1),
                          text.substr(second + 1), maxDigits);
}

std::optional<double> ParseTimeOfDay(std::string_view hour, std::string_view minute,
                                     std::string_view second, size_t maxDigits) {
    maxDigits = std::min<size_t>(maxDigits, 9); // an int holds any nine digits
    const auto h = Digits(hour, maxDigits);
    const auto m = Digits(minute, maxDigits);
    const auto s = Digits(second, maxDigits);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
    return (*h * 3600.0 + *m * 60.0 + *s) / kSecondsInDay;
}

std::optional<std::array<Sighting, 2>> ValidateSightings(const SightingRows& rows) {
    std::array<Sighting, 2> s;
    for (size_t i = 0; i < 2; ++i) {
        const auto b = ParseNumber(rows[i].Bearing);
        if (!b || *b < 0 || *b >= kBearingCircle) return std::nullopt;
        s[i].Bearing = *b;
    }
    for (size_t i = 0; i < 2; ++i) {
        const auto r = ParseNumber(rows[i].Range);
        if (!r || *r <= 0 || *r > kMaxSightingRange) return std::nullopt;
        s[i].Range = *r;
    }
    for (size_t i = 0; i < 2; ++i) {
        const auto t = ParseTimeOfDay(rows[i].Hour, rows[i].Minute, rows[i].Second);
        if (!t) return std::nullopt;
        s[i].Time = *t;
    }
    if (!(s[1].Time > s[0].Time)) return std::nullopt;
    return s;
}

SightingEntries CopyEBLVRM(double simTime, double vrmRange, double trueBearing) {
    const std::string t = FormatClock(simTime); // "hh:mm:ss"
    SightingEntries row;
    row.Hour = t.substr(0, 2);
    row.Minute = t.substr(3, 2);
    row.Second = t.substr(6, 2);
    // Hundredths of a mile and tenths of a degree, as a plotter reads them off the markers:
    // five figures fill a field, where the markers' full figures would overflow it.
    row.Range = FormatNumber(vrmRange, "#0.00");
    row.Bearing = DirectionText(trueBearing, true);
    return row;
}

CpaComputerOutcome ComputeCpaComputer(const SightingRows& rows, float ownHeading, float ownSpeed) {
    // The times are read as they stand now, not as they stood at the last bearing or range
    // edit, so the result always belongs to the sightings on the screen.
    const auto sightings = ValidateSightings(rows);
    if (!sightings)
        return {std::nullopt, "Both sightings need a time, a bearing from 0 to 359.9 and a range "
                              "up to 36 nm, the second later than the first."};
    const SightingsOutcome got =
        ComputeFromSightings(ownHeading, ownSpeed, (*sightings)[0], (*sightings)[1]);
    if (!got.ok()) return {std::nullopt, got.Error};

    const SightingsResult& r = *got.Result;
    CpaComputerTexts t;
    t.Course = DirectionText(r.TargetCourse);
    t.Speed = KnotsText(r.TargetSpeed);
    t.CPA = MilesText(r.CPA);
    t.BCPA = DirectionText(r.BCPA);
    // Minutes from the second sighting, as every other TCPA reads; 1440 minutes a day.
    t.TCPA = MinutesText((r.TimeOfCPA - (*sightings)[1].Time) * 1440.0);
    t.SRM = KnotsText(r.SRM);
    t.DRM = DirectionText(r.DRM);
    t.YourCourse = DirectionText(ownHeading);
    t.YourSpeed = KnotsText(ownSpeed);
    return {t, {}};
}

SteerTexts ComputeActionToSteer(const SightingRows& rows, float ownHeading, float ownSpeed,
                                double actTime, double wantedCPA, bool toPort) {
    const auto sightings = ValidateSightings(rows);
    if (!sightings) return {{}, {}, {}, "Compute the CPA from two sightings first."};
    const SightingsOutcome got =
        ComputeFromSightings(ownHeading, ownSpeed, (*sightings)[0], (*sightings)[1]);
    if (!got.ok()) return {{}, {}, {}, got.Error};
    SteerInput in;
    in.Latest = (*sightings)[1];
    in.TargetCourse = got.Result->TargetCourse;
    in.TargetSpeed = got.Result->TargetSpeed;
    in.OwnCourse = ownHeading;
    in.OwnSpeed = ownSpeed;
    in.ActTime = actTime;
    in.WantedCPA = wantedCPA;
    in.ToPort = toPort;
    const SteerResult r = ActionForCPA(in);
    if (!r.Error.empty()) return {{}, {}, {}, r.Error};
    return {SteerCourseText(r),
            r.Speed ? KnotsText(*r.Speed) : SteerSpeedText(r),
            r.AlreadyClear ? "Your present course and speed already give this CPA or more." : "",
            {}};
}

} // namespace mv
