#include "core/aids/cpa.h"

#include <cmath>

namespace mv {

namespace {

// Radians per degree as a single-precision value, the same as the CPA data panel's, and pi to
// eleven places.
constexpr double kSightRad = static_cast<double>(0.017453292f);
constexpr double kSightPi = 3.14159265359;

// Below a thousandth of a knot a speed is taken as none at all: what is left is rounding.
constexpr double kNoSpeed = 0.001;

double Fold(double degrees) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360.0;
    return degrees >= 360.0 ? 0.0 : degrees;
}

// The same as a single-precision figure: a value just under 360 can round up to 360.
float FoldToFloat(double degrees) {
    const float f = static_cast<float>(Fold(degrees));
    return f >= 360.0f ? 0.0f : f;
}

bool Finite(const Sighting& s) {
    return std::isfinite(s.Time) && std::isfinite(s.Bearing) && std::isfinite(s.Range);
}

SightingsOutcome Fail(std::string text) {
    return {std::nullopt, std::move(text)};
}

} // namespace

SightingsOutcome ComputeFromSightings(float ownHeading, float ownSpeed, const Sighting& first,
                                      const Sighting& second) {
    if (!std::isfinite(ownHeading) || !std::isfinite(ownSpeed) || !Finite(first) || !Finite(second))
        return Fail("The course, speed, times, bearings and ranges must all be numbers.");
    if (first.Range < 0 || second.Range < 0) return Fail("A range cannot be negative.");
    if (ownSpeed < 0) return Fail("The own vessel's speed cannot be negative.");
    if (!(second.Time > first.Time))
        return Fail("The second sighting must be later than the first.");
    if (ownSpeed == 0)
        return Fail("The own vessel is stopped: the target's course and speed cannot be found "
                    "from two sightings.");

    const double so = ownSpeed;
    // Everything is worked in the own-heading frame (X ahead, Y to starboard) and turned back
    // to true at the end by subtracting a.
    const double a = 360.0 - ownHeading;
    double b1 = first.Bearing + a, b2 = second.Bearing + a;
    if (b1 > 360.0) b1 -= 360.0;
    if (b2 > 360.0) b2 -= 360.0;
    const double r1 = first.Range, r2 = second.Range;

    const double x1 = r1 * std::cos(b1 * kSightRad), y1 = r1 * std::sin(b1 * kSightRad);
    const double x2 = r2 * std::cos(b2 * kSightRad), y2 = r2 * std::sin(b2 * kSightRad);
    const double dx = x2 - x1, dy = y2 - y1;

    // Direction of relative motion. Straight across the bow or stern (dx = 0) it is the beam
    // direction on the side the echo moved to.
    double drmRel;
    double psi; // angle between the reversed own-speed vector and the relative motion, radians
    if (dx != 0) {
        drmRel = std::atan(dy / dx) / kSightRad;
        if (dx < 0) drmRel += 180.0;
        if (drmRel < 0) drmRel += 360.0;
        psi = std::fabs(std::atan(dy / dx));
        if (dx > 0) psi = kSightPi - psi;
    } else {
        drmRel = dy > 0 ? 90.0 : dy < 0 ? 270.0 : 0.0;
        psi = 90.0 * kSightRad;
    }

    const double hours = (second.Time - first.Time) * 24.0;
    const double srm = std::sqrt(dx * dx + dy * dy) / hours;

    SightingsResult res;
    res.SRM = static_cast<float>(srm);

    const double theta = (drmRel - b2) * kSightRad;
    res.CPA = static_cast<float>(std::fabs(r2 * std::sin(theta)));
    // Distance still to run along the relative-motion line; negative once the target opens.
    double toRun = std::fabs(r2 * std::cos(theta));
    if (std::cos(theta) > 0) toRun = -toRun;
    res.TimeOfCPA = second.Time;
    if (srm != 0) res.TimeOfCPA = second.Time + toRun / srm * 60.0 / 1440.0;

    double bcpaRel = std::sin(theta) > 0 ? drmRel - 90.0 : drmRel + 90.0;
    bcpaRel = Fold(bcpaRel);

    // The target's true motion: own vector plus relative vector, by the law of cosines.
    const double st =
        std::sqrt(std::fmax(0.0, so * so + srm * srm - 2.0 * so * srm * std::cos(psi)));
    if (st < kNoSpeed) return Fail("The target is stopped: its course cannot be found.");
    const double c = (st * st + so * so - srm * srm) / (2.0 * so * st);
    const double gamma = TriangleAngle(c) / kSightRad;
    // The target heads to the side of the bow towards which its echo moves.
    const double courseRel = drmRel < 180.0 ? gamma : 360.0 - gamma;

    res.TargetSpeed = static_cast<float>(st);
    res.TargetCourse = FoldToFloat(courseRel - a);
    res.DRM = FoldToFloat(drmRel - a);
    res.BCPA = FoldToFloat(bcpaRel - a);

    // No relative motion: the echo stands still, so its CPA is where it is now.
    if (srm < kNoSpeed) {
        res.DRM = 0.0f;
        res.BCPA = FoldToFloat(second.Bearing);
        res.TimeOfCPA = second.Time;
        res.CPA = static_cast<float>(r2);
    }
    // Only absurd magnitudes (ranges or times beyond any chart) can overflow on the way.
    if (!std::isfinite(res.TargetCourse) || !std::isfinite(res.TargetSpeed) ||
        !std::isfinite(res.CPA) || !std::isfinite(res.BCPA) || !std::isfinite(res.TimeOfCPA) ||
        !std::isfinite(res.SRM) || !std::isfinite(res.DRM))
        return Fail("The sightings are out of any plotting range.");
    return {res, {}};
}

} // namespace mv
