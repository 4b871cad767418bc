#pragma once
// Closest point of approach by the speed triangle of radar plotting, and the same solution
// worked out from two sightings of a target. Degrees true, knots, nautical miles.

#include "core/bearing_mode.h"

#include <optional>
#include <string>

namespace mv {

struct CpaInput {
    float TargetCourse = 0, TargetSpeed = 0; // Ct, St
    float OwnCourse = 0, OwnSpeed = 0;       // Co, So
    float Bearing = 0;                       // B: true bearing of the target from the own vessel
    float Range = 0;                         // R: nautical miles
    double T0 = 0;                           // time base added to TCPA, minutes
};

struct CpaResult {
    float CPA = 0;   // nautical miles
    float BCPA = 0;  // degrees true
    float SRM = 0;   // knots
    float DRM = 0;   // degrees: true in Course mode, relative to the own course otherwise
    double TCPA = 0; // minutes from now, plus T0; negative once the CPA is past
    // False when the figures cannot be computed (input that is not a finite number, or an
    // overflow on the way); the figures are then all zero and must not be shown as a CPA.
    bool Computed = true;
};

// Never NaN: degenerate triangles are clamped to their limits, and input that is not a
// finite number gives an all-zero result that is not Computed.
CpaResult ComputeCPA(const CpaInput& in, BearingMode mode);

// The angle in radians, 0..pi, whose cosine is x, in the arc-tangent form of the plotting
// aids. x beyond [-1, 1] (rounding in a degenerate triangle) counts as the end value.
double TriangleAngle(double x);

struct Sighting {
    double Time = 0;    // day fraction (0.5 is 12:00:00)
    double Bearing = 0; // degrees true
    double Range = 0;   // nautical miles
};

struct SightingsResult {
    float TargetCourse = 0; // degrees true
    float TargetSpeed = 0;  // knots
    float CPA = 0;          // nautical miles
    float BCPA = 0;         // degrees true
    double TimeOfCPA = 0;   // day fraction
    float SRM = 0;          // knots
    float DRM = 0;          // degrees true
};

struct SightingsOutcome {
    std::optional<SightingsResult> Result;
    std::string Error; // why the CPA cannot be computed, e.g. the own vessel is stopped
    bool ok() const { return Result.has_value(); }
};

// The own vessel on ownHeading at ownSpeed; the second sighting later than the first.
SightingsOutcome ComputeFromSightings(float ownHeading, float ownSpeed, const Sighting& first,
                                      const Sighting& second);

} // namespace mv
